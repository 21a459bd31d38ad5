#include "activescript/plugins/python/PythonDebug.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "activescript/debug/DebugIntf.h"
#include "activescript/debug/DebugObjects.h"
#include "platform/text/NumText.h"

namespace xan::as::py {

namespace {

// Longer value texts are cut here: a debugger shows a value in one line.
constexpr std::size_t KMaxValueText = 200;

struct TCodeOwner {
    TPyDebug* Owner;
    Integer Offset;  // adds to the code's line (from 1) minus one to give the adapter's line
};

// Registered code objects of every engine; under the interpreter lock. Never destroyed: engines
// may outlive static destruction.
std::unordered_map<const PyObject*, TCodeOwner>& Registry() {
    static auto* registry = new std::unordered_map<const PyObject*, TCodeOwner>();
    return *registry;
}

const TCodeOwner* OwnerOf(PyFrameObject* AFrame) {
    PyCodeObject* code = PyFrame_GetCode(AFrame);
    const auto& registry = Registry();
    const auto it = registry.find(reinterpret_cast<PyObject*>(code));
    Py_DECREF(code);
    return it == registry.end() ? nullptr : &it->second;
}

// ACode and every code object nested in it (functions, classes, comprehensions).
void ForEachCode(PyObject* ACode, const std::function<void(PyObject*)>& AVisit) {
    AVisit(ACode);
    PyObject* consts = reinterpret_cast<PyCodeObject*>(ACode)->co_consts;
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(consts); ++i)
        if (PyCode_Check(PyTuple_GET_ITEM(consts, i))) ForEachCode(PyTuple_GET_ITEM(consts, i), AVisit);
}

// The lines (the adapter's) that instructions of ACode itself belong to, from its line table.
void AddLinesOf(PyObject* ACode, Integer AOffset, std::set<Integer>& ALines) {
    PyObject* ranges = PyObject_CallMethod(ACode, "co_lines", nullptr);
    PyObject* iterator = ranges ? PyObject_GetIter(ranges) : nullptr;
    for (PyObject* item = iterator ? PyIter_Next(iterator) : nullptr; item; item = PyIter_Next(iterator)) {
        PyObject* line = PyTuple_Check(item) && PyTuple_GET_SIZE(item) == 3 ? PyTuple_GET_ITEM(item, 2) : nullptr;
        if (line && PyLong_Check(line) && PyLong_AsLong(line) >= 1) ALines.insert(AOffset + PyLong_AsLong(line) - 1);
        Py_DECREF(item);
    }
    Py_XDECREF(iterator);
    Py_XDECREF(ranges);
    PyErr_Clear();
}

UString TextOf(PyObject* AObj) {
    const char* text = AObj && PyUnicode_Check(AObj) ? PyUnicode_AsUTF8(AObj) : nullptr;
    if (!text) PyErr_Clear();
    return UString::FromUtf8(text ? text : "");
}

// repr(AObj), cut to one debugger line; a failing repr shows as the error's kind. An object
// without a repr of its own shows its class, not its address.
UString ValueText(PyObject* AObj) {
    if (Py_TYPE(AObj)->tp_repr == PyBaseObject_Type.tp_repr)
        return UString::FromUtf8(std::string("<") + Py_TYPE(AObj)->tp_name + " object>");
    PyObject* repr = PyObject_Repr(AObj);
    if (!repr) {
        PyObject *type, *value, *tb;
        PyErr_Fetch(&type, &value, &tb);
        const std::string text = "<" + ErrorText(type, value) + ">";
        Py_XDECREF(type);
        Py_XDECREF(value);
        Py_XDECREF(tb);
        return UString::FromUtf8(text);
    }
    UString text = TextOf(repr);
    Py_DECREF(repr);
    if (static_cast<std::size_t>(text.length()) > KMaxValueText)
        text = text.Substr(0, static_cast<Integer>(KMaxValueText)) + UString(u"...");
    return text;
}

bool IsDunder(const UString& AName) {
    return AName.length() > 4 && AName.view().substr(0, 2) == u"__" && AName.view().substr(AName.length() - 2) == u"__";
}

// Modules, functions and classes are the script's code rather than its data.
bool IsCode(PyObject* AObj) {
    return PyModule_Check(AObj) || PyFunction_Check(AObj) || PyCFunction_Check(AObj) || PyType_Check(AObj) ||
           PyMethod_Check(AObj);
}

// The attributes an object keeps in its own dictionary; none for code and for objects without.
PyObject* InstanceDict(PyObject* AObj) {
    if (Py_TYPE(AObj)->tp_dictoffset == 0 || IsCode(AObj)) return nullptr;
    PyObject* dict = PyObject_GenericGetDict(AObj, nullptr);
    if (!dict) PyErr_Clear();
    if (dict && !PyDict_Check(dict)) Py_CLEAR(dict);
    return dict;
}

bool HasParts(PyObject* AObj) {
    if (PyList_Check(AObj) || PyTuple_Check(AObj) || PyDict_Check(AObj)) return PyObject_Length(AObj) > 0;
    PyObject* dict = InstanceDict(AObj);
    const bool parts = dict && PyDict_Size(dict) > 0;
    Py_XDECREF(dict);
    return parts;
}

// A reference released under the interpreter lock, whichever thread lets it go.
class TPyRef {
public:
    explicit TPyRef(PyObject* ABorrowed) : FObj(ABorrowed) { Py_XINCREF(FObj); }
    ~TPyRef() {
        if (!FObj) return;
        TGil gil;
        Py_DECREF(FObj);
    }
    TPyRef(const TPyRef&) = delete;
    TPyRef& operator=(const TPyRef&) = delete;
    PyObject* Get() const noexcept { return FObj; }

private:
    PyObject* FObj;
};

// A Python value as the debugger shows it: its repr and type name; lists, tuples, dictionaries
// and objects with attributes open one level at a time. A scope is a dictionary of variables.
class TPyDebugVar final : public TLanguageDebugVar {
public:
    enum class TKind : std::uint8_t { Value, Locals, Globals };
    using THidden = std::function<bool(const UString&)>;

