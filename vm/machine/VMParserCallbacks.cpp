#include "vm/machine/VMParserCallbacks.h"

#include "foundation/NameTable.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

Integer TVMParserCallbacks::GetNameId(const plat::UString& AName) { return GlobalNameTable().GetNameIndex(AName, true); }

void TVMParserCallbacks::GlobalStmtParsed(std::unique_ptr<IXANEmitable> AStmt) {
    FVM->GlobalStmtParsed(std::move(AStmt));
}

void TVMParserCallbacks::GlobalObjParsed(std::unique_ptr<TXANGlobalObject>& AObj, bool& ADuplicateName) {
    FVM->GlobalObjParsed(AObj, ADuplicateName);
}

void TVMParserCallbacks::UsedUnitParsed(const plat::UString&, bool& ADuplicateName) { ADuplicateName = false; }

TVMEvalParserCallbacks& TVMEvalParserCallbacks::Instance() noexcept {
    static TVMEvalParserCallbacks instance;
    return instance;
}

Integer TVMEvalParserCallbacks::GetNameId(const plat::UString& AName) {
    return GlobalNameTable().GetNameIndex(AName, true);
}

void TVMEvalParserCallbacks::GlobalStmtParsed(std::unique_ptr<IXANEmitable>) {}

void TVMEvalParserCallbacks::GlobalObjParsed(std::unique_ptr<TXANGlobalObject>&, bool& ADuplicateName) {
    ADuplicateName = true;
}

void TVMEvalParserCallbacks::UsedUnitParsed(const plat::UString&, bool& ADuplicateName) { ADuplicateName = true; }

}  // namespace xan
