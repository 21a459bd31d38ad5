#pragma once
// Debugging Perl scripts on the interpreter's debugger hooks.
//
// While a debugger is attached, script text is compiled with PL_perldb's line flag, so every
// statement is a debugger statement that calls DB::DB (our XSUB) when one of the debugger's
// control values ($DB::single, $DB::signal) is set. They are set only while something is armed
// (a breakpoint, a step, a requested break, an abort): an idle debugger costs one test per
// statement, a script compiled without a debugger none. Another thread arms through
// $DB::signal's value, which the script's thread clears before it looks at what is armed.
//
// Text given to Parse is numbered on from the texts before it (`#line`), so a statement's line
// is the adapter's line plus one; the lines that hold statements are the ones the compiler
// marks in the breakable-line data (@{"_<script"}) while it checks the syntax.
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "activescript/debug/LanguageDebug.h"
#include "activescript/plugins/perl/PerlValues.h"

namespace xan::as::perl {

using plat::Integer;

// The file name script text is compiled under.
inline constexpr const char* KScriptFile = "script";

class TPerlDebug final : public TLanguageDebug {
public:
    explicit TPerlDebug(PerlInterpreter* AInterp);
    TPerlDebug(const TPerlDebug&) = delete;
    TPerlDebug& operator=(const TPerlDebug&) = delete;

    bool Attached() const noexcept { return FHost.load() != nullptr; }
    // The interpreter flags text compiled now needs (none while nobody debugs).
    U32 CompileFlags() const noexcept;
    // A syntax check of the text whose first line is AFirstLine (ACount lines) is about to
    // compile; the code that ends the check calls the sub this names, which records its lines.
    std::string PrepareCheck(Integer AFirstLine, Integer ACount);

    // The adapter runs script code (nestable): steps and an abort end with the outermost run.
    class TRun {
    public:
        explicit TRun(TPerlDebug& AOwner) noexcept;
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;

    private:
        TPerlDebug& FOwner;
    };

    // TLanguageDebug
    void SetHost(TLanguageDebugHost* AHost) override;
    Integer CodeLineAt(Integer ALine) override;
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override;
    void RequestBreak() override;
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // Changes whenever the activations frames refer to may be gone.
    unsigned Generation() const noexcept { return FGeneration; }
    PerlInterpreter* Interp() const noexcept { return FInterp; }

    // DB::DB: whether the script is to be aborted.
    bool OnStatement(pTHX) noexcept;
    // Velmora::_code_lines: the check's marked lines become code lines.
    void RecordCodeLines(pTHX);

private:
    enum class TStep : std::uint8_t { None, Into, Over };
    bool StopsAt(pTHX_ Integer ALine, TDebugStopReason& AReason);
    // Returns whether the script is to be aborted.
    bool Stop(TDebugStopReason AReason, Integer ADepth);
    bool Armed() const noexcept;
    void Rearm(pTHX) noexcept;
    // From any thread: the next statement calls DB::DB.
    void Poke() noexcept;
    void RunEnded();

    PerlInterpreter* FInterp;
    std::atomic<TLanguageDebugHost*> FHost{nullptr};
    mutable std::mutex FLock;  // breakpoints and code lines
    std::set<Integer> FBreakpoints;
    std::set<Integer> FCodeLines;
    std::atomic<bool> FHasBreakpoints{false};
    std::atomic<bool> FHalt{false};
    // The script's thread only.
    TStep FStep = TStep::None;
    Integer FStepDepth = 0;
    bool FAborting = false;
    int FRuns = 0;
    Integer FCheckFirst = 0, FCheckCount = 0;
    unsigned FGeneration = 0;
};

}  // namespace xan::as::perl
