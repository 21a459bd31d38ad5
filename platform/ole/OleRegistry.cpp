#include "platform/ole/OleRegistry.h"

#include <map>
#include <mutex>

#include "platform/core/CharCase.h"
#include "platform/ole/OleError.h"

namespace xan::plat {

namespace {

struct ClassEntry {
    TGUID clsid;
    OleClassFactory factory;
};

struct RunningEntry {
    TGUID clsid;
    ComPtr<IUnknown> object;
};

struct Registry {
    std::mutex lock;
    std::map<UString, ClassEntry> classes;  // key: upper-cased program identifier
    std::map<std::uint32_t, RunningEntry> running;
    std::uint32_t nextCookie = 1;
    std::uint32_t nextMadeUpClsid = 1;
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

UString Key(std::u16string_view progId) { return IdentUpperCase(UString(progId)); }

bool FindFactory(const TGUID& clsid, OleClassFactory& factory, bool& known) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    for (const auto& [key, entry] : r.classes)
        if (entry.clsid == clsid) {
            known = true;
            factory = entry.factory;
            return static_cast<bool>(factory);
        }
    known = false;
    return false;
}

}  // namespace

void RegisterOleClass(std::u16string_view progId, const TGUID& clsid, OleClassFactory factory) {
    Registry& r = TheRegistry();
    UString key = Key(progId);
    std::lock_guard guard(r.lock);
    r.classes[std::move(key)] = ClassEntry{clsid, std::move(factory)};
}

TGUID RegisterOleClass(std::u16string_view progId, OleClassFactory factory) {
    Registry& r = TheRegistry();
    TGUID clsid;
    {
        std::lock_guard guard(r.lock);
        // A fixed, recognisable family: {5EE1A000-0000-4000-8000-00000000nnnn}.
        clsid = TGUID{0x5EE1A000, 0, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 0}};
        const std::uint32_t n = r.nextMadeUpClsid++;
        for (int i = 0; i < 4; ++i) clsid.D4[7 - i] = static_cast<std::uint8_t>(n >> (8 * i));
    }
    RegisterOleClass(progId, clsid, std::move(factory));
    return clsid;
}

void UnregisterOleClass(std::u16string_view progId) {
    Registry& r = TheRegistry();
    const UString key = Key(progId);
    std::lock_guard guard(r.lock);
    r.classes.erase(key);
}

HRESULT CLSIDFromProgID(std::u16string_view progId, TGUID& clsid) noexcept {
    try {
        Registry& r = TheRegistry();
        const UString key = Key(progId);
        std::lock_guard guard(r.lock);
        auto it = r.classes.find(key);
        if (it == r.classes.end()) return CO_E_CLASSSTRING;
        clsid = it->second.clsid;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

namespace {

// A new object of the class; factory errors pass through unchanged.
ComPtr<IUnknown> CreateFromClass(const TGUID& clsid) {
    OleClassFactory factory;
    bool known = false;
    if (!FindFactory(clsid, factory, known)) RaiseOleError(known ? CLASS_E_CLASSNOTAVAILABLE : REGDB_E_CLASSNOTREG);
    // The factory runs outside the lock: it may itself create objects.
    ComPtr<IUnknown> obj = factory();
    if (!obj) RaiseOleError(E_FAIL);
    return obj;
}

}  // namespace

HRESULT CoCreateInstance(const TGUID& clsid, const TGUID& iid, void** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    return SafeCall([&]() -> HRESULT { return CreateFromClass(clsid)->QueryInterface(iid, out); });
}

std::uint32_t RegisterActiveObject(IUnknown* obj, const TGUID& clsid) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    const std::uint32_t cookie = r.nextCookie++;
    r.running.emplace(cookie, RunningEntry{clsid, ComPtr<IUnknown>(obj)});
    return cookie;
}

void RevokeActiveObject(std::uint32_t cookie) noexcept {
    ComPtr<IUnknown> released;  // released after the lock is dropped: its destructor may re-enter
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto it = r.running.find(cookie);
    if (it == r.running.end()) return;
    released = std::move(it->second.object);
    r.running.erase(it);
}

HRESULT GetActiveObject(const TGUID& clsid, IUnknown** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    for (const auto& [cookie, entry] : r.running)
        if (entry.clsid == clsid) {
            *out = entry.object.Get();
            (*out)->AddRef();
            return S_OK;
        }
    return MK_E_UNAVAILABLE;
}

ComPtr<IDispatch> CreateOleObject(std::u16string_view progId) {
    TGUID clsid;
    OleCheck(CLSIDFromProgID(progId, clsid));
    ComPtr<IDispatch> obj = CreateFromClass(clsid).As<IDispatch>();
    if (!obj) RaiseOleError(E_NOINTERFACE);
    return obj;
}

ComPtr<IDispatch> GetActiveOleObject(std::u16string_view progId) {
    TGUID clsid;
    OleCheck(CLSIDFromProgID(progId, clsid));
    ComPtr<IUnknown> unk;
    OleCheck(GetActiveObject(clsid, unk.Put()));
    ComPtr<IDispatch> obj = unk.As<IDispatch>();
    if (!obj) RaiseOleError(E_NOINTERFACE);
    return obj;
}

}  // namespace xan::plat
