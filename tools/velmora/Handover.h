#pragma once
// The runner is linked statically where it can be, because a program that needs no shared
// libraries loaded starts in a fraction of the time. A statically linked program cannot load the
// script engines' plug-ins, though, so what needs them runs in the runner's dynamically linked
// twin, which takes over the process with the same arguments.
#include <string>

#include "tools/velmora/CommandLine.h"

namespace xan::cli {

// Whether running ACommandLine may load an engine plug-in: a script of an engine's language, or
// the debug adapter, which learns the language of its script only later.
bool NeedsEnginePlugIns(const CommandLine& ACommandLine);

// The twin ATwinName beside the running program.
std::string TwinPath(const std::string& ATwinName);

// Replaces this process by the program at APath with the arguments argv (argv[0] included).
// Returns only when that fails, with the reason.
std::string HandOverTo(const std::string& APath, char** argv);

}  // namespace xan::cli
