// The RFQ pipeline: `parse_rfq` cuts a document into line items, reads its
// trade terms, and runs every item through the item normalizer and the
// query pipeline. Pure and re-entrant. The text may be any UTF-8
// (ill-formed bytes are read as U+FFFD, and canonically equivalent texts
// give the same result).
#ifndef BIDSIFT_TENDERKIT_TENDERKIT_H_
#define BIDSIFT_TENDERKIT_TENDERKIT_H_

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phrasekit/src/parser.h"
#include "tenderkit/src/trade_terms.h"

namespace tenderkit {

struct RfqItem {
  std::optional<double> qty;
  std::optional<double> price;
  std::vector<std::string> dims;
  std::vector<phrasekit::Group> groups;
  std::optional<std::string> uom;
  std::optional<std::string> currency;  // the item's own, else the document's
  std::optional<std::string> origin;
  uint64_t index = 0;                   // 1-based position
  bool operator==(const RfqItem&) const = default;
};

struct RfqResult {
  std::vector<RfqItem> items;
  RfqTradeTerms trade_terms;
  bool operator==(const RfqResult&) const = default;
};

RfqResult parse_rfq(std::string_view document);

// Turns every backslash followed by "n" into a line feed, then every
// backslash followed by "t" into a tab. Applying it twice changes nothing
// more than applying it once.
std::string unescape(std::string_view text);

}  // namespace tenderkit

#endif  // BIDSIFT_TENDERKIT_TENDERKIT_H_
