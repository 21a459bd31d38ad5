#include "activescript/plugins/lua/LuaDebug.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

extern "C" {
#include <lauxlib.h>
}

#include "activescript/debug/DebugIntf.h"
#include "activescript/plugins/lua/LuaCodeLines.h"
#include "activescript/plugins/lua/LuaValues.h"
#include "platform/text/NumText.h"

namespace xan::as::lua {

using plat::UString;

namespace {

constexpr std::string_view KScriptChunk = "script";
constexpr const char* KEvalChunkName = "=eval";
constexpr const char16_t KMainChunk[] = u"main chunk";
constexpr const char16_t KGone[] = u"The frame is no longer active";
// Stack slots the debugger's own work needs on top of the script's.
constexpr int KDebugStack = 32;

// The adapter's line of the first line of a chunk of the script; false for other chunks.
bool FirstLineOfSource(const char* ASource, Integer& AFirstLine) {
    if (!ASource || ASource[0] != '=') return false;
    std::string_view name(ASource + 1);
    if (name.substr(0, KScriptChunk.size()) != KScriptChunk) return false;
    name.remove_prefix(KScriptChunk.size());
    AFirstLine = 0;
    if (name.empty()) return true;
    if (name[0] != '+' || name.size() < 2) return false;
    for (const char c : name.substr(1)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
        AFirstLine = AFirstLine * 10 + (c - '0');
    }
    return true;
}

UString Utf8(std::string_view AText) { return UString::FromUtf8(AText); }

std::string Quoted(std::string_view AText) {
    std::string out = "\"";
    for (const char c : AText) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out + "\"";
}

bool IsIdentifier(std::string_view AText) {
    if (AText.empty() || std::isdigit(static_cast<unsigned char>(AText[0]))) return false;
    return std::all_of(AText.begin(), AText.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
}

// A number as Lua prints it, without touching the value on the stack.
std::string NumberText(lua_State* L, int AIndex) {
    lua_pushvalue(L, AIndex);
    std::size_t len = 0;
    const char* s = lua_tolstring(L, -1, &len);
    std::string text(s, len);
    lua_pop(L, 1);
    return text;
}

// The automation form of a userdata value, or none when it has no such form.
bool HostValue(lua_State* L, int AIndex, plat::Variant& AValue) {
    return !plat::CatchAll([&] { AValue = ToVariant(L, AIndex); });
}

void TypeAndValue(lua_State* L, int AIndex, std::string& AType, std::string& AValue) {
    switch (lua_type(L, AIndex)) {
        case LUA_TNIL: AType = AValue = "nil"; return;
        case LUA_TBOOLEAN:
            AType = "boolean";
            AValue = lua_toboolean(L, AIndex) ? "true" : "false";
            return;
        case LUA_TNUMBER:
            AType = lua_isinteger(L, AIndex) ? "integer" : "number";
            AValue = NumberText(L, AIndex);
            return;
        case LUA_TSTRING: {
            std::size_t len = 0;
            const char* s = lua_tolstring(L, AIndex, &len);
            AType = "string";
            AValue = Quoted(std::string_view(s, len));
            return;
        }
        case LUA_TTABLE:
            AType = "table";
            AValue = "{...}";
            return;
        case LUA_TFUNCTION: AType = AValue = "function"; return;
        case LUA_TUSERDATA:
        case LUA_TLIGHTUSERDATA: {
            plat::Variant v;
            if (!HostValue(L, AIndex, v)) break;
            if (v.VType == plat::varNull) {
                AType = AValue = "Null";
            } else if (v.VType == plat::varDispatch) {
                AType = "object";
                AValue = "[object]";
            } else {
                AType = "date";
                AValue = plat::VarToUString(v).ToUtf8();
            }
            return;
        }
        default: break;
    }
    AType = AValue = luaL_typename(L, AIndex);
}

// A table key as a child's name: a name as written after a dot, anything else in brackets.
std::string KeyName(lua_State* L, int AIndex) {
    switch (lua_type(L, AIndex)) {
        case LUA_TSTRING: {
            std::size_t len = 0;
            const char* s = lua_tolstring(L, AIndex, &len);
            const std::string_view key(s, len);
            return IsIdentifier(key) ? std::string(key) : "[" + Quoted(key) + "]";
        }
        case LUA_TNUMBER: return "[" + NumberText(L, AIndex) + "]";
        case LUA_TBOOLEAN: return lua_toboolean(L, AIndex) ? "[true]" : "[false]";
        default: return std::string("[") + luaL_typename(L, AIndex) + "]";
    }
}

int Depth(lua_State* L) {
    lua_Debug ar;
    int known = 0, beyond = 1;
    while (lua_getstack(L, beyond, &ar)) {
        known = beyond;
        beyond *= 2;
    }
    while (beyond - known > 1) {
        const int middle = (known + beyond) / 2;
        if (lua_getstack(L, middle, &ar))
            known = middle;
        else
            beyond = middle;
    }
    return known;
}

// Raises a Lua error with AMessage; only objects without destructors may be alive in the
// calling frames of C++ (the interpreter may unwind them with longjmp).
[[noreturn]] void RaiseInScript(lua_State* L, const char* AMessage) {
    lua_pushstring(L, AMessage);
    lua_error(L);
    std::abort();  // lua_error does not return
}

}  // namespace

std::string ChunkName(Integer AFirstLine) {
    return AFirstLine == 0 ? "=script" : "=script+" + std::to_string(AFirstLine);
}

void SplitPosition(std::string& AMessage, Integer& ALine) {
    ALine = -1;
    const std::size_t colon = AMessage.find(':');
    if (colon == std::string::npos) return;
    const std::string chunk = "=" + AMessage.substr(0, colon);
    Integer first = 0;
    if (!FirstLineOfSource(chunk.c_str(), first) && chunk != KExpressionChunkName && chunk != KEvalChunkName) return;
    std::size_t end = colon + 1;
    while (end < AMessage.size() && std::isdigit(static_cast<unsigned char>(AMessage[end]))) ++end;
    if (end == colon + 1 || end >= AMessage.size() || AMessage[end] != ':') return;
    ALine = std::stoi(AMessage.substr(colon + 1, end - colon - 1)) - 1;
    AMessage.erase(0, end + 1);
    if (!AMessage.empty() && AMessage[0] == ' ') AMessage.erase(0, 1);
}

// ---- Values kept for the debugger ------------------------------------------------------------

// Tables shown to the debugger during one stop, kept in a registry table so that their
// children can be listed when asked for. Made and released on the script's thread.
class TValueStore {
public:
    explicit TValueStore(lua_State* L) : FL(L) {
        lua_newtable(L);
        FRef = luaL_ref(L, LUA_REGISTRYINDEX);
    }
    ~TValueStore() { luaL_unref(FL, LUA_REGISTRYINDEX, FRef); }
    TValueStore(const TValueStore&) = delete;
    TValueStore& operator=(const TValueStore&) = delete;
    lua_State* State() const noexcept { return FL; }
    int Keep(int AIndex) {
        AIndex = lua_absindex(FL, AIndex);
        lua_rawgeti(FL, LUA_REGISTRYINDEX, FRef);
        lua_pushvalue(FL, AIndex);
        lua_rawseti(FL, -2, ++FCount);
        lua_pop(FL, 1);
        return FCount;
    }
    void Push(int AKey) {
        lua_rawgeti(FL, LUA_REGISTRYINDEX, FRef);
        lua_rawgeti(FL, -1, AKey);
        lua_remove(FL, -2);
    }

private:
    lua_State* FL;
    int FRef;
    int FCount = 0;
};

namespace {

// A value of the stopped script; a table lists its entries when asked (during the stop).
class TLuaVar final : public TLanguageDebugVar {
public:
    TLuaVar(const std::shared_ptr<TValueStore>& AStore, const std::string& AName, int AIndex) {
        lua_State* L = AStore->State();
        std::string type, value;
        TypeAndValue(L, AIndex, type, value);
        Name = Utf8(AName);
        Type = Utf8(type);
        Value = Utf8(value);
        Attributes = OBJECT_ATTRIB_ACCESS_PUBLIC;
        if (lua_type(L, AIndex) == LUA_TTABLE && HasEntries(L, AIndex)) {
            FStore = AStore;
            FKey = AStore->Keep(AIndex);
        }
    }
    bool Expandable() const override { return FKey != 0; }
    std::vector<TLanguageDebugVarRef> Children() override {
        std::shared_ptr<TValueStore> store = FStore.lock();
        if (!store || FKey == 0) return {};
        lua_State* L = store->State();
        if (!lua_checkstack(L, KDebugStack)) return {};
        store->Push(FKey);
        std::vector<TLanguageDebugVarRef> children = Entries(store, lua_gettop(L));
        lua_pop(L, 1);
        return children;
    }

private:
    static bool HasEntries(lua_State* L, int AIndex) {
        const int table = lua_absindex(L, AIndex);
        lua_pushnil(L);
        if (lua_next(L, table) == 0) return false;
        lua_pop(L, 2);
        return true;
    }
    // The elements 1..n in order, then the other entries by name.
    static std::vector<TLanguageDebugVarRef> Entries(const std::shared_ptr<TValueStore>& AStore, int ATable) {
        lua_State* L = AStore->State();
        std::vector<TLanguageDebugVarRef> list;
        const lua_Integer count = static_cast<lua_Integer>(lua_rawlen(L, ATable));
        for (lua_Integer i = 1; i <= count; ++i) {
            lua_rawgeti(L, ATable, i);
            list.push_back(std::make_shared<TLuaVar>(AStore, "[" + std::to_string(i) + "]", -1));
            lua_pop(L, 1);
        }
        std::vector<TLanguageDebugVarRef> others;
        lua_pushnil(L);
        while (lua_next(L, ATable) != 0) {
            const bool element = lua_isinteger(L, -2) && lua_tointeger(L, -2) >= 1 && lua_tointeger(L, -2) <= count;
            if (!element) others.push_back(std::make_shared<TLuaVar>(AStore, KeyName(L, -2), -1));
            lua_pop(L, 1);
        }
        std::sort(others.begin(), others.end(), [](const auto& a, const auto& b) { return a->Name < b->Name; });
        list.insert(list.end(), others.begin(), others.end());
        return list;
    }

