#include "tools/velmora/ScriptRunner.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/Exception.h"
#include "platform/ole/VarConsts.h"
#include "platform/ole/Variant.h"
#include "platform/text/Format.h"
#include "platform/text/NumText.h"
#include "vm/machine/VirtMachine.h"

namespace xan::cli {

using plat::UString;
using plat::Variant;

namespace {

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        error = "read error";
        return false;
    }
    bytes = buffer.str();
    return true;
}

UString DecodeSource(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);  // a UTF-8 byte order mark
    return UString::FromUtf8(bytes);
}

IXANLanguage* NewLanguage(ScriptLanguage language) {
    if (language == ScriptLanguage::Vb) return new vb::TXANVbLanguage();
    return new pas::TXANPasLanguage();
}

// A message that already names its source position keeps it: the innermost activation the
// error passed through reported the place where it happened.
bool HasSourceMarker(const UString& message) {
    const auto text = message.view();
    const auto bracket = text.rfind(u'[');
    return bracket != std::u16string_view::npos && text.substr(bracket + 1, 5) == u"line:";
}

// Writes a script value in the script's own notation for special values.
UString ValueText(const Variant& value, IXANLanguage& language) {
    const plat::VarData& v = value.Deref();
    UString text;
    switch (v.VType) {
        case plat::varEmpty: language.GetUnassignedText(text); return text;
        case plat::varNull: language.GetNullText(text); return text;
        case plat::varDispatch:
        case plat::varUnknown:
            if (!v.VPointer) {
                language.GetNilText(text);
                return text;
            }
            return UString(u"[object]");
        default:
            if (v.VType & plat::varArray) return UString(u"[array of ") + plat::VarTypeName(v.VType & plat::varTypeMask) + UString(u"]");
            return plat::VarToUString(v);
    }
}

// Numbers on the command line become numbers; anything else is passed as text.
Variant ArgumentValue(const std::string& text) {
    const UString u = UString::FromUtf8(text);
    plat::Int64 i;
    if (plat::TryStrToInt64(u.view(), i) && text.find_first_of("$xX") == std::string::npos) {
        if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<plat::Integer>(i));
        return Variant(i);
    }
    double d;
    if (plat::TryStrToFloat(u.view(), d, plat::TFormatSettings::Invariant())) return Variant(d);
    return Variant(u);
}

class Session {
public:
    Session(const CommandLine& cl, std::ostream& out, std::ostream& err)
        : cl_(cl), out_(out), err_(err), language_(NewLanguage(*cl.language)), vm_(language_) {
        vm_.OnFormatException = [this](TXANVirtMachine*, plat::Integer line, plat::Integer pos, plat::Exception* e) {
            if (e && !HasSourceMarker(e->Message()))
                e->SetMessage(plat::Format(u"%s\r\nSource: %s [line: %d, pos: %d]", e->Message(), sourceName_, line, pos));
        };
    }
    ~Session() { vm_.Close(); }

    int Run(const UString& source) {
        sourceName_ = UString::FromUtf8(cl_.file);
        if (!Guard([&] { vm_.Initialize(source); })) return ExitScriptError;
        if (cl_.mode == RunMode::Check) return ExitOk;
        if (!Guard([&] { vm_.Open(); })) return ExitScriptError;
        if (cl_.mode == RunMode::Eval) return Eval();
        if (cl_.mode == RunMode::Call) return Call();
        return ExitOk;
    }

private:
    int Eval() {
        sourceName_ = u"<eval>";
        Variant result;
        if (!Guard([&] { result = vm_.Eval(UString::FromUtf8(cl_.evalText)); })) return ExitScriptError;
        return Print(result);
    }

    int Call() {
        std::vector<Variant> args;
        for (const std::string& a : cl_.callArgs) args.push_back(ArgumentValue(a));
        Variant result;
        if (!Guard([&] { result = vm_.RunProc(UString::FromUtf8(cl_.procName), args); })) return ExitScriptError;
        return Print(result);
    }

    int Print(const Variant& value) {
        UString text;
        if (!Guard([&] { text = ValueText(value, *language_); })) return ExitScriptError;
        out_ << text.ToUtf8() << '\n';
        return ExitOk;
    }

    // Runs a step; a script error is reported on the error stream.
    template <class F>
    bool Guard(F&& step) {
        std::unique_ptr<plat::Exception> e = plat::CatchAll(step);
        if (!e) return true;
        out_.flush();
        std::string message = e->Message().ToUtf8();
        for (auto at = message.find("\r\n"); at != std::string::npos; at = message.find("\r\n", at)) message.erase(at, 1);
        err_ << "velmora: " << e->ClassName().ToUtf8() << ": " << message << '\n';
        return false;
    }

    const CommandLine& cl_;
    std::ostream& out_;
    std::ostream& err_;
    IXANLanguage* language_;  // owned through the machine's reference
    TXANVirtMachine vm_;
    UString sourceName_;
};

}  // namespace

int RunScript(const CommandLine& cl, std::ostream& out, std::ostream& err) {
    std::string bytes, error;
    if (!ReadFile(cl.file, bytes, error)) {
        err << "velmora: cannot read '" << cl.file << "': " << error << '\n';
        return ExitUsageError;
    }
    const UString source = DecodeSource(bytes);
    int status = ExitScriptError;
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        Session session(cl, out, err);
        status = session.Run(source);
    });
    if (e) {
        err << "velmora: " << e->Message().ToUtf8() << '\n';
        return ExitScriptError;
    }
    out.flush();
    return status;
}

}  // namespace xan::cli
