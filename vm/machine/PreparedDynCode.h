#pragma once
// TPreparedDynCode: an expression or statement compiled on demand against a machine.
// It keeps its own source, so runtime positions refer to the expression text, and keeps its
// syntax tree alive because the bytecode points into it (literals, names). The caller owns it.
#include <memory>

#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/ParserInterfaces.h"
#include "vm/machine/VMSource.h"

namespace xan {

class TXANVirtMachine;

class TPreparedDynCode {
public:
    TPreparedDynCode(TXANVirtMachine* AVM, const plat::UString& AText)
        : FVM(AVM), FSource(AText), FByteCode(std::make_unique<TXANByteCode>()) {}
    TPreparedDynCode(const TPreparedDynCode&) = delete;
    TPreparedDynCode& operator=(const TPreparedDynCode&) = delete;
    ~TPreparedDynCode();

    TXANVirtMachine* VM() const noexcept { return FVM; }
    TXANVMSource& Source() noexcept { return FSource; }
    TXANByteCode* ByteCode() const noexcept { return FByteCode.get(); }
    IXANEmitable* Parsed() const noexcept { return FParsed.get(); }
    void SetParsed(std::unique_ptr<IXANEmitable> AParsed) noexcept { FParsed = std::move(AParsed); }

private:
    TXANVirtMachine* FVM;
    TXANVMSource FSource;
    std::unique_ptr<TXANByteCode> FByteCode;  // destroyed before the tree it points into
    std::unique_ptr<IXANEmitable> FParsed;
};

}  // namespace xan
