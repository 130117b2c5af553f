// A minimal owner of one strong Python reference, so that every error path
// releases what it holds.
#ifndef BIDSIFT_PY_PY_REF_H_
#define BIDSIFT_PY_PY_REF_H_

#define PY_SSIZE_T_CLEAN
#include <Python.h>

namespace bidsift {

class PyRef {
 public:
  PyRef() = default;
  // Takes ownership of a new reference (which may be null after a failure).
  explicit PyRef(PyObject* owned) : p_(owned) {}
  ~PyRef() { Py_XDECREF(p_); }
  PyRef(PyRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  PyRef& operator=(PyRef&& o) noexcept {
    if (this != &o) {
      Py_XDECREF(p_);
      p_ = o.p_;
      o.p_ = nullptr;
    }
    return *this;
  }
  PyRef(const PyRef&) = delete;
  PyRef& operator=(const PyRef&) = delete;

  PyObject* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  // Gives the reference to the caller.
  PyObject* release() {
    PyObject* p = p_;
    p_ = nullptr;
    return p;
  }

 private:
  PyObject* p_ = nullptr;
};

}  // namespace bidsift

#endif  // BIDSIFT_PY_PY_REF_H_
