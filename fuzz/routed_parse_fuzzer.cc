// The whole routed parse over arbitrary bytes, as `bidsift.parse` runs it:
// the route follows the detection pattern, indices run 1..n, every text is
// valid UTF-8, a query result carries no RFQ fields, and the result is the
// same for the canonical and the NFD form and on a second call.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "phrasekit-py/src/records.h"
#include "phrasekit-py/src/routes.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using bidsift_fuzz::require_utf8;
  using bidsift_fuzz::require_utf8_list;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bidsift::ParseResultRecord r = bidsift::routed_parse(bytes);

  const std::string canonical = bidsift_fuzz::canonical(bytes);
  const std::string text = tenderkit::unescape(canonical);
  FUZZ_REQUIRE(r.is_rfq == tenderkit::RE_DETECT->test(text), "the route follows RE_DETECT", text);
  uint64_t expected_index = 0;
  for (const bidsift::ParsedItemRecord& item : r.items) {
    FUZZ_REQUIRE(item.index == ++expected_index, "item indices run 1..n", text);
    require_utf8(item.chunks, "chunks are valid UTF-8");
    require_utf8(item.uom, "uom is valid UTF-8");
    require_utf8(item.currency, "currency is valid UTF-8");
    require_utf8(item.origin, "origin is valid UTF-8");
    // The group lists hold no repeats; dims keep every dimension taken out.
    for (const auto* list : {&item.colors, &item.sizes, &item.materials, &item.genders, &item.specs,
                             &item.standards, &item.ambiguous}) {
      require_utf8_list(*list, "list texts are valid UTF-8");
      bidsift_fuzz::require_no_repeats(*list, "group lists hold no repeats");
    }
    require_utf8_list(item.dims, "dims are valid UTF-8");
    if (!r.is_rfq) {
      FUZZ_REQUIRE(item.qty || !item.chunks.empty(), "a query item has a qty or chunks", text);
      if (item.qty) bidsift_fuzz::require_positive(*item.qty, "a query item's qty is positive");
      FUZZ_REQUIRE(!item.price && !item.currency && !item.origin && item.dims.empty(),
                   "a query item has no RFQ fields", text);
    }
  }
  for (const auto* field : {&r.trade_currency, &r.trade_incoterm, &r.trade_destination,
                            &r.trade_lead_time, &r.trade_payment}) {
    require_utf8(*field, "trade term is valid UTF-8");
    FUZZ_REQUIRE(r.is_rfq || !field->has_value(), "a query result has no trade terms", text);
  }
  if (r.is_rfq) {
    FUZZ_REQUIRE(r.items.size() == tenderkit::segment(text).size(),
                 "one RFQ item per segmenter item", text);
  }

  FUZZ_REQUIRE(bidsift::routed_parse(bytes) == r, "routed_parse is deterministic", bytes);
  // Each further form is parsed only where it differs from the input.
  if (canonical != bytes) {
    FUZZ_REQUIRE(bidsift::routed_parse(canonical) == r, "the canonical text gives the same result",
                 canonical);
  }
  const std::string nfd = bidsift_fuzz::to_nfd(canonical);
  if (nfd != canonical) {
    FUZZ_REQUIRE(bidsift::routed_parse(nfd) == r, "the NFD form gives the same result", canonical);
  }
  return 0;
}
