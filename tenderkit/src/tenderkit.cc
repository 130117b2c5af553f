#include "tenderkit/src/tenderkit.h"

#include <utility>

#include "phrasekit/src/phrasekit.h"
#include "tenderkit/src/item_normalizer.h"
#include "tenderkit/src/segmenter.h"
#include "textservices/unicode.h"

namespace tenderkit {
namespace {

// Replaces every backslash followed by `letter` with `with`, left to right,
// without overlap.
std::string replace_escape(std::string_view text, char letter, char with) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == letter) {
      out.push_back(with);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

std::string unescape(std::string_view text) {
  if (text.find('\\') == std::string_view::npos) return std::string(text);
  return replace_escape(replace_escape(text, 'n', '\n'), 't', '\t');
}

RfqResult parse_rfq(std::string_view document) {
  std::string canonical_storage;
  const std::string unescaped =
      unescape(textservices::canonical_text(document, &canonical_storage));

  RfqResult result;
  const std::vector<std::string> item_texts = segment(unescaped);
  result.trade_terms = extract_trade_terms(unescaped);
  result.items.reserve(item_texts.size());
  uint64_t counter = 0;
  for (const std::string& item_text : item_texts) {
    NormalizedItem n = normalize(item_text);
    RfqItem item;
    item.index = ++counter;
    item.groups = phrasekit::parse_query(n.text).groups;
    item.qty = n.qty;
    item.price = n.price;
    item.dims = std::move(n.dims);
    item.uom = std::move(n.uom);
    item.currency = n.currency ? std::move(n.currency) : result.trade_terms.currency;
    item.origin = std::move(n.origin);
    result.items.push_back(std::move(item));
  }
  return result;
}

}  // namespace tenderkit
