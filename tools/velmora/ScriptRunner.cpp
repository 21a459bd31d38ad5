#include "tools/velmora/ScriptRunner.h"

#include <ostream>
#include <vector>

#include "platform/rtl/ScriptFile.h"
#include "platform/text/NumText.h"
#include "tools/velmora/Session.h"

namespace xan::cli {

using plat::UString;
using plat::Variant;

namespace {

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

int Run(const CommandLine& cl, const UString& source, TSession& session) {
    TXANScriptControl& control = session.Control();
    session.SetSourceName(cl.file);
    control.Source().SetText(source.view());
    if (!session.Guard([&] { control.Prepare(); })) return ExitScriptError;
    if (cl.mode == RunMode::Check) return ExitOk;
    if (!session.Guard([&] { control.Open(false); })) return ExitScriptError;
    Variant result;
    if (cl.mode == RunMode::Eval) {
        session.SetSourceName("<eval>");
        if (!session.Guard([&] { result = control.Eval(UString::FromUtf8(cl.evalText)); })) return ExitScriptError;
    } else if (cl.mode == RunMode::Call) {
        std::vector<Variant> args;
        for (const std::string& a : cl.callArgs) args.push_back(ArgumentValue(a));
        if (!session.Guard([&] { result = control.RunProc(UString::FromUtf8(cl.procName), args); }))
            return ExitScriptError;
    } else {
        return ExitOk;
    }
    return session.Print(result) ? ExitOk : ExitScriptError;
}

}  // namespace

int RunScript(const CommandLine& cl, std::ostream& out, std::ostream& err) {
    UString source;
    std::string error;
    if (!plat::LoadScriptFile(cl.file, source, error)) {
        err << "velmora: cannot read '" << cl.file << "': " << error << '\n';
        return ExitUsageError;
    }
    int status = ExitScriptError;
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        TSession session(*cl.language, out, err);
        status = Run(cl, source, session);
    });
    if (e) {
        err << "velmora: " << e->Message().ToUtf8() << '\n';
        return ExitScriptError;
    }
    out.flush();
    return status;
}

}  // namespace xan::cli
