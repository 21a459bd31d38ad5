#pragma once
// Hand-emitted bytecode for the interpreter tests, and a machine whose hooks tests can steer.
#include <deque>
#include <functional>

#include "platform/ole/Variant.h"
#include "vm/bytecode/ByteCode.h"
#include "vm/interp/Interpreter.h"

namespace xan::vmtest {

// A bytecode under construction with literals that live as long as it does.
class CodeBuilder {
public:
    explicit CodeBuilder(int locals = 0) {
        bc.BeginEmit(u"Test", nullptr, 1);
        for (int i = 0; i < locals; ++i) bc.AddLocalVar();
    }
    CodeBuilder& Lit(plat::Variant v) {
        literals_.push_back(std::move(v));
        bc.Emit(icPushLiteral, &literals_.back());
        return *this;
    }
    CodeBuilder& Op(TXANInstrCode code, std::uintptr_t data = 0) {
        bc.Emit(code, data);
        return *this;
    }
    CodeBuilder& Op(TXANInstrCode code, const void* data) {
        bc.Emit(code, data);
        return *this;
    }
    CodeBuilder& Op(TXANInstrCode code, TXANParamInfo p) {
        bc.Emit(code, p);
        return *this;
    }
    CodeBuilder& Bind(TXANLabel* l) {
        bc.BindLabel(l);
        return *this;
    }
    // Ends with "move TOS into the result; return".
    TXANByteCode& ReturnTos() {
        bc.Emit(icAssignResult);
        bc.Emit(icRet);
        bc.EndEmit();
        return bc;
    }
    TXANByteCode& Finish() {
        bc.EndEmit();
        return bc;
    }

    TXANByteCode bc;

private:
    std::deque<plat::Variant> literals_;
};

// A machine whose hooks call test functions when they are set.
class TestVM : public TXANInterpreter {
public:
    std::function<TXANCallExit(TXANThread&, TXANCallStackFrame&, TXANCall&, plat::Variant*, bool)> globCall;
    std::function<PXANInstr(TXANThread&, TXANCallStackFrame&)> handleException;
    std::function<TXANBreakAction(TXANThread&, TXANCallStackFrame&, std::uint8_t&)> onBreak;
    std::function<bool(const plat::Variant&, const plat::Variant&)> isTest;
    int enters = 0, leaves = 0;

    void MakeEventHandler(const plat::UString& AProcName, plat::Variant& AResult) override {
        AResult = plat::Variant(plat::UString(u"handler:") + AProcName);
    }

    // Runs ACode as a function: the result goes to the returned value.
    plat::Variant Call(TXANByteCode& ACode, plat::Variant* AArgs = nullptr) {
        plat::Variant result;
        TXANVMInterpretContext ctx{&ACode, AArgs, &result, nullptr};
        Interpret(thread, ctx);
        return result;
    }

    TXANThread thread;

protected:
    TXANCallExit DoGlobCall(TXANThread& t, TXANCallStackFrame& f, TXANCall& c, plat::Variant* top, bool ref) override {
        return globCall ? globCall(t, f, c, top, ref) : TXANInterpreter::DoGlobCall(t, f, c, top, ref);
    }
    PXANInstr HandleException(TXANThread& t, TXANCallStackFrame& f) override {
        return handleException ? handleException(t, f) : TXANInterpreter::HandleException(t, f);
    }
    TXANBreakAction DoBreak(TXANThread& t, TXANCallStackFrame& f, std::uint8_t& covered) override {
        return onBreak ? onBreak(t, f, covered) : TXANInterpreter::DoBreak(t, f, covered);
    }
    bool DoIsTest(const plat::Variant& o, const plat::Variant& t) override {
        return isTest ? isTest(o, t) : TXANInterpreter::DoIsTest(o, t);
    }
    void OnActivationEnter(TXANThread&, TXANCallStackFrame&) override { ++enters; }
    void OnActivationLeave(TXANThread&, TXANCallStackFrame&) noexcept override { ++leaves; }
};

}  // namespace xan::vmtest
