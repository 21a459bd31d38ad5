// The "ObjectREXXScript" engine: Regina REXX behind the generic script engine.
//
// REXX has no global scope that outlives a program run, so the adapter keeps the script's
// state itself: the source of every parsed block (its "library"), the global variables, and
// the objects handed to the script (RexxValues.h). Every use of the script is one RexxStart of
// a small program: a head of our own followed by the library, so that the labels (procedures)
// of the script can be called:
//   running a block's global code    <block text> / exit
//   calling a procedure NAME         call NAME arg(1), , arg(3); if symbol('RESULT') == 'VAR' then exit result; exit
//   an expression                    return <expression>
//   statements                       <statements> / exit
// At the start of each run (the RXINI exit) the kept variables are put back into the program's
// variable pool; at its end (RXTER), when the run ends at the global level, they are read back.
// A run that fails inside a procedure keeps the variables as they were before it; a host call
// back into the same engine runs with the variables as they were when the outer run began, and
// the outer run's variables are the ones kept when it ends.
//
// Host objects are reached through functions (the RXFNC exit, asked only for names that are
// neither labels of the script nor built-in functions):
//   NAME(member, arg, ...)     a named item NAME: reads a property or calls a method
//   NAME('member=', value)     sets a property (with index arguments before the value)
//   NAME('', arg, ...)         the default member
//   NAME(1) / NAME(0)          the default member with the Boolean True / False: REXX's truth
//                              values are numbers, and no member's name starts with a digit
//                              (how a breakpoint condition's truth reaches the debugger)
//   invoke(handle, member, arg, ...)   the same for an object the script was given (a handle)
//   member(arg, ...)           a member of an item published with its members, by its own name
// Arguments are passed by value only.
//
// Errors come from Regina's reports: at run time through the RXSIO trace exit; a syntax error
// is found before anything runs by tokenising the new text alone, and Regina writes that report
// to the standard error stream, which is caught for the moment (under a lock). Regina does not
// tell the column of an error.
//
// Debugging (RexxDebug.h): while a debugger is attached every run but an evaluation starts
// with TRACE A, put in front of the head's first line so that no line moves. Each traced clause
// reaches the trace exit before it runs; there the engine follows the routine activations,
// decides whether to stop (breakpoints, steps, a requested break) and stops on the script's
// thread. Variables come from the variable pool; an expression is evaluated by a run of its
// own that starts with the stopped activation's variables. Abort fails the clause through the
// exit, and every later clause of that run, with "Script execution has been aborted.". Nobody
// debugging, nothing is traced. A script's own TRACE instructions change what is traced.
//
// Why every clause is traced while a debugger is attached, even with nothing armed (it costs
// about six times the CPU of an untraced run; Regina's trace formatting is most of it): the
// interpreter (3.6) offers no other per-clause hook and no way to start tracing a running
// activation from outside. RexxStart refuses the halt and external-trace exits (RXHLT, RXTRC)
// as bad parameters; RexxSetTrace is not exported; RexxSetHalt from another thread is never
// seen by a running loop; a HALT delivered by signal is seen, but it abandons the clause in
// progress (a loop's `n = n + 1` loses one increment), and a TRACE changed in a condition
// handler is restored when the handler returns. So an untraced run could neither see a
// requested break nor arm a breakpoint set while it runs, nor show its frame when another
// engine's script stops below it.
//
// Regina's registry of exits is per thread: the exit is registered on each thread that runs a
// script. The adapter running a program is found through a per-thread stack, so engines may
// call one another (a host call from one script into another engine) on one thread.
#define INCL_RXSHV
#define INCL_RXSYSEXIT
#define INCL_RXFUNC
#include <rexxsaa.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"
#include "activescript/plugins/rexx/RexxDebug.h"
#include "activescript/plugins/rexx/RexxValues.h"
#include "platform/ole/ComPtr.h"

