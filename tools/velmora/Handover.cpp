#include "tools/velmora/Handover.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "components/ScriptTypes.h"
#include "tools/velmora/Session.h"

namespace xan::cli {

bool NeedsEnginePlugIns(const CommandLine& ACommandLine) {
    if (ACommandLine.mode == RunMode::Dap) return true;
    return ACommandLine.language && XANLanguageKind(ControlLanguage(*ACommandLine.language)) == slkActiveX;
}

std::string TwinPath(const std::string& ATwinName) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::path(ATwinName) : self.parent_path() / ATwinName).string();
}

std::string HandOverTo(const std::string& APath, char** argv) {
    ::execv(APath.c_str(), argv);
    return "cannot start " + APath + ": " + std::strerror(errno);
}

}  // namespace xan::cli
