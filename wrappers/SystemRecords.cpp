// The basic unit's records, its enumeration, classes and class references.
#include "platform/core/CharCase.h"
#include "platform/ole/HResult.h"
#include "platform/ole/OleError.h"
#include "wrappers/Registry.h"
#include "wrappers/SystemWrappers.h"

namespace xan {

void TGUID_sw::AddMembers(TXANRecordMembers<plat::TGUID>& m) {
    m.CopyMethod();
    m.FieldAs<Longword_sw>(u"D1", &plat::TGUID::D1)
        .FieldAs<Word_sw>(u"D2", &plat::TGUID::D2)
        .FieldAs<Word_sw>(u"D3", &plat::TGUID::D3);
    m.Constructor();
    m.ClassMethod(u"Empty", [] { return plat::TGUID{}; });
}

void TMethod_sw::AddMembers(TXANRecordMembers<plat::TMethod>& m) { m.CopyMethod().Constructor(); }

void TVarRecord_sw::AddMembers(TXANRecordMembers<plat::TVarRecord>& m) { m.CopyMethod().Constructor(); }

void TVarData_sw::AddMembers(TXANRecordMembers<plat::TVarData>& m) {
    using plat::TVarData;
    m.FieldAs<Word_sw>(u"VType", &TVarData::VType)
        .FieldAs<Word_sw>(u"Reserved1", &TVarData::Reserved1)
        .FieldAs<Word_sw>(u"Reserved2", &TVarData::Reserved2)
        .FieldAs<Word_sw>(u"Reserved3", &TVarData::Reserved3)
        .FieldAs<Smallint_sw>(u"VSmallInt", &TVarData::VSmallInt)
        .FieldAs<Integer_sw>(u"VInteger", &TVarData::VInteger)
        .FieldAs<Single_sw>(u"VSingle", &TVarData::VSingle)
        .FieldAs<Double_sw>(u"VDouble", &TVarData::VDouble)
        .Field(u"VCurrency", &TVarData::VCurrency)
        .FieldAs<TDateTime_sw>(u"VDate", &TVarData::VDate)
        .FieldAs<Longint_sw>(u"VError", &TVarData::VError)
        .Field(u"VBoolean", &TVarData::VBoolean)
        .FieldAs<Shortint_sw>(u"VShortInt", &TVarData::VShortInt)
        .FieldAs<Byte_sw>(u"VByte", &TVarData::VByte)
        .FieldAs<Word_sw>(u"VWord", &TVarData::VWord)
        .FieldAs<Longword_sw>(u"VLongWord", &TVarData::VLongWord)
        .FieldAs<Int64_sw>(u"VInt64", &TVarData::VInt64)
        .FieldAs<UInt64_sw>(u"VUInt64", &TVarData::VUInt64)
        .Field(u"VRecord", &TVarData::VRecord);
    m.CopyMethod().Constructor();
}

void TPtrWrapper_sw::AddMembers(TXANRecordMembers<plat::TPtrWrapper>& m) {
    m.Method(u"ToInteger", [](plat::TPtrWrapper& p) { return static_cast<plat::Int64>(p.Value); });
    m.CopyMethod();
    // Zero arguments or one (the integer value).
    m.RawConstructor(u"Create", [](void*, const plat::VarData* AArgs, int AArgCount, bool) {
        if (AArgCount > 1) RaiseWrongArgCount(u"Create");
        const plat::TPtrWrapper value{AArgCount ? static_cast<std::intptr_t>(plat::VarToInt64(AArgs[0])) : 0};
        return ToVar(value);
    }, 0, true);
    m.ClassProperty(u"NilValue", [] { return plat::TPtrWrapper{}; });
}

std::vector<TXANEnumerator> TTextLineBreakStyle_sw::Enumerators() { return {{u"tlbsLF", 0}, {u"tlbsCRLF", 1}}; }

void TObject_sw::AddMembers(TXANClassMembers<plat::TObject>& m) {
    using plat::TObject;
    m.Method(u"ClassType", [](TObject& o) { return o.ClassType(); });
    m.Method(u"Free", [](TObject* o) { delete o; });
    m.Method(u"Destroy", [](TObject* o) { delete o; });
    m.Constructor();
    m.ClassMethod(u"ClassName", [](plat::TClass c) { return plat::UString(c->name); });
    m.ClassMethod(u"ClassNameIs", [](plat::TClass c, const plat::UString& AName) {
        return plat::IdentEquals(c->name, AName.view());
    });
    m.ClassMethod(u"ClassParent", [](plat::TClass c) { return c->parent; });
    m.ClassMethod(u"InstanceSize", [](plat::TClass c) { return static_cast<plat::Integer>(c->instanceSize); });
    m.ClassMethod(u"InheritsFrom", [](plat::TClass c, plat::TClass AClass) { return c->InheritsFrom(AClass); });
}

void TInterfacedObject_sw::AddMembers(TXANClassMembers<plat::TInterfacedObject>& m) {
    m.Property(u"RefCount", [](plat::TInterfacedObject& o) { return o.RefCount(); });
}

const TXANMetaclassWrapperClass* TClass_sw::Class() {
    static const TXANMetaclassWrapperClass* cls = new TXANMetaclassWrapperClass(u"TClass", plat::TObject::StaticClass());
    return cls;
}

void XANRegisterBasicWrappers(TXANWrapperRegistry& ARegistry) {
    ARegistry.RegisterUnit(System_sw::Class());
    ARegistry.RegisterClass(TObject_sw::Class());
    ARegistry.RegisterClass(TInterfacedObject_sw::Class());
    ARegistry.RegisterClass(TAggregatedObject_sw::Class());
    ARegistry.RegisterClass(TContainedObject_sw::Class());
}

}  // namespace xan