    std::weak_ptr<TValueStore> FStore;
    int FKey = 0;
};

// The root of a frame's variables.
class TListVar final : public TLanguageDebugVar {
public:
    explicit TListVar(std::vector<TLanguageDebugVarRef> AItems) : FItems(std::move(AItems)) {}
    bool Expandable() const override { return !FItems.empty(); }
    std::vector<TLanguageDebugVarRef> Children() override { return FItems; }

private:
    std::vector<TLanguageDebugVarRef> FItems;
};

}  // namespace

// ---- Frames -------------------------------------------------------------------------------------

// The environment of an evaluation in a frame: a name is the frame's local (the innermost one
// of that name), else an upvalue of the frame's function, else a name of the frame's _ENV.
class TLuaDebug::TEvaluation {
public:
    // While it lives, the hook does not stop in the evaluated code.
    explicit TEvaluation(TLuaDebug& AOwner) noexcept : FOwner(AOwner) { ++FOwner.FEvaluations; }
    ~TEvaluation() { --FOwner.FEvaluations; }
    TEvaluation(const TEvaluation&) = delete;
    TEvaluation& operator=(const TEvaluation&) = delete;

    // Pushes the environment table for a frame whose function is on top of the stack (popped).
    static void PushEnvironment(lua_State* L, lua_Debug* AFrame) {
        const int function = lua_gettop(L);
        lua_newtable(L);                   // the environment
        lua_createtable(L, 0, 1);          // its metatable
        lua_pushlightuserdata(L, AFrame);  // upvalue 1: the frame
        lua_pushvalue(L, function);        // upvalue 2: its function
        if (!PushLocal(L, AFrame, "_ENV") && !PushUpvalue(L, function, "_ENV")) lua_pushglobaltable(L);
        lua_pushcclosure(L, &Index, 3);
        lua_setfield(L, -2, "__index");
        lua_setmetatable(L, -2);
        lua_remove(L, function);
    }

private:
    static bool PushLocal(lua_State* L, lua_Debug* AFrame, const char* AName) {
        int found = 0;
        for (int n = 1;; ++n) {
            const char* name = lua_getlocal(L, AFrame, n);
            if (!name) break;
            if (std::strcmp(name, AName) == 0) found = n;
            lua_pop(L, 1);
        }
        return found != 0 && lua_getlocal(L, AFrame, found) != nullptr;
    }
    static bool PushUpvalue(lua_State* L, int AFunction, const char* AName) {
        for (int n = 1;; ++n) {
            const char* name = lua_getupvalue(L, AFunction, n);
            if (!name) return false;
            if (std::strcmp(name, AName) == 0) return true;
            lua_pop(L, 1);
        }
    }
    static int Index(lua_State* L) {
        if (lua_type(L, 2) == LUA_TSTRING) {
            auto* frame = static_cast<lua_Debug*>(lua_touserdata(L, lua_upvalueindex(1)));
            const char* name = lua_tostring(L, 2);
            if (PushLocal(L, frame, name) || PushUpvalue(L, lua_upvalueindex(2), name)) return 1;
        }
        lua_pushvalue(L, 2);
        lua_gettable(L, lua_upvalueindex(3));
        return 1;
    }

