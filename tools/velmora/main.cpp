// velmora: compiles and runs a Pascal-dialect or VBScript-dialect script from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "platform/rtl/Locale.h"
#include "tools/velmora/CommandLine.h"
#include "tools/velmora/ScriptRunner.h"

int main(int argc, char** argv) {
    using namespace xan::cli;
    const ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.help) {
        std::cout << UsageText();
        return ExitOk;
    }
    if (!parsed.commandLine) {
        std::cerr << "velmora: " << parsed.error << '\n' << UsageText();
        return ExitUsageError;
    }
    xan::plat::UseProcessLocale();
    return RunScript(*parsed.commandLine, std::cout, std::cerr);
}
