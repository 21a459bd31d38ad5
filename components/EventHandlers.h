#pragma once
// Script procedures as handlers of host events. A handler object belongs to a script control
// and names one of its procedures; GetHandler gives the method pointer of the host event type
// that, when the host fires the event, runs the procedure with the event's arguments.
//
// Each event type has its handler class; the event wrapper class registered for the type names
// it. XANRegisterEventType declares both for an event signature in one line:
//
//   using TCloseEvent = plat::Event<void(plat::TObject* Sender, bool& CanClose)>;
//   static plat::TTypeInfo closeType = plat::MakeMethodTypeInfo(u"TCloseEvent");
//   XANRegisterEventType<void(plat::TObject*, bool&)>(&closeType);
//
// Arguments convert like those of bound members; a non-const reference parameter receives what
// the script procedure left in its by-reference parameter.
#include <array>
#include <memory>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/core/Method.h"
#include "platform/ole/Variant.h"
#include "wrappers/Binding.h"

namespace xan {

class TXANScriptControl;
class TXANScriptEventHandler;

// A handler kind: creates the handlers of one event signature.
class TXANScriptEventHandlerClass {
public:
    virtual ~TXANScriptEventHandlerClass() = default;
    virtual std::unique_ptr<TXANScriptEventHandler> Create(TXANScriptControl* AOwner,
                                                           const plat::UString& AProcName) const = 0;
};

class TXANScriptEventHandler {
public:
    TXANScriptEventHandler(const TXANScriptEventHandlerClass* AClass, TXANScriptControl* AOwner,
                           plat::UString AProcName) noexcept
        : FClass(AClass), FOwner(AOwner), FProcName(std::move(AProcName)) {}
    TXANScriptEventHandler(const TXANScriptEventHandler&) = delete;
    TXANScriptEventHandler& operator=(const TXANScriptEventHandler&) = delete;
    virtual ~TXANScriptEventHandler() = default;

    const TXANScriptEventHandlerClass* HandlerClass() const noexcept { return FClass; }
    TXANScriptControl* Owner() const noexcept { return FOwner; }
    const plat::UString& ProcName() const noexcept { return FProcName; }
    virtual plat::TMethod GetHandler() = 0;

protected:
    // Runs the procedure through the owner (which must be active).
    void CallProc(std::span<plat::Variant> AArgs);

private:
    const TXANScriptEventHandlerClass* FClass;
    TXANScriptControl* FOwner;
    plat::UString FProcName;
};

template <class Sig>
class TXANScriptEventHandlerT;

template <class... A>
class TXANScriptEventHandlerT<void(A...)> : public TXANScriptEventHandler {
public:
    using TXANScriptEventHandler::TXANScriptEventHandler;
    using TEvent = plat::Event<void(A...)>;

    static const TXANScriptEventHandlerClass* Class() {
        static const THandlerClass cls;
        return &cls;
    }
    plat::TMethod GetHandler() override { return TEvent::template Bind<&TXANScriptEventHandlerT::Fire>(this).AsMethod(); }

    void Fire(A... AArgs) { FireWith(std::index_sequence_for<A...>{}, AArgs...); }

private:
    class THandlerClass final : public TXANScriptEventHandlerClass {
    public:
        std::unique_ptr<TXANScriptEventHandler> Create(TXANScriptControl* AOwner,
                                                       const plat::UString& AProcName) const override {
            return std::make_unique<TXANScriptEventHandlerT>(this, AOwner, AProcName);
        }
    };

    template <class P>
    static constexpr bool IsOut = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

    template <std::size_t... I>
    void FireWith(std::index_sequence<I...>, A&... AArgs) {
        std::array<plat::Variant, sizeof...(A)> args{XANWrapperOf<std::remove_cvref_t<A>>::ToVar(AArgs)...};
        CallProc(args);
        (WriteBack<A>(AArgs, args[I]), ...);
    }
    template <class P>
    static void WriteBack(std::remove_reference_t<P>& ATarget, const plat::Variant& AValue) {
        if constexpr (IsOut<P>) ATarget = XANWrapperOf<std::remove_cvref_t<P>>::FromVar(AValue.Deref());
    }
};

// The event wrapper class of an event type whose handlers have the signature Sig.
template <class Sig>
class TXANEventWrapperClassT : public TXANEventWrapperClass {
public:
    using TXANEventWrapperClass::TXANEventWrapperClass;
    const TXANScriptEventHandlerClass* GetScriptHandlerClass() const override {
        return TXANScriptEventHandlerT<Sig>::Class();
    }
};

// Registers the event type AEventType (a method type descriptor that lives for the process),
// whose handlers have the signature Sig, so that script procedures can be hooked to its events.
// Registers AClass with the wrapper registry and keeps it for the rest of the process.
void XANRegisterEventWrapper(std::unique_ptr<TXANEventWrapperClass> AClass);

template <class Sig>
const TXANEventWrapperClass* XANRegisterEventType(plat::PTypeInfo AEventType) {
    XANRegisterEventWrapper(
        std::make_unique<TXANEventWrapperClassT<Sig>>(AEventType->Name + std::u16string_view(u"_sw"), AEventType));
    return FindEventWrapper(AEventType);
}

// The notify event (procedure (Sender)), registered once by the script control.
void XANRegisterNotifyEventType();

}  // namespace xan
