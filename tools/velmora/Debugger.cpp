#include "tools/velmora/Debugger.h"

#include <charconv>
#include <filesystem>
#include <functional>
#include <istream>
#include <ostream>

#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/ScriptFile.h"
#include "tools/velmora/DebugTarget.h"
#include "tools/velmora/ScriptRunner.h"

namespace xan::cli {

using plat::Integer;
using plat::UString;

namespace {

std::string Trim(const std::string& AText) {
    const auto first = AText.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return AText.substr(first, AText.find_last_not_of(" \t\r") - first + 1);
}

// A whole number of zero or more, or -1.
int NumberArg(const std::string& AText) {
    int value = -1;
    const auto [end, ec] = std::from_chars(AText.data(), AText.data() + AText.size(), value);
    return ec == std::errc() && end == AText.data() + AText.size() && value >= 0 ? value : -1;
}

// A command's error: one line, and the prompt again.
struct TCommandError {
    std::string Text;
};

[[noreturn]] void Fail(std::string AText) { throw TCommandError{std::move(AText)}; }

}  // namespace

class TLineDebugger {
public:
    TLineDebugger(const CommandLine& ACommandLine, std::istream& AIn, std::ostream& AOut, std::ostream& AErr,
                  bool AShowPrompts)
        : FTarget(*ACommandLine.language, AOut, AErr, true), FIn(AIn), FOut(AOut), FShowPrompts(AShowPrompts),
          FFile(std::filesystem::path(ACommandLine.file).filename().string()) {
        TXANScriptDebugger& debugger = FTarget.Debugger();
        debugger.OnBreak = [this](plat::TObject*, TXANScriptControl* AScript, Integer ALine) { Stopped(AScript, ALine); };
        debugger.OnLogMessage = [this](plat::TObject*, TXANDebugMsgKind AKind, const UString& AMsg) {
            // A stop says where it is; a hit that goes on shows only its actions.
            if (AKind != dmBreakpointReached) FOut << AMsg.ToUtf8() << '\n';
        };
    }

    int Run(const UString& ASource) {
        if (!FTarget.Load(FFile, ASource)) return ExitScriptError;
        if (FShowPrompts) FOut << "Debugging " << FFile << ". Type help for the commands.\n";
        if (CommandLoop() == TAfter::Quit) return ExitOk;
        FStarted = true;
        std::unique_ptr<plat::Exception> e = FTarget.Session().Attempt([&] { FTarget.Control().Open(); });
        if (FQuitting) {
            FOut << "The script was aborted.\n";
            return ExitOk;
        }
        if (e) {
            FTarget.Session().Report(*e);
            return ExitScriptError;
        }
        FOut << "The script has ended.\n";
        return ExitOk;
    }

private:
    enum class TAfter { Stay, Resume, Quit };
    using THandler = TAfter (TLineDebugger::*)(const std::string&);
    struct TCommand {
        std::vector<std::string> Names;
        THandler Run;
    };

    // Reads and runs commands until one resumes (or starts) the script or quits, or the
    // input ends (which lets the script run on).
    TAfter CommandLoop() {
        std::string line;
        for (;;) {
            if (FShowPrompts) FOut << "(vdb) " << std::flush;
            if (!std::getline(FIn, line)) {
                FInputEnded = true;
                FResumeKind = TXANBreakResumeKind::rkContinue;
                return TAfter::Resume;
            }
            const TAfter after = Execute(Trim(line));
            FOut.flush();
            if (after != TAfter::Stay) return after;
        }
    }

