#include "activescript/plugins/js/JsDebug.h"

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/Exception.h>
#include <js/GlobalObject.h>
#include <js/Interrupt.h>
#include <js/PropertyAndElement.h>
#include <js/Realm.h>
#include <js/SourceText.h>
#include <js/ValueArray.h>
#include <jsfriendapi.h>

#include <algorithm>

#include "activescript/debug/DebugIntf.h"
#include "activescript/debug/DebugObjects.h"
#include "activescript/plugins/js/JsValues.h"
#include "platform/text/NumText.h"

namespace xan::as::js {

namespace {

constexpr std::string_view KTextFilePrefix = "script#";

// The debugger's side, run in the debugger global. It is called with the debuggee global and
// `stop(reason)`, which reports a stop to the engine and answers how to go on; reasons and
// answers are the numbers of TDebugStopReason and TDebugResume. Frames and values handed to
// the engine are numbered in `handles`, which is emptied when a stop ends.
constexpr char16_t KDebuggerScript[] = uR"js((function (debuggee, stop) {
  "use strict";
  const BREAKPOINT = 0, STEP = 1, HALT = 2;
  const STEP_INTO = 1, STEP_OVER = 2, IGNORE = 3, ABORT = 4;
  const dbg = new Debugger();
  const global = dbg.addDebuggee(debuggee);
  const standard = new Set(Object.getOwnPropertyNames(globalThis));
  const texts = new Map();     // file name -> its scripts, kept alive for their breakpoints
  const handlers = new Map();  // "file:line" -> the line's breakpoint handler
  let armed = [];              // frames given a step handler
  let handles = [];
  let stopping = false, aborting = false;

  function keep(v) { handles.push(v); return handles.length - 1; }
  function place(f) { return f.script.getOffsetMetadata(f.offset); }
  function breakpointAt(f) { return f.script.getBreakpoints(f.offset).length > 0; }

  // ---- Stops and steps
  function stopAt(frame, reason) {
    if (aborting) return null;
    if (stopping) return undefined;  // code the debugger runs in a stop does not stop
    stopping = true;
    let answer;
    try { answer = stop(reason); } finally { stopping = false; handles = []; }
    if (answer === IGNORE) return undefined;
    disarm();
    if (answer === ABORT) { abort(); return null; }
    if (answer === STEP_INTO || answer === STEP_OVER) armSteps(frame, answer === STEP_INTO);
    return undefined;
  }
  function arm(frame, test) {
    frame.onStep = function () { return test(this); };
    armed.push(frame);
  }
  function disarm() {
    for (const f of armed) if (f.onStack) f.onStep = undefined;
    armed = [];
    dbg.onEnterFrame = undefined;
  }
  // A statement's start, where no breakpoint stops first.
  function atStatement(f, reason) {
    const p = place(f);
    return p.isStepStart && !breakpointAt(f) ? stopAt(f, reason) : undefined;
  }
  function onNewLine(line) {
    return f => {
      const p = place(f);
      return p.isStepStart && p.lineNumber !== line && !breakpointAt(f) ? stopAt(f, STEP) : undefined;
    };
  }
  // Over: the next statement on another line of this frame or a caller; into: also the first
  // statement of a frame entered.
  function armSteps(frame, into) {
    for (let f = frame; f; f = f.older) arm(f, onNewLine(place(f).lineNumber));
    if (into) dbg.onEnterFrame = f => { arm(f, g => atStatement(g, STEP)); };
  }
  function halt() {
    for (let f = dbg.getNewestFrame(); f; f = f.older) arm(f, g => atStatement(g, HALT));
    dbg.onEnterFrame = f => { arm(f, g => atStatement(g, HALT)); };
  }
  // Every frame of the engine ends, callers that another engine's failure returns to included.
  function abort() {
    aborting = true;
    for (let f = dbg.getNewestFrame(); f; f = f.older) f.onStep = () => null;
    dbg.onEnterFrame = () => null;
  }
  function endAbort() {
    aborting = false;
    dbg.onEnterFrame = undefined;
  }

  // ---- Breakpoints
  function addText(file) {
    const scripts = dbg.findScripts({url: file});
    texts.set(file, scripts);
    const lines = new Set();
    for (const s of scripts) for (const p of s.getPossibleBreakpoints()) lines.add(p.lineNumber);
    return [...lines].sort((a, b) => a - b);
  }
  function setBreakpoint(file, line, enabled) {
    const key = file + ":" + line;
    let handler = handlers.get(key);
    if (!handler) {
      handler = {hit: f => stopAt(f, BREAKPOINT)};
      handlers.set(key, handler);
    }
    for (const s of texts.get(file) || []) {
      s.clearBreakpoint(handler);
      if (enabled) for (const offset of s.getLineOffsets(line)) s.setBreakpoint(offset, handler);
    }
  }

