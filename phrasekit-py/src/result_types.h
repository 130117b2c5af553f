// The three read-only result classes of the module: ParsedItem, TradeTerms
// and ParseResult. Each instance owns one native record; every attribute
// read returns a fresh Python object. The classes have no constructor, no
// __dict__, no weak references and cannot be subclassed.
#ifndef BIDSIFT_PY_RESULT_TYPES_H_
#define BIDSIFT_PY_RESULT_TYPES_H_

#include "phrasekit-py/src/py_ref.h"
#include "phrasekit-py/src/records.h"

namespace bidsift {

struct ResultTypes {
  PyObject* parsed_item = nullptr;
  PyObject* trade_terms = nullptr;
  PyObject* parse_result = nullptr;
};

// Creates the three heap types once per process. Returns null with a Python
// error set on failure.
const ResultTypes* create_result_types();

// A new ParseResult owning `record` (moved in); null with an error set.
PyObject* new_parse_result(ParseResultRecord&& record);

}  // namespace bidsift

#endif  // BIDSIFT_PY_RESULT_TYPES_H_
