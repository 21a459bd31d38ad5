#include "components/NativeRunner.h"

#include "components/NativeLanguages.h"
#include "components/NativeRunnerDebug.h"
#include "components/ScriptControl.h"
#include "platform/core/Assert.h"
#include "vm/machine/PreparedDynCode.h"
#include "wrappers/MachineHooks.h"

namespace xan {

namespace {

constexpr const char* kUnit = "XANSctScripter";

// The machine's prepared form of an expression or statement, as the control hands it around.
class TNativePreparedCode : public TXANPreparedCode {
public:
    explicit TNativePreparedCode(std::unique_ptr<TPreparedDynCode> ACode) noexcept : FCode(std::move(ACode)) {}
    TPreparedDynCode& Code() const noexcept { return *FCode; }

private:
    std::unique_ptr<TPreparedDynCode> FCode;
};

TPreparedDynCode& NativeCode(TXANPreparedCode& APrepared) {
    auto* native = dynamic_cast<TNativePreparedCode*>(&APrepared);
    XAN_ASSERT(kUnit, native != nullptr);
    return native->Code();
}

}  // namespace

TNativeRunner::~TNativeRunner() { Close(); }

TXANVirtMachine& TNativeRunner::Machine() const {
    XAN_ASSERT(kUnit, FVM != nullptr);
    return *FVM;
}

void TNativeRunner::Prepare(TRunnerDebugBase* ADebugger) {
    FVM = std::make_unique<TXANVirtMachine>(XANNewNativeLanguage(FSControl->Language()));
    try {
        const plat::UString source = FSControl->Source().Text();
        FRunnerDebug = nullptr;
        FPasDebugger = nullptr;
        if (auto* native = dynamic_cast<TNativeRunnerDebug*>(ADebugger)) {
            FRunnerDebug = native;
            FPasDebugger = native->PasDebugger();
        }
        InstallHooks();
        FVM->Initialize(source);
        AddNamedObjectsToEngine(*FSControl);
        FVM->AddExternObject(FSControl->NamedValuesHolderDispatch(), XANNamedValuesHolderName, true);
        if (FRunnerDebug && FSControl->Debugger()) SetBreakpoints(*FSControl, *FSControl->Debugger());
    } catch (...) {
        Close();
        throw;
    }
}

void TNativeRunner::InstallHooks() {
    XANInstallWrapperHooks(*FVM, FSControl);
    if (FAddSrcInfo)
        FVM->OnFormatException = [control = FSControl](TXANVirtMachine*, plat::Integer ALine, plat::Integer ALinePos,
                                                       plat::Exception* E) {
            if (E) control->FormatSourceInfo(ALine, ALinePos, *E);
        };
}

void TNativeRunner::Open() { Machine().Open(FPasDebugger); }

void TNativeRunner::Close() {
    if (!FVM) return;
    FVM->Close();
    FVM.reset();
    FRunnerDebug = nullptr;
    FPasDebugger = nullptr;
}

void TNativeRunner::AddNamedObjectToEngine(const TNamedItem& AItem) {
    const plat::ComPtr<plat::IDispatch> obj = XANDispatchOf(AItem.Value);
    Machine().AddExternObject(obj.Get(), AItem.Name, AItem.PubMembers);
}

plat::Variant TNativeRunner::RunProc(const plat::UString& AName) { return Machine().RunProc(AName); }

plat::Variant TNativeRunner::RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs) {
    return Machine().RunProc(AName, AArgs);
}

plat::Variant TNativeRunner::ReadVar(const plat::UString& AName) { return Machine().ReadVar(AName); }

void TNativeRunner::WriteVar(const plat::UString& AName, const plat::Variant& AValue) {
    Machine().WriteVar(AName, AValue);
}

TXANPreparedCodeRef TNativeRunner::PrepareExpr(const plat::UString& AExpr) {
    return std::make_unique<TNativePreparedCode>(Machine().PrepareExpr(AExpr));
}

TXANPreparedCodeRef TNativeRunner::PrepareStmt(const plat::UString& AStmt) {
    return std::make_unique<TNativePreparedCode>(Machine().PrepareStmt(AStmt));
}

plat::Variant TNativeRunner::Eval(TXANPreparedCode& APreparedExpr) { return Machine().Eval(NativeCode(APreparedExpr)); }

plat::Variant TNativeRunner::Eval(const plat::UString& AExpr) { return Machine().Eval(AExpr); }

void TNativeRunner::ExecStmt(TXANPreparedCode& APreparedStmt) { Machine().ExecStmt(NativeCode(APreparedStmt)); }

void TNativeRunner::ExecStmt(const plat::UString& AStmt) { Machine().ExecStmt(AStmt); }

plat::IDispatch* TNativeRunner::GetCodeObject() { return Machine().GetCodeObject(); }

void TNativeRunner::AdjustBreakpoint(plat::Integer ALine, bool AEnabled, bool ADelete, bool& AIsValid) {
    if (ADelete) {
        AIsValid = false;
        Machine().RemoveBreakpoint(ALine);
    } else if (AEnabled) {
        AIsValid = Machine().SetBreakpoint(ALine);
    } else {
        AIsValid = true;
        Machine().RemoveBreakpoint(ALine);
    }
}

TXANVirtMachine* XANMachineOf(const TXANScriptControl& AControl) {
    const auto* runner = dynamic_cast<const TNativeRunner*>(AControl.Runner());
    return runner ? runner->VM() : nullptr;
}

}  // namespace xan