  // ---- Frames and values
  function frames() {
    const list = [];
    for (let f = dbg.getNewestFrame(); f; f = f.older)
      if (f.type === "call" || f.type === "global" || f.type === "eval") list.push(keep(f));
    return list;
  }
  function frameInfo(h) {
    const f = handles[h];
    const name = f.type === "global" ? "Global code"
      : f.type === "eval" ? "eval code"
      : (f.callee && (f.callee.displayName || f.callee.name)) || "(anonymous function)";
    return [name, f.script.url, place(f).lineNumber];
  }
  function primitiveText(v) {
    if (typeof v === "string") return JSON.stringify(v);
    if (typeof v === "bigint") return v + "n";
    return typeof v === "symbol" ? v.toString() : String(v);
  }
  function dataProperty(obj, name) {
    for (let o = obj; o; o = o.proto) {
      const d = o.getOwnPropertyDescriptor(name);
      if (d) return "value" in d ? d.value : undefined;
    }
    return undefined;
  }
  function objectText(o) {
    if (o.callable) return "function " + (o.displayName || o.name || "");
    if (o.class === "Array") return "Array(" + dataProperty(o, "length") + ")";
    const message = dataProperty(o, "message");
    if (typeof message === "string") {
      const name = dataProperty(o, "name");
      return (typeof name === "string" ? name + ": " : "") + message;
    }
    return o.class;
  }
  function describe(name, v) {
    if (v instanceof Debugger.Object)
      return [name, v.callable ? "function" : v.class, objectText(v), v.callable ? -1 : keep(v)];
    if (v !== null && typeof v === "object")  // what an environment says of a value it cannot give
      return [name, "", v.uninitialized ? "(uninitialized)" : v.optimizedOut ? "(optimized out)" : "(unavailable)", -1];
    return [name, v === null ? "null" : typeof v, primitiveText(v), -1];
  }
  // The frame's own bindings, innermost scope first; for the global frame the script's own
  // globals (not the standard ones, not its functions).
  function frameVariables(frame) {
    const list = [], seen = new Set();
    const add = (name, v) => { if (!seen.has(name)) { seen.add(name); list.push(describe(name, v)); } };
    for (let env = frame.environment; env; env = env.parent) {
      if (env.type === "declarative") {
        for (const name of env.names()) if (name !== "arguments") add(name, env.getVariable(name));
        if (env.scopeKind === "function") break;
      } else if (env.object === global) {
        for (const name of global.getOwnPropertyNames()) {
          if (standard.has(name)) continue;
          const d = global.getOwnPropertyDescriptor(name);
          if (d && "value" in d && !(d.value instanceof Debugger.Object && d.value.callable)) add(name, d.value);
        }
        break;
      }
    }
    return list;
  }
  function objectMembers(obj) {
    const list = [];
    const array = obj.class === "Array";
    for (const name of obj.getOwnPropertyNames()) {
      if (array && name === "length") continue;
      const d = obj.getOwnPropertyDescriptor(name);
      list.push(d && "value" in d ? describe(name, d.value) : [name, "accessor", "(getter)", -1]);
    }
    return list;
  }
  function children(h) {
    const item = handles[h];
    return item instanceof Debugger.Frame ? frameVariables(item) : objectMembers(item);
  }
  function evaluate(h, text) {
    const c = handles[h].eval(text);
    if (c === null) return [false, "The evaluation was stopped"];
    if ("return" in c) return [true, describe(text, c.return)];
    const e = c.throw;
    return [false, e instanceof Debugger.Object ? objectText(e) : primitiveText(e)];
  }

  function detach() {
    disarm();
    for (const [file, scripts] of texts) for (const s of scripts) s.clearAllBreakpoints();
    texts.clear();
    dbg.removeAllDebuggees();
  }

  return {addText, setBreakpoint, halt, endAbort, frames, frameInfo, children, evaluate, detach};
}))js";

static_assert(static_cast<int>(TDebugStopReason::Breakpoint) == 0 && static_cast<int>(TDebugStopReason::Step) == 1 &&
              static_cast<int>(TDebugStopReason::Halt) == 2);
