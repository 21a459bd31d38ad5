#pragma once
// Debugging Lua scripts on the interpreter's debug hooks.
//
// Hooks are installed only while a debugger is attached and something is armed (a breakpoint,
// a step, a requested break, an abort), so an idle debugger costs the script nothing. A
// breakpoint or a break requested from another thread installs the line hook at once
// (lua_sethook may be called asynchronously); the hook takes itself out again on the script's
// thread when nothing is armed any more.
//
// Each text given to Parse is loaded as a chunk named after its first line among the texts
// (ChunkName), so a function's source tells which adapter lines its chunk-relative lines are.
#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

extern "C" {
#include <lua.h>
}

#include "activescript/debug/LanguageDebug.h"

namespace xan::as::lua {

using plat::Integer;

// The chunk name of a text whose first line is the adapter's line AFirstLine.
std::string ChunkName(Integer AFirstLine);
// The name of chunks of expressions evaluated at the host's request (not debugged).
inline constexpr const char* KExpressionChunkName = "=expression";
// Removes a leading "chunk:LINE: " of one of our chunks from AMessage; ALine is then the
// chunk-relative line from 0 (else -1).
void SplitPosition(std::string& AMessage, Integer& ALine);

class TValueStore;

class TLuaDebug final : public TLanguageDebug {
public:
    explicit TLuaDebug(lua_State* L);
    ~TLuaDebug() override;
    TLuaDebug(const TLuaDebug&) = delete;
    TLuaDebug& operator=(const TLuaDebug&) = delete;

    // The globals that exist now are the library's, not the script's.
    void RecordLibraryGlobals();
    // A host object published under this name is not a variable of the script.
    void ExcludeGlobal(const std::string& AName);
    // The chunk on top of the stack was loaded from a text whose first line is AFirstLine.
    void ChunkLoaded(Integer AFirstLine);

    // The adapter runs script code (nestable): steps, an abort and the values kept for the
    // debugger end with the outermost run.
    class TRun {
    public:
        explicit TRun(TLuaDebug& AOwner) noexcept;
        ~TRun();
        TRun(const TRun&) = delete;
        TRun& operator=(const TRun&) = delete;

    private:
        TLuaDebug& FOwner;
    };

    // TLanguageDebug
    void SetHost(TLanguageDebugHost* AHost) override;
    Integer CodeLineAt(Integer ALine) override;
    void SetLineBreakpoint(Integer ALine, bool AEnabled) override;
    void RequestBreak() override;
    std::vector<std::unique_ptr<TLanguageFrame>> Frames() override;

    // For the frames of a stop.
    std::shared_ptr<TValueStore> Store();
    // Changes whenever the activations a frame refers to may be gone (a stop or a run ended).
    unsigned Generation() const noexcept { return FGeneration; }
    bool IsLibraryGlobal(const std::string& AName) const { return FLibraryGlobals.count(AName) != 0; }
    class TEvaluation;

private:
    enum class TStep : std::uint8_t { None, Into, Over };
    static void Hook(lua_State* L, lua_Debug* AInfo);
    void OnLine(lua_State* L, lua_Debug* AInfo);
    bool StopsAt(lua_State* L, Integer ALine, TDebugStopReason& AReason);
    // Returns whether the script is to be aborted.
    bool Stop(lua_State* L, TDebugStopReason AReason);
    bool Armed() const noexcept;
    // On the script's thread: installs the hook the armed state needs, or none.
    void ApplyHook(lua_State* L);
    // From any thread: installs the line hook.
    void ArmLineHook();
    void RunEnded();

    lua_State* FL;
    std::atomic<TLanguageDebugHost*> FHost{nullptr};
    mutable std::mutex FLock;  // breakpoints and code lines
    std::set<Integer> FBreakpoints;
    std::set<Integer> FCodeLines;
    std::atomic<bool> FHasBreakpoints{false};
    std::atomic<bool> FHalt{false};
    // The script's thread only.
    TStep FStep = TStep::None;
    int FStepDepth = 0;
    bool FAborting = false;
    int FEvaluations = 0;
    int FRuns = 0;
    lua_State* FStopped = nullptr;  // the thread of the stop in progress
    std::shared_ptr<TValueStore> FStore;
    unsigned FGeneration = 0;
    std::set<std::string> FLibraryGlobals;
};

}  // namespace xan::as::lua
