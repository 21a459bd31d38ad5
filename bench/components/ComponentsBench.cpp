// The cost of debugging support in engine scripts: one loop-heavy procedure per engine run
// through the script control without a debugger, and with a debugger attached but idle (no
// breakpoint, no step), whose only work is to keep the engine ready to stop.
#include <benchmark/benchmark.h>

#include "components/ScriptControl.h"
#include "components/ScriptDebugger.h"

namespace {

using namespace xan;

constexpr char16_t kLoop[] = u"Function Count7()\r\n"
                             u"  Dim i, s\r\n"
                             u"  s = 0\r\n"
                             u"  For i = 1 To 100000\r\n"
                             u"    s = s + i Mod 7\r\n"
                             u"  Next\r\n"
                             u"  Count7 = s\r\n"
                             u"End Function\r\n";

constexpr char16_t kLuaLoop[] = u"function Count7()\n"
                                u"  local s = 0\n"
                                u"  for i = 1, 100000 do\n"
                                u"    s = s + i % 7\n"
                                u"  end\n"
                                u"  return s\n"
                                u"end\n";

void RunLoop(benchmark::State& AState, TXANScriptLanguage ALanguage, const char16_t* AText, bool AWithDebugger) {
    TXANScriptDebugger debugger;
    TXANScriptControl control;
    control.SetLanguage(ALanguage);
    control.Source().SetText(AText);
    if (AWithDebugger) {
        control.SetDebugger(&debugger);
        control.SetDebugName(u"Main");
    }
    control.Open();
    for (auto _ : AState) benchmark::DoNotOptimize(control.RunProc(u"Count7"));
    control.Close();
}

void BM_VbLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, slVBScript, kLoop, false); }
void BM_VbLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, slVBScript, kLoop, true); }
void BM_LuaLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, slLua, kLuaLoop, false); }
void BM_LuaLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, slLua, kLuaLoop, true); }
BENCHMARK(BM_VbLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VbLoopIdleDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LuaLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LuaLoopIdleDebugger)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