static_assert(static_cast<int>(TDebugResume::Continue) == 0 && static_cast<int>(TDebugResume::StepInto) == 1 &&
              static_cast<int>(TDebugResume::StepOver) == 2 && static_cast<int>(TDebugResume::Ignore) == 3 &&
              static_cast<int>(TDebugResume::Abort) == 4);

const JSClass KDebuggerGlobalClass = {"debugger", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

// The debugging engines of each thread, for the interrupt callback of its context.
thread_local std::vector<TJsDebug*> tAttached;
thread_local bool tInterruptHooked = false;

[[noreturn]] void RaiseNotStarted(JSContext* cx) {
    JS_ClearPendingException(cx);
    plat::Throw<EScriptError>(UString(u"The JavaScript debugger could not be started"));
}

bool StopNative(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    auto* owner = static_cast<TJsDebug*>(::js::GetFunctionNativeReserved(&args.callee(), 0).toPrivate());
    const int reason = args.get(0).isInt32() ? args.get(0).toInt32() : static_cast<int>(TDebugStopReason::Halt);
    args.rval().setInt32(static_cast<int>(owner->Stopped(static_cast<TDebugStopReason>(reason))));
    return true;
}

}  // namespace

// The debugger global and its script's operations, alive while a host is set. Frames and
// values hold it weakly: they may outlive the debugging, and then show nothing.
class TJsDebugSession : public std::enable_shared_from_this<TJsDebugSession> {
public:
    TJsDebugSession(JSContext* cx, JSObject* ADebuggee, TJsDebug* AOwner) : FCx(cx), FGlobal(cx), FApi(cx) {
        JS::RealmOptions options;
        options.creationOptions().setNewCompartmentAndZone().setInvisibleToDebugger(true);
        FGlobal = JS_NewGlobalObject(cx, &KDebuggerGlobalClass, nullptr, JS::DontFireOnNewGlobalHook, options);
        if (!FGlobal) RaiseNotStarted(cx);
        JSAutoRealm realm(cx, FGlobal);
        if (!JS::InitRealmStandardClasses(cx) || !JS_DefineDebuggerObject(cx, FGlobal)) RaiseNotStarted(cx);
        JS::SourceText<char16_t> source;
        if (!source.init(cx, KDebuggerScript, std::char_traits<char16_t>::length(KDebuggerScript),
                         JS::SourceOwnership::Borrowed))
            RaiseNotStarted(cx);
        JS::CompileOptions compile(cx);
        compile.setFileAndLine("debugger", 1);
        JS::RootedValue factory(cx);
        if (!JS::Evaluate(cx, compile, source, &factory)) RaiseNotStarted(cx);
        JSFunction* stop = ::js::NewFunctionWithReserved(cx, StopNative, 1, 0, "stop");
        if (!stop) RaiseNotStarted(cx);
        JS::RootedObject stopObject(cx, JS_GetFunctionObject(stop));
        ::js::SetFunctionNativeReserved(stopObject, 0, JS::PrivateValue(AOwner));
        JS::RootedObject debuggee(cx, ADebuggee);
        if (!JS_WrapObject(cx, &debuggee)) RaiseNotStarted(cx);
        JS::RootedValueArray<2> args(cx);
        args[0].setObject(*debuggee);
        args[1].setObject(*stopObject);
        JS::RootedValue api(cx);
        if (!JS::Call(cx, JS::UndefinedHandleValue, factory, args, &api) || !api.isObject()) RaiseNotStarted(cx);
        FApi = &api.toObject();
    }
    ~TJsDebugSession() {
        JS::RootedValue ignored(FCx);
        Call("detach", JS::HandleValueArray::empty(), &ignored);
    }

    JSContext* Cx() const noexcept { return FCx; }
    // Handles of frames and values are good for one stop.
    std::uint64_t Generation() const noexcept { return FGeneration; }
    void EndStop() noexcept { ++FGeneration; }

