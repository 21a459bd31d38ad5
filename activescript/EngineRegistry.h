#pragma once
// The foreign script engines of the service, each in a plug-in library of its own that is
// loaded when the first engine of its language is created, so neither the engine library nor
// a program that embeds it needs an interpreter until a script asks for one.
//
// RegisterPlugInEngines registers, in the automation class registry, every engine whose
// plug-in is present in the directory; an absent plug-in leaves its program identifier
// unregistered (a host then cannot create that engine and says so). A plug-in that is present
// but cannot be loaded makes the creation fail with the loader's text.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "activescript/ActiveScript.h"
#include "platform/ole/ComPtr.h"

namespace xan::as {

struct TEnginePlugIn {
    std::u16string_view ProgId;
    std::string_view Library;  // file name inside the plug-in directory
};

// The foreign engines, by program identifier.
std::span<const TEnginePlugIn> EnginePlugIns();
// $VELMORA_ENGINE_DIR when set, else the directory the build put the plug-ins in.
std::string DefaultEngineDirectory();
// Registers the engines whose plug-ins are in ADirectory and unregisters the others; answers
// the program identifiers registered.
std::vector<plat::UString> RegisterPlugInEngines(const std::string& ADirectory = DefaultEngineDirectory());

// A new engine asked for both of its interfaces, as a host creates one: an identifier that is
// not registered, or an object without either interface, raises EOleSysError
// "Can't create script engine '<identifier>'" with the failure code; a class that cannot be
// made raises EOleSysError with the system text of the code.
struct TScriptEngineRefs {
    plat::ComPtr<IActiveScript> Script;
    plat::ComPtr<IActiveScriptParse> Parse;
};
TScriptEngineRefs CreateScriptEngine(std::u16string_view AProgId);

}  // namespace xan::as