    // Under the lock.
    TPyDebugVar(UString AName, PyObject* AValue, TKind AKind = TKind::Value, THidden AHidden = {})
        : FValue(AValue), FKind(AKind), FHidden(std::move(AHidden)) {
        Name = std::move(AName);
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
        FExpandable = AKind != TKind::Value || HasParts(AValue);
        if (AKind != TKind::Value) return;
        Type = UString::FromUtf8(Py_TYPE(AValue)->tp_name);
        Value = ValueText(AValue);
    }
    bool Expandable() const override { return FExpandable; }
    std::vector<TLanguageDebugVarRef> Children() override {
        TGil gil;
        std::vector<TLanguageDebugVarRef> list;
        PyObject* value = FValue.Get();
        if (FKind != TKind::Value)
            ScopeChildren(value, list);
        else if (PyList_Check(value) || PyTuple_Check(value))
            ItemChildren(value, list);
        else if (PyDict_Check(value))
            EntryChildren(value, list);
        else if (PyObject* dict = InstanceDict(value)) {
            AttributeChildren(dict, list);
            Py_DECREF(dict);
        }
        PyErr_Clear();
        return list;
    }

private:
    // Snapshots of the pairs first: showing a value runs its repr, which may change the dict.
    template <class F>
    static void ForEachPair(PyObject* ADict, F&& AVisit) {
        PyObject* items = PyDict_Items(ADict);
        for (Py_ssize_t i = 0; items && i < PyList_GET_SIZE(items); ++i) {
            PyObject* pair = PyList_GET_ITEM(items, i);
            AVisit(PyTuple_GET_ITEM(pair, 0), PyTuple_GET_ITEM(pair, 1));
        }
        Py_XDECREF(items);
    }
    void ScopeChildren(PyObject* AScope, std::vector<TLanguageDebugVarRef>& AList) const {
        ForEachPair(AScope, [&](PyObject* AKey, PyObject* AValue) {
            if (!PyUnicode_Check(AKey)) return;
            UString name = TextOf(AKey);
            if (FKind == TKind::Globals && (IsDunder(name) || IsCode(AValue) || (FHidden && FHidden(name)))) return;
            AList.push_back(std::make_shared<TPyDebugVar>(std::move(name), AValue));
        });
    }
    static void ItemChildren(PyObject* ASequence, std::vector<TLanguageDebugVarRef>& AList) {
        PyObject* fast = PySequence_Fast(ASequence, "");
        for (Py_ssize_t i = 0; fast && i < PySequence_Fast_GET_SIZE(fast); ++i)
            AList.push_back(
                std::make_shared<TPyDebugVar>(UString(u"[") + plat::IntToStr(static_cast<Integer>(i)) + UString(u"]"),
                                              PySequence_Fast_GET_ITEM(fast, i)));
        Py_XDECREF(fast);
    }
    static void EntryChildren(PyObject* ADict, std::vector<TLanguageDebugVarRef>& AList) {
        ForEachPair(ADict, [&](PyObject* AKey, PyObject* AValue) {
            AList.push_back(std::make_shared<TPyDebugVar>(UString(u"[") + ValueText(AKey) + UString(u"]"), AValue));
        });
    }
    static void AttributeChildren(PyObject* ADict, std::vector<TLanguageDebugVarRef>& AList) {
        ForEachPair(ADict, [&](PyObject* AKey, PyObject* AValue) {
            if (!PyUnicode_Check(AKey)) return;
            UString name = TextOf(AKey);
            if (!IsDunder(name)) AList.push_back(std::make_shared<TPyDebugVar>(std::move(name), AValue));
        });
    }

