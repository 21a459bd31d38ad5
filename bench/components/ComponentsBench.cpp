// The cost of debugging support in engine scripts: one loop-heavy procedure per engine run
// through the script control without a debugger, and with a debugger attached but idle (no
// breakpoint, no step), whose only work is to keep the engine ready to stop (for REXX: tracing every clause).
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

constexpr char16_t kJsLoop[] = u"function Count7() {\n"
                               u"  var s = 0;\n"
                               u"  for (var i = 1; i <= 100000; i++)\n"
                               u"    s = s + i % 7;\n"
                               u"  return s;\n"
                               u"}\n";

constexpr char16_t kPyLoop[] = u"def Count7():\r\n"
                               u"    s = 0\r\n"
                               u"    for i in range(1, 100001):\r\n"
                               u"        s = s + i % 7\r\n"
                               u"    return s\r\n";

constexpr char16_t kRexxLoop[] = u"exit\n"
                                 u"Count7: procedure\n"
                                 u"  s = 0\n"
                                 u"  do i = 1 to 100000\n"
                                 u"    s = s + i // 7\n"
                                 u"  end\n"
                                 u"  return s\n";

void RunLoop(benchmark::State& AState, bool AWithDebugger, TXANScriptLanguage ALanguage = slVBScript,
             const char16_t* ASource = kLoop) {
    TXANScriptDebugger debugger;
    TXANScriptControl control;
    control.SetLanguage(ALanguage);
    control.Source().SetText(ASource);
    if (AWithDebugger) {
        control.SetDebugger(&debugger);
        control.SetDebugName(u"Main");
    }
    control.Open();
    for (auto _ : AState) benchmark::DoNotOptimize(control.RunProc(u"Count7"));
    control.Close();
}

void BM_VbLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, false); }
void BM_VbLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, true); }
BENCHMARK(BM_VbLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_VbLoopIdleDebugger)->Unit(benchmark::kMillisecond);
void BM_JsLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, false, slJScript, kJsLoop); }
void BM_JsLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, true, slJScript, kJsLoop); }
BENCHMARK(BM_JsLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JsLoopIdleDebugger)->Unit(benchmark::kMillisecond);
void BM_PyLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, false, slPython, kPyLoop); }
void BM_PyLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, true, slPython, kPyLoop); }
BENCHMARK(BM_PyLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PyLoopIdleDebugger)->Unit(benchmark::kMillisecond);
void BM_RexxLoopNoDebugger(benchmark::State& AState) { RunLoop(AState, false, slRexx, kRexxLoop); }
void BM_RexxLoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, true, slRexx, kRexxLoop); }
BENCHMARK(BM_RexxLoopNoDebugger)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RexxLoopIdleDebugger)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
