// velmora: compiles and runs a Pascal-dialect or VBScript-dialect script from the command line,
// or offers an interactive prompt.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "platform/rtl/Locale.h"
#include "tools/velmora/CommandLine.h"
#include "tools/velmora/DapServer.h"
#include "tools/velmora/Debugger.h"
#include "tools/velmora/Handover.h"
#include "tools/velmora/Prompt.h"
#include "tools/velmora/ScriptRunner.h"
#include "xmldom/XmlDom.h"

int main(int argc, char** argv) {
    using namespace xan::cli;
    const bool terminal = isatty(STDIN_FILENO) != 0;
    const ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc), terminal);
    if (parsed.help) {
        std::cout << UsageText();
        return ExitOk;
    }
    if (!parsed.commandLine) {
        std::cerr << "velmora: " << parsed.error << '\n' << UsageText();
        return ExitUsageError;
    }
    const CommandLine& cl = *parsed.commandLine;
#ifdef VELMORA_DYNAMIC_TWIN
    // This program is linked statically and cannot load engine plug-ins; its twin can.
    if (NeedsEnginePlugIns(cl)) {
        std::cerr << "velmora: " << HandOverTo(TwinPath(VELMORA_DYNAMIC_TWIN), argv) << '\n';
        return ExitScriptError;
    }
#endif
    xan::plat::UseProcessLocale();
    xan::xml::RegisterXmlDom();  // CreateOleObject('Microsoft.XMLDOM')
    if (cl.mode == RunMode::Prompt) return RunPrompt(*cl.language, std::cin, std::cout, std::cerr, terminal);
    if (cl.mode == RunMode::Dap) return RunDapServer(std::cin, std::cout);
    if (cl.mode == RunMode::Debug) return RunDebugger(cl, std::cin, std::cout, std::cerr, terminal);
    return RunScript(cl, std::cout, std::cerr);
}