namespace xan::as::rexx {

using plat::Variant;

namespace {

constexpr const char* KExitName = "VELMORA_ACTIVESCRIPT";
constexpr const char* KProgramName = "script";
// Set at the global level at the start of a run: found again at the end only when the run
// ends there. '!' keeps it out of the way of ordinary REXX names.
constexpr std::string_view KMarker = "!VELMORA!";
// Variables the interpreter sets on its own; they are not the script's state.
bool IsKeptVariable(const std::string& AName) { return AName != KMarker && AName != "RESULT" && AName != "SIGL"; }

std::string Upper(std::string AText) {
    for (char& c : AText) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return AText;
}

Integer LineCount(const std::string& AText) {
    return static_cast<Integer>(std::count(AText.begin(), AText.end(), '\n')) + 1;
}

bool IsSymbolChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("_.!?@#$", c); }

// The labels of a text: a symbol followed by ':' at the start of a line.
void CollectLabels(const std::string& AText, std::set<std::string>& ALabels) {
    std::size_t at = 0;
    while (at < AText.size()) {
        std::size_t end = AText.find('\n', at);
        if (end == std::string::npos) end = AText.size();
        std::size_t i = AText.find_first_not_of(" \t", at);
        const std::size_t start = i;
        while (i < end && IsSymbolChar(AText[i])) ++i;
        const std::size_t symbolEnd = i;
        while (i < end && (AText[i] == ' ' || AText[i] == '\t')) ++i;
        if (start < end && symbolEnd > start && i < end && AText[i] == ':')
            ALabels.insert(Upper(AText.substr(start, symbolEnd - start)));
        at = end + 1;
    }
}

// One error as Regina reports it:
//      5 +++    return t / 0                                           (run time only)
//   Error 42 running "script", line 5: Arithmetic overflow/underflow
//   Error 42.3: Arithmetic overflow; divisor must not be zero         (when there is a detail)
// The description is the detail line when there is one, else the main line's text; the line
// counts from 1 (0 when the report has none).
struct TReport {
    std::string Description;
    Integer Line = 0;
};

TReport ParseReport(const std::string& AText, long ARc) {
    TReport report;
    std::size_t at = 0;
    while (at < AText.size()) {
        std::size_t end = AText.find('\n', at);
        if (end == std::string::npos) end = AText.size();
        const std::string line = AText.substr(at, end - at);
        at = end + 1;
        if (line.rfind("Error ", 0) != 0) continue;
        const std::size_t running = line.find(" running \"");
        const std::size_t lineMark = line.find("\", line ");
        if (running != std::string::npos && lineMark != std::string::npos && report.Line == 0) {
            report.Line = std::atoi(line.c_str() + lineMark + 8);
            const std::size_t colon = line.find(": ", lineMark);
            report.Description = colon == std::string::npos ? line : "Error " + line.substr(6, running - 6) + ": " +
                                                                         line.substr(colon + 2);
        } else if (running == std::string::npos && !report.Description.empty()) {
            report.Description = line;
            break;
        }
    }
    if (report.Description.empty()) report.Description = "Error " + std::to_string(-ARc) + " in the REXX script";
    return report;
}

// The standard error stream into a memory file while Regina tokenises a text.
class TErrorStreamCapture {
public:
    TErrorStreamCapture() : FLock(Mutex()) {
        std::fflush(stderr);
        FFile = ::memfd_create("velmora-rexx-errors", 0);
        FSaved = FFile >= 0 ? ::dup(STDERR_FILENO) : -1;
        if (FSaved >= 0) ::dup2(FFile, STDERR_FILENO);
    }
    ~TErrorStreamCapture() {
        Restore();
        if (FFile >= 0) ::close(FFile);
    }
    std::string Finish() {
        Restore();
        std::string text;
        if (FFile < 0) return text;
        ::lseek(FFile, 0, SEEK_SET);
        char buffer[4096];
        for (ssize_t n; (n = ::read(FFile, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
        return text;
    }

private:
    static std::mutex& Mutex() {
        static std::mutex mutex;
        return mutex;
    }
    void Restore() {
        if (FSaved < 0) return;
        std::fflush(stderr);
        ::dup2(FSaved, STDERR_FILENO);
        ::close(FSaved);
        FSaved = -1;
    }
    std::lock_guard<std::mutex> FLock;
    int FFile = -1;
    int FSaved = -1;
};

void FreeRexxString(RXSTRING& AString) {
    if (AString.strptr) RexxFreeMemory(AString.strptr);
    AString.strptr = nullptr;
}

class TRexxAdapter;

using TVariables = std::map<std::string, std::string>;  // names as the variable pool spells them

struct TRunOptions {
    Integer HeadFirstLine = -1;        // the adapter's line of the head's first line; -1: not script text
    const TVariables* Vars = nullptr;  // an evaluation: starts with these, keeps nothing, is not traced
};

// What one run collects; the innermost run of the thread is on top.
struct TRunContext {
    TRunContext(TRexxAdapter* AAdapter, TRunContext* AOuter, TRunOptions AOptions, Integer AHeadLines, std::uint64_t ASerial)
        : Adapter(AAdapter), Outer(AOuter), Options(AOptions), HeadLines(AHeadLines), Serial(ASerial) {}
    TRexxAdapter* Adapter;
    TRunContext* Outer;
    TRunOptions Options;
    Integer HeadLines;
    std::uint64_t Serial;
    std::string Trace;
    std::unique_ptr<plat::Exception> HostError;
    // While debugging:
    bool Traced = false;
    bool Aborting = false;
    Integer LastProgramLine = 0;
    TCallTracker Calls;
    std::optional<TVariables> Suspended;  // its variables while a run on top of it goes on
};
thread_local TRunContext* GCurrentRun = nullptr;

bool IsRunning(std::uint64_t ASerial) {
    for (const TRunContext* run = GCurrentRun; run; run = run->Outer)
        if (run->Serial == ASerial) return true;
    return false;
}

// All variables of the program on top of Regina's stack, the engine's marker left out.
TVariables ReadPool() {
    TVariables vars;
    for (;;) {
        SHVBLOCK block{};
        block.shvcode = RXSHV_NEXTV;
        if (RexxVariablePool(&block) & RXSHV_LVAR) break;
        std::string name(block.shvname.strptr, block.shvname.strlength);
        std::string value(block.shvvalue.strptr ? block.shvvalue.strptr : "", RXSTRLEN(block.shvvalue));
        FreeRexxString(block.shvname);
        FreeRexxString(block.shvvalue);
        if (name != KMarker) vars.emplace(std::move(name), std::move(value));
    }
    return vars;
}

// Breakpoints, steps and requested breaks, decided at each traced clause.
class TRexxDebugger final : public TLanguageDebug {
public:
    explicit TRexxDebugger(TRexxAdapter& AOwner) : FOwner(AOwner) {}

    void SetHost(TLanguageDebugHost* AHost) override { FHost.store(AHost); }
    TLanguageDebugHost* Host() const noexcept { return FHost.load(std::memory_order_relaxed); }
    Integer CodeLineAt(Integer ALine) override {
        std::lock_guard lock(FLock);
        return FSource.CodeLineAt(ALine);
    }
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override {
        std::lock_guard lock(FLock);
        if (AEnabled) FBreakpoints.insert(ALine);
        else FBreakpoints.erase(ALine);
    }
    void RequestBreak() override { FBreakRequested.store(true); }
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // A parsed text joins the numbering; answers its first line.
    Integer AddSource(const std::string& AText) {
        std::lock_guard lock(FLock);
        return FSource.Add(AText);
    }
    const TRexxSourceMap& Source() const noexcept { return FSource; }  // on the script's thread
    LONG OnClause(TRunContext& ARun, const TTraceClause& AClause, Integer ALine);
    // A traced run ends; a step does not outlive the outermost run of the engine.
    void RunEnded(const TRunContext& ARun) {
        for (const TRunContext* run = ARun.Outer; run; run = run->Outer)
            if (run->Adapter == ARun.Adapter && run->Traced) return;
        FStep = TStep::None;
    }

private:
    enum class TStep : std::uint8_t { None, Into, Over };
    std::optional<TDebugStopReason> ArrivalStop(const TRunContext& ARun, Integer ALine) {
        if (FStep == TStep::Into) return TDebugStopReason::Step;
        if (FStep == TStep::Over &&
            (FStepRun == ARun.Serial ? ARun.Calls.Activations().size() <= FStepDepth : !IsRunning(FStepRun)))
            return TDebugStopReason::Step;
        std::lock_guard lock(FLock);
        if (FBreakpoints.count(ALine)) return TDebugStopReason::Breakpoint;
        return std::nullopt;
    }
    static LONG Abort(TRunContext& ARun) {
        ARun.Aborting = true;
        ARun.HostError = std::make_unique<EScriptError>(UString(KScriptAbortedMessage));
        return RXEXIT_RAISE_ERROR;
    }

    TRexxAdapter& FOwner;
    std::atomic<TLanguageDebugHost*> FHost{nullptr};
    std::atomic<bool> FBreakRequested{false};
    std::mutex FLock;  // the source map's growth and the breakpoints
    TRexxSourceMap FSource;
    std::set<Integer> FBreakpoints;
    TStep FStep = TStep::None;
    std::uint64_t FStepRun = 0;
    std::size_t FStepDepth = 0;
};

LONG TRexxDebugger::OnClause(TRunContext& ARun, const TTraceClause& AClause, Integer ALine) {
    if (ARun.Aborting) return Abort(ARun);
    const bool arrives = ARun.Calls.Clause(ALine, AClause.Indent, AClause.Text, FSource);
    TLanguageDebugHost* host = Host();
    if (!host || !FSource.HoldsCode(ALine)) return RXEXIT_HANDLED;
    std::optional<TDebugStopReason> reason;
    if (FBreakRequested.load(std::memory_order_relaxed) && FBreakRequested.exchange(false))
        reason = TDebugStopReason::Halt;
    else if (arrives)
        reason = ArrivalStop(ARun, ALine);
    if (!reason) return RXEXIT_HANDLED;
    const TStep step = std::exchange(FStep, TStep::None);
    switch (host->Stopped(*reason)) {
        case TDebugResume::StepInto: FStep = TStep::Into; break;
        case TDebugResume::StepOver:
            FStep = TStep::Over;
            FStepRun = ARun.Serial;
            FStepDepth = ARun.Calls.Activations().size();
            break;
        case TDebugResume::Ignore: FStep = step; break;
        case TDebugResume::Abort: return Abort(ARun);
        case TDebugResume::Continue: break;
    }
    return RXEXIT_HANDLED;
}

LONG APIENTRY ExitHandler(LONG AFunction, LONG ASubfunction, PEXIT AParams);

void EnsureExitRegistered() {
    thread_local bool registered = false;
    if (registered) return;
    const APIRET rc = RexxRegisterExitExe(KExitName, reinterpret_cast<RexxExitHandler*>(&ExitHandler), nullptr);
    if (rc != RXEXIT_OK && rc != RXEXIT_DUP)
        plat::Throw<EScriptError>(UString(u"The REXX interpreter could not install the engine's exits"));
    registered = true;
}

class TRexxBlock;

class TRexxAdapter : public TLanguageAdapter {
public:
    TLanguageDebug* Debugging() override { return &FDebug; }
    UString ErrorSource() const override { return UString(u"REXX"); }
    bool CaseInsensitiveNames() const override { return true; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override;

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        const std::string code = ACode.ToUtf8();
        const std::string head = AIsExpression ? "return " + code : code + "\nexit";
        CheckSyntax(head);
        return FromRexx(FHandles, Run(head, {}));
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        if (AVisible) FItems[Upper(AName.ToUtf8())] = plat::ComPtr<IDispatch>(AObject);
        if (AGlobalMembers) FGlobalMembers.emplace_back(AObject);
    }

    UString FindGlobal(const UString& AName) override {
        const std::string name = Upper(AName.ToUtf8());
        return IsVariable(name) || FLabels.count(name) ? AName : UString();
    }

    bool IsProcedure(const UString& AName) override {
        const std::string name = Upper(AName.ToUtf8());
        return FLabels.count(name) && !IsVariable(name);
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        const std::string name = Upper(AName.ToUtf8());
        if (AAccess == TGlobalAccess::Put) {
            PutVariable(name, AArgs.first(AArgs.size() - 1), AArgs.back());
            return Variant();
        }
        if (AAccess == TGlobalAccess::Get || !FLabels.count(name)) return GetVariable(name, AArgs);
        return CallLabel(name, AArgs);
    }

    // The global code of a parsed block; the block joins the library afterwards.
    void RunBlock(const std::string& AText, Integer AFirstLine) {
        Run(AText + "\nexit", {}, {AFirstLine});
        FLibrarySegments.emplace_back(FLibraryLines, AFirstLine);
        FLibraryLines += LineCount(AText);
        FLibrary += AText + "\n";
        CollectLabels(AText, FLabels);
    }

    // AExpr evaluated by a run of its own that starts with AVars. The expression is interpreted
    // under a SYNTAX trap, so that neither a syntax nor a run-time error leaves the run (Regina
    // cannot tokenise a text alone while one of its programs waits in an exit).
    std::string EvaluateWith(const TVariables& AVars, const std::string& AExpr) {
        static const std::string head =
            "signal on syntax name !VELMORA.ERROR; interpret '!VELMORA.VALUE =' arg(1); return 'V'!VELMORA.VALUE; "
            "!VELMORA.ERROR: return 'E'errortext(rc)'|'condition('D')";
        TRunOptions options;
        options.Vars = &AVars;
        const std::optional<std::string> args[] = {AExpr};
        const std::string answer = Run(head, args, options).value_or(std::string());
        if (answer.rfind('V', 0) == 0) return answer.substr(1);
        // The detail when it says more than where the interpreted text failed.
        const std::size_t bar = answer.find('|');
        const std::string detail = bar == std::string::npos ? std::string() : answer.substr(bar + 1);
        plat::Throw<EScriptError>(UString::FromUtf8(detail.empty() || detail.find('[') != std::string::npos
                                                        ? answer.substr(1, bar == std::string::npos ? std::string::npos : bar - 1)
                                                        : detail));
    }

    // RexxStart's exits, for the run on top of this thread.
    LONG OnExit(TRunContext& ARun, LONG AFunction, LONG ASubfunction, PEXIT AParams) {
        switch (AFunction) {
            case RXINI: RestoreVariables(ARun); return RXEXIT_HANDLED;
            case RXTER:
                if (!ARun.Options.Vars) CaptureVariables();
                return RXEXIT_HANDLED;
            case RXSIO:
                if (ASubfunction != RXSIOTRC) return RXEXIT_NOT_HANDLED;
                {
                    const RXSTRING& s = reinterpret_cast<RXSIOTRC_PARM*>(AParams)->rxsio_string;
                    const std::string_view line(s.strptr ? s.strptr : "", RXSTRLEN(s));
                    if (ARun.Traced)
                        if (const std::optional<TTraceClause> clause = ParseTraceClause(line)) return OnClause(ARun, *clause);
                    ARun.Trace.append(line).append("\n");
                }
                return RXEXIT_HANDLED;
            case RXFNC: return CallHost(ARun, *reinterpret_cast<RXFNCCAL_PARM*>(AParams));
            default: return RXEXIT_NOT_HANDLED;
        }
    }

private:
    LONG OnClause(TRunContext& ARun, const TTraceClause& AClause) {
        if (AClause.ProgramLine > 0) ARun.LastProgramLine = AClause.ProgramLine;
        return FDebug.OnClause(ARun, AClause, AdapterLine(ARun, ARun.LastProgramLine));
    }

    // A line of the running program (from 1) in the adapter's numbering; -1 outside the script.
    Integer AdapterLine(const TRunContext& ARun, Integer AProgramLine) const {
        if (AProgramLine <= ARun.HeadLines)
            return ARun.Options.HeadFirstLine < 0 ? -1 : ARun.Options.HeadFirstLine + AProgramLine - 1;
        const Integer libraryLine = AProgramLine - ARun.HeadLines - 1;
        for (auto it = FLibrarySegments.rbegin(); it != FLibrarySegments.rend(); ++it)
            if (libraryLine >= it->first) return it->second + libraryLine - it->first;
        return -1;
    }

    bool IsVariable(const std::string& AName) const {
        if (FVars.count(AName)) return true;
        const auto stem = FVars.lower_bound(AName + ".");
        return stem != FVars.end() && stem->first.rfind(AName + ".", 0) == 0;
    }

    void DropVariable(const std::string& AName, bool AStem) {
        if (!AStem) {
            FVars.erase(AName);
            return;
        }
        const std::string prefix = AName + ".";
        for (auto it = FVars.lower_bound(prefix); it != FVars.end() && it->first.rfind(prefix, 0) == 0;)
            it = FVars.erase(it);
    }

    // Index arguments name an element of a stem (name.i.j); an array becomes the whole stem.
    void PutVariable(const std::string& AName, std::span<VarData> AIndex, const VarData& AValue) {
        if (!AIndex.empty()) {
            FVars[AName + "." + Tail(AIndex)] = ToRexx(FHandles, AValue);
            return;
        }
        const plat::VarData value = plat::VarDerefAll(AValue);
        if (value.VType & plat::varArray) {
            DropVariable(AName, false);
            DropVariable(AName, true);
            const std::vector<std::string> elements = StemElements(FHandles, value);
            FVars[AName + ".0"] = std::to_string(elements.size());
            for (std::size_t i = 0; i < elements.size(); ++i) FVars[AName + "." + std::to_string(i + 1)] = elements[i];
            return;
        }
        DropVariable(AName, true);
        FVars[AName] = ToRexx(FHandles, value);
    }

    Variant GetVariable(const std::string& AName, std::span<VarData> AIndex) {
        if (!AIndex.empty()) return FromRexx(FHandles, StemValue(AName, Tail(AIndex)));
        if (auto it = FVars.find(AName); it != FVars.end()) return FromRexx(FHandles, std::string_view(it->second));
        const Variant count = FromRexx(FHandles, StemValue(AName, "0"));
        if (count.VType != plat::varInteger || count.VInteger < 0)
            plat::Throw<EScriptError>(UString::FromUtf8("The stem " + AName + ". has no count in " + AName + ".0"));
        std::vector<std::string> elements;
        for (std::int32_t i = 1; i <= count.VInteger; ++i) elements.push_back(StemValue(AName, std::to_string(i)));
        return ArrayOfStem(FHandles, elements);
    }

    // A compound variable's value as REXX reads it: its own, else the stem's, else its name.
    std::string StemValue(const std::string& AName, const std::string& ATail) const {
        if (auto it = FVars.find(AName + "." + ATail); it != FVars.end()) return it->second;
        if (auto it = FVars.find(AName + "."); it != FVars.end()) return it->second;
        return AName + "." + ATail;
    }

    std::string Tail(std::span<VarData> AIndex) {
        std::string tail;
        for (const VarData& part : AIndex) tail += (tail.empty() ? "" : ".") + ToRexx(FHandles, part);
        return tail;
    }

    Variant CallLabel(const std::string& AName, std::span<VarData> AArgs) {
        std::vector<std::optional<std::string>> args;
        std::string head = "call " + AName;
        for (std::size_t i = 0; i < AArgs.size(); ++i) {
            args.push_back(ToRexxArgument(FHandles, AArgs[i]));
            head += i == 0 ? " " : ", ";
            if (args.back()) head += "arg(" + std::to_string(i + 1) + ")";
        }
        head += "; if symbol('RESULT') == 'VAR' then exit result; exit";
        return FromRexx(FHandles, Run(head, args));
    }

    // A text checked alone, without running it.
    void CheckSyntax(const std::string& AText) {
        RXSTRING source[2];
        MAKERXSTRING(source[0], const_cast<char*>(AText.data()), AText.size());
        MAKERXSTRING(source[1], nullptr, 0);
        RXSTRING tokeniseOnly;
        MAKERXSTRING(tokeniseOnly, const_cast<char*>("//T"), 3);
        RXSTRING result;
        MAKERXSTRING(result, nullptr, 0);
        short rc = 0;
        TErrorStreamCapture capture;
        const long started =
            RexxStart(1, &tokeniseOnly, KProgramName, source, nullptr, RXCOMMAND, nullptr, &rc, &result);
        const std::string errors = capture.Finish();
        FreeRexxString(result);
        FreeRexxString(source[1]);
        if (started == 0) return;
        const TReport report = ParseReport(errors, started);
        plat::Throw<EScriptError>(UString::FromUtf8(report.Description), report.Line - 1, 0);
    }

    // Runs AHead followed by the library; the program's result, none when it gives none.
    std::optional<std::string> Run(const std::string& AHead, std::span<const std::optional<std::string>> AArgs,
                                   TRunOptions AOptions = {}) {
        EnsureExitRegistered();
        static std::atomic<std::uint64_t> serials{0};
        TRunContext run(this, GCurrentRun, AOptions, LineCount(AHead), ++serials);
        run.Traced = FDebug.Host() && !AOptions.Vars;
        // Tracing goes in front of the head's first line, so that no line moves.
        const std::string program = (run.Traced ? "trace a;" : "") + AHead + "\n" + FLibrary;
        RXSTRING source[2];
        MAKERXSTRING(source[0], const_cast<char*>(program.data()), program.size());
        MAKERXSTRING(source[1], nullptr, 0);
        std::vector<RXSTRING> args(AArgs.size());
        for (std::size_t i = 0; i < AArgs.size(); ++i)
            MAKERXSTRING(args[i], AArgs[i] ? const_cast<char*>(AArgs[i]->data()) : nullptr, AArgs[i] ? AArgs[i]->size() : 0);
        RXSYSEXIT exits[] = {{const_cast<char*>(KExitName), RXINI}, {const_cast<char*>(KExitName), RXTER},
                             {const_cast<char*>(KExitName), RXSIO}, {const_cast<char*>(KExitName), RXFNC},
                             {nullptr, RXENDLST}};
        RXSTRING result;
        MAKERXSTRING(result, nullptr, 0);
        short rc = 0;
        TRunContext* outer = GCurrentRun;
        const bool suspends = outer && outer->Traced && !outer->Suspended && !AOptions.Vars;
        if (suspends) outer->Suspended = ReadPool();
        GCurrentRun = &run;
        const long started = RexxStart(static_cast<LONG>(args.size()), args.empty() ? nullptr : args.data(),
                                       KProgramName, source, nullptr, RXSUBROUTINE, exits, &rc, &result);
        GCurrentRun = run.Outer;
        if (suspends) outer->Suspended.reset();
        if (run.Traced) FDebug.RunEnded(run);
        FreeRexxString(source[1]);
        std::optional<std::string> value;
        if (result.strptr) value = std::string(result.strptr, result.strlength);
        FreeRexxString(result);
        if (started != 0) RaiseRunError(run, started, LineCount(AHead));
        if (!run.Trace.empty()) std::fputs(run.Trace.c_str(), stderr);  // the script's own TRACE output
        return value;
    }

    // The error that ended a run, at its line: within the head when it is there (the generic
    // engine adds where the text began), else within the library.
    [[noreturn]] static void RaiseRunError(TRunContext& ARun, long AStarted, Integer AHeadLines) {
        if (AStarted > 0)
            plat::Throw<EScriptError>(UString::FromUtf8("The REXX interpreter could not run the script (code " +
                                                        std::to_string(AStarted) + ")"));
        const TReport report = ParseReport(ARun.Trace, AStarted);
        Integer line = report.Line - 1;
        if (line >= AHeadLines) line -= AHeadLines;
        UString description = UString::FromUtf8(report.Description);
        plat::HRESULT code = plat::E_FAIL;
        if (ARun.HostError) {
            description = ARun.HostError->Message();
            if (auto* e = dynamic_cast<EScriptError*>(ARun.HostError.get())) code = e->SCode;
        }
        plat::Throw<EScriptError>(description, line, 0, code);
    }

    void RestoreVariables(const TRunContext& ARun) {
        SetPoolVariable(std::string(KMarker), "1");
        for (const auto& [name, value] : ARun.Options.Vars ? *ARun.Options.Vars : FVars) SetPoolVariable(name, value);
    }

    static void SetPoolVariable(const std::string& AName, const std::string& AValue) {
        SHVBLOCK block{};
        block.shvcode = RXSHV_SET;
        MAKERXSTRING(block.shvname, const_cast<char*>(AName.data()), AName.size());
        MAKERXSTRING(block.shvvalue, const_cast<char*>(AValue.data()), AValue.size());
        RexxVariablePool(&block);
    }

    static bool AtGlobalLevel() {
        SHVBLOCK block{};
        block.shvcode = RXSHV_FETCH;
        MAKERXSTRING(block.shvname, const_cast<char*>(KMarker.data()), KMarker.size());
        char value[8];
        MAKERXSTRING(block.shvvalue, value, sizeof value);
        block.shvvaluelen = sizeof value;
        return RexxVariablePool(&block) == RXSHV_OK;
    }

    void CaptureVariables() {
        if (!AtGlobalLevel()) return;
        TVariables vars = ReadPool();
        std::erase_if(vars, [](const auto& AVar) { return !IsKeptVariable(AVar.first); });
        FVars = std::move(vars);
    }

    LONG CallHost(TRunContext& ARun, RXFNCCAL_PARM& ACall) {
        const std::string name = Upper(std::string(reinterpret_cast<const char*>(ACall.rxfnc_name), ACall.rxfnc_namel));
        std::vector<Variant> args;
        for (USHORT i = 0; i < ACall.rxfnc_argc; ++i) {
            const RXSTRING& a = ACall.rxfnc_argv[i];
            args.push_back(FromRexx(FHandles, a.strptr ? std::optional<std::string_view>(std::string_view(a.strptr, a.strlength))
                                                       : std::nullopt));
        }
        std::optional<Variant> result;
        ARun.HostError = plat::CatchAll([&] { result = DispatchHostCall(name, args); });
        if (ARun.HostError) return RXEXIT_RAISE_ERROR;
        if (!result) return RXEXIT_NOT_HANDLED;
        SetReturnString(ACall.rxfnc_retc, ToRexx(FHandles, *result));
        return RXEXIT_HANDLED;
    }

    // None when the name is not one of the host's.
    std::optional<Variant> DispatchHostCall(const std::string& AName, std::span<Variant> AArgs) {
        if (auto it = FItems.find(AName); it != FItems.end()) return CallMember(it->second.Get(), AArgs);
        if (AName == "INVOKE" && !AArgs.empty() && AArgs[0].VType == plat::varDispatch && AArgs[0].VDispatch)
            return CallMember(AArgs[0].VDispatch, AArgs.subspan(1));
        const UString member = UString::FromUtf8(AName);
        for (const plat::ComPtr<IDispatch>& obj : FGlobalMembers) {
            const DISPID id = HostMemberId(obj.Get(), member);
            if (id != plat::DISPID_UNKNOWN) return HostCall(obj.Get(), id, AArgs);
        }
        return {};
    }

    // member(args), 'member='(index..., value), ''(args) for the default member.
    static Variant CallMember(IDispatch* AObject, std::span<Variant> AArgs) {
        std::string member = AArgs.empty() ? std::string() : plat::VarToUString(AArgs[0]).ToUtf8();
        std::span<Variant> rest = AArgs.empty() ? AArgs : AArgs.subspan(1);
        if (AArgs.size() == 1 && (member == "1" || member == "0")) {
            Variant truth(member == "1");
            return HostCall(AObject, plat::DISPID_VALUE, std::span<Variant>(&truth, 1));
        }
        const bool put = !member.empty() && member.back() == '=';
        if (put) member.pop_back();
        DISPID id = plat::DISPID_VALUE;
        if (!member.empty()) {
            id = HostMemberId(AObject, UString::FromUtf8(member));
            if (id == plat::DISPID_UNKNOWN)
                plat::Throw<EScriptError>(UString::FromUtf8("Object doesn't support this property or method: '" + member + "'"));
        }
        if (!put) return HostCall(AObject, id, rest);
        if (rest.empty())
            plat::Throw<EScriptError>(UString::FromUtf8("No value to set " + member + " to"), -1, 0, plat::DISP_E_BADPARAMCOUNT);
        HostPut(AObject, id, rest.first(rest.size() - 1), rest.back());
        return Variant();
    }

    static void SetReturnString(RXSTRING& AOut, const std::string& AText) {
        if (!AOut.strptr || AOut.strlength < AText.size())
            AOut.strptr = static_cast<char*>(RexxAllocateMemory(static_cast<ULONG>(AText.size() + 1)));
        std::memcpy(AOut.strptr, AText.data(), AText.size());
        AOut.strlength = AText.size();
    }

    std::string FLibrary;
    Integer FLibraryLines = 0;
    std::vector<std::pair<Integer, Integer>> FLibrarySegments;  // a library line and the adapter's line of it
    TRexxDebugger FDebug{*this};
    std::set<std::string> FLabels;
    std::map<std::string, std::string> FVars;  // names as the variable pool spells them (A, S.1, S.)
    std::map<std::string, plat::ComPtr<IDispatch>> FItems;  // by upper-cased name
    std::vector<plat::ComPtr<IDispatch>> FGlobalMembers;
    TRexxHandles FHandles;
};

class TRexxBlock : public TScriptBlock {
public:
    TRexxBlock(TRexxAdapter& AOwner, std::string AText, Integer AFirstLine)
        : FOwner(AOwner), FText(std::move(AText)), FFirstLine(AFirstLine) {}
    void Run() override { FOwner.RunBlock(FText, FFirstLine); }

private:
    TRexxAdapter& FOwner;
    std::string FText;
    Integer FFirstLine;
};

std::unique_ptr<TScriptBlock> TRexxAdapter::Parse(const UString& ACode) {
    std::string text = ACode.ToUtf8();
    CheckSyntax(text);
    const Integer first = FDebug.AddSource(text);
    return std::make_unique<TRexxBlock>(*this, std::move(text), first);
}

// One routine activation of a traced run of the engine on this thread.
class TRexxFrame final : public TLanguageFrame {
public:
    TRexxFrame(TRexxAdapter& AOwner, const TRexxSourceMap& ASource, TRunContext& ARun, std::size_t AIndex)
        : FOwner(AOwner), FSource(ASource), FRun(ARun), FIndex(AIndex) {}
    UString Description(bool ALong) override {
        const std::string& routine = Activation().Routine;
        std::string text = routine.empty() ? "main program" : routine;
        if (ALong) text += ", line: " + std::to_string(Line());
        return UString::FromUtf8(text);
    }
    Integer Line() override { return Activation().Line; }
    TLanguageDebugVarRef Variables() override {
        std::optional<TVariables> vars = VisibleVariables();
        TLanguageDebugVarRef root = VariablesRoot(vars ? *vars : TVariables(), FSource);
        if (!vars) root->Value = UString(KHidden);
        return root;
    }
    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        TLanguageEvalResult result;
        std::optional<TVariables> vars = VisibleVariables();
        std::string value;
        std::unique_ptr<plat::Exception> e;
        if (vars) e = plat::CatchAll([&] { value = FOwner.EvaluateWith(*vars, AExpr.ToUtf8()); });
        result.Ok = vars && !e;
        const UString text = result.Ok ? UString::FromUtf8(value) : e ? e->Message() : UString(KHidden);
        result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(result.Ok ? u"string" : u"Error"), text);
        return result;
    }

private:
    static constexpr char16_t KHidden[] = u"The variables of this routine are hidden by PROCEDURE in a routine it called";
    const TRexxActivation& Activation() const { return FRun.Calls.Activations()[FIndex]; }
    // The pool of the run's innermost activation, which this one shares unless a PROCEDURE
    // of a routine it called hides it.
    std::optional<TVariables> VisibleVariables() const {
        const std::vector<TRexxActivation>& all = FRun.Calls.Activations();
        for (std::size_t i = FIndex + 1; i < all.size(); ++i)
            if (all[i].Private) return std::nullopt;
        if (&FRun == GCurrentRun) return ReadPool();
        return FRun.Suspended;
    }

    TRexxAdapter& FOwner;
    const TRexxSourceMap& FSource;
    TRunContext& FRun;
    std::size_t FIndex;
};

std::vector<std::unique_ptr<TLanguageFrame>> TRexxDebugger::Frames() {
    std::vector<std::unique_ptr<TLanguageFrame>> frames;
    for (TRunContext* run = GCurrentRun; run; run = run->Outer) {
        if (run->Adapter != &FOwner || !run->Traced) continue;
        for (std::size_t i = run->Calls.Activations().size(); i-- > 0;)
            if (run->Calls.Activations()[i].Line >= 0) frames.push_back(std::make_unique<TRexxFrame>(FOwner, FSource, *run, i));
    }
    return frames;
}

LONG APIENTRY ExitHandler(LONG AFunction, LONG ASubfunction, PEXIT AParams) {
    TRunContext* run = GCurrentRun;
    if (!run) return RXEXIT_NOT_HANDLED;
    LONG answer = RXEXIT_NOT_HANDLED;
    std::unique_ptr<plat::Exception> e =
        plat::CatchAll([&] { answer = run->Adapter->OnExit(*run, AFunction, ASubfunction, AParams); });
    if (e) {
        run->HostError = std::move(e);
        return RXEXIT_RAISE_ERROR;
    }
    return answer;
}

}  // namespace

}  // namespace xan::as::rexx

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::rexx::TRexxAdapter)
