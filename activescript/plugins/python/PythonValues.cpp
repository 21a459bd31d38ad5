#include "activescript/plugins/python/PythonValues.h"

#include <datetime.h>

#include <cmath>
#include <vector>

#include "activescript/HostObjects.h"
#include "platform/core/DateUtils.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::py {

using plat::Variant;

namespace {

struct TProxy {
    PyObject_HEAD
    IDispatch* Obj;  // one reference
};
struct TMethod {
    PyObject_HEAD
    IDispatch* Obj;  // one reference
    DISPID Id;
};

PyTypeObject* GObjectType = nullptr;
PyTypeObject* GMethodType = nullptr;
PyTypeObject* GNullType = nullptr;
PyObject* GNull = nullptr;

// A Python error in flight as a platform exception.
[[noreturn]] void RaisePythonError() {
    PyObject *type, *value, *tb;
    PyErr_Fetch(&type, &value, &tb);
    PyObject* text = value ? PyObject_Str(value) : nullptr;
    const char* s = text ? PyUnicode_AsUTF8(text) : nullptr;
    UString message = UString::FromUtf8(s ? s : "Python error");
    Py_XDECREF(text);
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(tb);
    PyErr_Clear();
    plat::Throw<EScriptError>(message);
}

PyObject* Checked(PyObject* AObj) {
    if (!AObj) RaisePythonError();
    return AObj;
}

UString TextOf(PyObject* AStr) {
    Py_ssize_t len = 0;
    const char* s = PyUnicode_AsUTF8AndSize(AStr, &len);
    if (!s) RaisePythonError();
    return UString::FromUtf8(std::string_view(s, static_cast<std::size_t>(len)));
}

PyObject* NewProxy(IDispatch* AObj) {
    auto* p = PyObject_New(TProxy, GObjectType);
    if (!p) RaisePythonError();
    p->Obj = AObj;
    AObj->AddRef();
    return reinterpret_cast<PyObject*>(p);
}

std::vector<Variant> Arguments(PyObject* AArgs) {
    std::vector<Variant> args;
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(AArgs); ++i) args.push_back(ToVariant(PyTuple_GET_ITEM(AArgs, i)));
    return args;
}

void ProxyDealloc(PyObject* self) {
    auto* p = reinterpret_cast<TProxy*>(self);
    if (p->Obj) p->Obj->Release();
    PyTypeObject* type = Py_TYPE(self);
    type->tp_free(self);
    Py_DECREF(type);
}

// Calls into the host run without the interpreter lock, as long calls out of Python should:
// the host may stop at another engine's breakpoint, and the debugger's thread then needs the
// lock (to let go of this engine's frames), or call back into Python from another thread.
class TGilRelease {
public:
    TGilRelease() : FState(PyEval_SaveThread()) {}
    ~TGilRelease() { PyEval_RestoreThread(FState); }
    TGilRelease(const TGilRelease&) = delete;
    TGilRelease& operator=(const TGilRelease&) = delete;

private:
    PyThreadState* FState;
};

Variant CallHost(IDispatch* AObj, DISPID AId, std::span<Variant> AArgs) {
    TGilRelease release;
    return HostCall(AObj, AId, AArgs);
}

void PutHost(IDispatch* AObj, DISPID AId, std::span<Variant> AArgs, const Variant& AValue) {
    TGilRelease release;
    HostPut(AObj, AId, AArgs, AValue);
}

bool TryGetHost(IDispatch* AObj, DISPID AId, Variant& AResult) {
    TGilRelease release;
    return TryHostGet(AObj, AId, {}, AResult);
}

PyObject* ProxyGetAttr(PyObject* self, PyObject* name) {
    if (PyUnicode_Check(name) && PyUnicode_READ_CHAR(name, 0) == '_') return PyObject_GenericGetAttr(self, name);
    IDispatch* obj = reinterpret_cast<TProxy*>(self)->Obj;
    return Guarded([&]() -> PyObject* {
        const UString n = TextOf(name);
        PyObject* member = HostMember(obj, n);
        if (!member) {
            PyErr_Format(PyExc_AttributeError, "Object doesn't support this property or method: '%U'", name);
            return nullptr;
        }
        return member;
    });
}

int ProxySetAttr(PyObject* self, PyObject* name, PyObject* value) {
    IDispatch* obj = reinterpret_cast<TProxy*>(self)->Obj;
    PyObject* done = Guarded([&]() -> PyObject* {
        const UString n = TextOf(name);
        const DISPID id = HostMemberId(obj, n);
        if (id == plat::DISPID_UNKNOWN) {
            PyErr_Format(PyExc_AttributeError, "Object doesn't support this property or method: '%U'", name);
            return nullptr;
        }
        PutHost(obj, id, {}, ToVariant(value));
        Py_RETURN_NONE;
    });
    Py_XDECREF(done);
    return done ? 0 : -1;
}

