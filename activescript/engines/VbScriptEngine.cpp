#include "activescript/engines/VbScriptEngine.h"

#include <vector>

#include "activescript/ScriptEngine.h"
#include "lang/vb/VbLanguage.h"
#include "platform/ole/OleError.h"
#include "platform/ole/OleRegistry.h"
#include "vm/machine/VirtMachine.h"

namespace xan::as {

namespace {

using plat::Variant;
// The dialect's language object; the one place this layer names it.
using TVbLanguage = ::xan::vb::TXANVbLanguage;

// The script text parsed before the start is compiled as one program (the dialect declares
// procedures and globals for the whole program); its global code runs once at the start.
// Text parsed after the start runs as statements of the global scope.
class TVbAdapter : public TLanguageAdapter {
public:
    TVbAdapter() : FMachine(new TVbLanguage()) {
        FMachine.OnFormatException = [this](TXANVirtMachine*, Integer ALine, Integer AColumn, plat::Exception*) {
            if (FPlace.Known) return;  // the innermost activation reported first
            FPlace = {true, ALine, AColumn};
        };
    }
    ~TVbAdapter() override { FMachine.Close(); }

    UString ErrorSource() const override { return UString(u"VBScript"); }
    bool CaseInsensitiveNames() const override { return true; }

    std::unique_ptr<TScriptBlock> Parse(const UString& ACode) override {
        if (FMachine.State() == msActive) return std::make_unique<TStatements>(*this, ACode);
        UString source = FSource.empty() ? ACode : FSource + std::u16string_view(u"\r\n") + ACode;
        Guard([&] { FMachine.Initialize(source); });
        FSource = std::move(source);
        for (const TItem& item : FItems) FMachine.AddExternObject(item.Obj.Get(), item.Name, item.GlobalMembers);
        return std::make_unique<TOpen>(*this);
    }

    Variant Evaluate(const UString& ACode, bool AIsExpression) override {
        RequireActive();
        Variant result;
        Guard([&] {
            if (AIsExpression) result = FMachine.Eval(ACode);
            else FMachine.ExecStmt(ACode);
        });
        return result;
    }

    void AddNamedItem(const UString& AName, IDispatch* AObject, bool, bool AGlobalMembers) override {
        // Compiling again forgets host objects, so they are kept to be added anew.
        FItems.push_back({AName, plat::ComPtr<IDispatch>(AObject), AGlobalMembers});
        if (FMachine.State() != msUninitialized) FMachine.AddExternObject(AObject, AName, AGlobalMembers);
    }

    UString FindGlobal(const UString& AName) override {
        if (FMachine.State() == msUninitialized) return UString();
        plat::ComPtr<IDispatch> code = plat::ComPtr<IDispatch>::Attach(FMachine.GetCodeObject());
        const char16_t* names[] = {AName.c_str()};
        DISPID id = plat::DISPID_UNKNOWN;
        return plat::Succeeded(code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id)) ? AName : UString();
    }

