// Normalises one RFQ line item: strips formatting and labels, takes out the
// quantity with its unit, a target price with its currency, the country of
// origin and the inline dimensions and ratings, and re-composes what is
// left as «<qty> <uom> <description>» for the query pipeline. Pure; safe
// for concurrent use.
//
//   normalize("Product: **Cotton T-shirt**, white, 500 pcs.") gives
//   text "500 pcs Cotton T-shirt white", qty 500, uom "pcs".
#ifndef BIDSIFT_TENDERKIT_ITEM_NORMALIZER_H_
#define BIDSIFT_TENDERKIT_ITEM_NORMALIZER_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tenderkit {

struct NormalizedItem {
  std::string text;                   // quantity, unit and description
  std::optional<double> qty;
  std::optional<std::string> uom;     // English unit word, lower-case
  std::optional<double> price;
  std::optional<std::string> currency;
  std::optional<std::string> origin;
  std::vector<std::string> dims;      // lower-case, in text order
  bool operator==(const NormalizedItem&) const = default;
};

NormalizedItem normalize(std::string_view item_text);

// `text` with its first character upper-cased by the full mapping (which
// may give several characters); the rest unchanged.
std::string capitalize(std::string_view text);

}  // namespace tenderkit

#endif  // BIDSIFT_TENDERKIT_ITEM_NORMALIZER_H_