PyObject* ProxyCall(PyObject* self, PyObject* args, PyObject*) {
    IDispatch* obj = reinterpret_cast<TProxy*>(self)->Obj;
    return Guarded([&] {
        std::vector<Variant> a = Arguments(args);
        return FromVariant(CallHost(obj, plat::DISPID_VALUE, a));
    });
}

PyObject* ProxyGetItem(PyObject* self, PyObject* key) {
    IDispatch* obj = reinterpret_cast<TProxy*>(self)->Obj;
    return Guarded([&] {
        std::vector<Variant> a{ToVariant(key)};
        return FromVariant(CallHost(obj, plat::DISPID_VALUE, a));
    });
}

int ProxySetItem(PyObject* self, PyObject* key, PyObject* value) {
    IDispatch* obj = reinterpret_cast<TProxy*>(self)->Obj;
    PyObject* done = Guarded([&]() -> PyObject* {
        std::vector<Variant> a{ToVariant(key)};
        PutHost(obj, plat::DISPID_VALUE, a, ToVariant(value));
        Py_RETURN_NONE;
    });
    Py_XDECREF(done);
    return done ? 0 : -1;
}

void MethodDealloc(PyObject* self) {
    auto* m = reinterpret_cast<TMethod*>(self);
    if (m->Obj) m->Obj->Release();
    PyTypeObject* type = Py_TYPE(self);
    type->tp_free(self);
    Py_DECREF(type);
}

PyObject* MethodCall(PyObject* self, PyObject* args, PyObject*) {
    auto* m = reinterpret_cast<TMethod*>(self);
    return Guarded([&] {
        std::vector<Variant> a = Arguments(args);
        return FromVariant(CallHost(m->Obj, m->Id, a));
    });
}

PyObject* NullRepr(PyObject*) { return PyUnicode_FromString("Null"); }

PyTypeObject* MakeType(const char* AName, std::size_t ASize, PyType_Slot* ASlots) {
    PyType_Spec typeSpec{AName, static_cast<int>(ASize), 0, Py_TPFLAGS_DEFAULT, ASlots};
    return reinterpret_cast<PyTypeObject*>(PyType_FromSpec(&typeSpec));
}

}  // namespace

bool InstallValueTypes() {
    if (GObjectType) return true;
    PyDateTime_IMPORT;
    if (!PyDateTimeAPI) return false;
    static PyType_Slot objectSlots[] = {{Py_tp_dealloc, reinterpret_cast<void*>(ProxyDealloc)},
                                        {Py_tp_getattro, reinterpret_cast<void*>(ProxyGetAttr)},
                                        {Py_tp_setattro, reinterpret_cast<void*>(ProxySetAttr)},
                                        {Py_tp_call, reinterpret_cast<void*>(ProxyCall)},
                                        {Py_mp_subscript, reinterpret_cast<void*>(ProxyGetItem)},
                                        {Py_mp_ass_subscript, reinterpret_cast<void*>(ProxySetItem)},
                                        {0, nullptr}};
    static PyType_Slot methodSlots[] = {{Py_tp_dealloc, reinterpret_cast<void*>(MethodDealloc)},
                                        {Py_tp_call, reinterpret_cast<void*>(MethodCall)},
                                        {0, nullptr}};
    static PyType_Slot nullSlots[] = {{Py_tp_repr, reinterpret_cast<void*>(NullRepr)}, {0, nullptr}};
    GObjectType = MakeType("velmora.Object", sizeof(TProxy), objectSlots);
    GMethodType = MakeType("velmora.Method", sizeof(TMethod), methodSlots);
    GNullType = MakeType("velmora.NullType", sizeof(PyObject), nullSlots);
    if (!GObjectType || !GMethodType || !GNullType) return false;
    GNull = PyObject_CallNoArgs(reinterpret_cast<PyObject*>(GNullType));
    return GNull != nullptr;
}

PyObject* NullObject() {
    Py_INCREF(GNull);
    return GNull;
}

PyObject* HostMember(IDispatch* AObj, const UString& AName) {
    const DISPID id = HostMemberId(AObj, AName);
    if (id == plat::DISPID_UNKNOWN) return nullptr;
    Variant value;
    if (TryGetHost(AObj, id, value)) return FromVariant(value);
    auto* m = PyObject_New(TMethod, GMethodType);
    if (!m) RaisePythonError();
    m->Obj = AObj;
    m->Id = id;
    AObj->AddRef();
    return reinterpret_cast<PyObject*>(m);
}