    // Through the machine's code object, which tells procedures from variables by the flags.
    Variant AccessGlobal(const UString& AName, TGlobalAccess AAccess, std::span<VarData> AArgs) override {
        RequireActive();
        plat::ComPtr<IDispatch> code = plat::ComPtr<IDispatch>::Attach(FMachine.GetCodeObject());
        const char16_t* names[] = {AName.c_str()};
        DISPID id = plat::DISPID_UNKNOWN;
        HRESULT hr = code->GetIDsOfNames(plat::IID_NULL, names, 1, 0, &id);
        if (plat::Failed(hr)) plat::Throw<EScriptError>(plat::OleErrorText(hr), -1, 0, hr);
        // The block lists the arguments last first; a put's value comes first.
        std::vector<VarData> block;
        if (AAccess == TGlobalAccess::Put) block.push_back(AArgs.back());
        const std::size_t positional = AAccess == TGlobalAccess::Put ? AArgs.size() - 1 : AArgs.size();
        for (std::size_t i = positional; i-- > 0;) block.push_back(AArgs[i]);
        DISPID named = plat::DISPID_PROPERTYPUT;
        plat::DISPPARAMS params{block.data(), AAccess == TGlobalAccess::Put ? &named : nullptr,
                                static_cast<std::uint32_t>(block.size()), AAccess == TGlobalAccess::Put ? 1u : 0u};
        const std::uint16_t flags = AAccess == TGlobalAccess::Call  ? plat::DISPATCH_METHOD | plat::DISPATCH_PROPERTYGET
                                    : AAccess == TGlobalAccess::Get ? plat::DISPATCH_PROPERTYGET
                                                                    : plat::DISPATCH_PROPERTYPUT;
        // A Sub yields nothing: asking it for a result would be a type mismatch.
        const TXANDispIdObject* target = FMachine.ObjectByDispId(id);
        const bool yields = AAccess != TGlobalAccess::Put && target && target->FResMask != 0;
        Variant result;
        plat::EXCEPINFO excep;
        FPlace = {};
        hr = code->Invoke(id, plat::IID_NULL, 0, flags, &params, yields ? &result : nullptr, &excep, nullptr);
        if (plat::Failed(hr)) {
            const UString text = hr == plat::DISP_E_EXCEPTION ? excep.description : plat::OleErrorText(hr);
            plat::Throw<EScriptError>(text, FPlace.Known ? FPlace.Line : -1, FPlace.Known ? FPlace.Column : 0,
                                      hr == plat::DISP_E_EXCEPTION ? excep.scode : hr);
        }
        return result;
    }

private:
    struct TPlace {
        bool Known = false;
        Integer Line = -1, Column = 0;
    };
    struct TItem {
        UString Name;
        plat::ComPtr<IDispatch> Obj;
        bool GlobalMembers;
    };
    class TOpen : public TScriptBlock {
    public:
        explicit TOpen(TVbAdapter& AOwner) : FOwner(AOwner) {}
        void Run() override {
            if (FOwner.FMachine.State() == msInitialized) FOwner.Guard([&] { FOwner.FMachine.Open(); });
        }

    private:
        TVbAdapter& FOwner;
    };
    class TStatements : public TScriptBlock {
    public:
        TStatements(TVbAdapter& AOwner, UString AText) : FOwner(AOwner), FText(std::move(AText)) {}
        void Run() override { FOwner.Evaluate(FText, false); }

    private:
        TVbAdapter& FOwner;
        UString FText;
    };

    void RequireActive() {
        if (FMachine.State() != msActive)
            plat::Throw<EScriptError>(UString(u"The script has not been started"), -1, 0, plat::E_UNEXPECTED);
    }

    // Runs ABody; an error leaves as EScriptError with the place the machine reported.
    template <class F>
    void Guard(F&& ABody) {
        FPlace = {};
        std::unique_ptr<plat::Exception> e = plat::CatchAll(ABody);
        if (!e) return;
        if (e->Is<EScriptError>()) plat::Raise(e.release());
        HRESULT code = plat::E_FAIL;
        plat::Throw<EScriptError>(e->Message(), FPlace.Known ? FPlace.Line : -1, FPlace.Known ? FPlace.Column : 0,
                                  code);
    }

    TXANVirtMachine FMachine;
    UString FSource;
    std::vector<TItem> FItems;
    TPlace FPlace;
};

}  // namespace

void RegisterVbScriptEngine() {
    plat::RegisterOleClass(u"VBScript", [] {
        plat::ComPtr<TScriptEngine> engine(
            new TScriptEngine([] { return std::unique_ptr<TLanguageAdapter>(new TVbAdapter()); }));
        return plat::ComPtr<IUnknown>(static_cast<IActiveScript*>(engine.Get()));
    });
}

}  // namespace xan::as
