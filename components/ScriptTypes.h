#pragma once
// The vocabulary shared by the script control, its runners and the debugger side: languages
// and their kinds, control states, break and resume kinds of a debugger component, variable
// flags, and the control's own error class with its fixed messages.
#include <cstdint>

#include "platform/core/Exception.h"
#include "platform/core/UString.h"

namespace xan {

enum TXANScriptLangKind : std::uint8_t { slkActiveX, slkNative };

enum TXANScriptLanguage : std::uint8_t {
    slVBScript,
    slJScript,
    slPerl,
    slRexx,
    slTCL,
    slPython,
    slLua,
    slPascal,
    slNativeVb,
};
inline constexpr int XANScriptLanguageCount = slNativeVb + 1;

struct TXANScriptLanguageInfo {
    TXANScriptLangKind Kind;
    const char16_t* EngineName;  // what an Active Scripting runner asks the system for
    const char16_t* Ident;       // the enumeration name (persisted properties)
};
// The language table, indexed by language.
const TXANScriptLanguageInfo& XANLanguageInfo(TXANScriptLanguage ALanguage);
inline TXANScriptLangKind XANLanguageKind(TXANScriptLanguage ALanguage) { return XANLanguageInfo(ALanguage).Kind; }

enum TXANScriptControlState : std::uint8_t { ssInactive, ssPrepared, ssActive };

// What a debugger component reports and accepts. The machine has kinds of the same names;
// runners convert between the two, so these are scoped. bkNone: no break in progress.
enum class TXANBreakKind : std::uint8_t { bkNone, bkBreakpoint, bkStep, bkCausedBreak };
enum class TXANBreakResumeKind : std::uint8_t { rkStepOver, rkStepInto, rkContinue, rkAbort };

// What a runner says of a variable (informative only), one bit per flag.
using TXANVariableFlags = std::uint16_t;
inline constexpr TXANVariableFlags vfReadonly = 1u << 0;
inline constexpr TXANVariableFlags vfPublic = 1u << 1;
inline constexpr TXANVariableFlags vfPrivate = 1u << 2;
inline constexpr TXANVariableFlags vfProtected = 1u << 3;
inline constexpr TXANVariableFlags vfFinal = 1u << 4;
inline constexpr TXANVariableFlags vfGlobal = 1u << 5;
inline constexpr TXANVariableFlags vfStatic = 1u << 6;
inline constexpr TXANVariableFlags vfField = 1u << 7;
inline constexpr TXANVariableFlags vfVirtual = 1u << 8;
inline constexpr TXANVariableFlags vfConstant = 1u << 9;
inline constexpr TXANVariableFlags vfSynchronized = 1u << 10;
inline constexpr TXANVariableFlags vfVolatile = 1u << 11;

// The control's and the debugger's own errors.
class EXANScriptControl : public plat::Exception {
    XAN_CLASS(EXANScriptControl, plat::Exception)
    using Exception::Exception;
};

inline constexpr char16_t SInvalidScriptControlState[] = u"Invalid script control state";
inline constexpr char16_t SNamedItemExists[] = u"Object or value named '%s' already exists.";
inline constexpr char16_t SValueNamedItemRequired[] = u"Value named item required. '%s' is an object.";
inline constexpr char16_t SMixedLanguageKinds[] = u"Cannot connect ActiveX and Pascal scripts to single debugger.";
inline constexpr char16_t SPropertyNotFound[] = u"Property not found: %s";
inline constexpr char16_t SCantCreateScriptEngine[] = u"Can't create script engine '%s'";
inline constexpr char16_t SSourceInfoFormat[] = u"%s\r\nSource: $%x [line: %d, pos: %d]";
inline constexpr char16_t SDebuggerNotInBreak[] = u"Script debugger is not in break.";
inline constexpr char16_t SDuplicateBreakpointLines[] = u"Duplicate breakpoint lines found.";
inline constexpr char16_t SVariablesHasRoot[] = u"Variables already has root.";
// The name under which a control's named values reach its engine.
inline constexpr char16_t XANNamedValuesHolderName[] = u"XANVALHLDR_AC3E_247A909A71EC";

}  // namespace xan
