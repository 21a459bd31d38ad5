#pragma once
// What a script-engine plug-in library exports: one function that makes a new engine.
//
//   VELMORA_SCRIPT_ENGINE_PLUGIN(TLuaAdapter)
//
// The plug-in carries its own copy of the platform code it uses (like any in-process server);
// only interfaces and values cross between it and the host.
#include <memory>

#include "activescript/ScriptEngine.h"

namespace xan::as {

// The exported function's name and type: a new engine with one reference.
inline constexpr const char* PlugInEntryName = "VelmoraCreateScriptEngine";
using TPlugInEntry = IUnknown* (*)();

}  // namespace xan::as

#define VELMORA_SCRIPT_ENGINE_PLUGIN(AdapterClass)                                                          \
    extern "C" __attribute__((visibility("default"))) ::xan::plat::IUnknown* VelmoraCreateScriptEngine() { \
        try {                                                                                               \
            ::xan::plat::ComPtr<::xan::as::TScriptEngine> engine(new ::xan::as::TScriptEngine(             \
                [] { return std::unique_ptr<::xan::as::TLanguageAdapter>(new AdapterClass()); }));          \
            return static_cast<::xan::as::IActiveScript*>(engine.Detach());                                 \
        } catch (...) {                                                                                     \
            return nullptr;                                                                                 \
        }                                                                                                   \
    }
