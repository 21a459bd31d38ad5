#pragma once
// Binding host C++ types to scripts: each member is one line, declared from a member pointer
// or a callable, with argument and result conversions deduced from the C++ types.
//
//   class TCounter_sw : public TXANClassWrapperT<TCounter_sw, TCounter, TObject_sw> {
//   public:
//       static void AddMembers(TXANClassMembers<TCounter>& m) {
//           m.Constructor<int>();                                  // TCounter.Create(5)
//           m.Method(u"Add", &TCounter::Add);                     // procedure or function
//           m.Property(u"Count", &TCounter::Count, &TCounter::SetCount);
//           m.Property(u"Items", &TCounter::Item, nullptr, pfDefault);   // indexed, default
//           m.Field(u"Tag", &TCounter::Tag);
//           m.ClassMethod(u"Zero", [] { return 0; });
//           m.Constant(u"Limit", 100);
//       }
//   };
//   RegisterClassWrapper(TCounter_sw::Class());
//
// Parameters: a by-value or const-reference parameter converts its argument; a non-const
// lvalue reference (`UString&`) is a "var" parameter: the routine sees the converted value,
// and when the script passed a variable by reference it receives the new value. A callable
// whose first parameter is the bound object (`TCounter&` or `TCounter*`) receives it, as does
// a class-level callable whose first parameter is `plat::TClass`, a record member's `R&` and a
// unit routine's `TXANUnitWrapper&`. Argument counts are checked before the call: the member
// is declared with the count its C++ signature has. Hand-written invoke procedures stay
// possible through the `Raw…` declarations (a variable argument count, say).
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"
#include "wrappers/Conversions.h"
#include "wrappers/PredTypes.h"

namespace xan {

// ---- Host objects and class references as values -----------------------------------------------------

template <class T>
struct TXANObjectOf {
    static const TXANTypeWrapperClass* Class() { return FindClassWrapper(T::StaticClass()); }
    static plat::Variant ToVar(T* AValue) { return ObjectToVar(AValue); }
    static T* FromVar(const plat::VarData& AValue) { return static_cast<T*>(ObjectFromVar(AValue, T::StaticClass())); }
};
template <class T>
struct TXANWrapperOf<T*, std::enable_if_t<std::is_base_of_v<plat::TObject, T>>> {
    using type = TXANObjectOf<T>;
};

// ---- Callables ------------------------------------------------------------------------------------------

template <class F, class = void>
struct TXANCallable;
template <class R, class... A>
struct TXANCallable<R (*)(A...), void> {
    using Result = R;
    using Params = std::tuple<A...>;
    static constexpr bool IsMember = false;
};
template <class R, class... A>
struct TXANCallable<R (*)(A...) noexcept, void> : TXANCallable<R (*)(A...)> {};
#define XAN_MEMBER_CALLABLE(Quals)                                  \
    template <class R, class C, class... A>                         \
    struct TXANCallable<R (C::*)(A...) Quals, void> {               \
        using Result = R;                                           \
        using Params = std::tuple<A...>;                            \
        using Class = C;                                            \
        static constexpr bool IsMember = true;                      \
    };
XAN_MEMBER_CALLABLE()
XAN_MEMBER_CALLABLE(const)
XAN_MEMBER_CALLABLE(noexcept)
XAN_MEMBER_CALLABLE(const noexcept)
#undef XAN_MEMBER_CALLABLE
// Lambdas and other function objects: their call operator's signature, without the object.
template <class F>
struct TXANCallable<F, std::void_t<decltype(&F::operator())>> {
    using Op = TXANCallable<decltype(&F::operator())>;
    using Result = typename Op::Result;
    using Params = typename Op::Params;
    static constexpr bool IsMember = false;
};

// What a member acts on, and how a callable asks for it.
template <class T>
struct TXANObjectTarget {
    template <class P>
    static constexpr bool Accepts = std::is_same_v<std::remove_cvref_t<P>, T> || std::is_same_v<P, T*> ||
                                    std::is_same_v<P, const T*>;
    static T& Get(void* AObj) noexcept { return *static_cast<T*>(static_cast<plat::TObject*>(AObj)); }
};
struct TXANClassTarget {
    template <class P>
    static constexpr bool Accepts = std::is_same_v<std::remove_cvref_t<P>, plat::TClass>;
    static plat::TClass Get(void* AObj) noexcept { return static_cast<plat::TClass>(AObj); }
};
struct TXANNoTarget {
    template <class P>
    static constexpr bool Accepts = false;
    static int Get(void*) noexcept { return 0; }
};

template <class Target, class P>
decltype(auto) XANTargetAs(void* AObj) {
    if constexpr (std::is_pointer_v<P> && std::is_lvalue_reference_v<decltype(Target::Get(AObj))>)
        return &Target::Get(AObj);
    else
        return Target::Get(AObj);
}

template <class P>
inline constexpr bool XANIsVarParam = std::is_lvalue_reference_v<P> && !std::is_const_v<std::remove_reference_t<P>>;

// Stores the new value of a var parameter through a by-reference argument.
template <class P, class V>
void XANWriteBack(const plat::VarData& AArg, V& AValue) {
    if constexpr (XANIsVarParam<P>)
        if (AArg.VType == plat::varRefVariant)
            static_cast<plat::Variant*>(AArg.VPointer)->DerefMut() = XANWrapperOf<P>::ToVar(AValue);
}

// Whether a callable's first parameter asks for what the member acts on.
template <class Target, class Params, bool = (std::tuple_size_v<Params> > 0)>
struct TXANTakesTarget : std::false_type {};
template <class Target, class Params>
struct TXANTakesTarget<Target, Params, true>
    : std::bool_constant<Target::template Accepts<std::tuple_element_t<0, Params>>> {};

template <class Target, class F>
struct TXANCallShape {
    using C = TXANCallable<std::decay_t<F>>;
    using Params = typename C::Params;
    static constexpr std::size_t Arity = std::tuple_size_v<Params>;
    static constexpr bool TakesTarget = !C::IsMember && TXANTakesTarget<Target, Params>::value;
    static constexpr std::size_t Skip = TakesTarget ? 1 : 0;
    // The script-visible parameter count.
    static constexpr int ParamCount = static_cast<int>(Arity - Skip);
    static constexpr bool HasResult = !std::is_void_v<typename C::Result>;
    template <std::size_t I>
    using Param = std::tuple_element_t<I + Skip, Params>;

