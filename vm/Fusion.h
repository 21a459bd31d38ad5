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
// The short way is taken only while the second instruction still has the code fusion found
// there: a breakpoint patched onto it is never skipped. A fused instruction run as a
// breakpoint's copy finds the copy's jump back after it, and so does its own work only.
#include <cstdint>

#include "vm/Instr.h"

namespace xan {

// Gives every fusable pair of ACode[0 .. ACount) its fused code; run once code is complete.
void XANFuseInstructions(TXANInstr* ACode, std::int32_t ACount) noexcept;

// The code a fused instruction had before fusion (other codes are answered unchanged): what it
// does when the pair cannot take its short way.
TXANInstrCode XANUnfusedCode(TXANInstrCode ACode) noexcept;

}  // namespace xan
