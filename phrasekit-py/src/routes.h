// The routed parse behind `bidsift.parse`, in plain C++: unescape literal
// backslash-n and backslash-t, decide with RE_DETECT whether the text is an
// RFQ document, run the query or the RFQ pipeline, and map its result onto
// the records the Python classes expose. No Python here, so the routing is
// testable and fuzzable on its own.
#ifndef BIDSIFT_PY_ROUTES_H_
#define BIDSIFT_PY_ROUTES_H_

#include <string_view>

#include "phrasekit-py/src/records.h"

namespace bidsift {

// One ParsedItem per query group, `is_rfq` false, no trade terms.
ParseResultRecord query_route(std::string_view text);
// One ParsedItem per RFQ line item (phrases and lists from its first group
// only), the document's trade terms, `is_rfq` true.
ParseResultRecord rfq_route(std::string_view text);
// The whole entry: unescape, detect, route. Throws only on internal failure.
ParseResultRecord routed_parse(std::string_view text);

}  // namespace bidsift

#endif  // BIDSIFT_PY_ROUTES_H_
