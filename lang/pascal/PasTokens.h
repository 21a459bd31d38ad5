#pragma once
// The tokens of the Pascal dialect and their process-wide descriptions. A description's text is
// what error messages show ("Invalid token: 'begin'."); the keyword rows are the reserved words.
#include <cstdint>

#include "platform/core/UString.h"

namespace xan::pas {

enum TXANPasToken : std::uint8_t {
    ptIdentifier, ptCString, ptCInteger, ptCFloat,
    ptArray, ptBegin, ptCase, ptConst, ptDo, ptDownto, ptElse, ptEnd, ptExcept, ptFinally, ptFor,
    ptFunction, ptIf, ptNil, ptOf, ptOn, ptOut, ptProcedure, ptRaise, ptRepeat, ptThen, ptTo, ptTry,
    ptUntil, ptUses, ptVar, ptWhile,
    ptAnd, ptDiv, ptDivide, ptEqual, ptGreater, ptGreaterEqual, ptIn, ptIs, ptLess, ptLessEqual,
    ptMinus, ptMod, ptMultiply, ptNot, ptNotEqual, ptOr, ptPlus, ptShl, ptShr, ptXor,
    ptAssignment, ptCloseBlock, ptCloseRound, ptColon, ptComma, ptOpenBlock, ptOpenRound, ptPeriod,
    ptDoublePeriod, ptSemiColon, ptReference, ptComment, ptEOf
};

inline constexpr int PasTokenCount = ptEOf + 1;

struct TXANPasTokenDescription {
    plat::UString S;
    bool IsKeyword;
};

// The description of a token; the table is built once and shared by every thread.
const TXANPasTokenDescription& PasTokenDescription(TXANPasToken AToken);

// The reserved word spelled by AText (compared without regard to ASCII letter case), or
// ptIdentifier when AText is not a reserved word.
TXANPasToken PasKeywordToken(std::u16string_view AText) noexcept;

}  // namespace xan::pas
