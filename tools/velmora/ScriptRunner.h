#pragma once
// Runs one script as the command line asks and reports the outcome as an exit status:
// 0 success, 1 compile or runtime error of the script, 2 usage or file error.
#include <iosfwd>

#include "tools/velmora/CommandLine.h"

namespace xan::cli {

inline constexpr int ExitOk = 0;
inline constexpr int ExitScriptError = 1;
inline constexpr int ExitUsageError = 2;

int RunScript(const CommandLine& commandLine, std::ostream& out, std::ostream& err);

}  // namespace xan::cli
