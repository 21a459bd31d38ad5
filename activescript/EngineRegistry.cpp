#include "activescript/EngineRegistry.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdlib>
#include <map>
#include <mutex>

#include "activescript/PlugIn.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"
#include "platform/text/Format.h"

#ifndef VELMORA_ENGINE_DIR
#define VELMORA_ENGINE_DIR ""
#endif

namespace xan::as {

namespace {

constexpr TEnginePlugIn KPlugIns[] = {
    {u"JScript", "velmora_engine_js.so"},          {u"PerlScript", "velmora_engine_perl.so"},
    {u"ObjectREXXScript", "velmora_engine_rexx.so"}, {u"TclScript", "velmora_engine_tcl.so"},
    {u"Python", "velmora_engine_python.so"},        {u"LuaScript", "velmora_engine_lua.so"},
};

bool FileExists(const std::string& APath) {
    struct stat st {};
    return ::stat(APath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Plug-ins stay loaded for the life of the process: interpreters do not survive unloading.
TPlugInEntry LoadPlugIn(const std::string& APath) {
    static std::mutex section;
    static std::map<std::string, TPlugInEntry> loaded;
    std::lock_guard lock(section);
    if (auto it = loaded.find(APath); it != loaded.end()) return it->second;
    void* handle = ::dlopen(APath.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* problem = handle ? nullptr : ::dlerror();
    auto entry = handle ? reinterpret_cast<TPlugInEntry>(::dlsym(handle, PlugInEntryName)) : nullptr;
    if (handle && !entry) problem = "the library is not a script engine";
    if (!entry)
        plat::Throw<plat::EOleSysError>(plat::Format(u"Cannot load script engine plug-in '%s': %s",
                                                     plat::UString::FromUtf8(APath),
                                                     plat::UString::FromUtf8(problem ? problem : "")),
                                        plat::CLASS_E_CLASSNOTAVAILABLE);
    loaded.emplace(APath, entry);
    return entry;
}

plat::ComPtr<plat::IUnknown> CreateFromPlugIn(const std::string& APath) {
    plat::IUnknown* engine = LoadPlugIn(APath)();
    if (!engine) plat::Throw<plat::EOleSysError>(plat::UString(), plat::E_OUTOFMEMORY);
    return plat::ComPtr<plat::IUnknown>::Attach(engine);
}

}  // namespace

std::span<const TEnginePlugIn> EnginePlugIns() { return KPlugIns; }

std::string DefaultEngineDirectory() {
    if (const char* dir = std::getenv("VELMORA_ENGINE_DIR"); dir && *dir) return dir;
    return VELMORA_ENGINE_DIR;
}

std::vector<plat::UString> RegisterPlugInEngines(const std::string& ADirectory) {
    std::vector<plat::UString> registered;
    for (const TEnginePlugIn& p : KPlugIns) {
        const std::string path = ADirectory + "/" + std::string(p.Library);
        if (!FileExists(path)) {
            plat::UnregisterOleClass(p.ProgId);
            continue;
        }
        plat::RegisterOleClass(p.ProgId, [path] { return CreateFromPlugIn(path); });
        registered.emplace_back(p.ProgId);
    }
    return registered;
}

TScriptEngineRefs CreateScriptEngine(std::u16string_view AProgId) {
    const plat::UString message = plat::Format(u"Can't create script engine '%s'", plat::UString(AProgId));
    plat::TGUID clsid;
    plat::HRESULT hr = plat::CLSIDFromProgID(AProgId, clsid);
    if (plat::Failed(hr)) plat::Throw<plat::EOleSysError>(message, hr);
    plat::ComPtr<plat::IUnknown> engine;
    hr = plat::CoCreateInstance(clsid, plat::IID_IUnknown, engine.PutVoid());
    if (plat::Failed(hr)) plat::RaiseOleError(hr);
    TScriptEngineRefs refs;
    hr = engine->QueryInterface(IActiveScript::IID, refs.Script.PutVoid());
    if (plat::Failed(hr)) plat::Throw<plat::EOleSysError>(message, hr);
    hr = engine->QueryInterface(IActiveScriptParse::IID, refs.Parse.PutVoid());
    if (plat::Failed(hr)) plat::Throw<plat::EOleSysError>(message, hr);
    return refs;
}

}  // namespace xan::as