    TLuaDebug& FOwner;
};

namespace {

class TLuaFrame final : public TLanguageFrame {
public:
    TLuaFrame(TLuaDebug& AOwner, lua_State* L, const lua_Debug& AInfo, Integer ALine, UString AName)
        : FOwner(AOwner),
          FL(L),
          FInfo(AInfo),
          FLine(ALine),
          FName(std::move(AName)),
          FGeneration(AOwner.Generation()) {}

    UString Description(bool ALong) override {
        if (!ALong) return FName;
        return FName + UString(u", line: ") + plat::IntToStr(FLine);
    }
    Integer Line() override { return FLine; }

    TLanguageDebugVarRef Variables() override {
        if (!Live() || !lua_checkstack(FL, KDebugStack))
            return std::make_shared<TListVar>(std::vector<TLanguageDebugVarRef>());
        const std::shared_ptr<TValueStore> store = FOwner.Store();
        std::vector<TLanguageDebugVarRef> items;
        std::vector<std::string> names;
        const auto add = [&](const std::string& AName) {
            const auto known = std::find(names.begin(), names.end(), AName);
            auto var = std::make_shared<TLuaVar>(store, AName, -1);
            if (known == names.end()) {
                names.push_back(AName);
                items.push_back(std::move(var));
            } else {
                items[static_cast<std::size_t>(known - names.begin())] = std::move(var);  // the inner one
            }
        };
        for (int n = 1;; ++n) {
            const char* name = lua_getlocal(FL, &FInfo, n);
            if (!name) break;
            if (name[0] != '(') add(name);
            lua_pop(FL, 1);
        }
        if (IsMainChunk())
            AddScriptGlobals(store, items);
        else
            AddUpvalues(names, add);
        return std::make_shared<TListVar>(std::move(items));
    }