    TPyRef FValue;
    TKind FKind;
    THidden FHidden;
    bool FExpandable = false;
};

// One activation of a registered code object. Name and line are read when it is made, on the
// stopped thread; the frame object is kept for its variables and evaluations.
class TPyFrame final : public TLanguageFrame {
public:
    // Under the lock.
    TPyFrame(PyFrameObject* AFrame, Integer AOffset, TPyDebugVar::THidden AHidden)
        : FFrame(reinterpret_cast<PyObject*>(AFrame)), FHidden(std::move(AHidden)) {
        FLine = PyFrame_GetLineNumber(AFrame) - 1 + AOffset;
        PyCodeObject* code = PyFrame_GetCode(AFrame);
        FName = TextOf(code->co_qualname);
        Py_DECREF(code);
    }
    UString Description(bool ALong) override {
        return ALong ? FName + UString(u", line: ") + plat::IntToStr(FLine) : FName;
    }
    Integer Line() override { return FLine; }
    TLanguageDebugVarRef Variables() override {
        TGil gil;
        PyObject* globals = PyFrame_GetGlobals(Frame());
        PyObject* locals = PyFrame_GetLocals(Frame());
        if (!locals) PyErr_Clear();
        // The module's code has the globals for its locals: its variables are the script's.
        const bool module = !locals || locals == globals;
        auto root =
            std::make_shared<TPyDebugVar>(UString(u"locals"), module ? globals : locals,
                                          module ? TPyDebugVar::TKind::Globals : TPyDebugVar::TKind::Locals, FHidden);
        Py_XDECREF(locals);
        Py_DECREF(globals);
        return root;
    }
    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        TGil gil;
        PyObject* globals = PyFrame_GetGlobals(Frame());
        PyObject* locals = PyFrame_GetLocals(Frame());
        PyObject* value = locals ? PyRun_String(AExpr.ToUtf8().c_str(), Py_eval_input, globals, locals) : nullptr;
        Py_XDECREF(locals);
        Py_DECREF(globals);
        TLanguageEvalResult result;
        result.Ok = value != nullptr;
        if (value) {
            result.Value = std::make_shared<TPyDebugVar>(AExpr, value);
            Py_DECREF(value);
            return result;
        }
        PyObject *type, *error, *tb;
        PyErr_Fetch(&type, &error, &tb);
        PyErr_NormalizeException(&type, &error, &tb);
        result.Value =
            std::make_shared<TLeafDebugVar>(AExpr, UString(u"Error"), UString::FromUtf8(ErrorText(type, error)));
        Py_XDECREF(type);
        Py_XDECREF(error);
        Py_XDECREF(tb);
        return result;
    }

private:
    PyFrameObject* Frame() const noexcept { return reinterpret_cast<PyFrameObject*>(FFrame.Get()); }

