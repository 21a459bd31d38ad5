// Variant hot paths: copies of every payload kind, the general integer add, string
// concatenation, and the comparison the interpreter falls back to.
#include <benchmark/benchmark.h>

#include "platform/ole/SafeArray.h"
#include "platform/ole/Variant.h"

namespace xan::plat {
namespace {

void CopyLoop(benchmark::State& state, const Variant& src) {
    Variant slots[16];
    std::size_t i = 0;
    for (auto _ : state) {
        slots[i++ & 15] = src;
        benchmark::ClobberMemory();
    }
}

void BM_CopyInteger(benchmark::State& state) { CopyLoop(state, Variant(42)); }
void BM_CopyDouble(benchmark::State& state) { CopyLoop(state, Variant(4.2)); }
void BM_CopyString(benchmark::State& state) { CopyLoop(state, Variant(u"a shared string")); }
void BM_CopyArray(benchmark::State& state) {
    CopyLoop(state, Variant::FromArray(SafeArray::Create1(varVariant, 0, 1000)));
}

void BM_MoveString(benchmark::State& state) {
    Variant a(u"moved back and forth"), b;
    for (auto _ : state) {
        b.MoveFrom(a);
        a.MoveFrom(b);
        benchmark::ClobberMemory();
    }
}

void BM_AddIntegerGeneral(benchmark::State& state) {
    Variant acc(0);
    const Variant one(1);
    for (auto _ : state) {
        VarBinaryOp(acc, acc, one, VarOp::Add);
        if (acc.VType != varInteger) acc = Variant(0);
    }
    benchmark::DoNotOptimize(acc.VInteger);
}

void BM_AddMixedGeneral(benchmark::State& state) {
    Variant res;
    const Variant a(std::uint16_t{7}), b(2.5);
    for (auto _ : state) {
        VarBinaryOp(res, a, b, VarOp::Add);
        benchmark::DoNotOptimize(res.VDouble);
    }
}

void BM_ConcatStrings(benchmark::State& state) {
    const Variant a(u"Hello, "), b(u"world of variants");
    Variant res;
    for (auto _ : state) {
        VarBinaryOp(res, a, b, VarOp::Add);
        benchmark::DoNotOptimize(res.VOleStr);
    }
}

void BM_CompareStringNumber(benchmark::State& state) {
    const Variant a(u"12.5"), b(12);
    for (auto _ : state) benchmark::DoNotOptimize(VarCompare(a, b));
}

void BM_ArrayWriteAfterCopy(benchmark::State& state) {
    Variant a = Variant::FromArray(SafeArray::Create1(varInteger, 0, static_cast<std::int32_t>(state.range(0))));
    const std::int32_t idx[] = {0};
    for (auto _ : state) {
        Variant b = a;  // shared; the write below clones
        b.MutableArray().Put(idx, Variant(1));
        benchmark::DoNotOptimize(b.VArray);
    }
}

BENCHMARK(BM_CopyInteger);
BENCHMARK(BM_CopyDouble);
BENCHMARK(BM_CopyString);
BENCHMARK(BM_CopyArray);
BENCHMARK(BM_MoveString);
BENCHMARK(BM_AddIntegerGeneral);
BENCHMARK(BM_AddMixedGeneral);
BENCHMARK(BM_ConcatStrings);
BENCHMARK(BM_CompareStringNumber);
BENCHMARK(BM_ArrayWriteAfterCopy)->Arg(16)->Arg(1024);

}  // namespace
}  // namespace xan::plat