    TLanguageEvalResult Evaluate(const UString& AExpr) override {
        if (!Live() || !lua_checkstack(FL, KDebugStack))
            return {false, std::make_shared<TLeafDebugVar>(AExpr, UString(u"Error"), UString(KGone))};
        const int base = lua_gettop(FL);
        const std::string text = AExpr.ToUtf8();
        TLanguageEvalResult result;
        result.Ok = Load(text) && Run();
        if (result.Ok) {
            result.Value = std::make_shared<TLuaVar>(FOwner.Store(), text, -1);
        } else {
            std::size_t len = 0;
            const char* raw = lua_tolstring(FL, -1, &len);
            std::string message = raw ? std::string(raw, len) : std::string("(error object is not a string)");
            Integer line = -1;
            SplitPosition(message, line);
            result.Value = std::make_shared<TLeafDebugVar>(AExpr, UString(u"Error"), Utf8(message));
        }
        lua_settop(FL, base);
        return result;
    }

private:
    bool Live() const noexcept { return FGeneration == FOwner.Generation(); }
    bool IsMainChunk() const { return FInfo.what && std::strcmp(FInfo.what, "main") == 0; }

    // An expression, or else statements; the message of the expression's failure stays on top.
    bool Load(const std::string& AText) {
        const std::string expression = "return " + AText;
        if (luaL_loadbuffer(FL, expression.data(), expression.size(), KEvalChunkName) == LUA_OK) return true;
        if (luaL_loadbuffer(FL, AText.data(), AText.size(), KEvalChunkName) == LUA_OK) {
            lua_remove(FL, -2);
            return true;
        }
        lua_pop(FL, 1);
        return false;
    }
    bool Run() {
        const TLuaDebug::TEvaluation evaluation(FOwner);
        lua_getinfo(FL, "f", &FInfo);
        TLuaDebug::TEvaluation::PushEnvironment(FL, &FInfo);
        lua_setupvalue(FL, -2, 1);
        return lua_pcall(FL, 0, 1, 0) == LUA_OK;
    }

    template <class F>
    void AddUpvalues(const std::vector<std::string>& ALocals, F&& AAdd) {
        lua_getinfo(FL, "f", &FInfo);
        for (int n = 1;; ++n) {
            const char* name = lua_getupvalue(FL, -1, n);
            if (!name) break;
            const std::string text = name;
            if (text != "_ENV" && !text.empty() && std::find(ALocals.begin(), ALocals.end(), text) == ALocals.end())
                AAdd(text);
            lua_pop(FL, 1);
        }
        lua_pop(FL, 1);
    }

