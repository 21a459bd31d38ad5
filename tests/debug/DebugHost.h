#pragma once
// A machine of either dialect attached to a VM debugger whose OnBreak records every stop and
// answers with the test's resume kinds, for tests that drive the debugger through real scripts.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lang/pascal/PasLanguage.h"
#include "lang/vb/VbLanguage.h"
#include "platform/core/CharCase.h"
#include "platform/core/Exception.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/HResult.h"
#include "platform/ole/InterfacedObject.h"
#include "platform/ole/TypeInfo.h"
#include "platform/ole/Variant.h"
#include "vm/debug/VMDebugger.h"
#include "vm/machine/VirtMachine.h"

namespace xan::test {

using plat::UString;
using plat::Variant;

enum class Dialect { Pascal, Vb };

inline const char* DialectName(Dialect ADialect) { return ADialect == Dialect::Pascal ? "Pascal" : "Vb"; }

// The only place that names the dialects' language classes.
inline IXANLanguage* NewLanguage(Dialect ADialect) {
    if (ADialect == Dialect::Vb) return new vb::TXANVbLanguage();
    return new pas::TXANPasLanguage();
}

// The line (from 0) of the first line of ASource that contains AMarker; -1 when none does.
inline plat::Integer LineOf(const UString& ASource, const std::string& AMarker) {
    const std::string text = ASource.ToUtf8();
    const std::size_t at = text.find(AMarker);
    if (at == std::string::npos) return -1;
    plat::Integer line = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// A host object whose members are C++ functions (property gets and methods alike), found by
// name regardless of case; with type information naming them when given one.
class THostObject : public plat::TInterfacedObject, public plat::IDispatch {
    XAN_CLASS(THostObject, plat::TInterfacedObject)
    using TMember = std::function<plat::HRESULT(const plat::DISPPARAMS& AParams, Variant* AResult)>;

    void Add(const UString& AName, TMember AMember) {
        FNames.push_back(plat::IdentUpperCase(AName));
        FMembers.push_back(std::move(AMember));
    }
    void SetTypeInfo(plat::ITypeInfo* AInfo) { FTypeInfo = AInfo; }

    plat::HRESULT GetTypeInfoCount(std::uint32_t* count) noexcept override {
        *count = FTypeInfo ? 1 : 0;
        return plat::S_OK;
    }
    plat::HRESULT GetTypeInfo(std::uint32_t, plat::LCID, plat::ITypeInfo** out) noexcept override {
        *out = FTypeInfo.Get();
        if (!*out) return plat::E_NOTIMPL;
        (*out)->AddRef();
        return plat::S_OK;
    }
    plat::HRESULT GetIDsOfNames(const plat::TGUID&, const char16_t* const* names, std::uint32_t, plat::LCID,
                                plat::DISPID* ids) noexcept override {
        const UString wanted = plat::IdentUpperCase(UString(names[0]));
        for (std::size_t i = 0; i < FNames.size(); ++i)
            if (FNames[i] == wanted) return ids[0] = static_cast<plat::DISPID>(i + 1), plat::S_OK;
        return plat::DISP_E_UNKNOWNNAME;
    }
    plat::HRESULT Invoke(plat::DISPID id, const plat::TGUID&, plat::LCID, std::uint16_t, plat::DISPPARAMS* params,
                         Variant* result, plat::EXCEPINFO*, std::uint32_t*) noexcept override {
        if (id < 1 || static_cast<std::size_t>(id) > FMembers.size()) return plat::DISP_E_MEMBERNOTFOUND;
        return FMembers[static_cast<std::size_t>(id - 1)](*params, result);
    }

protected:
    std::span<const InterfaceEntry> InterfaceTable() const noexcept override {
        static const InterfaceEntry table[] = {Entry<THostObject, plat::IDispatch>()};
        return table;
    }

private:
    std::vector<UString> FNames;
    std::vector<TMember> FMembers;
    plat::ComPtr<plat::ITypeInfo> FTypeInfo;
};

struct TStop {
    TXANVMBreakKind Kind;
    plat::Integer Line;
    std::int32_t FrameCount;
    bool operator==(const TStop&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TStop& s) {
    static const char* const kinds[] = {"bkBreakpoint", "bkStep", "bkCausedBreak"};
    return os << "{" << kinds[s.Kind] << ", line " << s.Line << ", " << s.FrameCount << " frames}";
}

// What OnBreak does at a stop: answers the resume kind (the frames are readable meanwhile).
using TStopHandler = std::function<TXANVMResumeKind(const TXANPasStackFramesRef& AFrames, const TStop& AStop)>;

class TDebugHost {
public:
    explicit TDebugHost(Dialect ADialect)
        : FDialect(ADialect), vm(std::make_unique<TXANVirtMachine>(NewLanguage(ADialect))), hostObject(new THostObject()) {
        hostObject->Add(u"Log", [](const plat::DISPPARAMS&, Variant*) { return plat::S_OK; });
        debugger.OnBreak = [this](TXANVMDebugger*, TXANVMBreakKind AKind, TXANVirtMachine*, plat::Integer ALine,
                                  const TXANPasStackFramesRef& AFrames, TXANVMResumeKind& AResume) {
            const TStop stop{AKind, ALine, AFrames->Count()};
            {
                std::lock_guard<std::mutex> lock(guard);
                stops.push_back(stop);
            }
            if (onStop) AResume = onStop(AFrames, stop);
        };
    }

    // Compiles ASource; breakpoints on the lines marked by ABreakMarkers; opens with the debugger.
    void Start(const UString& ASource, const std::vector<std::string>& ABreakMarkers = {}) {
        source = ASource;
        vm->Initialize(ASource);
        EXPECT_TRUE(vm->AddExternObject(hostObject.Get(), u"Host", false));
        for (const std::string& marker : ABreakMarkers) EXPECT_TRUE(vm->SetBreakpoint(Line(marker))) << marker;
        vm->Open(&debugger);
    }
    plat::Integer Line(const std::string& AMarker) const {
        const plat::Integer line = LineOf(source, AMarker);
        EXPECT_GE(line, 0) << "no line marked " << AMarker;
        return line;
    }
    // Answers AAnswers at the first stops, then rkContinue.
    void AnswerInTurn(std::vector<TXANVMResumeKind> AAnswers) {
        onStop = [answers = std::move(AAnswers), next = std::size_t(0)](const TXANPasStackFramesRef&,
                                                                       const TStop&) mutable {
            return next < answers.size() ? answers[next++] : rkContinue;
        };
    }

    Dialect FDialect;
    TXANVMDebugger debugger;  // outlives the machine, which detaches in Close
    std::unique_ptr<TXANVirtMachine> vm;
    plat::ComPtr<THostObject> hostObject;  // published as "Host"
    UString source;
    TStopHandler onStop;
    std::mutex guard;
    std::vector<TStop> stops;
};

// The message of what AAction raises, or "<nothing raised>".
template <class F>
UString RaisedBy(F&& AAction) {
    std::unique_ptr<plat::Exception> e = plat::CatchAll(std::forward<F>(AAction));
    return e ? e->Message() : UString(u"<nothing raised>");
}

}  // namespace xan::test
