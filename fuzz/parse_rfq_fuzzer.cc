// The RFQ pipeline over arbitrary bytes: one item per segmenter item,
// indices 1..n, every group satisfies the group invariants, every text is
// valid UTF-8, an item without its own currency gets the document's, and
// the result is the same for the canonical and the NFD form and on a
// second call.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const tenderkit::RfqResult result = tenderkit::parse_rfq(bytes);

  const std::string text = tenderkit::unescape(bidsift_fuzz::canonical(bytes));
  FUZZ_REQUIRE(result.items.size() == tenderkit::segment(text).size(),
               "one item per segmenter item", text);
  uint64_t expected_index = 0;
  for (const tenderkit::RfqItem& item : result.items) {
    FUZZ_REQUIRE(item.index == ++expected_index, "item indices run 1..n", text);
    bidsift_fuzz::check_groups(item.groups);
    bidsift_fuzz::require_utf8(item.uom, "item uom is valid UTF-8");
    bidsift_fuzz::require_utf8(item.currency, "item currency is valid UTF-8");
    bidsift_fuzz::require_utf8(item.origin, "item origin is valid UTF-8");
    bidsift_fuzz::require_utf8_list(item.dims, "item dims are valid UTF-8");
    FUZZ_REQUIRE(item.currency.has_value() || !result.trade_terms.currency.has_value(),
                 "an item falls back to the document currency", text);
  }
  const tenderkit::RfqTradeTerms& t = result.trade_terms;
  for (const auto* field : {&t.currency, &t.incoterm, &t.destination, &t.lead_time, &t.payment}) {
    bidsift_fuzz::require_utf8(*field, "trade term is valid UTF-8");
  }

  FUZZ_REQUIRE(tenderkit::parse_rfq(bytes) == result, "parse_rfq is deterministic", bytes);
  const std::string canonical = bidsift_fuzz::canonical(bytes);
  // Each further form is parsed only where it differs from the input.
  if (canonical != bytes) {
    FUZZ_REQUIRE(tenderkit::parse_rfq(canonical) == result,
                 "the canonical text gives the same result", canonical);
  }
  const std::string nfd = bidsift_fuzz::to_nfd(canonical);
  if (nfd != canonical) {
    FUZZ_REQUIRE(tenderkit::parse_rfq(nfd) == result, "the NFD form gives the same result",
                 canonical);
  }
  return 0;
}
