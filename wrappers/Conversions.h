#pragma once
// Registration of wrapper classes, and the conversions between host values and variants that
// the machine's host hooks and the script control use.
//
// "Nothing" below is a dispatch variant holding no interface. Conversions that meet a value of
// the wrong kind raise the platform's type-cast error (EVariantTypeCastError), which becomes
// DISP_E_TYPEMISMATCH at the dispatch boundary.
#include <vector>

#include "platform/core/Object.h"
#include "platform/core/Exception.h"
#include "platform/rtl/TypInfo.h"
#include "wrappers/Wrappers.h"

namespace xan {

// ---- Registration ----------------------------------------------------------------------------
// Appends to the unit list unless present.
void RegisterUnitWrapper(const TXANUnitWrapperClass* AWrapperClass);
std::vector<const TXANUnitWrapperClass*> GetUnitWrappers();
// Registers for the class GetWrappedClass names; a class already registered keeps its first.
void RegisterClassWrapper(const TXANClassWrapperClass* AWrapperClass);
// The wrapper class registered for AClass or its nearest registered ancestor; none for none.
const TXANClassWrapperClass* FindClassWrapper(plat::TClass AClass);
// Registers for the event method type AWrapperClass wraps; the first registration wins.
void RegisterEventWrapper(const TXANEventWrapperClass* AWrapperClass);
// EOleSysError E_FAIL "Event type %s is not registered." when none is.
const TXANEventWrapperClass* FindEventWrapper(plat::PTypeInfo ATypeInfo);

// ---- Conversions -----------------------------------------------------------------------------
plat::Variant NilDispatch();
// Empty, Null or nothing: none when AAllowNil, else the type-cast error. Otherwise the wrapper
// behind the dispatch value (references followed), or the type-cast error.
TXANDispWrapper* VarToWrapper(const plat::VarData& V, bool AAllowNil);
plat::Variant WrapperToVar(TXANDispWrapper* AWrapper);

// The one wrapper of a live object (made by the nearest registered class wrapper class).
plat::Variant ObjectToVar(plat::TObject* AObject);
// The object of a class wrapper (none for none), which must be an instance of AClass when given.
plat::TObject* ObjectFromVar(const plat::VarData& V, plat::TClass AClass);
// The type object of AClass's nearest registered class wrapper class.
plat::Variant ClassToVar(plat::TClass AClass);
// The class of a class type object, which must inherit from AClass when given.
plat::TClass ClassFromVar(const plat::VarData& V, plat::TClass AClass);
// The type wrapper class of a type object.
const TXANTypeWrapperClass* MetatypeFromVar(const plat::VarData& V, bool AAllowNil);
plat::Variant TypeToVar(const TXANTypeWrapperClass* AWrapperClass);
// A record wrapper of exactly ARecordWrapperClass.
TXANRecordWrapper& RecordFromVar(const TXANRecordWrapperClass* ARecordWrapperClass, const plat::VarData& V);

// ---- Type tests and construction (the machine's host hooks) -----------------------------------
bool WrapperIs(const plat::VarData& AObj, const plat::VarData& AType);
bool WrapperExceptionIs(const plat::Exception* E, const plat::VarData& AType);
plat::Variant WrapperNew(const plat::VarData& AType, const plat::VarData* AArgs, plat::Integer AArgCount);
// EOleSysError DISP_E_BADPARAMCOUNT "Wrong argument count. Method or property called: %s".
[[noreturn]] void RaiseWrongArgCount(const plat::UString& AName);

// The exception a script handler is handling on this thread, or none.
plat::Exception* XANCurrentHandledException() noexcept;

}  // namespace xan
