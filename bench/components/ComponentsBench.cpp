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

constexpr char16_t kTclLoop[] = u"proc Count7 {} {\n"
                                u"  set s 0\n"
                                u"  for {set i 1} {$i <= 100000} {incr i} {\n"
                                u"    set s [expr {$s + $i % 7}]\n"
                                u"  }\n"
                                u"  return $s\n"
                                u"}\n";

constexpr char16_t kPerlLoop[] = u"sub Count7 {\n"
                                 u"  my $s = 0;\n"
                                 u"  for (my $i = 1; $i <= 100000; $i++) {\n"
                                 u"    $s = $s + $i % 7;\n"
                                 u"  }\n"
                                 u"  return $s;\n"
                                 u"}\n";

constexpr char16_t kLuaLoop[] = u"function Count7()\n"
                                u"  local s = 0\n"
                                u"  for i = 1, 100000 do\n"
                                u"    s = s + i % 7\n"
                                u"  end\n"
                                u"  return s\n"
                                u"end\n";

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

// One pair per engine: without a debugger, and with one attached but idle.
#define XAN_LOOP_BENCH(NAME, LANG, TEXT)                                                               \
    void BM_##NAME##LoopNoDebugger(benchmark::State& AState) { RunLoop(AState, false, LANG, TEXT); }  \
    void BM_##NAME##LoopIdleDebugger(benchmark::State& AState) { RunLoop(AState, true, LANG, TEXT); } \
    BENCHMARK(BM_##NAME##LoopNoDebugger)->Unit(benchmark::kMillisecond);                              \
    BENCHMARK(BM_##NAME##LoopIdleDebugger)->Unit(benchmark::kMillisecond);

XAN_LOOP_BENCH(Vb, slVBScript, kLoop)
XAN_LOOP_BENCH(Js, slJScript, kJsLoop)
XAN_LOOP_BENCH(Py, slPython, kPyLoop)
XAN_LOOP_BENCH(Rexx, slRexx, kRexxLoop)
XAN_LOOP_BENCH(Tcl, slTCL, kTclLoop)
XAN_LOOP_BENCH(Perl, slPerl, kPerlLoop)
XAN_LOOP_BENCH(Lua, slLua, kLuaLoop)

}  // namespace

BENCHMARK_MAIN();
