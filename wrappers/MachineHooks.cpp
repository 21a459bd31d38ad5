#include "wrappers/MachineHooks.h"

#include "wrappers/SystemWrappers.h"

namespace xan {

void XANInstallWrapperHooks(TXANVirtMachine& AVM, plat::TObject* AScriptControl) {
    AVM.OnIsTest = [](TXANVirtMachine*, const plat::Variant& AObj, const plat::Variant& AType, bool& AResult) {
        AResult = WrapperIs(AObj, AType);
    };
    AVM.OnExceptionIsTest = [](TXANVirtMachine*, plat::Exception* E, const plat::Variant& AType, bool& AResult) {
        AResult = WrapperExceptionIs(E, AType);
    };
    AVM.OnVarToException = [](TXANVirtMachine*, const plat::Variant& V, plat::Exception*& AResult) {
        const plat::VarData v = plat::VarDerefAll(V);
        if (v.VType != plat::varDispatch || !dynamic_cast<IXANDispWrapper*>(v.VDispatch)) return;
        if (auto* e = dynamic_cast<plat::Exception*>(TObject_sw::FromVar(v))) AResult = e;
    };
    AVM.OnExceptionToVar = [](TXANVirtMachine*, plat::Exception* E, plat::Variant& AResult) {
        AResult = TObject_sw::ToVar(E);
    };
    AVM.OnNew = [](TXANVirtMachine*, const plat::Variant& AType, plat::Variant* AArgs, plat::Integer AArgCount,
                   plat::Variant& AResult) { AResult = WrapperNew(AType, AArgs, AArgCount); };
    AVM.OnEventMake = [AScriptControl](TXANVirtMachine*, const plat::UString& AProcName, plat::Variant& AResult) {
        AResult = TXANEventWrapper::ToVar(AScriptControl, AProcName);
    };
}

}  // namespace xan
