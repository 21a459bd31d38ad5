// The "Python" engine: CPython 3.11 behind the generic script engine. One interpreter serves
// every engine of the process; each engine has its own global namespace.
#include <dlfcn.h>

#include <mutex>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"
#include "activescript/plugins/python/PythonDebug.h"
#include "activescript/plugins/python/PythonValues.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::py {

using plat::Variant;

namespace {

constexpr const char* KFileName = "script";

// The class of every engine's builtins: names the script does not define are asked of the
// objects published with their members (its `lookup` attribute) before Python gives up.
constexpr const char* KBuiltinsClass = R"(
class VelmoraBuiltins(dict):
    def __missing__(self, key):
        return self['__velmora_lookup__'](key)
)";

PyObject* GBuiltinsClass = nullptr;

// Extension modules the scripts import resolve the interpreter's symbols globally.
void StartInterpreter() {
    static std::once_flag once;
    std::call_once(once, [] {
        ::dlopen("libpython3.11.so.1.0", RTLD_NOW | RTLD_NOLOAD | RTLD_GLOBAL);
        if (Py_IsInitialized()) return;
        Py_InitializeEx(0);
        InstallValueTypes();
        PyObject* scratch = PyDict_New();
        PyDict_SetItemString(scratch, "__builtins__", PyEval_GetBuiltins());
        PyObject* done = PyRun_String(KBuiltinsClass, Py_file_input, scratch, scratch);
        Py_XDECREF(done);
        GBuiltinsClass = PyDict_GetItemString(scratch, "VelmoraBuiltins");
        Py_XINCREF(GBuiltinsClass);
        Py_DECREF(scratch);
        PyErr_Clear();
        PyEval_SaveThread();
    });
    if (!GBuiltinsClass) plat::Throw<EScriptError>(UString(u"The Python interpreter could not be started"));
}

PyObject* Attr(PyObject* AObj, const char* AName) {
    PyObject* a = PyObject_GetAttrString(AObj, AName);
    if (!a) PyErr_Clear();
    return a;
}

int IntAttr(PyObject* AObj, const char* AName, int ADefault) {
    PyObject* a = Attr(AObj, AName);
    const int v = a && PyLong_Check(a) ? static_cast<int>(PyLong_AsLong(a)) : ADefault;
    Py_XDECREF(a);
    return v;
}

std::string StrOf(PyObject* AObj) {
    PyObject* s = AObj ? PyObject_Str(AObj) : nullptr;
    const char* u = s ? PyUnicode_AsUTF8(s) : nullptr;
    std::string text = u ? u : "";
    Py_XDECREF(s);
    PyErr_Clear();
    return text;
}

// Line (from 0) and column (from 1) of the innermost frame of the script in a traceback.
void ScriptPlace(PyObject* ATraceback, Integer& ALine, Integer& AColumn) {
    for (PyObject* tb = ATraceback; tb && tb != Py_None;) {
        PyObject* frame = Attr(tb, "tb_frame");
        PyCodeObject* code = frame ? PyFrame_GetCode(reinterpret_cast<PyFrameObject*>(frame)) : nullptr;
        if (code && StrOf(code->co_filename) == KFileName) {
            ALine = IntAttr(tb, "tb_lineno", 0) - 1;
            int line = 0, column = -1, endLine = 0, endColumn = 0;
            if (PyCode_Addr2Location(code, IntAttr(tb, "tb_lasti", 0), &line, &column, &endLine, &endColumn) &&
                column >= 0)
                AColumn = column + 1;
        }
        Py_XDECREF(reinterpret_cast<PyObject*>(code));
        Py_XDECREF(frame);
        PyObject* next = Attr(tb, "tb_next");
        if (tb != ATraceback) Py_DECREF(tb);
        tb = next;
    }
}

// The Python error in flight as the script's error: "Kind: text" at its place in the script.
[[noreturn]] void RaiseScriptError() {
    PyObject *type, *value, *tb;
    PyErr_Fetch(&type, &value, &tb);
    PyErr_NormalizeException(&type, &value, &tb);
    Integer line = -1, column = 0;
    std::string text;
    if (IsAbortError(type)) {
        text = UString(KScriptAbortedMessage).ToUtf8();
        ScriptPlace(tb, line, column);
    } else if (type && PyErr_GivenExceptionMatches(type, PyExc_SyntaxError) && value) {
        PyObject* msg = Attr(value, "msg");
        text = "SyntaxError: " + StrOf(msg);
        Py_XDECREF(msg);
        line = IntAttr(value, "lineno", 0) - 1;
        column = IntAttr(value, "offset", 0);
    } else {
        text = ErrorText(type, value);
        ScriptPlace(tb, line, column);
    }
    Py_XDECREF(type);
    Py_XDECREF(value);
    Py_XDECREF(tb);
    plat::Throw<EScriptError>(UString::FromUtf8(text), line, column);
}

PyObject* CheckedPy(PyObject* AObj) {
    if (!AObj) RaiseScriptError();
    return AObj;
}

class TPythonBlock : public TScriptBlock {
public:
    TPythonBlock(PyObject* ACode, PyObject* AGlobals, TPyDebug& ADebug)
        : FCode(ACode), FGlobals(AGlobals), FDebug(ADebug) {}
    ~TPythonBlock() override {
        TGil gil;
        Py_DECREF(FCode);
    }
    void Run() override {
        TGil gil;
        FDebug.MarkStarted();
        const TTraceScope trace(FDebug);
        Py_DECREF(CheckedPy(PyEval_EvalCode(FCode, FGlobals, FGlobals)));
    }

private:
    PyObject* FCode;     // owned
    PyObject* FGlobals;  // the adapter's
    TPyDebug& FDebug;    // the adapter's
};

