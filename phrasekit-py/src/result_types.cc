#include "phrasekit-py/src/result_types.h"

#include <cstring>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace bidsift {
namespace {

ResultTypes g_types;

template <class Record>
struct Wrapped {
  PyObject_HEAD Record record;
};

template <class Record>
Record& record_of(PyObject* self) {
  return reinterpret_cast<Wrapped<Record>*>(self)->record;
}

// A new instance of `type` owning `record`; null with an error set.
template <class Record>
PyObject* wrap(PyObject* type, std::type_identity_t<Record>&& record) {
  PyTypeObject* t = reinterpret_cast<PyTypeObject*>(type);
  PyObject* self = t->tp_alloc(t, 0);
  if (self == nullptr) return nullptr;
  new (&record_of<Record>(self)) Record(std::move(record));
  return self;
}

template <class Record>
void dealloc(PyObject* self) {
  PyTypeObject* type = Py_TYPE(self);
  record_of<Record>(self).~Record();
  type->tp_free(self);
  Py_DECREF(type);  // instances of heap types hold a reference to their type
}

PyObject* no_constructor(PyTypeObject* type, PyObject*, PyObject*) {
  PyErr_Format(PyExc_TypeError, "No constructor defined for %s", type->tp_name);
  return nullptr;
}

// Native value → new Python object.
PyObject* to_py(const std::string& s) {
  return PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size()));
}
PyObject* to_py(double v) { return PyFloat_FromDouble(v); }
PyObject* to_py(uint64_t v) { return PyLong_FromUnsignedLongLong(v); }
PyObject* to_py(bool v) { return PyBool_FromLong(v); }
template <class T>
PyObject* to_py(const std::optional<T>& v) {
  if (!v) Py_RETURN_NONE;
  return to_py(*v);
}
PyObject* to_py(const std::vector<std::string>& list) {
  PyRef out(PyList_New(static_cast<Py_ssize_t>(list.size())));
  if (!out) return nullptr;
  for (std::size_t i = 0; i < list.size(); ++i) {
    PyObject* s = to_py(list[i]);
    if (s == nullptr) return nullptr;
    PyList_SET_ITEM(out.get(), static_cast<Py_ssize_t>(i), s);
  }
  return out.release();
}
PyObject* to_py(const std::vector<ParsedItemRecord>& items) {
  PyRef out(PyList_New(static_cast<Py_ssize_t>(items.size())));
  if (!out) return nullptr;
  for (std::size_t i = 0; i < items.size(); ++i) {
    PyObject* item = wrap<ParsedItemRecord>(g_types.parsed_item, ParsedItemRecord(items[i]));
    if (item == nullptr) return nullptr;
    PyList_SET_ITEM(out.get(), static_cast<Py_ssize_t>(i), item);
  }
  return out.release();
}

template <class M>
struct member_of;
template <class R, class T>
struct member_of<T R::*> {
  using record = R;
};

// Getter for the record field `Field`: a fresh Python object on every read.
template <auto Field>
PyObject* get(PyObject* self, void*) {
  using Record = typename member_of<decltype(Field)>::record;
  return to_py(record_of<Record>(self).*Field);
}

