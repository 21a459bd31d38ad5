#include "tools/velmora/Prompt.h"

#include <algorithm>
#include <cctype>
#include <istream>
#include <ostream>
#include <string>

#include "components/NativeRunner.h"
#include "tools/velmora/ScriptRunner.h"
#include "tools/velmora/Session.h"
#include "vm/bytecode/CompileError.h"
#include "vm/compiler/GlobalObjects.h"
#include "vm/interp/VMErrors.h"
#include "vm/machine/PreparedDynCode.h"

namespace xan::cli {

using plat::UString;
using plat::Variant;

namespace {

std::string LowerFirstWord(const std::string& AText) {
    std::size_t at = AText.find_first_not_of(" \t\r\n");
    std::string word;
    for (; at < AText.size() && (std::isalnum(static_cast<unsigned char>(AText[at])) || AText[at] == '_'); ++at)
        word.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(AText[at]))));
    return word;
}

bool IsDeclaration(ScriptLanguage ALanguage, const std::string& AText) {
    const std::string word = LowerFirstWord(AText);
    if (ALanguage == ScriptLanguage::Pascal)
        return word == "var" || word == "const" || word == "function" || word == "procedure";
    return word == "dim" || word == "function" || word == "sub";
}

// In the VBScript dialect a = b is an assignment as a statement and a comparison as an
// expression; at the prompt it is the assignment, as in a script.
bool LooksLikeVbAssignment(const std::string& AText) {
    std::size_t at = AText.find_first_not_of(" \t");
    int depth = 0;
    for (; at < AText.size(); ++at) {
        const char c = AText[at];
        if (c == '(') ++depth;
        else if (c == ')') --depth;
        else if (depth == 0 && c == '=') return true;
        else if (depth == 0 && !(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == ' '))
            return false;
    }
    return false;
}

// Whether a compile error stands past the last non-blank character: the text stopped early.
bool StopsAtItsEnd(const plat::Exception& E, const std::string& AText) {
    const auto* compile = dynamic_cast<const EXANCompileBase*>(&E);
    if (!compile) return false;
    const UString text = UString::FromUtf8(AText);
    std::int32_t last = text.length();
    while (last > 0 && std::isspace(static_cast<unsigned char>(text[last - 1] < 128 ? text[last - 1] : 'x'))) --last;
    return compile->SourcePos() > last;
}

// A statement or expression alone ends at the end of its text: without the line break that
// ended its last line, and in Pascal without the semicolon a script would have there.
std::string StatementText(ScriptLanguage ALanguage, std::string AText) {
    const char* blanks = " \t\r\n";
    AText.erase(AText.find_last_not_of(blanks) + 1);
    while (ALanguage == ScriptLanguage::Pascal && !AText.empty() && AText.back() == ';') {
        AText.pop_back();
        AText.erase(AText.find_last_not_of(blanks) + 1);
    }
    return AText;
}

class TPrompt {
public:
    TPrompt(ScriptLanguage ALanguage, std::ostream& AOut, std::ostream& AErr)
        : FLanguage(ALanguage), FSession(ALanguage, AOut, AErr) {
        FSession.SetSourceName("<stdin>");
        FSession.Guard([&] {
            FSession.Control().Open(false);
        });
    }

    // Takes one more piece of input; false when it needs more lines to be complete.
    bool Take(const std::string& AText, bool AFinal) {
        if (AText.find_first_not_of(" \t\r\n") == std::string::npos) return true;
        if (IsDeclaration(FLanguage, AText)) return Declare(AText, AFinal);
        const bool vbAssignment = FLanguage == ScriptLanguage::Vb && LooksLikeVbAssignment(AText);
        const std::string text = StatementText(FLanguage, AText);
        if (!vbAssignment && Evaluate(text)) return true;
        return Execute(text, AFinal);
    }

private:
    // False when AText is no expression, or names a procedure that gives no value (which the
    // machine refuses before calling it): then it runs as a statement.
    bool Evaluate(const std::string& AText) {
        TXANVirtMachine& vm = FSession.Machine();
        std::unique_ptr<TPreparedDynCode> prepared;
        if (FSession.Attempt([&] { prepared = vm.PrepareExpr(UString::FromUtf8(AText)); })) return false;
        Variant value;
        std::unique_ptr<plat::Exception> e = FSession.Attempt([&] { value = vm.Eval(*prepared); });
        if (e && IsValuelessCall(*e, AText)) return false;
        if (e) FSession.Report(*e);
        else if (value.Deref().VType != plat::varEmpty) FSession.Print(value);
        return true;
    }

