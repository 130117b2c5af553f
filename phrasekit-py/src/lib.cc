// The Python module `bidsift`: the classes ParsedItem, TradeTerms and
// ParseResult, and the function parse(query). This layer only binds the
// argument, calls the routed parse and wraps its record; internal failures
// become Python exceptions and never end the interpreter.
#include <exception>
#include <new>
#include <string_view>

#include "phrasekit-py/src/py_ref.h"
#include "phrasekit-py/src/result_types.h"
#include "phrasekit-py/src/routes.h"
#include "textservices/regex.h"

namespace bidsift {
namespace {

// Turns the exception in flight into a Python exception.
void raise_internal_failure() {
  try {
    throw;
  } catch (const std::bad_alloc&) {
    PyErr_NoMemory();
  } catch (const textservices::RegexError& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (const std::exception& e) {
    PyErr_SetString(PyExc_RuntimeError, e.what());
  } catch (...) {
    PyErr_SetString(PyExc_RuntimeError, "internal failure in bidsift.parse");
  }
}

// Binds the one argument `query` in the interpreter's usual way. The common
// call shapes are taken directly; every other shape goes through the
// standard parser, which accepts what is valid and words the errors.
PyObject* bind_query(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  Py_ssize_t nkw = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
  if (nargs == 1 && nkw == 0) return args[0];
  if (nargs == 0 && nkw == 1) {
    PyObject* name = PyTuple_GET_ITEM(kwnames, 0);
    if (PyUnicode_Check(name) && PyUnicode_CompareWithASCIIString(name, "query") == 0) {
      return args[0];
    }
  }
  PyRef tuple(PyTuple_New(nargs));
  if (!tuple) return nullptr;
  for (Py_ssize_t i = 0; i < nargs; ++i) {
    Py_INCREF(args[i]);
    PyTuple_SET_ITEM(tuple.get(), i, args[i]);
  }
  PyRef dict;
  if (nkw > 0) {
    dict = PyRef(PyDict_New());
    if (!dict) return nullptr;
    for (Py_ssize_t i = 0; i < nkw; ++i) {
      if (PyDict_SetItem(dict.get(), PyTuple_GET_ITEM(kwnames, i), args[nargs + i]) < 0) {
        return nullptr;
      }
    }
  }
  static const char* keywords[] = {"query", nullptr};
  PyObject* query = nullptr;
  if (!PyArg_ParseTupleAndKeywords(tuple.get(), dict.get(), "O:parse", const_cast<char**>(keywords),
                                   &query)) {
    return nullptr;
  }
  return query;  // borrowed: still referenced by the caller's arguments
}

PyObject* parse(PyObject*, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
  PyObject* query = bind_query(args, nargs, kwnames);
  if (query == nullptr) return nullptr;
  if (!PyUnicode_Check(query)) {
    PyErr_Format(PyExc_TypeError, "argument 'query': '%.200s' object cannot be converted to 'str'",
                 Py_TYPE(query)->tp_name);
    return nullptr;
  }
  Py_ssize_t size = 0;
  const char* utf8 = PyUnicode_AsUTF8AndSize(query, &size);
  if (utf8 == nullptr) return nullptr;  // lone surrogates: the encoding error stands
  try {
    return new_parse_result(routed_parse(std::string_view(utf8, static_cast<std::size_t>(size))));
  } catch (...) {
    raise_internal_failure();
    return nullptr;
  }
}

PyMethodDef module_functions[] = {
    {"parse", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)(void)>(parse)),
     METH_FASTCALL | METH_KEYWORDS,
     "parse(query)\n--\n\n"
     "Parse a raw query or RFQ document.\n"
     "Routes automatically: simple product queries return one ParsedItem per group,\n"
     "RFQ documents return one ParsedItem per line item."},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef module_def = {
    PyModuleDef_HEAD_INIT,
    "bidsift",
    "",
    0,  // not -1: so that a second interpreter's import reaches PyInit and is refused
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    nullptr,
};

// The one module object and the interpreter that owns it.
PyObject* g_module = nullptr;
PyInterpreterState* g_interpreter = nullptr;

PyObject* create_module() {
  PyRef module(PyModule_Create2(&module_def, PYTHON_API_VERSION));
  if (!module) return nullptr;
  const ResultTypes* types = create_result_types();
  if (types == nullptr) return nullptr;
  // The classes first, then the function, in this order.
  const std::pair<const char*, PyObject*> classes[] = {
      {"ParsedItem", types->parsed_item},
      {"TradeTerms", types->trade_terms},
      {"ParseResult", types->parse_result},
  };
  for (const auto& [name, type] : classes) {
    Py_INCREF(type);
    if (PyModule_AddObject(module.get(), name, type) < 0) {
      Py_DECREF(type);
      return nullptr;
    }
  }
  if (PyModule_AddFunctions(module.get(), module_functions) < 0) return nullptr;
  return module.release();
}

}  // namespace
}  // namespace bidsift

PyMODINIT_FUNC PyInit_bidsift(void) {
  using namespace bidsift;
  PyInterpreterState* interpreter = PyInterpreterState_Get();
  if (g_module != nullptr) {
    if (interpreter != g_interpreter) {
      PyErr_SetString(PyExc_ImportError,
                      "bidsift does not support being imported in more than one interpreter");
      return nullptr;
    }
    Py_INCREF(g_module);
    return g_module;
  }
  PyObject* module = create_module();
  if (module == nullptr) return nullptr;
  g_module = module;
  Py_INCREF(g_module);  // the process-wide reference kept for repeated initialisation
  g_interpreter = interpreter;
  return module;
}
