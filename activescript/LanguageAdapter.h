#pragma once
// TLanguageAdapter: what one interpreter does for the generic script engine (ScriptEngine.h).
//
// The generic engine owns the states, the site, the named items, the script dispatch object
// and the error reports; an adapter only parses and runs text of its language, publishes host
// objects to it and reaches its globals. Every call comes on the thread that drives the engine.
// A failure of the script is raised as EScriptError with the line and column the interpreter
// knows; anything else raised becomes an error without a position.
#include <memory>
#include <span>

#include "platform/core/Exception.h"
#include "activescript/ActiveScript.h"
#include "activescript/debug/LanguageDebug.h"

namespace xan::as {

using plat::Integer;
using plat::UString;
using plat::VarData;

class EScriptError : public plat::Exception {
    XAN_CLASS(EScriptError, plat::Exception)
    EScriptError() = default;
    // ALine counts from 0 in the text given to the adapter (-1 unknown); AColumn from 1 (0 unknown).
    EScriptError(UString ADescription, Integer ALine = -1, Integer AColumn = 0, plat::HRESULT ASCode = plat::E_FAIL)
        : Exception(std::move(ADescription)), Line(ALine), Column(AColumn), SCode(ASCode) {}
    Integer Line = -1;
    Integer Column = 0;
    plat::HRESULT SCode = plat::E_FAIL;
};

// Parsed text that runs once the engine is started.
class TScriptBlock {
public:
    virtual ~TScriptBlock() = default;
    virtual void Run() = 0;
};

enum class TGlobalAccess { Call, Get, Put };

class TLanguageAdapter {
public:
    virtual ~TLanguageAdapter() = default;
    // The source named in error records ("Lua", "Python", ...).
    virtual UString ErrorSource() const = 0;
    // Whether global names compare without regard to case.
    virtual bool CaseInsensitiveNames() const { return false; }

    // Checks the syntax of a script now; its code runs when the returned block runs.
    virtual std::unique_ptr<TScriptBlock> Parse(const UString& ACode) = 0;
    // An expression (AIsExpression) or statements, evaluated at once in the global scope.
    virtual plat::Variant Evaluate(const UString& ACode, bool AIsExpression) = 0;
    // Publishes a host object: under its name when visible, its members as global names when
    // AGlobalMembers.
    virtual void AddNamedItem(const UString& AName, plat::IDispatch* AObject, bool AVisible, bool AGlobalMembers) = 0;

    // Global functions and variables (the script dispatch object).
    // The global's name as the script spells it, or empty when there is none.
    virtual UString FindGlobal(const UString& AName) = 0;
    // Whether the global is a procedure of the script: a property read of it without arguments
    // then answers "no such property" (the caller calls it as a method instead), as host objects
    // answer for their methods. Languages that call a function on a plain read say false.
    virtual bool IsProcedure(const UString& AName) { return (void)AName, false; }
    // Call: AArgs in source order; a by-reference argument is written back where the language
    // can express it. Get: the value (AArgs index it). Put: AArgs holds the value last.
    virtual plat::Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) = 0;

    // The interpreter's debugging support; none when its scripts cannot be debugged.
    virtual TLanguageDebug* Debugging() { return nullptr; }
};

}  // namespace xan::as
