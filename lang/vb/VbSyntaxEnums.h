#pragma once
// The enumerations of the VBScript-dialect syntax tree and parser.
#include <cstdint>

namespace xan::vb {

// The constructs an Exit statement can leave.
enum class TXANVbExitType : std::uint8_t { etFor, etDo, etFunction, etSub };
inline constexpr int XANVbExitTypeCount = static_cast<int>(TXANVbExitType::etSub) + 1;

enum class TXANVbLoopType : std::uint8_t { ltWhile, ltUntil };

// Where a Do loop tests its condition.
enum class TXANVbConditionCheck : std::uint8_t { ccNoCondition, ccBeforeStmts, ccAfterStmts };

enum class TXANVbProcKind : std::uint8_t { pkFunction, pkSub };

enum class TXANVbProcLocalType : std::uint8_t { ltVar, ltResult, ltParam };

// Which part of a Try statement is being parsed: a bare Throw re-raises only inside a Catch.
enum class TXANVbParserTryState : std::uint8_t { ptsNowhere, ptsInTry, ptsInCatch, ptsInFinally };

enum class TXANVbUnaryOp : std::uint8_t { uoPlus, uoMinus, uoNot };

enum class TXANVbBinaryOp : std::uint8_t {
    boPlus, boMinus, boMult, boDivide, boIntDivide, boImp, boEqv, boXor, boOr, boAnd,
    boGreater, boGreaterEqual, boLess, boLessEqual, boEqual, boNotEqual, boStrConcat, boMod,
    boExp, boIs, boIsNot, boTypeOfIs
};

}  // namespace xan::vb
