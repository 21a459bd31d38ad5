#pragma once
// Debugging Python scripts on the interpreter's trace function.
//
// Every code object compiled from a text given to Parse before the start (and the code objects
// nested in it) is registered with its engine's TPyDebug and the line offset of its text, so a
// frame's code tells the engine and the adapter's line. The trace function is installed on a
// thread only while code of an engine that is being debugged runs there (TTraceScope) and that
// engine has something to stop for: breakpoints, a requested break or a step. So a script runs
// at full speed without a debugger and with an idle one; a break request arms the threads
// running the engine from the requesting thread. Step state is the thread's: a step begun in
// one engine stops in the next line of any debugged engine on that thread.
#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "activescript/debug/LanguageDebug.h"
#include "activescript/plugins/python/PythonValues.h"

namespace xan::as::py {

using plat::Integer;
using plat::UString;

class TPyDebug final : public TLanguageDebug {
public:
    TPyDebug() = default;
    ~TPyDebug() override;
    TPyDebug(const TPyDebug&) = delete;
    TPyDebug& operator=(const TPyDebug&) = delete;

    // Under the lock: ACode was compiled from AText, the next text of the script. Texts compiled
    // after the script has started run once and are not part of its lines.
    void AddText(PyObject* ACode, const UString& AText);
    void MarkStarted() noexcept { FStarted = true; }
    // Under the lock: a host object's name, kept out of the script's variables.
    void HideGlobal(const UString& AName) { FHiddenGlobals.push_back(AName); }
    bool Debugged() const noexcept { return FHost.load(std::memory_order_acquire) != nullptr; }
    // Whether a line of this engine may stop without a step: it has breakpoints or a break is
    // requested. Only then do its threads run under the trace function.
    bool Armed() const noexcept;

    void SetHost(TLanguageDebugHost* AHost) override;
    Integer CodeLineAt(Integer ALine) override;
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override;
    void RequestBreak() override;
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // From the trace function, under the lock: a line of this engine's code is about to run in
    // AFrame; AOffset maps the frame's line to the adapter's. -1 with a Python error set ends
    // the script.
    int OnLine(PyFrameObject* AFrame, Integer AOffset);

private:
    bool HasBreakpoint(Integer ALine);
    void ArmRunning() const;
    int Stop(TLanguageDebugHost& AHost, TDebugStopReason AReason, PyFrameObject* AFrame);

    std::atomic<TLanguageDebugHost*> FHost{nullptr};
    std::atomic<bool> FBreakRequested{false};
    std::atomic<int> FBreakpointCount{0};
    std::mutex FLinesLock;  // guards the two sets: breakpoints come from any thread
    std::set<Integer> FCodeLines, FBreakpoints;
    std::vector<PyObject*> FCodes;  // the registered texts' code objects (owned)
    std::vector<UString> FHiddenGlobals;
    Integer FNextLine = 0;
    bool FStarted = false;
};

// An entry into an engine's code on the calling thread (lock held). While the engine is being
// debugged the entry is known to it, and the thread gets the trace function when the engine is
// armed; the outermost entry restores the thread's previous trace function and forgets its step.
class TTraceScope {
public:
    explicit TTraceScope(const TPyDebug& ADebug);
    ~TTraceScope();
    TTraceScope(const TTraceScope&) = delete;
    TTraceScope& operator=(const TTraceScope&) = delete;

private:
    PyThreadState* FState = nullptr;
    const TPyDebug* FDebug = nullptr;  // none when the engine was not being debugged
};

// Whether AType is the error that an abort raises in the script.
bool IsAbortError(PyObject* AType);
// "Kind: text" of a Python error.
std::string ErrorText(PyObject* AType, PyObject* AValue);

}  // namespace xan::as::py