    // Converts AArgs, calls AFn on AObj, writes var parameters back; the result as a variant.
    static plat::Variant Call(F& AFn, void* AObj, const plat::VarData* AArgs) {
        return CallWith(AFn, AObj, AArgs, std::make_index_sequence<Arity - Skip>());
    }

private:
    template <std::size_t... I>
    static plat::Variant CallWith(F& AFn, void* AObj, const plat::VarData* AArgs, std::index_sequence<I...>) {
        std::tuple<std::remove_cvref_t<Param<I>>...> values{XANWrapperOf<Param<I>>::FromVar(AArgs[I])...};
        plat::Variant result;
        if constexpr (HasResult)
            result = XANWrapperOf<typename C::Result>::ToVar(Invoke(AFn, AObj, std::get<I>(values)...));
        else
            Invoke(AFn, AObj, std::get<I>(values)...);
        (XANWriteBack<Param<I>>(AArgs[I], std::get<I>(values)), ...);
        return result;
    }
    template <class... V>
    static decltype(auto) Invoke(F& AFn, void* AObj, V&... AValues) {
        if constexpr (C::IsMember) {
            static_assert(!std::is_same_v<Target, TXANNoTarget> && !std::is_same_v<Target, TXANClassTarget>,
                          "a member function needs an object: declare it as an instance member");
            return (Target::Get(AObj).*AFn)(AValues...);
        } else if constexpr (TakesTarget) {
            return AFn(XANTargetAs<Target, std::tuple_element_t<0, Params>>(AObj), AValues...);
        } else {
            return AFn(AValues...);
        }
    }
};

// An invoke procedure calling AFn (a method when a property is read, too).
template <class Target, class F>
TXANInvokeProc XANCallProc(F AFn) {
    return [fn = std::move(AFn)](void* AObj, const plat::VarData* AArgs, int, bool) mutable -> plat::Variant {
        return TXANCallShape<Target, F>::Call(fn, AObj, AArgs);
    };
}

// Reads with AGetter, writes with ASetter (index arguments first, the value last).
template <class Target, class G, class S>
TXANInvokeProc XANPropertyProc(G AGetter, S ASetter) {
    return [getter = std::move(AGetter), setter = std::move(ASetter)](void* AObj, const plat::VarData* AArgs, int,
                                                                        bool AIsGet) mutable -> plat::Variant {
        if (AIsGet) return TXANCallShape<Target, G>::Call(getter, AObj, AArgs);
        if constexpr (!std::is_same_v<S, std::nullptr_t>) TXANCallShape<Target, S>::Call(setter, AObj, AArgs);
        return plat::Variant();
    };
}

// A data member (AField: V T::*) or a variable (AField: V*).
template <class Target, class FieldPtr>
TXANInvokeProc XANFieldProc(FieldPtr AField) {
    return [AField](void* AObj, const plat::VarData* AArgs, int, bool AIsGet) -> plat::Variant {
        auto& field = [&]() -> auto& {
            if constexpr (std::is_member_object_pointer_v<FieldPtr>)
                return Target::Get(AObj).*AField;
            else
                return *AField;
        }();
        using V = std::remove_cvref_t<decltype(field)>;
        if (AIsGet) return XANWrapperOf<V>::ToVar(field);
        field = XANWrapperOf<V>::FromVar(AArgs[0]);
        return plat::Variant();
    };
}

template <class F>
using XANResultOf = typename TXANCallable<std::decay_t<F>>::Result;
template <class F>
const TXANTypeWrapperClass* XANResultType() {
    return XANWrapperOf<XANResultOf<F>>::Class();
}

// Property flags.
enum TXANPropFlag : unsigned { pfDefault = 1, pfProtected = 2 };

// ---- Member declarations of classes and records -------------------------------------------------------

// What a class or record member table offers; Target says what instance members act on.
template <class Target, class Data>
class TXANTypeMembers {
public:
    explicit TXANTypeMembers(Data& AData) noexcept : FData(AData) {}
    Data& Raw() noexcept { return FData; }

