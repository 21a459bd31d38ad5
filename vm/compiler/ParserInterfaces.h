#pragma once
// The abstract classes between a front end and the machine: syntax trees that emit code, the
// receiver of everything a parser reports, and the parser's entry points.
#include <memory>

#include "platform/core/UString.h"
#include "vm/compiler/GlobalObjects.h"

namespace xan {

class TXANAbstractNamespace;
class TXANByteCode;

// A syntax tree that appends its code: a statement, a global initialiser, or an expression whose
// value is left on the operand stack.
class IXANEmitable {
public:
    IXANEmitable() = default;
    IXANEmitable(const IXANEmitable&) = delete;
    IXANEmitable& operator=(const IXANEmitable&) = delete;
    virtual ~IXANEmitable() = default;

    virtual void Emit(TXANAbstractNamespace* ANamespace, TXANByteCode* AByteCode) = 0;
};

// What a parser reports while it reads a script.
class IXANParserCallbacks {
public:
    // The name id of AName (the same id in any letter case).
    virtual Integer GetNameId(const plat::UString& AName) = 0;
    // A global statement (or initialiser) in source order; the receiver takes it.
    virtual void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) = 0;
    // A complete global declaration. The receiver takes the object out of AObj when it accepts
    // it; when the name is taken it sets ADuplicateName and leaves AObj to the parser.
    virtual void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) = 0;
    virtual void UsedUnitParsed(const plat::UString& AName, bool& ADuplicateName) = 0;

protected:
    ~IXANParserCallbacks() = default;
};

class IXANParserBase {
public:
    IXANParserBase() = default;
    IXANParserBase(const IXANParserBase&) = delete;
    IXANParserBase& operator=(const IXANParserBase&) = delete;
    virtual ~IXANParserBase() = default;

    // A whole script: everything goes to the callbacks.
    virtual void Parse(const plat::UString& ASource) = 0;
    // One statement or expression, for evaluation on demand; the tree belongs to the caller.
    virtual std::unique_ptr<IXANEmitable> ParseStmt(const plat::UString& ASource) = 0;
    virtual std::unique_ptr<IXANEmitable> ParseExpr(const plat::UString& ASource) = 0;
};

}  // namespace xan
