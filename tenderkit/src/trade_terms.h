// Reads the five document-level trade terms of an RFQ document: currency,
// Incoterm, destination, lead time and payment terms. Each comes from the
// leftmost match of its pattern in the whole text. Lead time and payment
// run to the next line feed or full stop; a point between two digits
// («2.5 weeks») does not end them. Pure; safe for concurrent use.
//
//   extract_trade_terms("Terms: FOB, CIF Hamburg") gives incoterm "CIF",
//   destination "Hamburg".
#ifndef BIDSIFT_TENDERKIT_TRADE_TERMS_H_
#define BIDSIFT_TENDERKIT_TRADE_TERMS_H_

#include <optional>
#include <string>
#include <string_view>

namespace tenderkit {

// Absent means "not found"; a present empty text was found empty.
struct RfqTradeTerms {
  std::optional<std::string> currency;
  std::optional<std::string> incoterm;
  std::optional<std::string> destination;
  std::optional<std::string> lead_time;
  std::optional<std::string> payment;
  bool operator==(const RfqTradeTerms&) const = default;
};

RfqTradeTerms extract_trade_terms(std::string_view document);

}  // namespace tenderkit

#endif  // BIDSIFT_TENDERKIT_TRADE_TERMS_H_
