// The "LuaScript" engine: Lua 5.4 behind the generic script engine.
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "activescript/PlugIn.h"
#include "activescript/plugins/lua/LuaDebug.h"
#include "activescript/plugins/lua/LuaValues.h"
#include "platform/ole/ComPtr.h"

extern "C" {
#include <lualib.h>
}

namespace xan::as::lua {

using plat::Variant;

namespace {

// "chunk:LINE: text" (the form Lua gives positions in) becomes the text at that line.
[[noreturn]] void RaiseLuaError(lua_State* L) {
    std::size_t len = 0;
    const char* raw = lua_tolstring(L, -1, &len);
    std::string message = raw ? std::string(raw, len) : std::string("(error object is not a string)");
    lua_pop(L, 1);
    Integer line = -1;
    SplitPosition(message, line);
    plat::Throw<EScriptError>(UString::FromUtf8(message), line, 0);
}

// The number of lines of a text, counted as the debugging services count them.
Integer LineCount(std::u16string_view AText) {
    Integer count = 1;
    for (std::size_t i = 0; i < AText.size(); ++i) {
        if (AText[i] == u'\r' && i + 1 < AText.size() && AText[i + 1] == u'\n') ++i;
        if (AText[i] == u'\r' || AText[i] == u'\n') ++count;
    }
    return count;
}

class TLuaAdapter;

class TLuaBlock : public TScriptBlock {
public:
    TLuaBlock(lua_State* L, TLuaDebug& ADebug, int ARef) : FL(L), FDebug(ADebug), FRef(ARef) {}
    ~TLuaBlock() override { luaL_unref(FL, LUA_REGISTRYINDEX, FRef); }
    void Run() override {
        const TLuaDebug::TRun run(FDebug);
        lua_rawgeti(FL, LUA_REGISTRYINDEX, FRef);
        if (lua_pcall(FL, 0, 0, 0) != LUA_OK) RaiseLuaError(FL);
    }

private:
    lua_State* FL;
    TLuaDebug& FDebug;
    int FRef;
};

class TLuaAdapter : public TLanguageAdapter {
public:
    TLuaAdapter() : FL(luaL_newstate()) {
        if (!FL) plat::Throw<EScriptError>(UString(u"Not enough memory for the Lua interpreter"));
        luaL_openlibs(FL);
        InstallValueTypes(FL);
        InstallGlobalMembers();
        FDebug = std::make_unique<TLuaDebug>(FL);
        FDebug->RecordLibraryGlobals();
    }
    ~TLuaAdapter() override {
        FDebug.reset();  // its values live in the state
        lua_close(FL);  // before the objects its proxies refer to are gone from FGlobalMembers
    }

    UString ErrorSource() const override { return UString(u"Lua"); }
    TLanguageDebug* Debugging() override { return FDebug.get(); }

    // Texts are numbered on from the lines of those parsed before, as the debugger counts them.
    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        Load(ACode.ToUtf8(), ChunkName(FNextLine));
        FDebug->ChunkLoaded(FNextLine);
        FNextLine += LineCount(ACode.view());
        return std::make_unique<TLuaBlock>(FL, *FDebug, luaL_ref(FL, LUA_REGISTRYINDEX));
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        const int base = lua_gettop(FL);
        const TLuaDebug::TRun run(*FDebug);
        Load(AIsExpression ? "return " + ACode.ToUtf8() : ACode.ToUtf8(), KExpressionChunkName);
        if (lua_pcall(FL, 0, AIsExpression ? 1 : 0, 0) != LUA_OK) RaiseLuaError(FL);
        Variant result = AIsExpression ? ToVariantAndPop() : Variant();
        lua_settop(FL, base);
        return result;
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool AVisible, bool AGlobalMembers) override {
        if (AVisible) {
            PushVariant(FL, Variant(AObject));
            lua_setglobal(FL, AName.ToUtf8().c_str());
            FDebug->ExcludeGlobal(AName.ToUtf8());
        }
        if (AGlobalMembers) FGlobalMembers.emplace_back(AObject);
    }