    // A method: a procedure when F returns nothing, else a function.
    template <class F>
    TXANTypeMembers& Method(const plat::UString& AName, F AFn) {
        using Shape = TXANCallShape<Target, F>;
        if constexpr (Shape::HasResult)
            FData.AddFunction(AName, XANCallProc<Target>(std::move(AFn)), XANResultType<F>(), Shape::ParamCount, false);
        else
            FData.AddProcedure(AName, XANCallProc<Target>(std::move(AFn)), Shape::ParamCount, false);
        return *this;
    }
    template <class F>
    TXANTypeMembers& ClassMethod(const plat::UString& AName, F AFn) {
        using Shape = TXANCallShape<MetaTarget, F>;
        if constexpr (Shape::HasResult)
            FData.AddClassFunction(AName, XANCallProc<MetaTarget>(std::move(AFn)), XANResultType<F>(),
                                   Shape::ParamCount, false);
        else
            FData.AddClassProcedure(AName, XANCallProc<MetaTarget>(std::move(AFn)), Shape::ParamCount, false);
        return *this;
    }
    // A property read by AGetter (its parameters are the index arguments) and written by
    // ASetter (index arguments, then the value); nullptr makes it read-only.
    template <class G, class S = std::nullptr_t>
    TXANTypeMembers& Property(const plat::UString& AName, G AGetter, S ASetter = nullptr, unsigned AFlags = 0) {
        const bool writable = !std::is_same_v<S, std::nullptr_t>;
        FData.AddProperty(AName, XANPropertyProc<Target>(std::move(AGetter), std::move(ASetter)), XANResultType<G>(),
                          true, writable, TXANCallShape<Target, G>::ParamCount, (AFlags & pfProtected) != 0,
                          (AFlags & pfDefault) != 0);
        return *this;
    }
    template <class G, class S = std::nullptr_t>
    TXANTypeMembers& ClassProperty(const plat::UString& AName, G AGetter, S ASetter = nullptr, unsigned AFlags = 0) {
        const bool writable = !std::is_same_v<S, std::nullptr_t>;
        FData.AddClassProperty(AName, XANPropertyProc<MetaTarget>(std::move(AGetter), std::move(ASetter)),
                               XANResultType<G>(), true, writable, TXANCallShape<MetaTarget, G>::ParamCount,
                               (AFlags & pfProtected) != 0);
        return *this;
    }
    // A data member of the bound type (V T::*), readable and writable.
    template <class FieldPtr>
    TXANTypeMembers& Field(const plat::UString& AName, FieldPtr AField) {
        using V = std::remove_cvref_t<decltype(Target::Get(nullptr).*AField)>;
        FData.AddField(AName, XANFieldProc<Target>(AField), XANWrapperOf<V>::Class());
        return *this;
    }
    // A data member converted through the wrapper W rather than the deduced one.
    template <class W, class FieldPtr>
    TXANTypeMembers& FieldAs(const plat::UString& AName, FieldPtr AField) {
        FData.AddField(AName, [AField](void* AObj, const plat::VarData* AArgs, int, bool AIsGet) -> plat::Variant {
            auto& field = Target::Get(AObj).*AField;
            using V = std::remove_cvref_t<decltype(field)>;
            if (AIsGet) return W::ToVar(static_cast<typename W::Type>(field));
            field = static_cast<V>(W::FromVar(AArgs[0]));
            return plat::Variant();
        }, W::Class());
        return *this;
    }
    // A class-level variable (V*).
    template <class V>
    TXANTypeMembers& ClassField(const plat::UString& AName, V* AVariable) {
        FData.AddClassField(AName, XANFieldProc<MetaTarget>(AVariable), XANWrapperOf<V>::Class());
        return *this;
    }
    template <class V>
    TXANTypeMembers& Constant(const plat::UString& AName, V AValue) {
        plat::Variant value = XANWrapperOf<V>::ToVar(AValue);
        FData.AddConstant(AName, [value](void*, const plat::VarData*, int, bool) { return value; },
                          XANWrapperOf<V>::Class(), 0);
        return *this;
    }
    // Hand-written members.
    TXANTypeMembers& RawProcedure(const plat::UString& AName, TXANInvokeProc AProc, int AParamCount,
                                  bool AHasOptionalParams = false) {
        FData.AddProcedure(AName, std::move(AProc), AParamCount, AHasOptionalParams);
        return *this;
    }
    TXANTypeMembers& RawFunction(const plat::UString& AName, TXANInvokeProc AProc,
                                 const TXANTypeWrapperClass* AResultType, int AParamCount,
                                 bool AHasOptionalParams = false) {
        FData.AddFunction(AName, std::move(AProc), AResultType, AParamCount, AHasOptionalParams);
        return *this;
    }
    TXANTypeMembers& RawConstructor(const plat::UString& AName, TXANInvokeProc AProc, int AParamCount,
                                    bool AHasOptionalParams = false) {
        FData.AddConstructor(AName, std::move(AProc), AParamCount, AHasOptionalParams);
        return *this;
    }

protected:
    using MetaTarget = std::conditional_t<std::is_same_v<Data, TXANClassWrapperData>, TXANClassTarget, TXANNoTarget>;
    Data& FData;
};

template <class T>
class TXANClassMembers : public TXANTypeMembers<TXANObjectTarget<T>, TXANClassWrapperData> {
    using Base = TXANTypeMembers<TXANObjectTarget<T>, TXANClassWrapperData>;

public:
    using Base::Base;
    // The constructor named AName taking A...: a new T, wrapped. Without parameters, a script
    // calling it on a descendant's type object gets an instance of that descendant.
    template <class... A>
    TXANClassMembers& Constructor(const plat::UString& AName = u"Create") {
        this->FData.AddConstructor(AName, [](void* AObj, const plat::VarData* AArgs, int, bool) {
            return ObjectToVar(Construct<A...>(static_cast<plat::TClass>(AObj), AArgs,
                                               std::index_sequence_for<A...>()));
        }, static_cast<int>(sizeof...(A)), false);
        return *this;
    }
    // The inherited property AName made visible (and the default when AIsDefault).
    TXANClassMembers& Redeclare(const plat::UString& AName, bool AIsDefault = false) {
        this->FData.AddPropertyRedecl(AName, AIsDefault);
        return *this;
    }

private:
    template <class... A, std::size_t... I>
    static T* Construct(plat::TClass AClass, const plat::VarData* AArgs, std::index_sequence<I...>) {
        if constexpr (sizeof...(A) == 0) {
            if (AClass && AClass != T::StaticClass()) {
                if (!AClass->create) plat::Raise(new plat::EOleSysError(u"No constructor found.", plat::E_FAIL));
                return static_cast<T*>(AClass->create());
            }
        }
        return new T(XANWrapperOf<A>::FromVar(AArgs[I])...);
    }
};

// ---- Records ------------------------------------------------------------------------------------------

// The instance side of a record wrapper: the value it owns.
template <class R>
class TXANRecordValueWrapper : public TXANRecordWrapper {
public:
    TXANRecordValueWrapper(const TXANRecordWrapperClass* AClass, R AValue)
        : TXANRecordWrapper(AClass), FValue(std::move(AValue)) {}
    plat::ComPtr<TXANRecordWrapper> CopyWrapper() const override {
        return plat::ComPtr<TXANRecordWrapper>(new TXANRecordValueWrapper(RecordWrapperClass(), FValue));
    }
    R FValue;
};

template <class R>
struct TXANRecordTarget {
    template <class P>
    static constexpr bool Accepts = std::is_same_v<std::remove_cvref_t<P>, R> || std::is_same_v<P, R*> ||
                                    std::is_same_v<P, const R*>;
    static R& Get(void* AObj) noexcept { return static_cast<TXANRecordValueWrapper<R>*>(AObj)->FValue; }
};

template <class R>
class TXANRecordMembers : public TXANTypeMembers<TXANRecordTarget<R>, TXANRecordWrapperData> {
    using Base = TXANTypeMembers<TXANRecordTarget<R>, TXANRecordWrapperData>;

public:
    using Base::Base;
    // A constructor taking the record's fields (or nothing: the all-zero value).
    template <class... A>
    TXANRecordMembers& Constructor(const plat::UString& AName = u"Create") {
        const auto* cls = static_cast<const TXANRecordWrapperClass*>(this->FData.FWrapperClass);
        this->FData.AddConstructor(AName, [cls](void*, const plat::VarData* AArgs, int, bool) {
            return Wrap(cls, Make<A...>(AArgs, std::index_sequence_for<A...>()));
        }, static_cast<int>(sizeof...(A)), false);
        return *this;
    }
    // A function answering a copy of the record as a new wrapper.
    TXANRecordMembers& CopyMethod(const plat::UString& AName = u"Copy") {
        this->FData.AddFunction(AName, [](void* AObj, const plat::VarData*, int, bool) {
            return static_cast<TXANRecordWrapper*>(AObj)->CopyWrapper()->ToVariant();
        }, static_cast<const TXANTypeWrapperClass*>(this->FData.FWrapperClass), 0, false);
        return *this;
    }
    static plat::Variant Wrap(const TXANRecordWrapperClass* AClass, R AValue) {
        const plat::ComPtr<TXANRecordWrapper> w(new TXANRecordValueWrapper<R>(AClass, std::move(AValue)));
        return w->ToVariant();
    }

private:
    template <class... A, std::size_t... I>
    static R Make(const plat::VarData* AArgs, std::index_sequence<I...>) {
        return R{XANWrapperOf<A>::FromVar(AArgs[I])...};
    }
};

// ---- Units ----------------------------------------------------------------------------------------------

struct TXANUnitTarget {
    template <class P>
    static constexpr bool Accepts = std::is_same_v<std::remove_cvref_t<P>, TXANUnitWrapper> ||
                                    std::is_same_v<P, TXANUnitWrapper*>;
    static TXANUnitWrapper& Get(void* AObj) noexcept { return *static_cast<TXANUnitWrapper*>(AObj); }
};

class TXANUnitMembers {
public:
    explicit TXANUnitMembers(TXANUnitWrapperData& AData) noexcept : FData(AData) {}
    TXANUnitWrapperData& Raw() noexcept { return FData; }