class TPythonAdapter : public TLanguageAdapter {
public:
    TPythonAdapter() {
        StartInterpreter();
        TGil gil;
        FGlobals = PyDict_New();
        PyObject* builtins = PyObject_CallOneArg(GBuiltinsClass, PyEval_GetBuiltins());
        PyObject* self = PyCapsule_New(this, nullptr, nullptr);
        PyObject* lookup = self ? PyCFunction_New(&KLookupDef, self) : nullptr;
        Py_XDECREF(self);
        if (!FGlobals || !builtins || !lookup) RaiseScriptError();
        PyDict_SetItemString(builtins, "__velmora_lookup__", lookup);
        PyObject* null = NullObject();
        PyDict_SetItemString(builtins, "Null", null);
        PyDict_SetItemString(FGlobals, "__builtins__", builtins);
        PyDict_SetItemString(FGlobals, "__name__", PyUnicode_FromString("__main__"));
        Py_DECREF(null);
        Py_DECREF(lookup);
        Py_DECREF(builtins);
    }
    ~TPythonAdapter() override {
        TGil gil;
        PyDict_Clear(FGlobals);  // functions refer to their globals: break the cycle now
        Py_DECREF(FGlobals);
        FGlobalMembers.clear();
    }

    UString ErrorSource() const override { return UString(u"Python"); }
    TLanguageDebug* Debugging() override { return &FDebug; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        TGil gil;
        PyObject* code = Compile(ACode, Py_file_input);
        FDebug.AddText(code, ACode);
        return std::make_unique<TPythonBlock>(code, FGlobals, FDebug);
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        TGil gil;
        const TTraceScope trace(FDebug);
        PyObject* code = Compile(ACode, AIsExpression ? Py_eval_input : Py_file_input);
        PyObject* result = PyEval_EvalCode(code, FGlobals, FGlobals);
        Py_DECREF(code);
        return ToVariantOwned(CheckedPy(result), AIsExpression);
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        TGil gil;
        if (AVisible) {
            FDebug.HideGlobal(AName);
            PyObject* proxy = FromVariant(Variant(AObject));
            PyDict_SetItemString(FGlobals, AName.ToUtf8().c_str(), proxy);
            Py_DECREF(proxy);
        }
        if (AGlobalMembers) FGlobalMembers.emplace_back(AObject);
    }

    UString FindGlobal(const UString& AName) override {
        TGil gil;
        return PyDict_GetItemString(FGlobals, AName.ToUtf8().c_str()) ? AName : UString();
    }

    bool IsProcedure(const UString& AName) override {
        TGil gil;
        PyObject* global = PyDict_GetItemString(FGlobals, AName.ToUtf8().c_str());  // borrowed
        return global && PyFunction_Check(global);
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        TGil gil;
        const std::string name = AName.ToUtf8();
        if (AAccess == TGlobalAccess::Put) {
            PyObject* value = FromVariant(AArgs.back());
            PyDict_SetItemString(FGlobals, name.c_str(), value);
            Py_DECREF(value);
            return Variant();
        }
        PyObject* global = PyDict_GetItemString(FGlobals, name.c_str());  // borrowed
        if (!global) plat::Throw<EScriptError>(UString(u"name '") + AName + std::u16string_view(u"' is not defined"));
        if (!PyCallable_Check(global) || (AAccess == TGlobalAccess::Get && AArgs.empty())) {
            Py_INCREF(global);
            return ToVariantOwned(global, true);
        }
        PyObject* args = PyTuple_New(static_cast<Py_ssize_t>(AArgs.size()));
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            for (std::size_t i = 0; i < AArgs.size(); ++i)
                PyTuple_SET_ITEM(args, static_cast<Py_ssize_t>(i), FromVariant(AArgs[i]));
        });
        if (e) {
            Py_DECREF(args);
            plat::Raise(e.release());
        }
        const TTraceScope trace(FDebug);
        PyObject* result = PyObject_Call(global, args, nullptr);
        Py_DECREF(args);
        return ToVariantOwned(CheckedPy(result), true);
    }

private:
    PyObject* Compile(const UString& ACode, int AStart) {
        return CheckedPy(Py_CompileString(ACode.ToUtf8().c_str(), KFileName, AStart));
    }

    // Converts and releases AObj (a new reference).
    static Variant ToVariantOwned(PyObject* AObj, bool AWanted) {
        Variant v;
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            if (AWanted) v = ToVariant(AObj);
        });
        Py_DECREF(AObj);
        if (e) plat::Raise(e.release());
        return v;
    }

    static PyObject* Lookup(PyObject* ACapsule, PyObject* AKey) {
        auto* self = static_cast<TPythonAdapter*>(PyCapsule_GetPointer(ACapsule, nullptr));
        if (PyUnicode_Check(AKey)) {
            const char* key = PyUnicode_AsUTF8(AKey);
            const UString name = UString::FromUtf8(key ? key : "");
            for (const plat::ComPtr<IDispatch>& obj : self->FGlobalMembers) {
                PyObject* found = Guarded([&] { return HostMember(obj.Get(), name); });
                if (found || PyErr_Occurred()) return found;
            }
        }
        PyErr_SetObject(PyExc_KeyError, AKey);
        return nullptr;
    }
    static inline PyMethodDef KLookupDef{"velmora_lookup", &TPythonAdapter::Lookup, METH_O, nullptr};

    PyObject* FGlobals = nullptr;
    std::vector<plat::ComPtr<IDispatch>> FGlobalMembers;
    TPyDebug FDebug;
};

}  // namespace

}  // namespace xan::as::py

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::py::TPythonAdapter)
