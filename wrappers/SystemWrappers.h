#pragma once
// The wrappers of the basic unit, "System": its records, one enumeration, the root classes and
// class references, and the unit object whose members are the basic routines, constants and
// types. TObject_sw::ToVar and TObject_sw::FromVar are how the rest of the system puts any host
// object into a variant and gets it back.
#include <vector>

#include "platform/core/Method.h"
#include "platform/core/SystemTypes.h"
#include "platform/ole/AggregatedObject.h"
#include "platform/ole/InterfacedObject.h"
#include "wrappers/Binding.h"

namespace xan {

// ---- Records -------------------------------------------------------------------------------------

struct TGUID_sw : TXANRecordWrapperT<TGUID_sw, plat::TGUID> {
    static constexpr const char16_t* TypeName = u"TGUID";
    static void AddMembers(TXANRecordMembers<plat::TGUID>& m);
};
struct TMethod_sw : TXANRecordWrapperT<TMethod_sw, plat::TMethod> {
    static constexpr const char16_t* TypeName = u"TMethod";
    static void AddMembers(TXANRecordMembers<plat::TMethod>& m);
};
struct TVarRecord_sw : TXANRecordWrapperT<TVarRecord_sw, plat::TVarRecord> {
    static constexpr const char16_t* TypeName = u"TVarRecord";
    static void AddMembers(TXANRecordMembers<plat::TVarRecord>& m);
};
struct TVarData_sw : TXANRecordWrapperT<TVarData_sw, plat::TVarData> {
    static constexpr const char16_t* TypeName = u"TVarData";
    static void AddMembers(TXANRecordMembers<plat::TVarData>& m);
};
struct TPtrWrapper_sw : TXANRecordWrapperT<TPtrWrapper_sw, plat::TPtrWrapper> {
    static constexpr const char16_t* TypeName = u"TPtrWrapper";
    static void AddMembers(TXANRecordMembers<plat::TPtrWrapper>& m);
};
XAN_WRAPPER_FOR(plat::TGUID, TGUID_sw)
XAN_WRAPPER_FOR(plat::TMethod, TMethod_sw)
XAN_WRAPPER_FOR(plat::TVarRecord, TVarRecord_sw)
XAN_WRAPPER_FOR(plat::TVarData, TVarData_sw)
XAN_WRAPPER_FOR(plat::TPtrWrapper, TPtrWrapper_sw)

// ---- Enumeration ---------------------------------------------------------------------------------

struct TTextLineBreakStyle_sw : TXANEnumWrapperT<TTextLineBreakStyle_sw, plat::TTextLineBreakStyle> {
    static constexpr const char16_t* TypeName = u"TTextLineBreakStyle";
    static std::vector<TXANEnumerator> Enumerators();
};
XAN_WRAPPER_FOR(plat::TTextLineBreakStyle, TTextLineBreakStyle_sw)

// ---- Classes and class references ----------------------------------------------------------------

struct TObject_sw : TXANClassWrapperT<TObject_sw, plat::TObject, void> {
    static void AddMembers(TXANClassMembers<plat::TObject>& m);
};
struct TInterfacedObject_sw : TXANClassWrapperT<TInterfacedObject_sw, plat::TInterfacedObject, TObject_sw> {
    static void AddMembers(TXANClassMembers<plat::TInterfacedObject>& m);
};
struct TAggregatedObject_sw : TXANClassWrapperT<TAggregatedObject_sw, plat::TAggregatedObject, TObject_sw> {};
struct TContainedObject_sw
    : TXANClassWrapperT<TContainedObject_sw, plat::TContainedObject, TAggregatedObject_sw> {};
struct TCustomAttribute_sw : TXANClassWrapperT<TCustomAttribute_sw, plat::TCustomAttribute, TObject_sw> {};

// The class-reference type.
struct TClass_sw {
    static const TXANMetaclassWrapperClass* Class();
    static plat::Variant ToVar(plat::TClass AValue) { return ClassToVar(AValue); }
    static plat::Variant UntypedToVar(const void* AValue) { return ToVar(*static_cast<const plat::TClass*>(AValue)); }
    static plat::TClass FromVar(const plat::VarData& AValue) {
        return ClassFromVar(AValue, plat::TObject::StaticClass());
    }
};
XAN_WRAPPER_FOR(plat::TClass, TClass_sw)

// ---- The unit ------------------------------------------------------------------------------------

struct System_sw : TXANUnitWrapperT<System_sw> {
    static constexpr const char16_t* UnitName = u"System";
    static void AddMembers(TXANUnitMembers& m);
    // The unit object of a script control.
    static plat::Variant ToVar(plat::TObject* AScriptControl) { return Create(AScriptControl); }
};

}  // namespace xan
