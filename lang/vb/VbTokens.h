#pragma once
// Tokens of the VBScript dialect and their descriptions.
//
// The description table is fixed data shared by the whole process: the scanner recognises the
// reserved words from it and the parser words its error messages with it.
#include <array>
#include <cstdint>

#include "platform/core/UString.h"

namespace xan::vb {

enum TXANVbToken : std::uint8_t {
    ptIdentifier,
    ptCString,
    ptCInteger,
    ptCFloat,
    ptCDate,
    ptImp,
    ptEqv,
    ptXor,
    ptOr,
    ptAnd,
    ptNot,
    ptTypeOf,
    ptIs,
    ptGreater,
    ptGreaterEqual,
    ptLess,
    ptLessEqual,
    ptEqual,
    ptAssignment,
    ptNotEqual,
    ptStrConcat,
    ptPlus,
    ptMinus,
    ptMultiply,
    ptDivide,
    ptIntDivide,
    ptMod,
    ptExp,
    ptOpenRound,
    ptCloseRound,
    ptComma,
    ptColon,
    ptDot,
    ptTrue,
    ptFalse,
    ptNothing,
    ptEmpty,
    ptNull,
    ptDim,
    ptSet,
    ptRedim,
    ptPreserve,
    ptFor,
    ptTo,
    ptStep,
    ptNext,
    ptIf,
    ptThen,
    ptElse,
    ptElseIf,
    ptEnd,
    ptDo,
    ptLoop,
    ptWhile,
    ptUntil,
    ptFunction,
    ptSub,
    ptByRef,
    ptByVal,
    ptErase,
    ptCall,
    prSelect,
    ptCase,
    ptExit,
    ptTry,
    ptCatch,
    ptAs,
    ptFinally,
    ptThrow,
    ptReturn,
    ptNew,
    ptComment,
    ptHiddenEOl,
    ptEOl,
    ptEOf,
};

inline constexpr std::size_t XANVbTokenCount = static_cast<std::size_t>(ptEOf) + 1;

struct TXANVbTokenDescription {
    const char16_t* S;  // the token's text, or a description for tokens with a value
    bool IsKeyword;     // a reserved word the scanner recognises
};

// Indexed by token.
extern const std::array<TXANVbTokenDescription, XANVbTokenCount> XANVbTokenDescriptions;

// The token's text between single quotes, e.g. 'end of line', as error messages show it.
plat::UString TokenToStr(TXANVbToken AToken);

// The reserved word spelled `AText` (ASCII letters in any case), or ptIdentifier.
TXANVbToken LookupVbKeyword(std::u16string_view AText) noexcept;

}  // namespace xan::vb