    template <class F>
    TXANUnitMembers& Routine(const plat::UString& AName, F AFn) {
        using Shape = TXANCallShape<TXANUnitTarget, F>;
        if constexpr (Shape::HasResult)
            FData.AddFunction(AName, XANCallProc<TXANUnitTarget>(std::move(AFn)), XANResultType<F>(),
                              Shape::ParamCount, false);
        else
            FData.AddProcedure(AName, XANCallProc<TXANUnitTarget>(std::move(AFn)), Shape::ParamCount, false);
        return *this;
    }
    // A function whose result converts through the wrapper W rather than the deduced one.
    template <class W, class F>
    TXANUnitMembers& RoutineAs(const plat::UString& AName, F AFn) {
        FData.AddFunction(AName, [fn = std::move(AFn)](void* AObj, const plat::VarData* AArgs, int, bool) mutable {
            plat::Variant r = TXANCallShape<TXANUnitTarget, F>::Call(fn, AObj, AArgs);
            return W::ToVar(W::FromVar(r));
        }, W::Class(), TXANCallShape<TXANUnitTarget, F>::ParamCount, false);
        return *this;
    }
    template <class V>
    TXANUnitMembers& Variable(const plat::UString& AName, V* AVariable) {
        FData.AddVariable(AName, XANFieldProc<TXANNoTarget>(AVariable), XANWrapperOf<V>::Class());
        return *this;
    }
    template <class G, class S>
    TXANUnitMembers& Variable(const plat::UString& AName, G AGetter, S ASetter) {
        FData.AddVariable(AName, XANPropertyProc<TXANUnitTarget>(std::move(AGetter), std::move(ASetter)),
                          XANResultType<G>());
        return *this;
    }
    template <class V>
    TXANUnitMembers& Constant(const plat::UString& AName, V AValue) {
        plat::Variant value = XANWrapperOf<V>::ToVar(AValue);
        FData.AddConstant(AName, [value](void*, const plat::VarData*, int, bool) { return value; },
                          XANWrapperOf<V>::Class(), 0);
        return *this;
    }
    // A type member answering AWrapperClass's type object.
    TXANUnitMembers& Type(const TXANTypeWrapperClass* AWrapperClass) {
        FData.AddType(AWrapperClass, [AWrapperClass](void*, const plat::VarData*, int, bool) {
            return TypeToVar(AWrapperClass);
        });
        return *this;
    }
    TXANUnitMembers& RawProcedure(const plat::UString& AName, TXANInvokeProc AProc, int AParamCount,
                                  bool AHasOptionalParams = false) {
        FData.AddProcedure(AName, std::move(AProc), AParamCount, AHasOptionalParams);
        return *this;
    }
    TXANUnitMembers& RawFunction(const plat::UString& AName, TXANInvokeProc AProc,
                                 const TXANTypeWrapperClass* AResultType, int AParamCount,
                                 bool AHasOptionalParams = false) {
        FData.AddFunction(AName, std::move(AProc), AResultType, AParamCount, AHasOptionalParams);
        return *this;
    }

private:
    TXANUnitWrapperData& FData;
};

// ---- Declaring wrapper classes ---------------------------------------------------------------------------

template <class W>
const TXANClassWrapperClass* XANClassWrapperOf() {
    if constexpr (std::is_void_v<W>)
        return nullptr;
    else
        return W::Class();
}

template <class Self, class T>
class TXANClassWrapperClassT : public TXANClassWrapperClass {
public:
    using TXANClassWrapperClass::TXANClassWrapperClass;
    void AddMembers(TXANClassWrapperData& AData) const override {
        TXANClassMembers<T> members(AData);
        Self::AddMembers(members);
    }
};

// Base of a class wrapper Self for host class T, inheriting the members of ParentSw (void for
// none). Self declares `static void AddMembers(TXANClassMembers<T>&)`.
template <class Self, class T, class ParentSw>
struct TXANClassWrapperT {
    using Wrapped = T;
    static const TXANClassWrapperClass* Class() {
        static const TXANClassWrapperClass* cls = new TXANClassWrapperClassT<Self, T>(
            XANClassWrapperOf<ParentSw>(), plat::UString(T::StaticClass()->name) + std::u16string_view(u"_sw"), T::StaticClass());
        return cls;
    }
    static plat::Variant ToVar(T* AObject) { return ObjectToVar(AObject); }
    static plat::Variant UntypedToVar(const void* AObject) { return ToVar(*static_cast<T* const*>(AObject)); }
    static T* FromVar(const plat::VarData& AObject) {
        return static_cast<T*>(ObjectFromVar(AObject, T::StaticClass()));
    }
    static plat::Variant ClassToVar(plat::TClass AClass) { return xan::ClassToVar(AClass); }
    static plat::TClass ClassFromVar(const plat::VarData& AClass) { return xan::ClassFromVar(AClass, nullptr); }
    static void AddMembers(TXANClassMembers<T>&) {}
};

template <class Self, class R>
class TXANRecordWrapperClassT : public TXANRecordWrapperClass {
public:
    using TXANRecordWrapperClass::TXANRecordWrapperClass;
    void AddMembers(TXANRecordWrapperData& AData) const override {
        TXANRecordMembers<R> members(AData);
        Self::AddMembers(members);
    }
    plat::ComPtr<TXANRecordWrapper> Create() const override {
        return plat::ComPtr<TXANRecordWrapper>(new TXANRecordValueWrapper<R>(this, R{}));
    }
};

// Base of a record wrapper Self for record type R. Self declares
// `static constexpr const char16_t* TypeName` and `static void AddMembers(TXANRecordMembers<R>&)`.
template <class Self, class R>
struct TXANRecordWrapperT {
    using Record = R;
    static const TXANRecordWrapperClass* Class() {
        static const TXANRecordWrapperClass* cls = new TXANRecordWrapperClassT<Self, R>(
            plat::UString(Self::TypeName) + std::u16string_view(u"_sw"), plat::UString(Self::TypeName));
        return cls;
    }
    // A new wrapper holding a copy of AValue.
    static plat::Variant ToVar(const R& AValue) { return TXANRecordMembers<R>::Wrap(Class(), AValue); }
    static plat::Variant UntypedToVar(const void* AValue) { return ToVar(*static_cast<const R*>(AValue)); }
    static R FromVar(const plat::VarData& AValue) {
        return static_cast<TXANRecordValueWrapper<R>&>(RecordFromVar(Class(), AValue)).FValue;
    }
};

template <class Self>
class TXANEnumWrapperClassT : public TXANEnumWrapperClass {
public:
    using TXANEnumWrapperClass::TXANEnumWrapperClass;
    plat::PTypeInfo GetEnumTypeInfo() const override {
        if constexpr (requires { Self::EnumTypeInfo(); })
            return Self::EnumTypeInfo();
        else
            return nullptr;
    }
    std::vector<TXANEnumerator> GetEnumerators() const override {
        if constexpr (requires { Self::Enumerators(); })
            return Self::Enumerators();
        else
            return {};
    }
};

// Base of an enumeration wrapper Self for enumeration E. Self declares
// `static constexpr const char16_t* TypeName` and either `static PTypeInfo EnumTypeInfo()` or
// `static std::vector<TXANEnumerator> Enumerators()`.
template <class Self, class E>
struct TXANEnumWrapperT {
    static const TXANEnumWrapperClass* Class() {
        static const TXANEnumWrapperClass* cls =
            new TXANEnumWrapperClassT<Self>(plat::UString(Self::TypeName) + std::u16string_view(u"_sw"), plat::UString(Self::TypeName));
        return cls;
    }
    static plat::Variant ToVar(E AValue) { return plat::Variant(static_cast<plat::Integer>(AValue)); }
    static E FromVar(const plat::VarData& AValue) { return static_cast<E>(plat::VarToInt32(AValue)); }
};

template <class Self>
class TXANUnitWrapperClassT : public TXANUnitWrapperClass {
public:
    using TXANUnitWrapperClass::TXANUnitWrapperClass;
    void AddMembers(TXANUnitWrapperData& AData) const override {
        TXANUnitMembers members(AData);
        Self::AddMembers(members);
    }
    plat::UString GetUnitName() const override { return plat::UString(Self::UnitName); }
};

// Base of a unit wrapper Self. Self declares `static constexpr const char16_t* UnitName` and
// `static void AddMembers(TXANUnitMembers&)`.
template <class Self>
struct TXANUnitWrapperT {
    static const TXANUnitWrapperClass* Class() {
        static const TXANUnitWrapperClass* cls =
            new TXANUnitWrapperClassT<Self>(nullptr, plat::UString(Self::UnitName) + std::u16string_view(u"_sw"));
        return cls;
    }
    // A unit object for AScriptControl, as a dispatch variant.
    static plat::Variant Create(plat::TObject* AScriptControl) { return Class()->Create(AScriptControl)->ToVariant(); }
};

}  // namespace xan
