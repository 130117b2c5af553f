// The item normalizer over any text: every output text is valid UTF-8; the
// re-composed text has no commas and begins with the rendered quantity
// when there is one (else it is trimmed); dims are non-empty, trimmed and
// lower-case; numbers are never negative or NaN; the currency is one of
// the price codes; and the same text gives the same record.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "tenderkit/src/item_normalizer.h"
#include "textservices/numbers.h"
#include "textservices/unicode.h"

namespace {

const std::set<std::string, std::less<>> kPriceCurrencies = {"USD", "EUR", "GBP", "CNY",
                                                             "JPY", "VND", "SGD"};

// The quantity as the composed text shows it: a whole number as an
// integer, anything else with two decimals.
std::string rendered(double q) {
  return q - std::trunc(q) == 0 ? textservices::format_count(q) : textservices::format_fixed(q, 2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The normalizer takes valid UTF-8; repair the bytes as the pipelines do.
  const std::string item =
      bidsift_fuzz::canonical(std::string_view(reinterpret_cast<const char*>(data), size));
  const tenderkit::NormalizedItem n = tenderkit::normalize(item);

  bidsift_fuzz::require_utf8(n.text, "text is valid UTF-8");
  bidsift_fuzz::require_utf8(n.uom, "uom is valid UTF-8");
  bidsift_fuzz::require_utf8(n.currency, "currency is valid UTF-8");
  bidsift_fuzz::require_utf8(n.origin, "origin is valid UTF-8");
  bidsift_fuzz::require_utf8_list(n.dims, "dims are valid UTF-8");
  FUZZ_REQUIRE(n.text.find(',') == std::string::npos, "the composed text has no comma", n.text);
  if (n.qty) {
    FUZZ_REQUIRE(*n.qty >= 0, "qty is not negative or NaN", n.text);
    const std::string prefix = rendered(*n.qty) + " ";
    FUZZ_REQUIRE(n.text.starts_with(prefix), "the text begins with the rendered quantity", n.text);
    if (n.uom) {
      FUZZ_REQUIRE(n.text.starts_with(prefix + *n.uom + " "), "the unit follows the quantity",
                   n.text);
    }
  } else {
    bidsift_fuzz::require_trimmed(n.text, "without a quantity the text is trimmed");
  }
  if (n.uom) {
    FUZZ_REQUIRE(!n.uom->empty(), "uom is non-empty", item);
    bidsift_fuzz::require_trimmed(*n.uom, "uom is trimmed");
  }
  if (n.price) FUZZ_REQUIRE(*n.price >= 0, "price is not negative or NaN", item);
  if (n.currency) bidsift_fuzz::require_member(kPriceCurrencies, *n.currency, "price currency");
  if (n.origin) {
    FUZZ_REQUIRE(!n.origin->empty(), "origin is non-empty", item);
  }
  for (const std::string& d : n.dims) {
    FUZZ_REQUIRE(!d.empty(), "a dimension is non-empty", item);
    bidsift_fuzz::require_trimmed(d, "a dimension is trimmed");
    FUZZ_REQUIRE(textservices::to_lower(d) == d, "a dimension is lower-case", d);
  }
  FUZZ_REQUIRE(tenderkit::normalize(item) == n, "normalize is deterministic", item);
  return 0;
}
