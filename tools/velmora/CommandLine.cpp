#include "tools/velmora/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace xan::cli {

const char* UsageText() {
    return "usage: velmora [--lang L] [--check | --eval EXPR] FILE\n"
           "       velmora [--lang L] FILE --call NAME [ARG ...]\n"
           "       velmora [--lang pascal|vb] [-i]\n"
           "       velmora [--lang L] --debug FILE\n"
           "       velmora --dap\n"
           "  FILE            script to compile and run (.pas Pascal dialect, .vbs VBScript dialect;\n"
           "                  through the script engines: .js JavaScript, .pl Perl, .rexx REXX,\n"
           "                  .tcl Tcl, .py Python, .lua Lua, each with the object UI for dialogs)\n"
           "  --lang L        the script's language, overriding the file extension: pascal, vb,\n"
           "                  js, perl, rexx, tcl, python or lua\n"
           "  --check         only compile the script\n"
           "  --eval EXPR     run the global code, then evaluate EXPR and print its value\n"
           "  --call NAME ... run the global code, then call procedure NAME with the arguments\n"
           "                  (numbers are passed as numbers, anything else as text) and print\n"
           "                  its result; FILE may also stand last, and -- ends the options\n"
           "  -i              the interactive prompt (the default without FILE on a terminal;\n"
           "                  Pascal unless --lang says otherwise)\n"
           "  --debug         debug the script: commands from standard input (help lists them)\n"
           "  --dap           serve the Debug Adapter Protocol on standard input and output\n"
           "exit status: 0 success, 1 script error, 2 usage or file error\n";
}

namespace {
struct TLanguageName {
    const char* Name;       // for --lang
    const char* Extension;  // of script files
    ScriptLanguage Language;
};
constexpr TLanguageName KLanguageNames[] = {
    {"pascal", "pas", ScriptLanguage::Pascal}, {"vb", "vbs", ScriptLanguage::Vb},
    {"js", "js", ScriptLanguage::JScript},     {"perl", "pl", ScriptLanguage::Perl},
    {"rexx", "rexx", ScriptLanguage::Rexx},    {"tcl", "tcl", ScriptLanguage::Tcl},
    {"python", "py", ScriptLanguage::Python},  {"lua", "lua", ScriptLanguage::Lua},
};
}  // namespace

std::optional<ScriptLanguage> LanguageFromExtension(const std::string& file) {
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string ext = file.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const TLanguageName& l : KLanguageNames)
        if (ext == l.Extension) return l.Language;
    return std::nullopt;
}

std::optional<ScriptLanguage> LanguageByName(const std::string& name) {
    if (name == "vbscript") return ScriptLanguage::Vb;
    for (const TLanguageName& l : KLanguageNames)
        if (name == l.Name) return l.Language;
    return std::nullopt;
}

namespace {

ParseResult Fail(std::string message) {
    ParseResult r;
    r.error = std::move(message);
    return r;
}

bool SetMode(CommandLine& cl, RunMode mode, std::string& error) {
    if (cl.mode != RunMode::Run) {
        error = "only one of --check, --eval, --call, --debug and --dap may be given";
        return false;
    }
    cl.mode = mode;
    return true;
}
}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args, bool AStdinIsTerminal) {
    CommandLine cl;
    bool interactive = false, optionsEnded = false;
    // Plain arguments, and whether each came before --call: the file is the first of those
    // before it, else it stands among the call's (--call NAME ARG ... FILE).
    std::vector<std::pair<std::string, bool>> plain;
    std::string error;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto needValue = [&](const char* what) -> const std::string* {
            if (i + 1 >= args.size()) {
                error = std::string(what) + " needs a value";
                return nullptr;
            }
            return &args[++i];
        };
        const bool isOption = !optionsEnded && a.size() > 1 && a[0] == '-';
        if (!isOption) {
            plain.emplace_back(a, cl.mode != RunMode::Call);
        } else if (a == "--") {
            optionsEnded = true;
        } else if (a == "-h" || a == "--help") {
            ParseResult r;
            r.help = true;
            return r;
        } else if (a == "-i" || a == "--interactive") {
            interactive = true;
        } else if (a == "--lang") {
            const std::string* v = needValue("--lang");
            if (!v) return Fail(error);
            cl.language = LanguageByName(*v);
            if (!cl.language) return Fail("unknown language '" + *v + "' (use pascal, vb, js, perl, rexx, tcl, python or lua)");
        } else if (a == "--check") {
            if (!SetMode(cl, RunMode::Check, error)) return Fail(error);
        } else if (a == "--eval") {
            const std::string* v = needValue("--eval");
            if (!v || !SetMode(cl, RunMode::Eval, error)) return Fail(error);
            cl.evalText = *v;
        } else if (a == "--debug") {
            if (!SetMode(cl, RunMode::Debug, error)) return Fail(error);
        } else if (a == "--dap") {
            if (!SetMode(cl, RunMode::Dap, error)) return Fail(error);
        } else if (a == "--call") {
            const std::string* v = needValue("--call");
            if (!v || !SetMode(cl, RunMode::Call, error)) return Fail(error);
            cl.procName = *v;
        } else if (cl.mode == RunMode::Call) {
            plain.emplace_back(a, false);  // a negative number or dashed text for the procedure
        } else {
            return Fail("unknown option '" + a + "'");
        }
    }
    if (cl.mode == RunMode::Dap) {
        // The program comes with the client's launch request.
        if (!plain.empty()) return Fail("--dap takes no script file");
        if (interactive) return Fail("-i cannot be combined with --dap");
        ParseResult r;
        r.commandLine = std::move(cl);
        return r;
    }
    if (plain.empty()) {
        if (cl.mode != RunMode::Run || !(interactive || AStdinIsTerminal)) return Fail("no script file given");
        cl.mode = RunMode::Prompt;
        if (!cl.language) cl.language = ScriptLanguage::Pascal;
        if (*cl.language != ScriptLanguage::Pascal && *cl.language != ScriptLanguage::Vb)
            return Fail("the interactive prompt runs pascal or vb only");
        ParseResult r;
        r.commandLine = std::move(cl);
        return r;
    }
    if (interactive) return Fail("-i takes no script file");
    auto file = std::find_if(plain.begin(), plain.end(), [](const auto& p) { return p.second; });
    if (file == plain.end()) {
        // All after --call: the script is the last argument a language's extension names, else
        // the last one.
        const auto named = std::find_if(plain.rbegin(), plain.rend(),
                                        [](const auto& p) { return LanguageFromExtension(p.first).has_value(); });
        file = named != plain.rend() ? std::prev(named.base()) : plain.end() - 1;
    }
    cl.file = file->first;
    plain.erase(file);
    if (cl.mode != RunMode::Call && !plain.empty()) return Fail("unexpected argument '" + plain.front().first + "'");
    for (auto& p : plain) cl.callArgs.push_back(std::move(p.first));
    if (!cl.language) {
        cl.language = LanguageFromExtension(cl.file);
        if (!cl.language) return Fail("cannot tell the language of '" + cl.file + "' (use --lang)");
    }
    ParseResult r;
    r.commandLine = std::move(cl);
    return r;
}

}  // namespace xan::cli
