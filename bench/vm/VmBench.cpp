// Interpreter throughput on hand-emitted loops.
//
// How to run: `make bench` builds the release preset and runs every build/release/bin/*_bench,
// this one included. Alone: `cmake --build --preset release --target vm_bench` and then
// `build/release/bin/vm_bench` (Google Benchmark flags apply, e.g. --benchmark_filter=Array).
// The counter "instr" is the time per executed instruction.
#include <benchmark/benchmark.h>

#include <span>

#include "platform/ole/SafeArray.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/interp/Interpreter.h"

namespace xan {
namespace {

using namespace plat;

constexpr std::int32_t Iterations = 10000;
constexpr std::int32_t ArrayMask = 1023;

// Stores into a local variant array the way the indexed assignment does: the object slot holds
// a reference to the array variable, the arguments are the indices, TOS is the value.
class BenchVM : public TXANInterpreter {
public:
    void MakeEventHandler(const UString&, Variant& AResult) override { AResult.Clear(); }

protected:
    void DoAssignUnnamedCall(TXANThread&, TXANCallStackFrame&, TXANCall& ACall, Variant* ATop) override {
        Variant& array = ATop[-ACall.FObjectOffset].DerefMut();
        const std::int32_t index = VarToInt32(ATop[-ACall.FArgsOffset]);
        array.MutableArray().Put(std::span<const std::int32_t>(&index, 1), *ATop);
    }
};

struct LoopCode {
    TXANByteCode bc;
    Variant three{3}, mask{ArrayMask}, last{Iterations - 1}, high{ArrayMask};
    std::int64_t instrPerRun = 0;
};

// for i := 0 to Iterations - 1 do begin sum := sum + i * 3; [a[i and 1023] := sum] end
void EmitLoop(LoopCode& c, bool withArrayStore) {
    TXANByteCode& bc = c.bc;
    bc.BeginEmit(u"Bench", nullptr, 0);
    const auto i = std::uintptr_t(bc.AddLocalVar()), sum = std::uintptr_t(bc.AddLocalVar()),
               a = std::uintptr_t(bc.AddLocalVar());
    TXANLabel* body = bc.CreateLabel();
    TXANFor* loop = bc.AddFor(body, std::int32_t(i), false);
    TXANCall* store = bc.AddCall(0, u"", bkBlock, 1, true, true, false);
    std::int64_t setup = 0, perIteration = 0;
    auto emit = [&](std::int64_t& counter, TXANInstrCode code, std::uintptr_t data = 0) {
        bc.Emit(code, data);
        ++counter;
    };
    auto ptr = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
    emit(setup, icPush0);
    emit(setup, icPushLiteral, ptr(&c.high));
    emit(setup, icArrayCreate, ptr(bc.AddArray(1, varInteger)));
    emit(setup, icAssignLocalVar, a);
    emit(setup, icPush0);
    emit(setup, icAssignLocalVar, sum);
    emit(setup, icPushLiteral, ptr(&c.last));
    emit(setup, icAssignLocalVar, std::uintptr_t(loop->FToVar));
    emit(setup, icPush0);
    emit(setup, icForInitLocal, ptr(loop));
    bc.BindLabel(body);
    emit(perIteration, icPushLocalVar, sum);
    emit(perIteration, icPushLocalVar, i);
    emit(perIteration, icPushLiteral, ptr(&c.three));
    emit(perIteration, icMultiply);
    emit(perIteration, icPlus);
    emit(perIteration, icAssignLocalVar, sum);
    if (withArrayStore) {
        emit(perIteration, icPushLocalVarRef, a);
        emit(perIteration, icPushLocalVar, i);
        emit(perIteration, icPushLiteral, ptr(&c.mask));
        emit(perIteration, icAnd);
        emit(perIteration, icPushLocalVar, sum);
        emit(perIteration, icAssignUnnamedCall, ptr(store));
    }
    emit(perIteration, icForInc, ptr(loop));
    emit(perIteration, icForJmpIfLE, ptr(loop));
    emit(setup, icPushLocalVar, sum);
    emit(setup, icAssignResult);
    emit(setup, icRet);
    bc.EndEmit();
    c.instrPerRun = setup + perIteration * Iterations;
}

void RunLoop(benchmark::State& state, bool withArrayStore) {
    LoopCode code;
    EmitLoop(code, withArrayStore);
    BenchVM vm;
    TXANThread thread;
    for (auto _ : state) {
        Variant result;
        TXANVMInterpretContext ctx{&code.bc, nullptr, &result, nullptr};
        vm.Interpret(thread, ctx);
        benchmark::DoNotOptimize(result.VInteger);
    }
    state.counters["instr"] = benchmark::Counter(double(code.instrPerRun) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_CountingLoopArithmetic(benchmark::State& state) { RunLoop(state, false); }
void BM_CountingLoopWithArrayStore(benchmark::State& state) { RunLoop(state, true); }

// The cost of one activation: entry, a return, the frame and the slots.
void BM_EmptyActivation(benchmark::State& state) {
    TXANByteCode bc;
    bc.BeginEmit(u"Empty", nullptr, 0);
    for (int i = 0; i < 4; ++i) bc.AddLocalVar();
    bc.Emit(icRet);
    bc.EndEmit();
    BenchVM vm;
    TXANThread thread;
    for (auto _ : state) {
        TXANVMInterpretContext ctx{&bc, nullptr, nullptr, nullptr};
        vm.Interpret(thread, ctx);
    }
}

BENCHMARK(BM_CountingLoopArithmetic);
BENCHMARK(BM_CountingLoopWithArrayStore);
BENCHMARK(BM_EmptyActivation);

}  // namespace
}  // namespace xan

BENCHMARK_MAIN();
