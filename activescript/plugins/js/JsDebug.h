#pragma once
// Debugging of "JScript" scripts on the interpreter's Debugger API.
//
// While a debugger is attached (a host is set) a global of its own, in a compartment of its own
// on the same context, holds a Debugger whose only debuggee is the engine's global; a small
// script there (JsDebug.cpp) sets breakpoints on the offsets of lines, steps with frame step
// handlers, and reads frames, environments and values. Without a host none of that exists:
// the engine's code runs as the interpreter compiles it, unobserved.
//
// Every text given to Parse is compiled under a file name of its own (NextFileName), so its
// scripts can be found again and their lines mapped to the adapter's numbering.
#include <js-config.h>
#include <jsapi.h>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "activescript/LanguageAdapter.h"

namespace xan::as::js {

class TJsDebugSession;

class TJsDebug final : public TLanguageDebug {
public:
    // ADebuggee: the engine's global, read when debugging starts.
    TJsDebug(JSContext* cx, const JS::PersistentRootedObject& ADebuggee);
    ~TJsDebug() override;

    // The file name under which the next text given to Parse is compiled.
    std::string NextFileName() const;
    // A text was compiled under NextFileName(): its lines follow those of the texts before it.
    void TextCompiled(const UString& AText);
    // Whether a file name is one of NextFileName's.
    static bool IsTextFileName(std::string_view AName);

    // Marks a run of the engine's code on its thread (nestable): breakpoints and break requests
    // made meanwhile on other threads are taken in at the start.
    class TRun {
    public:
        explicit TRun(TJsDebug& AOwner);
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;

    private:
        TJsDebug& FOwner;
    };
    // The debugger aborted the script: its runs end without an exception until the outermost
    // run returns.
    bool Aborting() const noexcept { return FAborting; }

    // TLanguageDebug
    void SetHost(TLanguageDebugHost* AHost) override;
    Integer CodeLineAt(Integer ALine) override;
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override;
    void RequestBreak() override;
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // For the debugger's script: a stop (TDebugStopReason) on this thread; answers the resume.
    TDebugResume Stopped(TDebugStopReason AReason);
    // The adapter's line of a line (from 1) of a compiled text; -1 when the file is not a text.
    Integer LineOf(const std::string& AFileName, Integer ATextLine) const;

private:
    struct TText {
        std::string FileName;
        Integer First = 0, Count = 0;
        std::vector<Integer> CodeLines;  // the adapter's lines, ascending
    };
    bool OnOwnerThread() const noexcept { return std::this_thread::get_id() == FOwnerThread; }
    void Attach();
    void Detach() noexcept;
    std::vector<Integer> CodeLinesOf(const std::string& AFileName);
    // Takes in breakpoint changes and a break request; on the owner thread while attached.
    void Poll();
    static bool OnInterrupt(JSContext* cx);

    JSContext* FCx;
    const JS::PersistentRootedObject& FDebuggee;
    const std::thread::id FOwnerThread;
    std::shared_ptr<TJsDebugSession> FSession;  // while a host is set
    std::atomic<TLanguageDebugHost*> FHost{nullptr};

    mutable std::mutex FLock;  // guards the texts and the breakpoints
    std::vector<TText> FTexts;
    Integer FNextLine = 0;
    std::map<Integer, bool> FBreakpoints;  // every line ever set, enabled or not
    std::map<Integer, bool> FChanged;      // not yet given to the debugger
    std::atomic<bool> FHaltRequested{false};

    int FDepth = 0;
    bool FAborting = false;
};

}  // namespace xan::as::js
