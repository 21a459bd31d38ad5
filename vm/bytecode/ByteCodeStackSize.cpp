// The stack-size computation of TXANByteCode::EndEmit: the deepest operand stack any path can
// reach, so that an activation allocates its slots once and never checks for overflow.
#include <algorithm>
#include <vector>

#include "platform/core/Assert.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/bytecode/InstrFlow.h"

namespace xan {

namespace {

constexpr const char* Unit = "XANSctVMByteCode";

// Work list of (instruction, entry depth). An instruction has at most one entry; reaching it
// again deeper raises the recorded depth and queues it again.
class TStackDepthWalk {
public:
    TStackDepthWalk(const TXANInstr* code, std::int32_t count)
        : code_(code), count_(count), depth_(std::size_t(count), -1), queued_(std::size_t(count), false) {
        // Depth can only exceed the sum of all pushes when some loop grows the stack on
        // every turn, which no correct code generator produces; bounding it keeps the
        // computation finite on such code.
        for (std::int32_t i = 0; i < count; ++i) {
            const TXANInstrFlow flow = XANInstrFlow(code[i]);
            bound_ += std::max(flow.Effect, 0);
        }
    }

    void AddEntry(const TXANInstr* instr, std::int32_t depth) {
        const std::int32_t index = std::int32_t(instr - code_);
        XAN_ASSERT(Unit, index >= 0 && index < count_);
        XAN_ASSERT(Unit, depth >= 0 && depth <= bound_);
        if (depth <= depth_[std::size_t(index)]) return;
        depth_[std::size_t(index)] = depth;
        if (!queued_[std::size_t(index)]) {
            queued_[std::size_t(index)] = true;
            work_.push_back(index);
        }
    }

    std::int32_t Run() {
        while (!work_.empty()) {
            const std::int32_t index = work_.back();
            work_.pop_back();
            queued_[std::size_t(index)] = false;
            WalkFrom(index, depth_[std::size_t(index)]);
        }
        return maxDepth_;
    }

private:
    void WalkFrom(std::int32_t index, std::int32_t depth) {
        for (;;) {
            maxDepth_ = std::max(maxDepth_, depth);
            const TXANInstrFlow flow = XANInstrFlow(code_[index]);
            if (flow.Target) AddEntry(flow.Target->FTarget, depth + flow.TargetEffect);
            if (flow.Ends) return;
            depth += flow.Effect;
            XAN_ASSERT(Unit, depth >= 0 && depth <= bound_);
            maxDepth_ = std::max(maxDepth_, depth);
            ++index;
            XAN_ASSERT(Unit, index < count_);  // code must not run off its end
            if (depth_[std::size_t(index)] >= 0) {
                // Another entry owns the rest of this path; merge into it.
                AddEntry(&code_[index], depth);
                return;
            }
        }
    }

    const TXANInstr* code_;
    std::int32_t count_;
    std::vector<std::int32_t> depth_;
    std::vector<bool> queued_;
    std::vector<std::int32_t> work_;
    std::int32_t bound_ = 0;
    std::int32_t maxDepth_ = 0;
};

}  // namespace

void TXANByteCode::ComputeStackSize() {
    if (FCount == 0) {
        FStackSize = 0;
        FStackLocalsOffset = 0;
        return;
    }
    TStackDepthWalk walk(FCode.get(), FCount);
    walk.AddEntry(&FCode[0], 0);
    for (const TXANTry* block : FTries)  // an exception resets the operand stack
        if (block->FHandlerLabel) walk.AddEntry(block->FHandlerLabel->FTarget, 0);
    FStackSize = walk.Run() + FLocalVarCount;
    FStackLocalsOffset = FLocalVarCount - 1;
}

}  // namespace xan
