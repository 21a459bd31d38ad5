#pragma once
// The host side of the script debugging services: the process debug manager, the debug
// applications it makes (with the stop protocol: the engine thread waits and runs the
// debugger's calls into it until resumed) and the debug documents.
#include "activescript/debug/DebugIntf.h"

namespace xan::as {

// A new process debug manager. A process keeps one (the host decides where).
plat::ComPtr<IProcessDebugManager> NewProcessDebugManager();

}  // namespace xan::as
