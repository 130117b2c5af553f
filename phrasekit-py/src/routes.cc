#include "phrasekit-py/src/routes.h"

#include <string>
#include <utility>

#include "phrasekit/src/phrasekit.h"
#include "tenderkit/src/segmenter.h"
#include "tenderkit/src/tenderkit.h"
#include "textservices/unicode.h"

namespace bidsift {
namespace {

// Moves a group's phrases and attribute lists into an item.
void take_group(phrasekit::Group& g, ParsedItemRecord& item) {
  item.chunks = phrasekit::chunks_to_string(g.chunks);
  item.qty_max = g.qty_max;
  item.colors = std::move(g.colors);
  item.sizes = std::move(g.sizes);
  item.materials = std::move(g.materials);
  item.genders = std::move(g.genders);
  item.specs = std::move(g.specs);
  item.standards = std::move(g.standards);
  item.ambiguous = std::move(g.ambiguous);
}

}  // namespace

ParseResultRecord query_route(std::string_view text) {
  phrasekit::QueryResult q = phrasekit::parse_query(text);
  ParseResultRecord out;
  out.items.reserve(q.groups.size());
  uint64_t index = 0;
  for (phrasekit::Group& g : q.groups) {
    ParsedItemRecord item;
    take_group(g, item);
    item.index = ++index;
    item.qty = g.qty;
    item.uom = std::move(g.uom);
    out.items.push_back(std::move(item));
  }
  return out;
}

ParseResultRecord rfq_route(std::string_view text) {
  tenderkit::RfqResult r = tenderkit::parse_rfq(text);
  ParseResultRecord out;
  out.is_rfq = true;
  out.items.reserve(r.items.size());
  for (tenderkit::RfqItem& it : r.items) {
    ParsedItemRecord item;
    if (!it.groups.empty()) take_group(it.groups.front(), item);
    item.index = it.index;
    item.qty = it.qty;
    item.uom = std::move(it.uom);
    item.price = it.price;
    item.currency = std::move(it.currency);
    item.origin = std::move(it.origin);
    item.dims = std::move(it.dims);
    out.items.push_back(std::move(item));
  }
  out.trade_currency = std::move(r.trade_terms.currency);
  out.trade_incoterm = std::move(r.trade_terms.incoterm);
  out.trade_destination = std::move(r.trade_terms.destination);
  out.trade_lead_time = std::move(r.trade_terms.lead_time);
  out.trade_payment = std::move(r.trade_terms.payment);
  return out;
}

ParseResultRecord routed_parse(std::string_view text) {
  // Canonical form first, so that an escape is recognised exactly where it
  // stands in the composed text.
  std::string canonical_storage;
  const std::string unescaped =
      tenderkit::unescape(textservices::canonical_text(text, &canonical_storage));
  if (tenderkit::RE_DETECT->test(unescaped)) return rfq_route(unescaped);
  return query_route(unescaped);
}

}  // namespace bidsift
