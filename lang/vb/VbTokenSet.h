#pragma once
// Sets of tokens, and the two sets the parser keeps asking about: the tokens that can start a
// statement and those that can start an expression.
#include <array>
#include <cstdint>
#include <initializer_list>

#include "lang/vb/VbTokens.h"

namespace xan::vb {

class TXANVbTokenSet {
public:
    constexpr TXANVbTokenSet(std::initializer_list<TXANVbToken> ATokens) noexcept {
        for (TXANVbToken t : ATokens) FBits[t / 64] |= std::uint64_t(1) << (t % 64);
    }
    constexpr bool Contains(TXANVbToken AToken) const noexcept { return (FBits[AToken / 64] >> (AToken % 64)) & 1; }
    constexpr TXANVbTokenSet With(TXANVbTokenSet AOther) const noexcept {
        TXANVbTokenSet r = *this;
        for (std::size_t i = 0; i < FBits.size(); ++i) r.FBits[i] |= AOther.FBits[i];
        return r;
    }
    constexpr TXANVbTokenSet Without(TXANVbToken AToken) const noexcept {
        TXANVbTokenSet r = *this;
        r.FBits[AToken / 64] &= ~(std::uint64_t(1) << (AToken % 64));
        return r;
    }

private:
    std::array<std::uint64_t, (XANVbTokenCount + 63) / 64> FBits{};
};

inline constexpr TXANVbTokenSet VbStatementStart = {
    ptIdentifier, ptDim, ptSet, ptRedim, ptFor, ptIf, ptDo, ptErase,
    ptCall, prSelect, ptExit, ptTry, ptThrow, ptReturn};

inline constexpr TXANVbTokenSet VbExpressionStart = {
    ptIdentifier, ptCString, ptCInteger, ptCFloat, ptCDate, ptNot,
    ptTypeOf, ptPlus, ptMinus, ptOpenRound, ptTrue, ptFalse,
    ptNothing, ptEmpty, ptNull, ptNew};

}  // namespace xan::vb
