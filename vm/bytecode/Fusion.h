#pragma once
// Instruction fusion: pairs of instructions the dispatch loop runs as one.
//
// The first instruction of a pair ("push a literal", "push a local", "step the loop variable")
// takes a fused code; the second ("add", "compare", "jump back if not past the end") stays as it
// was. The fused instruction does the work of both when its operands are numbers of one kind,
// and skips the second; otherwise it does only its own work and the second runs as usual, with
// its own source position for any error. A jump to the second instruction therefore still finds
// it intact, and nothing moves.
//
// A fused instruction does not look at the instructions it skips (that would cost every run):
// whoever patches a breakpoint onto an instruction first calls XANUnfuseBefore, so that no group
// runs past the patch. A breakpoint's copy of a fused instruction runs unfused.
#include <cstdint>

#include "vm/bytecode/Instr.h"

namespace xan {

// Gives every fusable pair of ACode[0 .. ACount) its fused code; run once code is complete.
void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept;

// Before instruction AIndex of ACode is patched: every fused group that covers it from an
// earlier instruction (a pair whose second it is, a triple whose second or third it is) takes
// its unfused codes again. Safe while other threads run the code (each code is one atomic byte);
// the groups stay unfused once the patch is gone.
void XANUnfuseBefore(TXANInstr* ACode, std::int32_t AIndex) noexcept;

// The code a fused instruction had before fusion (other codes are answered unchanged): what it
// does when the pair cannot take its short way.
TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept;

}  // namespace xan
