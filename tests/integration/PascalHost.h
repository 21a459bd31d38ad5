#pragma once
// A Pascal machine set up the way a host application sets one up, for tests that drive the
// machine through the real dialect:
// - host objects whose members are C++ functions (THostObject);
// - exceptions made from raised values: a text 'Class:message' raises an exception of that
//   test class ('First' or 'Second', else the root class) with the message, and an exception
//   value handed to a handler (`on E: ...`) raises the very object it stands for;
// - typed handlers test the class name, ancestors included;
// - every position reported for an exception is recorded.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lang/pascal/PasLanguage.h"
#include "platform/core/CharCase.h"
#include "platform/core/Exception.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/HResult.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/Variant.h"
#include "vm/machine/VirtMachine.h"

namespace xan::test {

using plat::UString;
using plat::Variant;

using plat::Exception;
XAN_EXCEPTION(ETestFirst, Exception)
XAN_EXCEPTION(ETestSecond, ETestFirst)

// The variable a by-reference argument of a dispatch call refers to.
inline Variant& ByRefTarget(const plat::VarData& AArg) {
    EXPECT_EQ(AArg.VType, plat::varRefVariant) << "argument not passed by reference";
    return static_cast<Variant*>(AArg.VPointer)->DerefMut();
}

// A host object whose members are C++ functions, found by name regardless of case. A member
// that throws answers DISP_E_EXCEPTION with the exception's message.
class THostObject : public plat::TInterfacedObject, public plat::IDispatch {
    XAN_CLASS(THostObject, plat::TInterfacedObject)
    using TMember = std::function<void(const plat::DISPPARAMS& AParams, Variant* AResult)>;

    void Add(const UString& AName, TMember AMember) {
        FNames.push_back(plat::IdentUpperCase(AName));
        FMembers.push_back(std::move(AMember));
    }

    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        if (count) *count = 0;
        return plat::E_NOTIMPL;
    }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept override {
        if (out) *out = nullptr;
        return plat::E_NOTIMPL;
    }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t count, plat::LCID,
                                plat::DISPID* ids) noexcept override {
        const UString wanted = plat::IdentUpperCase(UString(names[0]));
        for (std::uint32_t i = 0; i < count; ++i) ids[i] = plat::DISPID_UNKNOWN;
        for (std::size_t i = 0; i < FNames.size(); ++i)
            if (FNames[i] == wanted) {
                ids[0] = static_cast<plat::DISPID>(i + 1);
                return plat::S_OK;
            }
        return plat::DISP_E_UNKNOWNNAME;
    }
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t, plat::DISPPARAMS* params,
                         Variant* result, plat::EXCEPINFO* excep, std::uint32_t*) noexcept override {
        if (id < 1 || static_cast<std::size_t>(id) > FMembers.size()) return plat::DISP_E_MEMBERNOTFOUND;
        try {
            FMembers[static_cast<std::size_t>(id - 1)](*params, result);
            return plat::S_OK;
        } catch (...) {
            std::unique_ptr<plat::Exception> e(plat::TranslateCurrentException());
            if (excep) {
                excep->Clear();
                excep->description = e->Message();
                excep->scode = plat::E_FAIL;
            }
            return plat::DISP_E_EXCEPTION;
        }
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<THostObject, plat::IDispatch>()};
        return table;
    }

private:
    std::vector<UString> FNames;
    std::vector<TMember> FMembers;
};

// The value a handler receives for an exception: it stands for the object (which the handler's
// state owns) and tells its class and message.
class TExceptionValue : public THostObject {
    XAN_CLASS(TExceptionValue, THostObject)
    explicit TExceptionValue(plat::Exception* AObj) : Obj(AObj) {
        Add(u"Message", [this](const plat::DISPPARAMS&, Variant* r) {
            if (r) *r = Variant(Obj->Message());
        });
        Add(u"ClassName", [this](const plat::DISPPARAMS&, Variant* r) {
            if (r) *r = Variant(Obj->ClassName());
        });
    }
    plat::Exception* const Obj;
};

