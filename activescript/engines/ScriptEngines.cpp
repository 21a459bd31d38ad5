#include "activescript/engines/ScriptEngines.h"

#include "activescript/engines/VbScriptEngine.h"

namespace xan::as {

std::vector<plat::UString> RegisterScriptEngines(const std::string& ADirectory) {
    std::vector<plat::UString> registered = RegisterPlugInEngines(ADirectory);
    RegisterVbScriptEngine();
    registered.emplace_back(u"VBScript");
    return registered;
}

}  // namespace xan::as
