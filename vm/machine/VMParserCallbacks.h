#pragma once
// The receivers of what a parser reports.
//
// TVMParserCallbacks collects a whole script into its machine. TVMEvalParserCallbacks serves
// expressions and statements compiled on demand: those may use names but never declare any, so
// every declaration is refused as a duplicate (the parser then reports it) and nothing is kept.
#include "vm/compiler/ParserInterfaces.h"

namespace xan {

class TXANVirtMachine;

class TVMParserCallbacks final : public IXANParserCallbacks {
public:
    explicit TVMParserCallbacks(TXANVirtMachine* AVM) noexcept : FVM(AVM) {}

    Integer GetNameId(const plat::UString& AName) override;
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) override;
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) override;
    void UsedUnitParsed(const plat::UString& AName, bool& ADuplicateName) override;

private:
    TXANVirtMachine* FVM;
};

class TVMEvalParserCallbacks final : public IXANParserCallbacks {
public:
    // The one process-wide instance used for every evaluation (it has no state).
    static TVMEvalParserCallbacks& Instance() noexcept;

    Integer GetNameId(const plat::UString& AName) override;
    void GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) override;
    void GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) override;
    void UsedUnitParsed(const plat::UString& AName, bool& ADuplicateName) override;
};

}  // namespace xan
