#pragma once
// Debugging Tcl scripts on the interpreter's command traces and frame information.
//
// An object trace sees every command before it runs, but only while something is armed (a
// breakpoint, a step, an abort): the trace keeps the interpreter from compiling commands inline,
// which makes loops many times slower, so an attached debugger with nothing armed leaves the
// script as fast as without one. The trace asks `info frame` where a command is and `info level`
// how deep.
//
// Code compiled inline before the trace went in never passes it, so what comes from another
// thread goes through an asynchronous handler, which the interpreter runs between instructions
// of any code on the script's thread: a requested break stops right there, and breakpoints set
// or cleared put the trace in or take it out there. An abort unwinds even inline loops and
// catches by cancelling the evaluation.
//
// Lines: a procedure's frames count lines from its body's opening brace and the global code's
// from the start of the text being run, so the adapter tells the debugger which text runs
// (TRun) and the parse of each text tells where the procedures' bodies start.
#include <atomic>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include <tcl.h>

#include "activescript/debug/LanguageDebug.h"
#include "activescript/plugins/tcl/TclCodeLines.h"

namespace xan::as::tcl {

using plat::Integer;

class TTclDebug final : public TLanguageDebug {
public:
    explicit TTclDebug(Tcl_Interp* AInterp);
    ~TTclDebug() override;
    TTclDebug(const TTclDebug&) = delete;
    TTclDebug& operator=(const TTclDebug&) = delete;

    // The global variables that exist now are the interpreter's, not the script's.
    void RecordBuiltinGlobals();
    // A text given to Parse: its lines follow the texts before it.
    Integer AddText(const std::string& AText);

    // The adapter runs script code (nestable): AText, whose first line is the adapter's line
    // AFirstLine, runs its global code; none for anything else (a procedure called by the host,
    // an expression).
    // An abort ends with the outermost run; Aborted() tells it was asked for.
    class TRun {
    public:
        TRun(TTclDebug& AOwner, const std::string* AText, Integer AFirstLine = -1);
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;
        bool Aborted() const noexcept { return FOwner.FAborting; }

    private:
        TTclDebug& FOwner;
    };
    // Whether a debugger evaluation is running (host objects then take Tcl's truth values 0
    // and 1 as Booleans, so a condition written in Tcl reaches them as one).
    bool Evaluating() const noexcept { return FEvaluations > 0; }

    // TLanguageDebug
    void SetHost(TLanguageDebugHost* AHost) override;
    Integer CodeLineAt(Integer ALine) override;
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override;
    void RequestBreak() override;
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // For frames: evaluations the debugger asks for (no stops, the script's result kept).
    class TQuiet;
    Tcl_Interp* Interp() const noexcept { return FInterp; }
    bool IsBuiltinGlobal(const std::string& AName) const { return FBuiltinGlobals.count(AName) != 0; }
    unsigned Generation() const noexcept { return FGeneration; }

private:
    enum class TStep : std::uint8_t { None, Into, Over };
    struct TPlace {
        Integer Level = -1;
        Integer Line = -1;  // -1: not in the script's text
    };

    static int Async(ClientData AData, Tcl_Interp* AInterp, int ACode);
    int OnAsync(bool AInScript, int ACode);
    static int Trace(ClientData AData, Tcl_Interp* AInterp, int ALevel, const char* ACommand, Tcl_Command AToken,
                     int AObjc, Tcl_Obj* const AObjv[]);
    int OnCommand();
    bool Armed() const noexcept;
    TPlace CurrentPlace();
    // The adapter's line of a frame's line: of a procedure's body or of the running text.
    Integer MapLine(Tcl_Obj* AFrame, Integer ALevel) const;
    // Whether the command at APlace starts a statement: its line differs from the last command's
    // at that level.
    bool NewStatement(const TPlace& APlace);
    bool StopsAt(const TPlace& APlace, bool ANew, TDebugStopReason& AReason);
    // Returns whether the script is to be aborted.
    bool Stop(const TPlace& APlace, TDebugStopReason AReason);
    // Where a requested break found the script: the innermost level, whose line is known only
    // when the running command is a call at that level. Code compiled inline tells no line: the
    // procedure then shows at the line its body starts on (FInterrupted, during the stop).
    TPlace InterruptedPlace();
    // Every command fails from now on and running code unwinds, past any catch.
    int Abort();
    // The trace is in exactly while a debugger is attached and something is armed (or an abort
    // is under way). The script's thread only.
    void ApplyTrace();

    Tcl_Interp* FInterp;
    Tcl_Trace FTrace = nullptr;
    Tcl_AsyncHandler FAsync;
    std::atomic<TLanguageDebugHost*> FHost{nullptr};
    mutable std::mutex FLock;  // breakpoints and the code map
    std::set<Integer> FBreakpoints;
    TTclCodeMap FCode;
    Integer FLineCount = 0;
    std::atomic<int> FBreakpointCount{0};
    std::atomic<bool> FHalt{false};
    // The script's thread only.
    TStep FStep = TStep::None;
    Integer FStepLevel = 0;
    bool FAborting = false;
    int FEvaluations = 0;
    struct TRunText {
        const std::string* Text;
        Integer FirstLine;
    };
    struct TInterrupted {
        TPlace Place;
        std::string Proc;
    };
    TInterrupted FInterrupted;           // Place.Level -1: the stop is not in inline code
    std::vector<TRunText> FRuns;         // the runs in progress
    std::vector<Integer> FLastLines;     // by level: the line of the last command seen there
    std::set<std::string> FBuiltinGlobals;
    unsigned FGeneration = 0;
};

}  // namespace xan::as::tcl
