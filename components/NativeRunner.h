#pragma once
// TNativeRunner: the runner of the two dialects the system compiles itself. It drives one
// virtual machine with the wrapper framework's host hooks, and hands errors leaving the script
// to its control for source information.
#include <memory>

#include "components/Runner.h"
#include "vm/machine/VirtMachine.h"

namespace xan {

class TNativeRunnerDebug;
class TXANVMDebugger;

class TNativeRunner : public TRunnerBase {
public:
    TNativeRunner(TXANScriptControl* ASControl, bool AAddSrcInfo) noexcept
        : FSControl(ASControl), FAddSrcInfo(AAddSrcInfo) {}
    ~TNativeRunner() override;

    TXANScriptLangKind GetLangKind() const override { return slkNative; }
    void Prepare(TRunnerDebugBase* ADebugger) override;
    void Open() override;
    void Close() override;
    void AddNamedObjectToEngine(const TNamedItem& AItem) override;
    plat::Variant RunProc(const plat::UString& AName) override;
    plat::Variant RunProc(const plat::UString& AName, std::span<plat::Variant> AArgs) override;
    plat::Variant ReadVar(const plat::UString& AName) override;
    void WriteVar(const plat::UString& AName, const plat::Variant& AValue) override;
    TXANPreparedCodeRef PrepareExpr(const plat::UString& AExpr) override;
    TXANPreparedCodeRef PrepareStmt(const plat::UString& AStmt) override;
    plat::Variant Eval(TXANPreparedCode& APreparedExpr) override;
    plat::Variant Eval(const plat::UString& AExpr) override;
    void ExecStmt(TXANPreparedCode& APreparedStmt) override;
    void ExecStmt(const plat::UString& AStmt) override;
    plat::IDispatch* GetCodeObject() override;
    void AdjustBreakpoint(plat::Integer ALine, bool AEnabled, bool ADelete, bool& AIsValid) override;

    // The machine between a successful Prepare and Close; none otherwise.
    TXANVirtMachine* VM() const noexcept { return FVM.get(); }

private:
    void InstallHooks();
    TXANVirtMachine& Machine() const;

    TXANScriptControl* FSControl;
    bool FAddSrcInfo;
    std::unique_ptr<TXANVirtMachine> FVM;
    TNativeRunnerDebug* FRunnerDebug = nullptr;
    TXANVMDebugger* FPasDebugger = nullptr;
};

// The native runner's machine behind a control, or none (not prepared, or another kind).
TXANVirtMachine* XANMachineOf(const TXANScriptControl& AControl);

}  // namespace xan