    // One of the script's operations; false (nothing pending) when it failed.
    bool Call(const char* AName, const JS::HandleValueArray& AArgs, JS::MutableHandleValue AResult) {
        JSAutoRealm realm(FCx, FGlobal);
        if (JS_CallFunctionName(FCx, FApi, AName, AArgs, AResult)) return true;
        JS_ClearPendingException(FCx);
        return false;
    }
    // The same with the result as an array's elements (none when it is not one).
    bool CallForList(const char* AName, const JS::HandleValueArray& AArgs, JS::MutableHandleValueVector AOut) {
        JS::RootedValue result(FCx);
        return Call(AName, AArgs, &result) && Elements(result, AOut);
    }
    bool Elements(JS::HandleValue AArray, JS::MutableHandleValueVector AOut) {
        AOut.clear();
        if (!AArray.isObject()) return false;
        JSAutoRealm realm(FCx, FGlobal);
        JS::RootedObject array(FCx, &AArray.toObject());
        std::uint32_t length = 0;
        JS::RootedValue item(FCx);
        bool ok = JS::GetArrayLength(FCx, array, &length);
        for (std::uint32_t i = 0; ok && i < length; ++i) ok = JS_GetElement(FCx, array, i, &item) && AOut.append(item);
        if (!ok) JS_ClearPendingException(FCx);
        return ok;
    }
    // Strings for the script's operations live in its compartment.
    JS::Value String(std::string_view AText) {
        JSAutoRealm realm(FCx, FGlobal);
        JSString* s = JS_NewStringCopyN(FCx, AText.data(), AText.size());
        return s ? JS::StringValue(s) : JS::UndefinedValue();
    }
    JS::Value String(const UString& AText) {
        JSAutoRealm realm(FCx, FGlobal);
        JSString* s = JS_NewUCStringCopyN(FCx, AText.c_str(), static_cast<std::size_t>(AText.length()));
        return s ? JS::StringValue(s) : JS::UndefinedValue();
    }
    UString Text(JS::HandleValue AValue) {
        JSAutoRealm realm(FCx, FGlobal);
        return AValue.isString() ? StringText(FCx, AValue.toString()) : UString();
    }
    static Integer Number(JS::HandleValue AValue) {
        return AValue.isInt32() ? AValue.toInt32() : AValue.isDouble() ? static_cast<Integer>(AValue.toDouble()) : -1;
    }

private:
    JSContext* FCx;
    JS::PersistentRootedObject FGlobal;
    JS::PersistentRootedObject FApi;
    std::uint64_t FGeneration = 0;
};

namespace {

// A frame or value the script numbered during one stop.
struct THandle {
    std::weak_ptr<TJsDebugSession> Session;
    std::uint64_t Generation = 0;
    Integer Number = -1;
    // The session while the handle is good.
    std::shared_ptr<TJsDebugSession> Live() const {
        std::shared_ptr<TJsDebugSession> s = Session.lock();
        return s && s->Generation() == Generation && Number >= 0 ? s : nullptr;
    }
};

class TJsDebugVar final : public TLanguageDebugVar {
public:
    TJsDebugVar(THandle AHandle, UString AName, UString AType, UString AValue) : FHandle(std::move(AHandle)) {
        Name = std::move(AName);
        Type = std::move(AType);
        Value = std::move(AValue);
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
    }
    // A record [name, type, text, handle] of the script.
    static TLanguageDebugVarRef FromRecord(TJsDebugSession& ASession, JS::HandleValue ARecord) {
        JS::RootedValueVector fields(ASession.Cx());
        if (!ASession.Elements(ARecord, &fields) || fields.length() != 4)
            return std::make_shared<TLeafDebugVar>(UString(), UString(), UString());
        THandle handle{ASession.weak_from_this(), ASession.Generation(), TJsDebugSession::Number(fields[3])};
        return std::make_shared<TJsDebugVar>(handle, ASession.Text(fields[0]), ASession.Text(fields[1]),
                                             ASession.Text(fields[2]));
    }