    TPyRef FFrame;
    TPyDebugVar::THidden FHidden;
    UString FName;
    Integer FLine = 0;
};

// The step of the calling thread, and whether an abort is unwinding its scripts.
struct TThreadStep {
    enum class TMode : std::uint8_t { None, Into, Over };
    TMode Mode = TMode::None;
    PyObject* Frame = nullptr;  // Over: the frame stepped in (a reference)
    bool Aborting = false;

    void Set(TMode AMode, PyFrameObject* AFrame = nullptr) {
        PyObject* old = Frame;
        Mode = AMode;
        Frame = reinterpret_cast<PyObject*>(AFrame);
        Py_XINCREF(Frame);
        Py_XDECREF(old);
    }
    bool StopsIn(PyFrameObject* AFrame) const noexcept {
        return Mode == TMode::Into || (Mode == TMode::Over && Frame == reinterpret_cast<PyObject*>(AFrame));
    }
};
thread_local TThreadStep tStep;

PyObject* AbortType() {
    static PyObject* type = PyErr_NewException("velmora.ScriptAborted", PyExc_BaseException, nullptr);
    return type;
}

int RaiseAbort() {
    PyErr_SetString(AbortType(), UString(KScriptAbortedMessage).ToUtf8().c_str());
    return -1;
}

int Trace(PyObject*, PyFrameObject* AFrame, int AWhat, PyObject*);

// Entries into code of engines being debugged, on every thread; under the interpreter lock.
// They tell which threads a breakpoint or a break request has to arm.
struct TRun {
    PyThreadState* State;
    const TPyDebug* Debug;
};
std::vector<TRun>& Runs() {
    static auto* runs = new std::vector<TRun>();
    return *runs;
}

// The trace function the thread had before its outermost entry (restored when it leaves), and
// how many entries are open on it.
thread_local Py_tracefunc tOldFunc = nullptr;
thread_local PyObject* tOldObj = nullptr;
thread_local int tEntries = 0;

void Arm(PyThreadState* AState) {
    if (AState->c_tracefunc != &Trace && _PyEval_SetTrace(AState, &Trace, nullptr) < 0) PyErr_Clear();
}

// Whether any engine entered on the calling thread still needs the trace function.
bool ThreadArmed(PyThreadState* AState) {
    if (tStep.Mode != TThreadStep::TMode::None) return true;
    for (const TRun& run : Runs())
        if (run.State == AState && run.Debug->Armed()) return true;
    return false;
}

void Disarm() {
    PyThreadState* state = PyThreadState_Get();
    if (state->c_tracefunc == &Trace && !ThreadArmed(state)) PyEval_SetTrace(tOldFunc, tOldObj);
}

