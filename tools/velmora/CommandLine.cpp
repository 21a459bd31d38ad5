#include "tools/velmora/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace xan::cli {

const char* UsageText() {
    return "usage: velmora [--lang pascal|vb] [--check | --eval EXPR | --call NAME [ARG ...]] FILE\n"
           "  FILE            script to compile and run (.pas Pascal dialect, .vbs VBScript dialect)\n"
           "  --lang L        the script's language, overriding the file extension\n"
           "  --check         only compile the script\n"
           "  --eval EXPR     run the global code, then evaluate EXPR and print its value\n"
           "  --call NAME ... run the global code, then call procedure NAME with the arguments\n"
           "                  (numbers are passed as numbers, anything else as text) and print\n"
           "                  its result\n"
           "exit status: 0 success, 1 script error, 2 usage or file error\n";
}

std::optional<ScriptLanguage> LanguageFromExtension(const std::string& file) {
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos) return std::nullopt;
    std::string ext = file.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "pas") return ScriptLanguage::Pascal;
    if (ext == "vbs") return ScriptLanguage::Vb;
    return std::nullopt;
}

namespace {
std::optional<ScriptLanguage> LanguageByName(const std::string& name) {
    if (name == "pascal") return ScriptLanguage::Pascal;
    if (name == "vb" || name == "vbscript") return ScriptLanguage::Vb;
    return std::nullopt;
}

ParseResult Fail(std::string message) {
    ParseResult r;
    r.error = std::move(message);
    return r;
}

bool SetMode(CommandLine& cl, RunMode mode, std::string& error) {
    if (cl.mode != RunMode::Run) {
        error = "only one of --check, --eval and --call may be given";
        return false;
    }
    cl.mode = mode;
    return true;
}
}  // namespace

ParseResult ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    bool haveFile = false;
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
        if (a == "-h" || a == "--help") {
            ParseResult r;
            r.help = true;
            return r;
        } else if (a == "--lang") {
            const std::string* v = needValue("--lang");
            if (!v) return Fail(error);
            cl.language = LanguageByName(*v);
            if (!cl.language) return Fail("unknown language '" + *v + "' (use pascal or vb)");
        } else if (a == "--check") {
            if (!SetMode(cl, RunMode::Check, error)) return Fail(error);
        } else if (a == "--eval") {
            const std::string* v = needValue("--eval");
            if (!v || !SetMode(cl, RunMode::Eval, error)) return Fail(error);
            cl.evalText = *v;
        } else if (a == "--call") {
            const std::string* v = needValue("--call");
            if (!v || !SetMode(cl, RunMode::Call, error)) return Fail(error);
            cl.procName = *v;
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            if (cl.mode == RunMode::Call && haveFile) {
                cl.callArgs.push_back(a);  // a negative number or dashed text for the procedure
                continue;
            }
            return Fail("unknown option '" + a + "'");
        } else if (!haveFile) {
            cl.file = a;
            haveFile = true;
        } else if (cl.mode == RunMode::Call) {
            cl.callArgs.push_back(a);
        } else {
            return Fail("unexpected argument '" + a + "'");
        }
    }
    if (!haveFile) return Fail("no script file given");
    if (!cl.language) {
        cl.language = LanguageFromExtension(cl.file);
        if (!cl.language) return Fail("cannot tell the language of '" + cl.file + "' (use --lang pascal|vb)");
    }
    ParseResult r;
    r.commandLine = std::move(cl);
    return r;
}

}  // namespace xan::cli