    UString FindGlobal(const UString& AName) override {
        lua_pushglobaltable(FL);
        const std::string name = AName.ToUtf8();
        lua_pushlstring(FL, name.data(), name.size());
        const bool found = lua_rawget(FL, -2) != LUA_TNIL;
        lua_pop(FL, 2);
        return found ? AName : UString();
    }

    bool IsProcedure(const UString& AName) override {
        const bool function = lua_getglobal(FL, AName.ToUtf8().c_str()) == LUA_TFUNCTION;
        lua_pop(FL, 1);
        return function;
    }

    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        const int base = lua_gettop(FL);
        const std::string name = AName.ToUtf8();
        if (AAccess == TGlobalAccess::Put) {
            if (AArgs.size() != 1) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"), -1, 0,
                                                             plat::DISP_E_BADPARAMCOUNT);
            PushVariant(FL, AArgs.back());
            lua_setglobal(FL, name.c_str());
            return Variant();
        }
        lua_getglobal(FL, name.c_str());
        if (lua_type(FL, -1) != LUA_TFUNCTION && AAccess == TGlobalAccess::Get && AArgs.empty())
            return ToVariantAndPop(base);
        if (lua_type(FL, -1) != LUA_TFUNCTION) {
            if (AArgs.empty()) return ToVariantAndPop(base);
            lua_settop(FL, base);
            plat::Throw<EScriptError>(UString(u"'") + AName + std::u16string_view(u"' is not a function"), -1, 0, plat::DISP_E_TYPEMISMATCH);
        }
        for (const VarData& a : AArgs) PushVariant(FL, a);
        const TLuaDebug::TRun run(*FDebug);
        if (lua_pcall(FL, static_cast<int>(AArgs.size()), 1, 0) != LUA_OK) {
            RaiseLuaError(FL);
        }
        return ToVariantAndPop(base);
    }

private:
    void Load(const std::string& ACode, const std::string& AChunkName) {
        if (luaL_loadbuffer(FL, ACode.data(), ACode.size(), AChunkName.c_str()) != LUA_OK) RaiseLuaError(FL);
    }

    // The value on top, popped; the stack is then cut back to ABase when given.
    Variant ToVariantAndPop(int ABase = -1) {
        std::unique_ptr<plat::Exception> e;
        Variant v;
        e = plat::CatchAll([&] { v = ToVariant(FL, -1); });
        if (ABase >= 0) lua_settop(FL, ABase);
        else lua_pop(FL, 1);
        if (e) plat::Raise(e.release());
        return v;
    }

    // Names the script does not define are looked up among the members of the objects
    // published with their members, in the order they were added.
    void InstallGlobalMembers() {
        lua_pushglobaltable(FL);
        lua_createtable(FL, 0, 1);
        lua_pushlightuserdata(FL, this);
        lua_pushcclosure(FL, &TLuaAdapter::GlobalIndex, 1);
        lua_setfield(FL, -2, "__index");
        lua_setmetatable(FL, -2);
        lua_pop(FL, 1);
    }

    static int GlobalIndex(lua_State* L) {
        auto* self = static_cast<TLuaAdapter*>(lua_touserdata(L, lua_upvalueindex(1)));
        if (lua_type(L, 2) != LUA_TSTRING || self->FGlobalMembers.empty()) return 0;
        std::size_t len = 0;
        const char* s = lua_tolstring(L, 2, &len);
        const UString name = UString::FromUtf8(std::string_view(s, len));
        return Guarded(L, [&] {
            for (const plat::ComPtr<IDispatch>& obj : self->FGlobalMembers)
                if (PushHostMember(L, obj.Get(), name)) return 1;
            return 0;
        });
    }

    lua_State* FL;
    std::unique_ptr<TLuaDebug> FDebug;
    Integer FNextLine = 0;
    std::vector<plat::ComPtr<IDispatch>> FGlobalMembers;
};

}  // namespace

}  // namespace xan::as::lua

VELMORA_SCRIPT_ENGINE_PLUGIN(xan::as::lua::TLuaAdapter)