    bool Expandable() const override { return FHandle.Number >= 0; }
    std::vector<TLanguageDebugVarRef> Children() override {
        std::vector<TLanguageDebugVarRef> list;
        std::shared_ptr<TJsDebugSession> session = FHandle.Live();
        if (!session) return list;
        JSContext* cx = session->Cx();
        JS::RootedValueArray<1> args(cx);
        args[0].setInt32(static_cast<std::int32_t>(FHandle.Number));
        JS::RootedValueVector records(cx);
        if (!session->CallForList("children", args, &records)) return list;
        for (std::size_t i = 0; i < records.length(); ++i) list.push_back(FromRecord(*session, records[i]));
        return list;
    }

private:
    THandle FHandle;
};

class TJsFrame final : public TLanguageFrame {
public:
    TJsFrame(THandle AHandle, UString AName, Integer ALine)
        : FHandle(std::move(AHandle)), FName(std::move(AName)), FLine(ALine) {}
    UString Description(bool ALong) override {
        if (!ALong) return FName;
        return FName + UString(u", line: ") + plat::IntToStr(FLine);
    }
    Integer Line() override { return FLine; }
    // The root's children are the frame's bindings.
    TLanguageDebugVarRef Variables() override {
        return std::make_shared<TJsDebugVar>(FHandle, UString(), UString(), UString());
    }
    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        TLanguageEvalResult result;
        result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(u"Error"),
                                                       UString(u"The expression cannot be evaluated here"));
        std::shared_ptr<TJsDebugSession> session = FHandle.Live();
        if (!session) return result;
        JSContext* cx = session->Cx();
        JS::RootedValueArray<2> args(cx);
        args[0].setInt32(static_cast<std::int32_t>(FHandle.Number));
        args[1].set(session->String(AExpr));
        JS::RootedValueVector answer(cx);
        if (!session->CallForList("evaluate", args, &answer) || answer.length() != 2) return result;
        result.Ok = answer[0].isTrue();
        if (result.Ok) result.Value = TJsDebugVar::FromRecord(*session, answer[1]);
        else result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(u"Error"), session->Text(answer[1]));
        return result;
    }

private:
    THandle FHandle;
    UString FName;
    Integer FLine;
};

}  // namespace

// ---- TJsDebug ----------------------------------------------------------------------------------------

TJsDebug::TJsDebug(JSContext* cx, const JS::PersistentRootedObject& ADebuggee)
    : FCx(cx), FDebuggee(ADebuggee), FOwnerThread(std::this_thread::get_id()) {}

TJsDebug::~TJsDebug() { Detach(); }

std::string TJsDebug::NextFileName() const {
    std::lock_guard<std::mutex> guard(FLock);
    return std::string(KTextFilePrefix) + std::to_string(FTexts.size() + 1);
}

bool TJsDebug::IsTextFileName(std::string_view AName) { return AName.substr(0, KTextFilePrefix.size()) == KTextFilePrefix; }

void TJsDebug::TextCompiled(const UString& AText) {
    TText text;
    text.FileName = NextFileName();
    text.Count = static_cast<Integer>(LineStartsOf(AText.view()).size());
    if (FSession) text.CodeLines = CodeLinesOf(text.FileName);
    std::lock_guard<std::mutex> guard(FLock);
    text.First = FNextLine;
    FNextLine += text.Count;
    for (Integer& line : text.CodeLines) line += text.First;
    FTexts.push_back(std::move(text));
}

// The lines of a text that hold code, from the debugger (from 0 in the text).
std::vector<Integer> TJsDebug::CodeLinesOf(const std::string& AFileName) {
    JSContext* cx = FCx;
    JS::RootedValueArray<1> args(cx);
    args[0].set(FSession->String(AFileName));
    JS::RootedValueVector lines(cx);
    std::vector<Integer> list;
    if (!FSession->CallForList("addText", args, &lines)) return list;
    for (std::size_t i = 0; i < lines.length(); ++i) list.push_back(TJsDebugSession::Number(lines[i]) - 1);
    return list;
}

Integer TJsDebug::LineOf(const std::string& AFileName, Integer ATextLine) const {
    std::lock_guard<std::mutex> guard(FLock);
    for (const TText& t : FTexts)
        if (t.FileName == AFileName) return t.First + ATextLine - 1;
    return -1;
}

TJsDebug::TRun::TRun(TJsDebug& AOwner) : FOwner(AOwner) {
    if (FOwner.FDepth++ == 0 && FOwner.FSession) FOwner.Poll();
}

TJsDebug::TRun::~TRun() {
    if (--FOwner.FDepth > 0 || !FOwner.FAborting) return;
    FOwner.FAborting = false;
    if (!FOwner.FSession) return;
    JS::RootedValue ignored(FOwner.FCx);
    FOwner.FSession->Call("endAbort", JS::HandleValueArray::empty(), &ignored);
}

void TJsDebug::SetHost(TLanguageDebugHost* AHost) {
    if (AHost && !FSession) Attach();
    FHost = AHost;
    if (!AHost) Detach();
}