PyObject* FromVariant(const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) {
        const std::vector<Variant> items = ArrayElements(v);
        PyObject* list = Checked(PyList_New(static_cast<Py_ssize_t>(items.size())));
        for (std::size_t i = 0; i < items.size(); ++i) {
            PyObject* item = nullptr;
            std::unique_ptr<plat::Exception> e = plat::CatchAll([&] { item = FromVariant(items[i]); });
            if (e) {
                Py_DECREF(list);
                plat::Raise(e.release());
            }
            PyList_SET_ITEM(list, static_cast<Py_ssize_t>(i), item);
        }
        return list;
    }
    switch (v.VType) {
        case plat::varEmpty: Py_RETURN_NONE;
        case plat::varNull: return NullObject();
        case plat::varBoolean: return PyBool_FromLong(v.VBoolean != 0);
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64:
            return Checked(PyLong_FromLongLong(plat::VarToInt64(v)));
        case plat::varError: return Checked(PyLong_FromLong(v.VError));
        case plat::varUInt64: return Checked(PyLong_FromUnsignedLongLong(v.VUInt64));
        case plat::varDate: {
            const plat::DateParts d = plat::DecodeDate(v.VDate);
            const plat::TimeParts t = plat::DecodeTime(v.VDate);
            return Checked(PyDateTime_FromDateAndTime(d.year, d.month, d.day, t.hour, t.minute, t.second, t.msec * 1000));
        }
        case plat::varOleStr: case plat::varString: {
            const std::string s = UString(v.StrView()).ToUtf8();
            return Checked(PyUnicode_FromStringAndSize(s.data(), static_cast<Py_ssize_t>(s.size())));
        }
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<IDispatch> d = plat::ComPtr<IDispatch>::Attach(plat::VarToDispatch(v));
            if (!d) Py_RETURN_NONE;
            return NewProxy(d.Get());
        }
        default: return Checked(PyFloat_FromDouble(plat::VarToDouble(v)));
    }
}

Variant ToVariant(PyObject* AObj) {
    if (AObj == Py_None) return Variant();
    if (AObj == GNull) return Variant::Null();
    if (PyBool_Check(AObj)) return Variant(AObj == Py_True);
    if (PyLong_Check(AObj)) {
        int overflow = 0;
        const long long i = PyLong_AsLongLongAndOverflow(AObj, &overflow);
        if (overflow) return Variant(PyLong_AsDouble(AObj));
        if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<std::int32_t>(i));
        return Variant(static_cast<std::int64_t>(i));
    }
    if (PyFloat_Check(AObj)) return Variant(PyFloat_AS_DOUBLE(AObj));
    if (PyUnicode_Check(AObj)) return Variant(TextOf(AObj));
    if (PyDateTime_Check(AObj)) {
        const double date = plat::EncodeDate(PyDateTime_GET_YEAR(AObj), PyDateTime_GET_MONTH(AObj), PyDateTime_GET_DAY(AObj));
        const double time = plat::EncodeTime(PyDateTime_DATE_GET_HOUR(AObj), PyDateTime_DATE_GET_MINUTE(AObj),
                                             PyDateTime_DATE_GET_SECOND(AObj),
                                             PyDateTime_DATE_GET_MICROSECOND(AObj) / 1000);
        return Variant::FromDate(plat::ComposeDateTime(date, time));
    }
    if (PyDate_Check(AObj))
        return Variant::FromDate(plat::EncodeDate(PyDateTime_GET_YEAR(AObj), PyDateTime_GET_MONTH(AObj), PyDateTime_GET_DAY(AObj)));
    if (Py_TYPE(AObj) == GObjectType) return Variant(reinterpret_cast<TProxy*>(AObj)->Obj);
    if (PyList_Check(AObj) || PyTuple_Check(AObj)) {
        PyObject* seq = Checked(PySequence_Fast(AObj, "not a sequence"));
        std::vector<Variant> items(static_cast<std::size_t>(PySequence_Fast_GET_SIZE(seq)));
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            for (std::size_t i = 0; i < items.size(); ++i)
                items[i] = ToVariant(PySequence_Fast_GET_ITEM(seq, static_cast<Py_ssize_t>(i)));
        });
        Py_DECREF(seq);
        if (e) plat::Raise(e.release());
        return MakeVariantArray(items);
    }
    plat::Throw<EScriptError>(UString(u"A Python ") + UString::FromUtf8(Py_TYPE(AObj)->tp_name) +
                              std::u16string_view(u" cannot be passed to the host"));
}

}  // namespace xan::as::py
