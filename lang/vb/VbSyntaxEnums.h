#pragma once
// The enumerations of the VBScript-dialect syntax tree and parser.
//
// Like the tokens, the enumerators live in namespace vb so that they cannot collide with the
// Pascal dialect's enumerators of the same spelling in a program that links both.
#include <cstdint>

namespace xan {
namespace vb {

// The constructs an Exit statement can leave.
enum TXANVbExitType : std::uint8_t { etFor, etDo, etFunction, etSub };
inline constexpr int XANVbExitTypeCount = etSub + 1;

enum TXANVbLoopType : std::uint8_t { ltWhile, ltUntil };

// Where a Do loop tests its condition.
enum TXANVbConditionCheck : std::uint8_t { ccNoCondition, ccBeforeStmts, ccAfterStmts };

enum TXANVbProcKind : std::uint8_t { pkFunction, pkSub };

enum TXANVbProcLocalType : std::uint8_t { ltVar, ltResult, ltParam };

// Which part of a Try statement is being parsed: a bare Throw re-raises only inside a Catch.
enum TXANVbParserTryState : std::uint8_t { ptsNowhere, ptsInTry, ptsInCatch, ptsInFinally };

enum TXANVbUnaryOp : std::uint8_t { uoPlus, uoMinus, uoNot };

enum TXANVbBinaryOp : std::uint8_t {
    boPlus, boMinus, boMult, boDivide, boIntDivide, boImp, boEqv, boXor, boOr, boAnd,
    boGreater, boGreaterEqual, boLess, boLessEqual, boEqual, boNotEqual, boStrConcat, boMod,
    boExp, boIs, boIsNot, boTypeOfIs
};

}  // namespace vb

using vb::TXANVbBinaryOp;
using vb::TXANVbConditionCheck;
using vb::TXANVbExitType;
using vb::TXANVbLoopType;
using vb::TXANVbParserTryState;
using vb::TXANVbProcKind;
using vb::TXANVbProcLocalType;
using vb::TXANVbUnaryOp;

}  // namespace xan