// The trace function: lines of registered code may stop; leaving the frame a step over began
// in turns the step into one that stops at the caller's next line.
int Trace(PyObject*, PyFrameObject* AFrame, int AWhat, PyObject*) {
    if (AWhat != PyTrace_LINE && AWhat != PyTrace_RETURN) return 0;
    const TCodeOwner* owner = OwnerOf(AFrame);
    if (!owner) return 0;
    if (AWhat == PyTrace_LINE) return owner->Owner->OnLine(AFrame, owner->Offset);
    if (tStep.Mode == TThreadStep::TMode::Over && tStep.Frame == reinterpret_cast<PyObject*>(AFrame))
        tStep.Set(TThreadStep::TMode::Into);
    return 0;
}

}  // namespace

// ---- Errors --------------------------------------------------------------------------------------

bool IsAbortError(PyObject* AType) { return AType && PyErr_GivenExceptionMatches(AType, AbortType()); }

std::string ErrorText(PyObject* AType, PyObject* AValue) {
    const char* kind = AType && PyType_Check(AType) ? reinterpret_cast<PyTypeObject*>(AType)->tp_name : "Error";
    PyObject* text = AValue ? PyObject_Str(AValue) : nullptr;
    const char* s = text ? PyUnicode_AsUTF8(text) : nullptr;
    std::string result = std::string(kind) + ": " + (s ? s : "");
    Py_XDECREF(text);
    PyErr_Clear();
    return result;
}

// ---- The engine's debugging ----------------------------------------------------------------------

TPyDebug::~TPyDebug() {
    TGil gil;
    for (PyObject* code : FCodes) {
        ForEachCode(code, [](PyObject* ACode) { Registry().erase(ACode); });
        Py_DECREF(code);
    }
}

void TPyDebug::AddText(PyObject* ACode, const UString& AText) {
    if (FStarted) return;
    const Integer offset = FNextLine;
    FNextLine += static_cast<Integer>(LineStartsOf(AText.view()).size());
    Py_INCREF(ACode);
    FCodes.push_back(ACode);
    std::set<Integer> lines;
    ForEachCode(ACode, [&](PyObject* ACodeObj) {
        Registry()[ACodeObj] = {this, offset};
        AddLinesOf(ACodeObj, offset, lines);
    });
    const std::lock_guard<std::mutex> lock(FLinesLock);
    FCodeLines.insert(lines.begin(), lines.end());
}

void TPyDebug::SetHost(TLanguageDebugHost* AHost) { FHost.store(AHost, std::memory_order_release); }

Integer TPyDebug::CodeLineAt(Integer ALine) {
    const std::lock_guard<std::mutex> lock(FLinesLock);
    const auto it = FCodeLines.lower_bound(std::max<Integer>(ALine, 0));
    return it == FCodeLines.end() ? -1 : *it;
}

void TPyDebug::SetLineBreakpoint(Integer ALine, bool AEnabled) {
    {
        const std::lock_guard<std::mutex> lock(FLinesLock);
        if (AEnabled)
            FBreakpoints.insert(ALine);
        else
            FBreakpoints.erase(ALine);
        FBreakpointCount.store(static_cast<int>(FBreakpoints.size()), std::memory_order_release);
    }
    if (AEnabled) ArmRunning();
}

bool TPyDebug::Armed() const noexcept {
    return FBreakpointCount.load(std::memory_order_acquire) > 0 || FBreakRequested.load(std::memory_order_acquire);
}

// Threads running this engine's code get the trace function now: a loop that is running
// already stops at its next line.
void TPyDebug::ArmRunning() const {
    TGil gil;
    for (const TRun& run : Runs())
        if (run.Debug == this) Arm(run.State);
}

bool TPyDebug::HasBreakpoint(Integer ALine) {
    const std::lock_guard<std::mutex> lock(FLinesLock);
    return FBreakpoints.count(ALine) != 0;
}

void TPyDebug::RequestBreak() {
    FBreakRequested.store(true, std::memory_order_release);
    ArmRunning();
}

