// Trade-term extraction over any text: codes come from their fixed lists,
// free texts are trimmed and valid UTF-8, lead time and payment stop
// before a line feed and hold a "." only between two digits, a destination
// holds only letters and white space, and the same document gives the
// same terms.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <unicode/uchar.h>

#include "fuzz/check.h"
#include "tenderkit/src/trade_terms.h"
#include "textservices/unicode.h"

namespace {

const std::set<std::string, std::less<>> kCurrencies = {"USD", "EUR", "GBP", "CNY", "JPY",
                                                        "KRW", "VND", "SGD", "AUD", "CAD"};
const std::set<std::string, std::less<>> kIncoterms = {"EXW", "FCA", "FAS", "FOB", "CFR", "CIF",
                                                       "CPT", "CIP", "DAP", "DPU", "DDP"};

// An ASCII letter, or a character that case-folds to one (the Kelvin sign
// and the long s match [A-Za-z] case-insensitively), or white space.
bool destination_char(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == U'\u212A' || c == U'\u017F' ||
         textservices::is_white_space(c);
}

// Whether every "." in valid UTF-8 `text` stands between two decimal
// digits (Unicode Nd, as the patterns' \d).
bool points_between_digits(std::string_view text) {
  std::vector<char32_t> chars;
  for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
    chars.push_back(textservices::decode_at(text, i, &n));
  }
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] != U'.') continue;
    if (i == 0 || i + 1 == chars.size() || !u_isdigit(static_cast<UChar32>(chars[i - 1])) ||
        !u_isdigit(static_cast<UChar32>(chars[i + 1]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The extractor takes valid UTF-8; repair the bytes as the pipelines do.
  const std::string document =
      bidsift_fuzz::canonical(std::string_view(reinterpret_cast<const char*>(data), size));
  const tenderkit::RfqTradeTerms terms = tenderkit::extract_trade_terms(document);

  if (terms.currency) bidsift_fuzz::require_member(kCurrencies, *terms.currency, "currency code");
  if (terms.incoterm) bidsift_fuzz::require_member(kIncoterms, *terms.incoterm, "Incoterm code");
  for (const auto* field : {&terms.destination, &terms.lead_time, &terms.payment}) {
    if (!*field) continue;
    bidsift_fuzz::require_utf8(**field, "trade term is valid UTF-8");
    bidsift_fuzz::require_trimmed(**field, "trade term is trimmed");
  }
  for (const auto* field : {&terms.lead_time, &terms.payment}) {
    if (*field) {
      FUZZ_REQUIRE((*field)->find('\n') == std::string::npos,
                   "lead time and payment stop before a line feed", **field);
      FUZZ_REQUIRE(points_between_digits(**field),
                   "lead time and payment hold a point only between digits", **field);
    }
  }
  if (terms.destination) {
    const std::string& d = *terms.destination;
    FUZZ_REQUIRE(!d.empty(), "destination is non-empty", d);
    for (std::size_t i = 0, n = 0; i < d.size(); i += n) {
      FUZZ_REQUIRE(destination_char(textservices::decode_at(d, i, &n)),
                   "destination holds only letters and white space", d);
    }
  }
  FUZZ_REQUIRE(tenderkit::extract_trade_terms(document) == terms,
               "extract_trade_terms is deterministic", document);
  return 0;
}
