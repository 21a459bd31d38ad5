#pragma once
// Registers every engine of the service by program identifier in the automation class
// registry: "VBScript" (our own dialect, always there) and each foreign engine whose plug-in
// is present in ADirectory. Answers the program identifiers registered. Calling it again
// (with another directory, say) registers anew.
#include <string>
#include <vector>

#include "activescript/EngineRegistry.h"

namespace xan::as {

std::vector<plat::UString> RegisterScriptEngines(const std::string& ADirectory = DefaultEngineDirectory());

}  // namespace xan::as