#define BIDSIFT_FIELD(Record, name) \
  PyGetSetDef { #name, get < &Record::name>, nullptr, nullptr, nullptr }

PyGetSetDef parsed_item_fields[] = {
    BIDSIFT_FIELD(ParsedItemRecord, chunks),       BIDSIFT_FIELD(ParsedItemRecord, index),
    BIDSIFT_FIELD(ParsedItemRecord, qty),          BIDSIFT_FIELD(ParsedItemRecord, qty_max),
    BIDSIFT_FIELD(ParsedItemRecord, uom),          BIDSIFT_FIELD(ParsedItemRecord, colors),
    BIDSIFT_FIELD(ParsedItemRecord, sizes),        BIDSIFT_FIELD(ParsedItemRecord, materials),
    BIDSIFT_FIELD(ParsedItemRecord, genders),      BIDSIFT_FIELD(ParsedItemRecord, specs),
    BIDSIFT_FIELD(ParsedItemRecord, standards),    BIDSIFT_FIELD(ParsedItemRecord, ambiguous),
    BIDSIFT_FIELD(ParsedItemRecord, price),        BIDSIFT_FIELD(ParsedItemRecord, currency),
    BIDSIFT_FIELD(ParsedItemRecord, origin),       BIDSIFT_FIELD(ParsedItemRecord, dims),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef trade_terms_fields[] = {
    BIDSIFT_FIELD(TradeTermsRecord, currency),    BIDSIFT_FIELD(TradeTermsRecord, incoterm),
    BIDSIFT_FIELD(TradeTermsRecord, destination), BIDSIFT_FIELD(TradeTermsRecord, lead_time),
    BIDSIFT_FIELD(TradeTermsRecord, payment),     {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PyGetSetDef parse_result_fields[] = {
    BIDSIFT_FIELD(ParseResultRecord, items),
    BIDSIFT_FIELD(ParseResultRecord, is_rfq),
    BIDSIFT_FIELD(ParseResultRecord, trade_currency),
    BIDSIFT_FIELD(ParseResultRecord, trade_incoterm),
    BIDSIFT_FIELD(ParseResultRecord, trade_destination),
    BIDSIFT_FIELD(ParseResultRecord, trade_lead_time),
    BIDSIFT_FIELD(ParseResultRecord, trade_payment),
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

#undef BIDSIFT_FIELD

PyObject* trade_terms(PyObject* self, PyObject*) {
  const ParseResultRecord& r = record_of<ParseResultRecord>(self);
  if (!r.trade_currency && !r.trade_incoterm && !r.trade_destination && !r.trade_lead_time &&
      !r.trade_payment) {
    Py_RETURN_NONE;
  }
  return wrap<TradeTermsRecord>(
      g_types.trade_terms, TradeTermsRecord{r.trade_currency, r.trade_incoterm, r.trade_destination,
                                            r.trade_lead_time, r.trade_payment});
}

PyMethodDef parse_result_methods[] = {
    {"trade_terms", trade_terms, METH_NOARGS,
     "trade_terms($self)\n--\n\n"
     "Convenience: returns a TradeTerms object if any trade term was found."},
    {nullptr, nullptr, 0, nullptr},
};

constexpr const char kParsedItemDoc[] =
    "One parsed item \u2014 either a group from a simple query or a line item from an RFQ.\n"
    "chunks  = C1 : product noun phrases joined with connectors (\"polo shirt OR t-shirt\")\n"
    "all other fields = S1 : ontology-matched and normalised specs (trusted, no SLM needed)";
constexpr const char kTradeTermsDoc[] =
    "Trade terms extracted from an RFQ document (None fields = not found).";
constexpr const char kParseResultDoc[] =
    "Top-level result returned by parse().\n"
    "is_rfq = true when the input was routed through the RFQ pipeline.";

// The classes are declared under no module: their tp_name is the bare class
// name. They are created as "builtins.<name>", which records __module__ as
// "builtins" (what a bare name implies) without the interpreter's warning
// about a type without a module, and then take the bare tp_name.
template <class Record>
PyObject* make_type(const char* qualified_name, const char* doc, PyGetSetDef* fields,
                    PyMethodDef* methods) {
  std::vector<PyType_Slot> slots = {
      {Py_tp_doc, const_cast<char*>(doc)},
      {Py_tp_getset, fields},
      {Py_tp_new, reinterpret_cast<void*>(no_constructor)},
      {Py_tp_dealloc, reinterpret_cast<void*>(dealloc<Record>)},
  };
  if (methods != nullptr) slots.push_back({Py_tp_methods, methods});
  slots.push_back({0, nullptr});
  PyType_Spec spec = {
      qualified_name,
      static_cast<int>(sizeof(Wrapped<Record>)),
      0,
      Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE,
      slots.data(),
  };
  PyObject* type = PyType_FromSpec(&spec);
  if (type != nullptr) {
    reinterpret_cast<PyTypeObject*>(type)->tp_name = std::strchr(qualified_name, '.') + 1;
  }
  return type;
}

}  // namespace

const ResultTypes* create_result_types() {
  if (g_types.parse_result != nullptr) return &g_types;
  PyRef item(make_type<ParsedItemRecord>("builtins.ParsedItem", kParsedItemDoc, parsed_item_fields,
                                         nullptr));
  if (!item) return nullptr;
  PyRef terms(make_type<TradeTermsRecord>("builtins.TradeTerms", kTradeTermsDoc, trade_terms_fields,
                                          nullptr));
  if (!terms) return nullptr;
  PyRef result(make_type<ParseResultRecord>("builtins.ParseResult", kParseResultDoc,
                                            parse_result_fields, parse_result_methods));
  if (!result) return nullptr;
  g_types.parsed_item = item.release();
  g_types.trade_terms = terms.release();
  g_types.parse_result = result.release();
  return &g_types;
}

PyObject* new_parse_result(ParseResultRecord&& record) {
  return wrap<ParseResultRecord>(g_types.parse_result, std::move(record));
}

}  // namespace bidsift
