#pragma once
// TPreparedDynCode: an expression or statement compiled on demand against a machine.
// It keeps its own source, so runtime positions refer to the expression text. Like a script's
// code, it keeps no syntax tree: its bytecode owns everything the instructions point to. The
// caller owns it.
#include <memory>

#include "vm/bytecode/ByteCode.h"
#include "vm/machine/VMSource.h"

namespace xan {

class TXANVirtMachine;

class TPreparedDynCode {
public:
    TPreparedDynCode(TXANVirtMachine* AVM, const plat::UString& AText)
        : FVM(AVM), FSource(AText), FByteCode(std::make_unique<TXANByteCode>()) {}
    TPreparedDynCode(const TPreparedDynCode&) = delete;
    TPreparedDynCode& operator=(const TPreparedDynCode&) = delete;

    TXANVirtMachine* VM() const noexcept { return FVM; }
    TXANVMSource& Source() noexcept { return FSource; }
    TXANByteCode* ByteCode() const noexcept { return FByteCode.get(); }

private:
    TXANVirtMachine* FVM;
    TXANVMSource FSource;
    std::unique_ptr<TXANByteCode> FByteCode;
};

}  // namespace xan