    bool IsValuelessCall(const plat::Exception& E, const std::string& AText) {
        const auto* runtime = dynamic_cast<const EXANVMRuntime*>(&E);
        if (!runtime || !E.Message().view().starts_with(EXANVMRuntime::MessageOf(retTypeMismatch).view())) return false;
        return !FSession.Attempt([&] { FSession.Machine().PrepareStmt(UString::FromUtf8(AText)); });
    }

    bool Execute(const std::string& AText, bool AFinal) {
        TXANVirtMachine& vm = FSession.Machine();
        std::unique_ptr<TPreparedDynCode> prepared;
        std::unique_ptr<plat::Exception> e = FSession.Attempt([&] { prepared = vm.PrepareStmt(UString::FromUtf8(AText)); });
        if (e && !AFinal && StopsAtItsEnd(*e, AText)) return false;
        if (e) FSession.Report(*e);
        else FSession.Guard([&] { vm.ExecStmt(*prepared); });
        return true;
    }

    // The declarations so far and the new ones compile into a new machine, which takes over the
    // values of the variables the old one had.
    bool Declare(const std::string& AText, bool AFinal) {
        const std::string source = FDeclarations + AText;
        // Errors count lines from the new text, as the user typed it.
        FSession.SetLineOffset(-static_cast<int>(std::count(FDeclarations.begin(), FDeclarations.end(), '\n')));
        std::unique_ptr<TXANScriptControl> next = FSession.NewControl();
        next->Source().SetText(UString::FromUtf8(source).view());
        std::unique_ptr<plat::Exception> e = FSession.Attempt([&] { next->Prepare(); });
        if (e && !AFinal && StopsAtItsEnd(*e, source)) return false;
        if (e) {
            FSession.Report(*e);
            FSession.SetLineOffset(0);
            return true;
        }
        const bool opened = FSession.Guard([&] { next->Open(false); });
        FSession.SetLineOffset(0);
        if (!opened) return true;
        CarryVariables(FSession.Machine(), *XANMachineOf(*next));
        FSession.Adopt(std::move(next));
        FDeclarations = source;
        return true;
    }

    static void CarryVariables(TXANVirtMachine& AFrom, TXANVirtMachine& ATo) {
        for (plat::DISPID id = 1; id < AFrom.DispIdCount(); ++id) {
            const auto* variable = dynamic_cast<const TXANVarObject*>(AFrom.ObjectByDispId(id));
            if (!variable) continue;
            plat::CatchAll([&] { ATo.WriteVar(variable->FStrName, variable->Value); });
        }
    }

    ScriptLanguage FLanguage;
    TSession FSession;
    std::string FDeclarations;
};

}  // namespace

int RunPrompt(ScriptLanguage ALanguage, std::istream& AIn, std::ostream& AOut, std::ostream& AErr,
              bool AShowPrompts) {
    TPrompt prompt(ALanguage, AOut, AErr);
    if (AShowPrompts)
        AOut << "Velmora " << (ALanguage == ScriptLanguage::Pascal ? "Pascal" : "VBScript")
             << " dialect. End of input (Ctrl-D) leaves.\n";
    std::string pending, line;
    for (;;) {
        if (AShowPrompts) AOut << (pending.empty() ? "> " : "... ") << std::flush;
        if (!std::getline(AIn, line)) break;
        pending += line + "\n";
        const bool blank = line.find_first_not_of(" \t\r") == std::string::npos;
        if (prompt.Take(pending, blank)) pending.clear();
        AOut.flush();
    }
    if (!pending.empty()) prompt.Take(pending, true);
    if (AShowPrompts) AOut << '\n';
    return ExitOk;
}

}  // namespace xan::cli
