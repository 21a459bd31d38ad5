#pragma once
// Instruction fusion: groups of two to ten instructions the dispatch loop runs as one.
//
// The first instruction of a group ("push a literal", "push a local", "step the loop variable",
// "reserve a call's result") takes a fused code; the others ("add", "compare", "assign to a
// local", "jump back if not past the end") stay as they were. The fused instruction does the
// work of the whole group when its operands are numbers of one kind (or, for an element access,
// when the call site has resolved to an array variable), and skips the rest; otherwise it does
// only the pushes before the operation and the remaining instructions run as usual, with their
// own source positions for any error. A jump into a group therefore still finds its later
// instructions intact, and nothing moves.
//
// A fused instruction does not look at the instructions it skips (that would cost every run):
// whoever patches a breakpoint onto an instruction first calls XANUnfuseBefore, so that no group
// runs past the patch. A breakpoint's copy of a fused instruction runs unfused.
#include <cstdint>

#include "vm/bytecode/Instr.h"

namespace xan {

// The most instructions one fused group covers (a whole statement "local := an expression of
// three locals and two literals").
inline constexpr int MaxFusedGroupSize = 10;

// Gives every fusable group of ACode[0 .. ACount) its fused code; run once code is complete.
// Does nothing while fusion is off.
void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept;

// Whether code completed from now on is fused: on, unless turned off to run the same scripts
// both ways (the fused groups must compute exactly what their instructions compute).
void XANSetFusionEnabled(bool AEnabled) noexcept;
bool XANFusionEnabled() noexcept;

// Before instruction AIndex of ACode is patched: every fused group that covers it from an
// earlier instruction (a group of n whose second to n-th instruction it is, and the groups
// fused inside such a group) takes its unfused codes again. Safe while other threads run the
// code (each code is one atomic byte); the groups stay unfused once the patch is gone.
void XANUnfuseBefore(TXANInstr* ACode, std::int32_t AIndex) noexcept;

// The code a fused instruction had before fusion (other codes are answered unchanged): what it
// does when the group cannot take its short way.
TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept;

}  // namespace xan
