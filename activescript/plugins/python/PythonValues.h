#pragma once
// Values between Python and automation:
//   Empty <-> None          Null <-> Null (a singleton of its own, a builtin name)
//   Boolean <-> bool        integer types <-> int (Integer when it fits, else Int64)
//   Single, Double, Currency -> float; float -> Double
//   String <-> str          Date <-> datetime.datetime (to the millisecond)
//   array <-> list (a tuple converts too)
//   dispatch object <-> host object (attributes, calls, indexing; converts back to its object)
// All functions need the interpreter lock.
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan::as::py {

// Holds the interpreter lock on the calling thread for its lifetime (nestable).
class TGil {
public:
    TGil() : FState(PyGILState_Ensure()) {}
    ~TGil() { PyGILState_Release(FState); }
    TGil(const TGil&) = delete;
    TGil& operator=(const TGil&) = delete;

private:
    PyGILState_STATE FState;
};

// Makes the types once per process; false with a Python error set on failure.
bool InstallValueTypes();
// A new reference to the Null singleton.
PyObject* NullObject();
// A new reference to the Python form of AValue (references followed); raises platform errors.
PyObject* FromVariant(const plat::VarData& AValue);
plat::Variant ToVariant(PyObject* AObj);
// A new reference to a host object's member as `obj.Name` reads it; null when the object has
// no such member.
PyObject* HostMember(plat::IDispatch* AObj, const plat::UString& AName);

// Runs ABody (which answers a new reference); a platform exception becomes a Python
// RuntimeError and null.
template <class F>
PyObject* Guarded(F&& ABody) {
    PyObject* result = nullptr;
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { result = ABody(); });
    if (!e) return result;
    PyErr_SetString(PyExc_RuntimeError, e->Message().ToUtf8().c_str());
    return nullptr;
}

}  // namespace xan::as::py