inline bool HasClassNamed(const plat::TObject& AObj, const UString& AName) {
    for (plat::TClass c = AObj.ClassType(); c; c = c->parent)
        if (plat::IdentUpperCase(UString(c->name)) == plat::IdentUpperCase(AName)) return true;
    return false;
}

// A text 'First:msg' or 'Second:msg' raises that test class; any other text the root class.
inline plat::Exception* ExceptionFromText(const UString& AText) {
    const std::u16string_view text = AText.view();
    const std::size_t colon = text.find(u':');
    const std::u16string_view kind = colon == std::u16string_view::npos ? u"" : text.substr(0, colon);
    const UString message(colon == std::u16string_view::npos ? text : text.substr(colon + 1));
    if (kind == u"First") return new ETestFirst(message);
    if (kind == u"Second") return new ETestSecond(message);
    return new plat::Exception(AText);
}

struct TReportedPosition {
    plat::Integer Line, Column;
    UString Message;
    bool operator==(const TReportedPosition&) const = default;
};

inline void InstallExceptionHooks(TXANVirtMachine& AVM, std::vector<TReportedPosition>& AReported) {
    AVM.OnVarToException = [](TXANVirtMachine*, const Variant& V, plat::Exception*& AResult) {
        const plat::VarData v = plat::VarDerefAll(V);
        if (v.VType == plat::varDispatch) {
            if (auto* value = dynamic_cast<TExceptionValue*>(v.VDispatch)) AResult = value->Obj;
            return;
        }
        if (v.VType == plat::varOleStr) AResult = ExceptionFromText(plat::VarToUString(v));
    };
    AVM.OnExceptionToVar = [](TXANVirtMachine*, plat::Exception* E, Variant& AResult) {
        plat::ComPtr<TExceptionValue> value(new TExceptionValue(E));
        AResult = Variant(static_cast<plat::IDispatch*>(value.Get()));
    };
    AVM.OnExceptionIsTest = [](TXANVirtMachine*, plat::Exception* E, const Variant& AType, bool& AResult) {
        AResult = HasClassNamed(*E, plat::VarToUString(AType));
    };
    AVM.OnFormatException = [&AReported](TXANVirtMachine*, plat::Integer ALine, plat::Integer AColumn,
                                         plat::Exception* E) {
        static std::mutex guard;  // threads running one machine report at the same time
        std::lock_guard<std::mutex> lock(guard);
        AReported.push_back({ALine, AColumn, E->Message()});
    };
}

// The message of what AAction raises, or "<nothing raised>".
template <class F>
UString RaisedBy(F&& AAction) {
    try {
        AAction();
    } catch (const plat::RaisedException& r) {
        std::unique_ptr<plat::Exception> e(plat::AcquireExceptionObject(r));
        return e->Message();
    }
    return u"<nothing raised>";
}

// A fixture with one Pascal machine, its exception hooks and a host object "Host".
class PascalMachine : public ::testing::Test {
protected:
    PascalMachine() : vm(std::make_unique<TXANVirtMachine>(new pas::TXANPasLanguage())), host(new THostObject()) {
        InstallExceptionHooks(*vm, reported);
        host->Add(u"Log", [this](const plat::DISPPARAMS& p, Variant*) {
            logged.push_back(p.cArgs ? plat::VarToUString(p.Arg(0)).ToUtf8() : std::string());
        });
    }

    // Compiles and opens ASource; the host object is published before the global code runs.
    void Start(const UString& ASource) {
        vm->Initialize(ASource);
        ASSERT_TRUE(vm->AddExternObject(host.Get(), u"Host", false));
        vm->Open();
    }
    Variant Call(const UString& AProc, std::vector<Variant> AArgs = {}) { return vm->RunProc(AProc, AArgs); }
    int Int(const UString& AProc, std::vector<Variant> AArgs = {}) {
        return plat::VarToInt32(Call(AProc, std::move(AArgs)));
    }
    UString Text(const UString& AProc, std::vector<Variant> AArgs = {}) {
        return plat::VarToUString(Call(AProc, std::move(AArgs)));
    }

    std::vector<TReportedPosition> reported;
    std::vector<std::string> logged;
    std::unique_ptr<TXANVirtMachine> vm;
    plat::ComPtr<THostObject> host;
};

}  // namespace xan::test
