// The native records behind the Python result classes. Plain values; a
// Python object owns its record outright.
#ifndef BIDSIFT_PY_RECORDS_H_
#define BIDSIFT_PY_RECORDS_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace bidsift {

struct ParsedItemRecord {
  std::string chunks;
  uint64_t index = 0;
  std::optional<double> qty;
  std::optional<double> qty_max;
  std::optional<std::string> uom;
  std::vector<std::string> colors;
  std::vector<std::string> sizes;
  std::vector<std::string> materials;
  std::vector<std::string> genders;
  std::vector<std::string> specs;
  std::vector<std::string> standards;
  std::vector<std::string> ambiguous;
  std::optional<double> price;
  std::optional<std::string> currency;
  std::optional<std::string> origin;
  std::vector<std::string> dims;
  bool operator==(const ParsedItemRecord&) const = default;
};

struct TradeTermsRecord {
  std::optional<std::string> currency;
  std::optional<std::string> incoterm;
  std::optional<std::string> destination;
  std::optional<std::string> lead_time;
  std::optional<std::string> payment;
  bool operator==(const TradeTermsRecord&) const = default;
};

struct ParseResultRecord {
  std::vector<ParsedItemRecord> items;
  bool is_rfq = false;
  std::optional<std::string> trade_currency;
  std::optional<std::string> trade_incoterm;
  std::optional<std::string> trade_destination;
  std::optional<std::string> trade_lead_time;
  std::optional<std::string> trade_payment;
  bool operator==(const ParseResultRecord&) const = default;
};

}  // namespace bidsift

#endif  // BIDSIFT_PY_RECORDS_H_
