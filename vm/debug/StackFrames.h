#pragma once
// The snapshot of a paused call stack that a debugger break hands to its host:
// TXANPasStackFrames, innermost frame first, each frame of a machine attached to the debugger.
//
// A frame reads the live activation of the paused thread, so evaluating and listing variables
// is allowed only on that thread and only while the break lasts. The snapshot is shared: a host
// may keep it past the break, and then those operations answer a clear error instead of
// reading an activation that has ended. Description and line are copies and stay readable.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/UString.h"
#include "platform/ole/Variant.h"
#include "vm/debug/DebugVars.h"
#include "vm/interp/CallStackFrame.h"

namespace xan {

class TXANVirtMachine;
class TXANPasStackFrames;

inline constexpr const char16_t* SDebugEvalWrongThread = u"Debug evaluation is only allowed from the breaked thread.";
inline constexpr const char16_t* SDebugBreakEnded = u"The debugger break of this stack frame has ended.";

class TXANPasStackFrame {
public:
    // Fills every field from the live frame AFrame (its machine is a TXANVirtMachine).
    TXANPasStackFrame(TXANPasStackFrames* AOwner, TXANCallStackFrame* AFrame);
    TXANPasStackFrame(const TXANPasStackFrame&) = delete;
    TXANPasStackFrame& operator=(const TXANPasStackFrame&) = delete;

    TXANVirtMachine* VM() const noexcept { return FVM; }
    const plat::UString& Description() const noexcept { return FDescription; }
    plat::Integer Line() const noexcept { return FLine; }  // from 0

    // AExpr evaluated in this frame's scope: its result as a variable named AExpr, or, when it
    // cannot be compiled or raises, a variable of type "Error" whose value is the message.
    void Eval(const plat::UString& AExpr, TXANPasDebugVar& AVars);
    // The same as a value: false (AValue Empty) when the evaluation fails.
    bool Eval(const plat::UString& AExpr, plat::Variant& AValue);
    // One root variable ("Globals" in the global code, else "Locals") whose children are the
    // frame's variables, their values captured now.
    void GetVariables(TXANPasDebugVar& AVars);

private:
    // Raises unless called on the paused thread during the break.
    void CheckAccess() const;
    plat::Variant Evaluate(const plat::UString& AExpr);
    bool IsGlobalCode() const noexcept;

    TXANPasStackFrames* FOwner;
    TXANCallStackFrame* FFrame;
    TXANVMInterpretContext* FCtx;
    TXANVirtMachine* FVM;
    plat::Integer FLine;
    plat::UString FDescription;
};

class TXANPasStackFrames {
public:
    explicit TXANPasStackFrames(std::uint32_t ABreakedThreadId) noexcept : FBreakedThreadId(ABreakedThreadId) {}
    TXANPasStackFrames(const TXANPasStackFrames&) = delete;
    TXANPasStackFrames& operator=(const TXANPasStackFrames&) = delete;

    std::int32_t Count() const noexcept { return static_cast<std::int32_t>(FItems.size()); }
    TXANPasStackFrame* Items(std::int32_t AIndex) const { return FItems.at(static_cast<std::size_t>(AIndex)).get(); }
    std::uint32_t BreakedThreadId() const noexcept { return FBreakedThreadId; }

    // ---- For the break handler -----------------------------------------------------------------
    void Add(TXANCallStackFrame* AFrame);
    // The break is over: the live frames may be gone from now on.
    void EndBreak() noexcept { FBreakEnded.store(true, std::memory_order_release); }
    bool BreakEnded() const noexcept { return FBreakEnded.load(std::memory_order_acquire); }

private:
    std::vector<std::unique_ptr<TXANPasStackFrame>> FItems;
    std::uint32_t FBreakedThreadId;
    std::atomic<bool> FBreakEnded{false};
};

using TXANPasStackFramesRef = std::shared_ptr<TXANPasStackFrames>;

}  // namespace xan
