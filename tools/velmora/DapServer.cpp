#include "tools/velmora/DapServer.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>
#include <map>
#include <memory>
#include <sstream>
#include <streambuf>
#include <thread>

#include "platform/rtl/ScriptFile.h"
#include "platform/ui/ConsoleUserInterface.h"
#include "tools/velmora/DapTransport.h"
#include "tools/velmora/DebugTarget.h"

namespace xan::cli {

using plat::Integer;
using plat::UString;

namespace {

constexpr int kThreadId = 1;

// A request's error that the client reads in the error response.
struct TRequestError {
    std::string Text;
};

[[noreturn]] void Refuse(std::string AText) { throw TRequestError{std::move(AText)}; }

// Text written to it reaches the client as output events of one category, a line at a time.
class TOutputBuf final : public std::streambuf {
public:
    TOutputBuf(TDapTransport& ATransport, std::string ACategory) : FTransport(ATransport), FCategory(std::move(ACategory)) {}
    ~TOutputBuf() override { Flush(); }

protected:
    int overflow(int ACh) override {
        if (ACh == traits_type::eof()) return 0;
        std::lock_guard<std::mutex> guard(FLock);
        FPending.push_back(static_cast<char>(ACh));
        if (ACh == '\n') EmitLocked();
        return ACh;
    }
    int sync() override {
        Flush();
        return 0;
    }

private:
    void Flush() {
        std::lock_guard<std::mutex> guard(FLock);
        EmitLocked();
    }
    void EmitLocked() {
        if (FPending.empty()) return;
        FTransport.Event("output", {{"category", FCategory}, {"output", FPending}});
        FPending.clear();
    }

    TDapTransport& FTransport;
    std::string FCategory;
    std::mutex FLock;
    std::string FPending;
};

const TJson& Member(const TJson& AObject, const char* AName) {
    static const TJson none;
    if (!AObject.is_object()) return none;
    auto it = AObject.find(AName);
    return it == AObject.end() ? none : *it;
}

std::string StringArg(const TJson& AArgs, const char* AName) {
    const TJson& v = Member(AArgs, AName);
    return v.is_string() ? v.get<std::string>() : std::string();
}

Integer IntArg(const TJson& AArgs, const char* AName, Integer ADefault) {
    const TJson& v = Member(AArgs, AName);
    return v.is_number_integer() ? v.get<Integer>() : ADefault;
}

std::string SamePath(const std::string& APath) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::weakly_canonical(std::filesystem::absolute(APath, ec), ec);
    return ec ? APath : p.string();
}

}  // namespace

class TDapServer {
public:
    TDapServer(std::istream& AIn, std::ostream& AOut)
        : FTransport(AIn, AOut), FStdoutBuf(FTransport, "stdout"), FStderrBuf(FTransport, "stderr"),
          FScriptOut(&FStdoutBuf), FScriptErr(&FStderrBuf), FDialogs(FNoInput, FScriptOut, FScriptErr, false) {
        plat::SetUI(&FDialogs);
    }
    ~TDapServer() {
        StopScript();
        plat::SetUI(nullptr);
    }

    int Run() {
        for (;;) {
            TJson message;
            std::string error;
            switch (FTransport.Read(message, error)) {
                case TDapTransport::TRead::End: return 0;
                case TDapTransport::TRead::Malformed: FTransport.Fail(TJson(), error); continue;
                case TDapTransport::TRead::Message: break;
            }
            Dispatch(message);
            if (FDisconnected) return 0;
        }
    }

private:
    using THandler = void (TDapServer::*)(const TJson& ARequest, const TJson& AArgs);