    TAfter Execute(const std::string& ALine) {
        if (ALine.empty()) return TAfter::Stay;
        const auto space = ALine.find_first_of(" \t");
        const std::string name = ALine.substr(0, space);
        const std::string args = space == std::string::npos ? std::string() : Trim(ALine.substr(space));
        const TCommand* command = Find(name);
        if (!command) {
            FOut << "error: Unknown command '" << name << "'. Type help for the commands.\n";
            return TAfter::Stay;
        }
        std::string failure;
        TAfter after = TAfter::Stay;
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            try {
                after = (this->*command->Run)(args);
            } catch (const TCommandError& error) {
                failure = error.Text;
            }
        });
        if (e) failure = FirstLine(e->Message());
        if (!failure.empty()) FOut << "error: " << failure << '\n';
        return after;
    }

    static const TCommand* Find(const std::string& AName) {
        static const TCommand commands[] = {
            {{"break", "b"}, &TLineDebugger::Break},
            {{"delete", "d"}, &TLineDebugger::Delete},
            {{"disable"}, &TLineDebugger::Disable},
            {{"enable"}, &TLineDebugger::Enable},
            {{"info", "i"}, &TLineDebugger::Info},
            {{"run", "r"}, &TLineDebugger::RunCommand},
            {{"continue", "c"}, &TLineDebugger::Continue},
            {{"next", "n"}, &TLineDebugger::Next},
            {{"step", "s"}, &TLineDebugger::Step},
            {{"backtrace", "bt"}, &TLineDebugger::Backtrace},
            {{"frame", "f"}, &TLineDebugger::Frame},
            {{"locals"}, &TLineDebugger::Locals},
            {{"print", "p"}, &TLineDebugger::Print},
            {{"quit", "q"}, &TLineDebugger::Quit},
            {{"help", "h"}, &TLineDebugger::Help},
        };
        for (const TCommand& command : commands)
            for (const std::string& n : command.Names)
                if (n == AName) return &command;
        return nullptr;
    }

    // ---- Stops --------------------------------------------------------------------------------------

    void Stopped(TXANScriptControl* AScript, Integer ALine) {
        TXANScriptDebugger& debugger = FTarget.Debugger();
        if (FInputEnded || FQuitting) {
            debugger.ResumeFromBreak(FQuitting ? TXANBreakResumeKind::rkAbort : TXANBreakResumeKind::rkContinue);
            return;
        }
        FFrame = 0;
        FOut << "stopped at " << AScript->DebugName().ToUtf8() << ':' << ALine + 1 << " (" << StopReason(AScript, ALine)
             << ")\n";
        ShowSourceLine(ALine);
        const TAfter after = CommandLoop();
        debugger.ResumeFromBreak(after == TAfter::Quit ? TXANBreakResumeKind::rkAbort : FResumeKind);
    }

    std::string StopReason(TXANScriptControl* AScript, Integer ALine) {
        switch (FTarget.Debugger().BreakKind()) {
            case TXANBreakKind::bkBreakpoint: {
                const int n = FTarget.NumberOf(FTarget.Debugger().FindBreakpoint(AScript->DebugModule(), ALine));
                return n ? "breakpoint " + std::to_string(n) : std::string("breakpoint");
            }
            case TXANBreakKind::bkStep: return "step";
            case TXANBreakKind::bkCausedBreak:
            case TXANBreakKind::bkNone: break;
        }
        return "pause";
    }

    void ShowSourceLine(Integer ALine) { FOut << ALine + 1 << '\t' << FTarget.SourceLine(ALine) << '\n'; }

    void RequireStop() {
        if (!FStarted) Fail("The script is not running (use run).");
        if (FTarget.Debugger().BreakKind() == TXANBreakKind::bkNone) Fail("The script is not stopped.");
    }

    TXANStackFrame& CurrentFrame() {
        RequireStop();
        return *FTarget.Debugger().StackFrames(FFrame);
    }

    static void NoArguments(const std::string& AArgs) {
        if (!AArgs.empty()) Fail("This command takes no argument.");
    }

    // ---- Breakpoints ----------------------------------------------------------------------------------

    TAfter Break(const std::string& AArgs) {
        static const char* const usage = "Usage: break [FILE:]LINE [if EXPR]";
        const auto space = AArgs.find_first_of(" \t");
        std::string where = AArgs.substr(0, space);
        const std::string rest = space == std::string::npos ? std::string() : Trim(AArgs.substr(space));
        std::string condition;
        if (rest.rfind("if ", 0) == 0 || rest.rfind("if\t", 0) == 0) condition = Trim(rest.substr(3));
        else if (!rest.empty()) Fail(usage);
        if (!rest.empty() && condition.empty()) Fail(usage);
        if (const auto colon = where.rfind(':'); colon != std::string::npos) {
            if (where.substr(0, colon) != FFile) Fail("No source file named '" + where.substr(0, colon) + "'.");
            where = where.substr(colon + 1);
        }
        const int line = NumberArg(where);
        if (line < 0) Fail(usage);
        if (line < 1 || line > FTarget.LineCount())
            Fail("Line " + where + " is outside " + FFile + " (1.." + std::to_string(FTarget.LineCount()) + ").");
        TXANBreakpoint* bp = FTarget.SetBreakpoint(line);
        bp->SetCondition(UString::FromUtf8(condition));
        FOut << "Breakpoint " << FTarget.NumberOf(bp) << " at " << FFile << ':' << line;
        if (bp->State() == bsInvalid) FOut << " (no code on this line: it will not stop)";
        FOut << '\n';
        return TAfter::Stay;
    }

    TXANBreakpoint& NumberedBreakpoint(const std::string& AArgs) {
        const int n = NumberArg(AArgs);
        if (n < 0) Fail("A breakpoint number is needed.");
        TXANBreakpoint* bp = FTarget.ByNumber(n);
        if (!bp) Fail("No breakpoint number " + AArgs + ".");
        return *bp;
    }

    TAfter Delete(const std::string& AArgs) {
        NumberedBreakpoint(AArgs).Delete();
        return TAfter::Stay;
    }
    TAfter Disable(const std::string& AArgs) {
        NumberedBreakpoint(AArgs).SetEnabled(false);
        return TAfter::Stay;
    }
    TAfter Enable(const std::string& AArgs) {
        NumberedBreakpoint(AArgs).SetEnabled(true);
        return TAfter::Stay;
    }

    TAfter Info(const std::string& AArgs) {
        if (AArgs != "breakpoints" && AArgs != "break" && AArgs != "b") Fail("Usage: info breakpoints");
        TXANScriptDebugger& debugger = FTarget.Debugger();
        if (debugger.BreakpointCount() == 0) FOut << "No breakpoints.\n";
        for (Integer i = 0; i < debugger.BreakpointCount(); ++i) {
            const TXANBreakpoint* bp = debugger.Breakpoints(i);
            FOut << '#' << FTarget.NumberOf(bp) << ' ' << bp->Module()->Name().ToUtf8() << ':' << bp->Line() + 1 << ' '
                 << (bp->Enabled() ? "enabled" : "disabled");
            if (!bp->Condition().empty()) FOut << " if " << bp->Condition().ToUtf8();
            if (bp->State() == bsInvalid) FOut << " (no code on this line)";
            FOut << '\n';
        }
        return TAfter::Stay;
    }

    // ---- Running ------------------------------------------------------------------------------------------

    TAfter RunCommand(const std::string& AArgs) {
        NoArguments(AArgs);
        if (FStarted) Fail("The script is already running.");
        return TAfter::Resume;
    }

    TAfter Resume(const std::string& AArgs, TXANBreakResumeKind AKind) {
        NoArguments(AArgs);
        RequireStop();
        FResumeKind = AKind;
        return TAfter::Resume;
    }
    TAfter Continue(const std::string& AArgs) { return Resume(AArgs, TXANBreakResumeKind::rkContinue); }
    TAfter Next(const std::string& AArgs) { return Resume(AArgs, TXANBreakResumeKind::rkStepOver); }
    TAfter Step(const std::string& AArgs) { return Resume(AArgs, TXANBreakResumeKind::rkStepInto); }

    TAfter Quit(const std::string& AArgs) {
        NoArguments(AArgs);
        FQuitting = true;
        return TAfter::Quit;
    }

    // ---- Inspection -------------------------------------------------------------------------------------

    void FrameLine(Integer AIndex) {
        TXANStackFrame* frame = FTarget.Debugger().StackFrames(AIndex);
        const std::string name = frame->ScriptControl() ? frame->ScriptControl()->DebugName().ToUtf8() : std::string();
        FOut << '#' << AIndex << ' ' << name << ':' << frame->Line() + 1 << ' ' << frame->ShortDescription().ToUtf8()
             << '\n';
    }

    TAfter Backtrace(const std::string& AArgs) {
        NoArguments(AArgs);
        RequireStop();
        for (Integer i = 0; i < FTarget.Debugger().StackFrameCount(); ++i) FrameLine(i);
        return TAfter::Stay;
    }

    TAfter Frame(const std::string& AArgs) {
        RequireStop();
        const int n = NumberArg(AArgs);
        if (n < 0) Fail("Usage: frame N");
        if (n >= FTarget.Debugger().StackFrameCount()) Fail("No frame " + AArgs + ".");
        FFrame = n;
        FrameLine(n);
        TXANStackFrame* frame = FTarget.Debugger().StackFrames(n);
        if (frame->ScriptControl() == &FTarget.Control()) ShowSourceLine(frame->Line());
        return TAfter::Stay;
    }

    TAfter Locals(const std::string& AArgs) {
        TXANVariables vars;
        CurrentFrame().GetVariables(vars);
        TXANVariable& root = *vars.Root();
        if (AArgs.empty()) {
            for (Integer i = 0; i < root.Count(); ++i) FOut << VariableText(*root.Items(i)) << '\n';
            return TAfter::Stay;
        }
        TXANVariable& v = NamedVariable(root, AArgs);
        if (!v.Expandable()) Fail(v.Name().ToUtf8() + " has no parts to show.");
        FOut << VariableText(v) << '\n';
        for (Integer i = 0; i < v.Count(); ++i) FOut << "  " << VariableText(*v.Items(i)) << '\n';
        return TAfter::Stay;
    }

    // The variable by its 1-based place in the locals list, or by its name (case ignored).
    static TXANVariable& NamedVariable(TXANVariable& ARoot, const std::string& AWhich) {
        const int n = NumberArg(AWhich);
        if (n >= 1 && n <= ARoot.Count()) return *ARoot.Items(n - 1);
        const UString name = UString::FromUtf8(AWhich);
        for (Integer i = 0; i < ARoot.Count(); ++i)
            if (plat::AnsiSameText(ARoot.Items(i)->Name().view(), name.view())) return *ARoot.Items(i);
        Fail("No variable " + AWhich + ".");
    }

    TAfter Print(const std::string& AArgs) {
        if (AArgs.empty()) Fail("Usage: print EXPR");
        TXANVariables result;
        CurrentFrame().Eval(UString::FromUtf8(AArgs), result);
        const TXANVariable& value = *result.Root();
        if (IsEvalError(value)) Fail(FirstLine(value.Value()));
        FOut << AArgs << " = " << value.Value().ToUtf8() << '\n';
        return TAfter::Stay;
    }

    TAfter Help(const std::string&) {
        FOut << "break [FILE:]LINE [if EXPR] (b)  set a breakpoint\n"
                "delete N, disable N, enable N    change breakpoint N\n"
                "info breakpoints                 list the breakpoints\n"
                "run (r)                          start the script\n"
                "continue (c)                     go on to the next stop\n"
                "next (n)                         step over calls\n"
                "step (s)                         step into calls\n"
                "backtrace (bt)                   the call stack, innermost first\n"
                "frame N (f)                      choose frame N for locals and print\n"
                "locals [N|NAME]                  the frame's variables; one level into variable N\n"
                "print EXPR (p)                   evaluate EXPR in the chosen frame\n"
                "quit (q)                         abort the script and leave\n";
        return TAfter::Stay;
    }

    TDebugTarget FTarget;
    std::istream& FIn;
    std::ostream& FOut;
    bool FShowPrompts;
    std::string FFile;
    bool FStarted = false;
    bool FInputEnded = false;
    bool FQuitting = false;
    Integer FFrame = 0;
    TXANBreakResumeKind FResumeKind = TXANBreakResumeKind::rkContinue;
};

int RunDebugger(const CommandLine& ACommandLine, std::istream& AIn, std::ostream& AOut, std::ostream& AErr,
                bool AShowPrompts) {
    UString source;
    std::string error;
    if (!plat::LoadScriptFile(ACommandLine.file, source, error)) {
        AErr << "velmora: cannot read '" << ACommandLine.file << "': " << error << '\n';
        return ExitUsageError;
    }
    int status = ExitScriptError;
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        TLineDebugger debugger(ACommandLine, AIn, AOut, AErr, AShowPrompts);
        status = debugger.Run(source);
    });
    if (e) {
        AErr << "velmora: " << e->Message().ToUtf8() << '\n';
        return ExitScriptError;
    }
    AOut.flush();
    return status;
}

}  // namespace xan::cli