void TJsDebug::Attach() {
    FSession = std::make_shared<TJsDebugSession>(FCx, FDebuggee, this);
    if (!tInterruptHooked) tInterruptHooked = JS_AddInterruptCallback(FCx, &TJsDebug::OnInterrupt);
    tAttached.push_back(this);
    // The debugger's script runs unlocked: an interrupt while it runs polls.
    std::vector<std::pair<std::string, Integer>> files;
    {
        std::lock_guard<std::mutex> guard(FLock);
        for (const TText& text : FTexts) files.emplace_back(text.FileName, text.First);
    }
    std::vector<std::vector<Integer>> lines;
    for (const auto& [file, first] : files) {
        lines.push_back(CodeLinesOf(file));
        for (Integer& line : lines.back()) line += first;
    }
    std::lock_guard<std::mutex> guard(FLock);
    for (std::size_t i = 0; i < lines.size(); ++i) FTexts[i].CodeLines = std::move(lines[i]);
    FChanged = FBreakpoints;
}

void TJsDebug::Detach() noexcept {
    if (!FSession) return;
    std::erase(tAttached, this);
    FSession.reset();
}

Integer TJsDebug::CodeLineAt(Integer ALine) {
    std::lock_guard<std::mutex> guard(FLock);
    for (const TText& t : FTexts) {
        if (ALine >= t.First + t.Count) continue;
        const auto it = std::lower_bound(t.CodeLines.begin(), t.CodeLines.end(), ALine);
        if (it != t.CodeLines.end()) return *it;
    }
    return -1;
}

void TJsDebug::SetLineBreakpoint(Integer ALine, bool AEnabled) {
    {
        std::lock_guard<std::mutex> guard(FLock);
        FBreakpoints[ALine] = AEnabled;
        FChanged[ALine] = AEnabled;
    }
    // Another thread's change is taken in by the running script's next interrupt check, or at
    // its next run.
    if (!OnOwnerThread()) JS_RequestInterruptCallback(FCx);
    else if (FSession) Poll();
}

void TJsDebug::RequestBreak() {
    FHaltRequested = true;
    JS_RequestInterruptCallback(FCx);
}

void TJsDebug::Poll() {
    std::map<Integer, bool> changed;
    std::vector<TText> texts;
    {
        std::lock_guard<std::mutex> guard(FLock);
        changed.swap(FChanged);
        if (!changed.empty()) texts = FTexts;
    }
    JSContext* cx = FCx;
    JS::RootedValueArray<3> args(cx);
    JS::RootedValue ignored(cx);
    for (const auto& [line, enabled] : changed) {
        const auto text = std::find_if(texts.begin(), texts.end(), [&](const TText& t) { return line >= t.First && line < t.First + t.Count; });
        if (text == texts.end()) continue;
        args[0].set(FSession->String(text->FileName));
        args[1].setInt32(static_cast<std::int32_t>(line - text->First + 1));
        args[2].setBoolean(enabled);
        FSession->Call("setBreakpoint", args, &ignored);
    }
    if (FHaltRequested.exchange(false)) FSession->Call("halt", JS::HandleValueArray::empty(), &ignored);
}

bool TJsDebug::OnInterrupt(JSContext*) {
    for (TJsDebug* debug : std::vector<TJsDebug*>(tAttached)) debug->Poll();
    return true;
}

TDebugResume TJsDebug::Stopped(TDebugStopReason AReason) {
    TLanguageDebugHost* host = FHost;
    TDebugResume resume = TDebugResume::Continue;
    if (host) {
        // An exception cannot cross the interpreter's frames: a failed stop ends the script.
        if (plat::CatchAll([&] { resume = host->Stopped(AReason); })) resume = TDebugResume::Abort;
    }
    if (FSession) FSession->EndStop();
    if (resume == TDebugResume::Abort) FAborting = true;
    if (FSession) Poll();  // breakpoints set during the stop
    return resume;
}

std::vector<std::unique_ptr<TLanguageFrame>> TJsDebug::Frames() {
    std::vector<std::unique_ptr<TLanguageFrame>> list;
    if (!FSession) return list;
    JSContext* cx = FCx;
    JS::RootedValueVector handles(cx), info(cx);
    if (!FSession->CallForList("frames", JS::HandleValueArray::empty(), &handles)) return list;
    JS::RootedValueArray<1> args(cx);
    for (std::size_t i = 0; i < handles.length(); ++i) {
        args[0].set(handles[i]);
        if (!FSession->CallForList("frameInfo", args, &info) || info.length() != 3) continue;
        const std::string file = FSession->Text(info[1]).ToUtf8();
        THandle handle{FSession, FSession->Generation(), TJsDebugSession::Number(handles[i])};
        list.push_back(std::make_unique<TJsFrame>(handle, FSession->Text(info[0]),
                                                  LineOf(file, TJsDebugSession::Number(info[2]))));
    }
    return list;
}

}  // namespace xan::as::js