    void Dispatch(const TJson& ARequest) {
        if (Member(ARequest, "type") != "request" || !Member(ARequest, "command").is_string()) {
            FTransport.Fail(ARequest, "Malformed message: not a request.");
            return;
        }
        const std::string command = ARequest["command"];
        const THandler handler = Find(command);
        if (!handler) {
            FTransport.Fail(ARequest, "Unknown request '" + command + "'.");
            return;
        }
        std::string failure;
        std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
            try {
                (this->*handler)(ARequest, Member(ARequest, "arguments"));
            } catch (const TRequestError& refused) {
                failure = refused.Text;
            } catch (const TJson::exception& bad) {
                failure = std::string("Malformed arguments: ") + bad.what();
            }
        });
        if (e) failure = FirstLine(e->Message());
        if (!failure.empty()) FTransport.Fail(ARequest, failure);
    }

    static THandler Find(const std::string& ACommand) {
        static const std::map<std::string, THandler> handlers = {
            {"initialize", &TDapServer::Initialize},
            {"launch", &TDapServer::Launch},
            {"setBreakpoints", &TDapServer::SetBreakpoints},
            {"setExceptionBreakpoints", &TDapServer::SetExceptionBreakpoints},
            {"configurationDone", &TDapServer::ConfigurationDone},
            {"threads", &TDapServer::Threads},
            {"stackTrace", &TDapServer::StackTrace},
            {"scopes", &TDapServer::Scopes},
            {"variables", &TDapServer::Variables},
            {"evaluate", &TDapServer::Evaluate},
            {"continue", &TDapServer::Continue},
            {"next", &TDapServer::Next},
            {"stepIn", &TDapServer::StepIn},
            {"pause", &TDapServer::Pause},
            {"terminate", &TDapServer::Terminate},
            {"disconnect", &TDapServer::Disconnect},
        };
        auto it = handlers.find(ACommand);
        return it == handlers.end() ? nullptr : it->second;
    }

    // ---- Session set-up -------------------------------------------------------------------------------

    void Initialize(const TJson& ARequest, const TJson&) {
        FTransport.Respond(ARequest, {{"supportsConfigurationDoneRequest", true},
                                      {"supportsConditionalBreakpoints", true},
                                      {"supportsHitConditionalBreakpoints", true},
                                      {"supportsLogPoints", true},
                                      {"supportsEvaluateForHovers", true},
                                      {"supportsTerminateRequest", true}});
    }

    static ScriptLanguage LaunchLanguage(const std::string& AProgram, const TJson& AArgs) {
        const std::string language = StringArg(AArgs, "language");
        if (!language.empty()) {
            const std::optional<ScriptLanguage> named = LanguageByName(language);
            if (!named) Refuse("Unknown language '" + language + "' (use pascal, vb, js, perl, rexx, tcl, python or lua).");
            return *named;
        }
        const std::optional<ScriptLanguage> byExtension = LanguageFromExtension(AProgram);
        if (!byExtension)
            Refuse("Cannot tell the language of '" + AProgram +
                   "' (use .pas, .vbs, .js, .pl, .rexx, .tcl, .py or .lua, or \"language\").");
        return *byExtension;
    }

    void Launch(const TJson& ARequest, const TJson& AArgs) {
        if (FTarget) Refuse("A program is launched already.");
        const std::string program = StringArg(AArgs, "program");
        if (program.empty()) Refuse("launch needs a \"program\".");
        const ScriptLanguage language = LaunchLanguage(program, AArgs);
        UString source;
        std::string error;
        if (!plat::LoadScriptFile(program, source, error)) Refuse("Cannot read '" + program + "': " + error);
        auto target = std::make_unique<TDebugTarget>(language, FScriptOut, FScriptErr, false);
        TXANScriptDebugger& debugger = target->Debugger();
        debugger.OnBreak = [this](plat::TObject*, TXANScriptControl*, Integer) { Stopped(); };
        debugger.OnLogMessage = [this](plat::TObject*, TXANDebugMsgKind AKind, const UString& AMsg) {
            if (AKind != dmBreakpointReached) FTransport.Event("output", {{"category", "console"}, {"output", AMsg.ToUtf8() + "\n"}});
        };
        // A logpoint says its own message.
        debugger.OnFormatDebugMsg = [](plat::TObject*, TXANDebugMsgKind AKind, TXANBreakpoint* BP, const UString&,
                                       TXANStackFrame*, UString& AMsg) {
            if (AKind == dmLogMessage) AMsg = BP->Action().LogMessage();
        };
        if (!target->Load(program, source)) {
            FScriptErr.flush();
            Refuse("'" + program + "' does not compile.");
        }
        FProgram = program;
        FProgramPath = SamePath(program);
        FTarget = std::move(target);
        FEntryPending = Member(AArgs, "stopOnEntry") == true;
        FTransport.Respond(ARequest);
        FTransport.Event("initialized");
        StartWhenReady();
    }

    void ConfigurationDone(const TJson& ARequest, const TJson&) {
        FConfigured = true;
        FTransport.Respond(ARequest);
        StartWhenReady();
    }

    void SetExceptionBreakpoints(const TJson& ARequest, const TJson&) { FTransport.Respond(ARequest, {{"breakpoints", TJson::array()}}); }

    void StartWhenReady() {
        if (!FTarget || !FConfigured || FScript.joinable()) return;
        if (FEntryPending) FTarget->Debugger().CauseBreak();
        FScript = std::thread([this] { RunScript(); });
    }

    void RunScript() {
        std::unique_ptr<plat::Exception> e = FTarget->Session().Attempt([&] { FTarget->Control().Open(); });
        int code = 0;
        if (e && !FTerminating) {
            FTarget->Session().Report(*e);
            code = 1;
        }
        FScriptOut.flush();
        FScriptErr.flush();
        FTransport.Event("exited", {{"exitCode", code}});
        FTransport.Event("terminated");
    }

    // Ends a running script (aborting it at its next line) and waits for its thread.
    void StopScript() {
        if (!FScript.joinable()) return;
        FTerminating = true;
        if (FTarget->Debugger().BreakKind() != TXANBreakKind::bkNone) Resume(TXANBreakResumeKind::rkAbort);
        else FTarget->Debugger().CauseBreak();
        FScript.join();
    }

    // ---- Breakpoints -------------------------------------------------------------------------------------

    void SetBreakpoints(const TJson& ARequest, const TJson& AArgs) {
        const std::string path = StringArg(Member(AArgs, "source"), "path");
        const TJson& wanted = Member(AArgs, "breakpoints");
        TJson answers = TJson::array();
        const bool ours = FTarget && !path.empty() && SamePath(path) == FProgramPath;
        if (ours) FTarget->Debugger().ClearBreakpoints(FTarget->Module());
        if (wanted.is_array())
            for (const TJson& want : wanted) answers.push_back(ours ? Place(want, path) : Unverified(want, path));
        FTransport.Respond(ARequest, {{"breakpoints", answers}});
    }

    static TJson Unverified(const TJson& AWant, const std::string& APath) {
        return {{"verified", false},
                {"line", IntArg(AWant, "line", 0)},
                {"source", {{"path", APath}}},
                {"message", "Not the launched program."}};
    }

    TJson Place(const TJson& AWant, const std::string& APath) {
        const Integer line = IntArg(AWant, "line", 0);
        TJson answer = {{"verified", false}, {"line", line}, {"source", {{"path", APath}}}};
        if (line < 1 || line > FTarget->LineCount()) {
            answer["message"] = "The line is outside the program.";
            return answer;
        }
        TXANBreakpoint* bp = FTarget->SetBreakpoint(line);
        answer["id"] = FTarget->NumberOf(bp);
        bp->SetCondition(UString::FromUtf8(StringArg(AWant, "condition")));
        const std::string hits = StringArg(AWant, "hitCondition");
        if (!hits.empty()) {
            char* end = nullptr;
            const long count = std::strtol(hits.c_str(), &end, 10);
            if (*end != '\0' || count < 1 || count > 1000000000) {
                answer["message"] = "A hit count must be a whole number from 1.";
                return answer;
            }
            bp->SetPassCount(static_cast<Integer>(count));
        }
        const std::string log = StringArg(AWant, "logMessage");
        if (!log.empty()) {
            bp->Action().SetLogMessage(UString::FromUtf8(log));
            bp->Action().SetBreak(false);
        }
        answer["verified"] = bp->State() != bsInvalid;
        if (bp->State() == bsInvalid) answer["message"] = "No code on this line.";
        return answer;
    }

    // ---- Breaks ---------------------------------------------------------------------------------------------

    // On the break thread: the client hears of the stop; the break lasts until it resumes.
    void Stopped() {
        TXANScriptDebugger& debugger = FTarget->Debugger();
        if (FTerminating) {
            debugger.ResumeFromBreak(TXANBreakResumeKind::rkAbort);
            return;
        }
        std::string reason = "pause";
        switch (debugger.BreakKind()) {
            case TXANBreakKind::bkBreakpoint: reason = "breakpoint"; break;
            case TXANBreakKind::bkStep: reason = "step"; break;
            case TXANBreakKind::bkCausedBreak:
            case TXANBreakKind::bkNone:
                if (FEntryPending.exchange(false)) reason = "entry";
                break;
        }
        FTransport.Event("stopped", {{"reason", reason}, {"threadId", kThreadId}, {"allThreadsStopped", true}});
    }

    void RequireStop() const {
        if (!FTarget || FTarget->Debugger().BreakKind() == TXANBreakKind::bkNone) Refuse("The script is not stopped.");
    }

    void Resume(TXANBreakResumeKind AKind) {
        FTrees.clear();
        FVariables.clear();
        FTarget->Debugger().ResumeFromBreak(AKind);
    }

    void ResumeAs(const TJson& ARequest, TXANBreakResumeKind AKind, TJson ABody) {
        RequireStop();
        FTransport.Respond(ARequest, std::move(ABody));
        Resume(AKind);
    }

    void Continue(const TJson& ARequest, const TJson&) {
        ResumeAs(ARequest, TXANBreakResumeKind::rkContinue, {{"allThreadsContinued", true}});
    }
    void Next(const TJson& ARequest, const TJson&) { ResumeAs(ARequest, TXANBreakResumeKind::rkStepOver, TJson::object()); }
    void StepIn(const TJson& ARequest, const TJson&) { ResumeAs(ARequest, TXANBreakResumeKind::rkStepInto, TJson::object()); }

    void Pause(const TJson& ARequest, const TJson&) {
        if (FTarget && FScript.joinable() && FTarget->Debugger().BreakKind() == TXANBreakKind::bkNone)
            FTarget->Debugger().CauseBreak();
        FTransport.Respond(ARequest);
    }

    void Terminate(const TJson& ARequest, const TJson&) {
        FTransport.Respond(ARequest);
        if (FScript.joinable()) StopScript();
        else FTransport.Event("terminated");
    }

    void Disconnect(const TJson& ARequest, const TJson&) {
        StopScript();
        FTransport.Respond(ARequest);
        FDisconnected = true;
    }

    // ---- Inspection -------------------------------------------------------------------------------------

    void Threads(const TJson& ARequest, const TJson&) {
        FTransport.Respond(ARequest, {{"threads", TJson::array({{{"id", kThreadId}, {"name", "script"}}})}});
    }

    // Frame ids are 1-based positions in the paused stack (innermost first).
    TXANStackFrame& FrameOf(const TJson& AArgs) {
        RequireStop();
        const Integer id = IntArg(AArgs, "frameId", 1);
        if (id < 1 || id > FTarget->Debugger().StackFrameCount()) Refuse("No frame " + std::to_string(id) + ".");
        return *FTarget->Debugger().StackFrames(id - 1);
    }

    void StackTrace(const TJson& ARequest, const TJson& AArgs) {
        RequireStop();
        TXANScriptDebugger& debugger = FTarget->Debugger();
        const Integer total = debugger.StackFrameCount();
        const Integer start = std::max<Integer>(0, IntArg(AArgs, "startFrame", 0));
        const Integer levels = IntArg(AArgs, "levels", 0);
        const Integer end = levels > 0 ? std::min(total, start + levels) : total;
        TJson frames = TJson::array();
        for (Integer i = start; i < end; ++i) {
            TXANStackFrame* frame = debugger.StackFrames(i);
            TJson json = {{"id", i + 1}, {"name", frame->ShortDescription().ToUtf8()}, {"line", frame->Line() + 1},
                          {"column", 1}};
            if (frame->ScriptControl() == &FTarget->Control())
                json["source"] = {{"name", std::filesystem::path(FProgram).filename().string()}, {"path", FProgram}};
            frames.push_back(std::move(json));
        }
        FTransport.Respond(ARequest, {{"stackFrames", frames}, {"totalFrames", total}});
    }

    // A variable the client may expand: its id is its reference.
    Integer Reference(TXANVariable& AVariable) {
        if (!AVariable.Expandable()) return 0;
        FVariables[AVariable.Id()] = &AVariable;
        return AVariable.Id();
    }

    TXANVariables& NewTree() {
        FTrees.push_back(std::make_unique<TXANVariables>());
        return *FTrees.back();
    }

    void Scopes(const TJson& ARequest, const TJson& AArgs) {
        TXANStackFrame& frame = FrameOf(AArgs);
        TXANVariables& tree = NewTree();
        frame.GetVariables(tree);
        TXANVariable& root = *tree.Root();
        FTransport.Respond(ARequest, {{"scopes", TJson::array({{{"name", root.Name().ToUtf8()},
                                                                {"variablesReference", Reference(root)},
                                                                {"expensive", false}}})}});
    }

    void Variables(const TJson& ARequest, const TJson& AArgs) {
        auto it = FVariables.find(IntArg(AArgs, "variablesReference", 0));
        if (it == FVariables.end()) Refuse("No such variables reference (it ends with the stop it came from).");
        TXANVariable& parent = *it->second;
        TJson list = TJson::array();
        for (Integer i = 0; i < parent.Count(); ++i) {
            TXANVariable& child = *parent.Items(i);
            list.push_back({{"name", child.Name().ToUtf8()},
                            {"value", child.Value().ToUtf8()},
                            {"type", child.Type_().ToUtf8()},
                            {"variablesReference", Reference(child)}});
        }
        FTransport.Respond(ARequest, {{"variables", list}});
    }

    void Evaluate(const TJson& ARequest, const TJson& AArgs) {
        const std::string expression = StringArg(AArgs, "expression");
        if (expression.empty()) Refuse("evaluate needs an \"expression\".");
        TXANStackFrame& frame = FrameOf(AArgs);
        TXANVariables& tree = NewTree();
        frame.Eval(UString::FromUtf8(expression), tree);
        TXANVariable& result = *tree.Root();
        if (IsEvalError(result)) Refuse(FirstLine(result.Value()));
        FTransport.Respond(ARequest, {{"result", result.Value().ToUtf8()},
                                      {"type", result.Type_().ToUtf8()},
                                      {"variablesReference", Reference(result)}});
    }

    TDapTransport FTransport;
    TOutputBuf FStdoutBuf;
    TOutputBuf FStderrBuf;
    std::ostream FScriptOut;
    std::ostream FScriptErr;
    std::istringstream FNoInput;  // input boxes of the script answer Cancel
    plat::ConsoleUserInterface FDialogs;
    std::unique_ptr<TDebugTarget> FTarget;
    std::string FProgram;
    std::string FProgramPath;
    std::thread FScript;
    bool FConfigured = false;
    bool FDisconnected = false;
    std::atomic<bool> FTerminating{false};
    std::atomic<bool> FEntryPending{false};
    std::vector<std::unique_ptr<TXANVariables>> FTrees;  // the trees of the current stop
    std::map<Integer, TXANVariable*> FVariables;          // by reference (the variable's Id)
};

int RunDapServer(std::istream& AIn, std::ostream& AOut) {
    TDapServer server(AIn, AOut);
    return server.Run();
}

}  // namespace xan::cli