std::vector<std::unique_ptr<TLanguageFrame>> TPyDebug::Frames() {
    TGil gil;
    std::vector<std::unique_ptr<TLanguageFrame>> frames;
    const TPyDebugVar::THidden hidden = [names = FHiddenGlobals](const UString& AName) {
        return std::find(names.begin(), names.end(), AName) != names.end();
    };
    PyFrameObject* frame = PyEval_GetFrame();
    Py_XINCREF(frame);
    while (frame) {
        const TCodeOwner* owner = OwnerOf(frame);
        if (owner && owner->Owner == this) frames.push_back(std::make_unique<TPyFrame>(frame, owner->Offset, hidden));
        PyFrameObject* back = PyFrame_GetBack(frame);
        Py_DECREF(frame);
        frame = back;
    }
    return frames;
}

int TPyDebug::OnLine(PyFrameObject* AFrame, Integer AOffset) {
    if (tStep.Aborting) return RaiseAbort();  // a script's handler does not end an abort
    TLanguageDebugHost* host = FHost.load(std::memory_order_acquire);
    if (!host) return 0;
    if (FBreakRequested.load(std::memory_order_relaxed) && FBreakRequested.exchange(false))
        return Stop(*host, TDebugStopReason::Halt, AFrame);
    if (tStep.StopsIn(AFrame)) return Stop(*host, TDebugStopReason::Step, AFrame);
    if (FBreakpointCount.load(std::memory_order_acquire) > 0 &&
        HasBreakpoint(PyFrame_GetLineNumber(AFrame) - 1 + AOffset))
        return Stop(*host, TDebugStopReason::Breakpoint, AFrame);
    return 0;
}

// The debugger works while the thread waits here; other Python threads run meanwhile, and the
// debugger's questions take the lock again on this thread.
int TPyDebug::Stop(TLanguageDebugHost& AHost, TDebugStopReason AReason, PyFrameObject* AFrame) {
    TDebugResume resume = TDebugResume::Continue;
    PyThreadState* state = PyEval_SaveThread();
    const std::unique_ptr<plat::Exception> failure = plat::CatchAll([&] { resume = AHost.Stopped(AReason); });
    PyEval_RestoreThread(state);
    switch (resume) {
        case TDebugResume::Ignore: return 0;
        case TDebugResume::StepInto: tStep.Set(TThreadStep::TMode::Into); return 0;
        case TDebugResume::StepOver: tStep.Set(TThreadStep::TMode::Over, AFrame); return 0;
        case TDebugResume::Abort:
            tStep.Set(TThreadStep::TMode::None);
            tStep.Aborting = true;
            return RaiseAbort();
        case TDebugResume::Continue: break;
    }
    tStep.Set(TThreadStep::TMode::None);
    Disarm();
    return 0;
}

// ---- Tracing scope ---------------------------------------------------------------------------------

TTraceScope::TTraceScope(const TPyDebug& ADebug) {
    if (!ADebug.Debugged()) return;
    FState = PyThreadState_Get();
    FDebug = &ADebug;
    if (tEntries++ == 0) {
        tOldFunc = FState->c_tracefunc;
        tOldObj = FState->c_traceobj;
        Py_XINCREF(tOldObj);
    }
    Runs().push_back({FState, FDebug});
    if (ADebug.Armed()) Arm(FState);
}

TTraceScope::~TTraceScope() {
    if (!FDebug) return;
    std::vector<TRun>& runs = Runs();
    const auto it = std::find_if(runs.rbegin(), runs.rend(),
                                 [&](const TRun& ARun) { return ARun.State == FState && ARun.Debug == FDebug; });
    if (it != runs.rend()) runs.erase(std::next(it).base());
    if (--tEntries > 0) return;
    if (FState->c_tracefunc == &Trace) PyEval_SetTrace(tOldFunc, tOldObj);
    Py_XDECREF(tOldObj);
    tOldFunc = nullptr;
    tOldObj = nullptr;
    tStep.Set(TThreadStep::TMode::None);
    tStep.Aborting = false;
}

}  // namespace xan::as::py
