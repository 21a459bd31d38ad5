#pragma once
// The runner's command line:
//   velmora [--lang pascal|vb] [--check | --eval EXPR] FILE
//   velmora [--lang pascal|vb] FILE --call NAME [ARG ...]   (or --call NAME [ARG ...] FILE)
//   velmora [--lang pascal|vb] [-i]                         (the interactive prompt)
//   velmora [--lang pascal|vb] --debug FILE                 (the line-oriented debugger)
//   velmora --dap                                           (a Debug Adapter Protocol server)
#include <optional>
#include <string>
#include <vector>

namespace xan::cli {

// Pascal and Vb are our own dialects; the others run in engines of the script-engine service.
enum class ScriptLanguage { Pascal, Vb, JScript, Perl, Rexx, Tcl, Python, Lua };
enum class RunMode { Run, Check, Eval, Call, Prompt, Debug, Dap };

struct CommandLine {
    std::string file;
    std::optional<ScriptLanguage> language;  // from --lang, else from the file extension
    RunMode mode = RunMode::Run;
    std::string evalText;                    // --eval
    std::string procName;                    // --call
    std::vector<std::string> callArgs;
};

struct ParseResult {
    std::optional<CommandLine> commandLine;
    std::string error;  // set when commandLine is empty and help was not asked for
    bool help = false;
};

// AStdinIsTerminal: with no script file, a terminal on standard input gets the prompt.
ParseResult ParseCommandLine(const std::vector<std::string>& args, bool AStdinIsTerminal = false);
// The language of a file by its extension (.pas, .vbs, .js, .pl, .rexx, .tcl, .py, .lua),
// case-insensitive.
std::optional<ScriptLanguage> LanguageFromExtension(const std::string& file);
// The language a --lang name (pascal, vb or vbscript, js, perl, rexx, tcl, python, lua) names.
std::optional<ScriptLanguage> LanguageByName(const std::string& name);
const char* UsageText();

}  // namespace xan::cli
