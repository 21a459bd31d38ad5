#pragma once
// Values between Tcl and automation. Every Tcl value is text, so values without a Tcl form of
// their own travel as values of our own object types, which print as text and come back as
// they went:
//   Empty <-> velmoraEmpty (prints "")      Null <-> velmoraNull (prints "")
//   Boolean <-> velmoraBoolean ("true"/"false"; a Tcl boolean value converts too)
//   Date <-> velmoraDate (prints as the date)
//   integer types <-> int (Integer when it fits, else Int64); floating types <-> double
//   String <-> string       array <-> list
//   dispatch object <-> an object command (`$obj Member ?args?`, `$obj configure -Name value`,
//   `$obj cget -Name`, `$obj default ?args?`); its name converts back to the object
#include <map>
#include <string>

#include <tcl.h>

#include "platform/ole/ComPtr.h"

namespace xan::as::tcl {

// The object commands of one interpreter.
class TTclObjects {
public:
    explicit TTclObjects(Tcl_Interp* AInterp) : FInterp(AInterp) {}
    // The command name for AObj, made on first use.
    std::string CommandFor(plat::IDispatch* AObj);
    // The object a command name stands for, or none.
    plat::IDispatch* ObjectOf(const std::string& AName) const;

private:
    Tcl_Interp* FInterp;
    std::map<std::string, plat::ComPtr<plat::IDispatch>> FByName;
    std::map<plat::IDispatch*, std::string> FByObject;
};

void InstallValueTypes();
// A new Tcl value (reference count 0) for AValue.
Tcl_Obj* FromVariant(TTclObjects& AObjects, const plat::VarData& AValue);
plat::Variant ToVariant(const TTclObjects& AObjects, Tcl_Obj* AObj);

}  // namespace xan::as::tcl