    // The globals the script made, by name.
    void AddScriptGlobals(const std::shared_ptr<TValueStore>& AStore, std::vector<TLanguageDebugVarRef>& AItems) {
        std::vector<TLanguageDebugVarRef> globals;
        lua_pushglobaltable(FL);
        lua_pushnil(FL);
        while (lua_next(FL, -2) != 0) {
            if (lua_type(FL, -2) == LUA_TSTRING) {
                const std::string name = lua_tostring(FL, -2);
                if (!FOwner.IsLibraryGlobal(name)) globals.push_back(std::make_shared<TLuaVar>(AStore, name, -1));
            }
            lua_pop(FL, 1);
        }
        lua_pop(FL, 1);
        std::sort(globals.begin(), globals.end(), [](const auto& a, const auto& b) { return a->Name < b->Name; });
        AItems.insert(AItems.end(), globals.begin(), globals.end());
    }

    TLuaDebug& FOwner;
    lua_State* FL;
    lua_Debug FInfo;
    Integer FLine;
    UString FName;
    unsigned FGeneration;
};

// A function's name: as its caller calls it, else the global that holds it.
UString FunctionName(lua_State* L, lua_Debug& AInfo) {
    if (AInfo.what && std::strcmp(AInfo.what, "main") == 0) return UString(KMainChunk);
    if (AInfo.name) return Utf8(AInfo.name);
    lua_getinfo(L, "f", &AInfo);
    std::string found;
    lua_pushglobaltable(L);
    lua_pushnil(L);
    while (found.empty() && lua_next(L, -2) != 0) {
        if (lua_type(L, -2) == LUA_TSTRING && lua_rawequal(L, -1, -4)) found = lua_tostring(L, -2);
        lua_pop(L, 1);
    }
    lua_settop(L, lua_gettop(L) - (found.empty() ? 2 : 3));
    if (!found.empty()) return Utf8(found);
    return UString(u"function");
}

}  // namespace

// ---- The debugging adapter ---------------------------------------------------------------------

TLuaDebug::TLuaDebug(lua_State* L) : FL(L) { *static_cast<TLuaDebug**>(lua_getextraspace(L)) = this; }

TLuaDebug::~TLuaDebug() {
    FHost = nullptr;
    FStore.reset();
    lua_sethook(FL, nullptr, 0, 0);
}

void TLuaDebug::RecordLibraryGlobals() {
    lua_pushglobaltable(FL);
    lua_pushnil(FL);
    while (lua_next(FL, -2) != 0) {
        if (lua_type(FL, -2) == LUA_TSTRING) FLibraryGlobals.insert(lua_tostring(FL, -2));
        lua_pop(FL, 1);
    }
    lua_pop(FL, 1);
}

void TLuaDebug::ExcludeGlobal(const std::string& AName) { FLibraryGlobals.insert(AName); }

void TLuaDebug::ChunkLoaded(Integer AFirstLine) {
    const std::vector<int> lines = CodeLinesOfChunk(FL);
    std::lock_guard<std::mutex> guard(FLock);
    for (const int line : lines) FCodeLines.insert(AFirstLine + line - 1);
}

TLuaDebug::TRun::TRun(TLuaDebug& AOwner) noexcept : FOwner(AOwner) { ++FOwner.FRuns; }

TLuaDebug::TRun::~TRun() {
    if (--FOwner.FRuns == 0) FOwner.RunEnded();
}

void TLuaDebug::RunEnded() {
    FStep = TStep::None;
    if (FAborting) FHalt = false;  // a request during the abort asked for what happened
    FAborting = false;
    FStore.reset();
    ++FGeneration;
    ApplyHook(FL);
}

void TLuaDebug::SetHost(TLanguageDebugHost* AHost) {
    FHost = AHost;
    ApplyHook(FL);
}

Integer TLuaDebug::CodeLineAt(Integer ALine) {
    std::lock_guard<std::mutex> guard(FLock);
    const auto it = FCodeLines.lower_bound(ALine);
    return it == FCodeLines.end() ? -1 : *it;
}

void TLuaDebug::SetLineBreakpoint(Integer ALine, bool AEnabled) {
    {
        std::lock_guard<std::mutex> guard(FLock);
        if (AEnabled)
            FBreakpoints.insert(ALine);
        else
            FBreakpoints.erase(ALine);
        FHasBreakpoints = !FBreakpoints.empty();
    }
    if (AEnabled) ArmLineHook();
}

void TLuaDebug::RequestBreak() {
    FHalt = true;
    ArmLineHook();
}

std::shared_ptr<TValueStore> TLuaDebug::Store() {
    if (!FStore) FStore = std::make_shared<TValueStore>(FL);
    return FStore;
}

std::vector<std::unique_ptr<TLanguageFrame>> TLuaDebug::Frames() {
    lua_State* L = FStopped ? FStopped : FL;
    std::vector<std::unique_ptr<TLanguageFrame>> frames;
    if (!lua_checkstack(L, KDebugStack)) return frames;
    lua_Debug info;
    for (int level = 0; lua_getstack(L, level, &info); ++level) {
        Integer first = 0;
        if (!lua_getinfo(L, "Sln", &info) || !FirstLineOfSource(info.source, first) || info.currentline < 1) continue;
        const Integer line = first + info.currentline - 1;
        frames.push_back(std::make_unique<TLuaFrame>(*this, L, info, line, FunctionName(L, info)));
    }
    return frames;
}

bool TLuaDebug::Armed() const noexcept {
    return FHost.load() && (FAborting || FStep != TStep::None || FHalt.load() || FHasBreakpoints.load());
}

void TLuaDebug::ApplyHook(lua_State* L) {
    // A break requested meanwhile from another thread must not be undone: the state is read
    // again after the hook is set.
    for (int pass = 0; pass < 2; ++pass) {
        const bool armed = Armed();
        for (lua_State* state : {FL, L}) {
            if (armed)
                lua_sethook(state, &TLuaDebug::Hook, LUA_MASKLINE, 0);
            else
                lua_sethook(state, nullptr, 0, 0);
        }
        if (armed == Armed()) return;
    }
}

void TLuaDebug::ArmLineHook() {
    if (FHost.load()) lua_sethook(FL, &TLuaDebug::Hook, LUA_MASKLINE, 0);
}

void TLuaDebug::Hook(lua_State* L, lua_Debug* AInfo) {
    TLuaDebug* self = *static_cast<TLuaDebug**>(lua_getextraspace(L));
    if (self->FAborting) RaiseInScript(L, KScriptAbortedText);
    if (AInfo->event == LUA_HOOKLINE) self->OnLine(L, AInfo);
}

void TLuaDebug::OnLine(lua_State* L, lua_Debug* AInfo) {
    if (!Armed()) {
        ApplyHook(L);
        return;
    }
    if (FEvaluations > 0 || !lua_getinfo(L, "S", AInfo)) return;
    Integer first = 0;
    if (!FirstLineOfSource(AInfo->source, first)) return;
    TDebugStopReason reason;
    if (StopsAt(L, first + AInfo->currentline - 1, reason) && Stop(L, reason)) RaiseInScript(L, KScriptAbortedText);
}

bool TLuaDebug::StopsAt(lua_State* L, Integer ALine, TDebugStopReason& AReason) {
    if (FHasBreakpoints) {
        std::lock_guard<std::mutex> guard(FLock);
        if (FBreakpoints.count(ALine)) {
            AReason = TDebugStopReason::Breakpoint;
            return true;
        }
    }
    if (FHalt.exchange(false)) {
        AReason = TDebugStopReason::Halt;
        return true;
    }
    AReason = TDebugStopReason::Step;
    return FStep == TStep::Into || (FStep == TStep::Over && Depth(L) <= FStepDepth);
}

bool TLuaDebug::Stop(lua_State* L, TDebugStopReason AReason) {
    TLanguageDebugHost* host = FHost;
    if (!host) return false;
    const TStep step = FStep;
    FStep = TStep::None;
    FHalt = false;
    lua_State* outer = std::exchange(FStopped, L);
    TDebugResume resume = TDebugResume::Continue;
    // A failure of the debugger while stopped ends the script as an abort does.
    const bool failed = plat::CatchAll([&] { resume = host->Stopped(AReason); }) != nullptr;
    FStopped = outer;
    ++FGeneration;
    if (!outer) FStore.reset();
    if (failed) resume = TDebugResume::Abort;
    switch (resume) {
        case TDebugResume::Ignore: FStep = step; break;
        case TDebugResume::StepInto: FStep = TStep::Into; break;
        case TDebugResume::StepOver:
            FStep = TStep::Over;
            FStepDepth = Depth(L);
            break;
        case TDebugResume::Abort: FAborting = true; break;
        case TDebugResume::Continue: break;
    }
    ApplyHook(L);
    return FAborting;
}

}  // namespace xan::as::lua
