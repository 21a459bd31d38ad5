#pragma once
// The embedded Perl 5 interpreter and values between Perl and automation:
//   Empty <-> undef                    Null <-> $Velmora::Null (a blessed singleton; `Null` in main)
//   Boolean <-> Perl's booleans (!!1, !!0)
//   integer types <-> integers (Integer when it fits, else Int64; unsigned beyond Int64: UInt64)
//   Single, Double, Currency -> number; a number with a fraction -> Double
//   String <-> string (a string that is also a number stays a string)
//   Date <-> a Velmora::Date object (prints as the date, compares, converts back)
//   array <-> array reference (unblessed)
//   dispatch object <-> Velmora::Object: $obj->Name reads a property or calls a method,
//     $obj->Name(args) calls, $obj->{Name} reads and $obj->{Name} = v sets a property,
//     $obj->[i] reads and sets the default member, $obj->(args) calls it; converts back to its
//     object. Arguments that are variables are passed by reference: a host method may change them.
//
// Perl is built with MULTIPLICITY here: every function takes the interpreter (pTHX), and whoever
// enters an interpreter makes it the thread's current one first (TPerlContext).
#include <memory>
#include <span>
#include <string>

#include <EXTERN.h>
#include <perl.h>
#include <XSUB.h>
// The interpreter's headers define words as macros that the platform headers use as names.
#undef Copy
#undef Move
#undef Zero
#undef Null
#undef Pause
#undef do_open
#undef do_close
#undef ref

#include "platform/core/Exception.h"
#include "platform/ole/ComIntf.h"

namespace xan::as::perl {

// Makes AInterp the thread's current interpreter for the life of the guard, then restores the
// previous one (engines may call each other through the host).
class TPerlContext {
public:
    explicit TPerlContext(PerlInterpreter* AInterp);
    ~TPerlContext();
    TPerlContext(const TPerlContext&) = delete;
    TPerlContext& operator=(const TPerlContext&) = delete;

private:
    PerlInterpreter* FInterp;
    PerlInterpreter* FPrevious;
};

// Temporaries made inside the scope are freed when it ends.
class TPerlScope {
public:
    explicit TPerlScope(PerlInterpreter* AInterp);
    ~TPerlScope();
    TPerlScope(const TPerlScope&) = delete;
    TPerlScope& operator=(const TPerlScope&) = delete;

private:
    PerlInterpreter* my_perl;
};

// One interpreter with the value types installed, ready to evaluate code; freed with the object.
class TPerlInterpreter {
public:
    TPerlInterpreter();
    ~TPerlInterpreter();
    TPerlInterpreter(const TPerlInterpreter&) = delete;
    TPerlInterpreter& operator=(const TPerlInterpreter&) = delete;
    PerlInterpreter* Get() const noexcept { return FInterp; }

private:
    void Free() noexcept;
    PerlInterpreter* FInterp = nullptr;
};

// A new SV (one reference) holding the Perl form of AValue (references followed).
SV* NewSVFromVariant(pTHX_ const plat::VarData& AValue);
// The automation form of ASv; a value that has none (a hash, a code reference, a foreign object)
// raises EScriptError.
plat::Variant ToVariant(pTHX_ SV* ASv);
// The host object a Velmora::Object stands for (borrowed), or null.
plat::IDispatch* ObjectOf(pTHX_ SV* ASv);

// `$obj->Name(args)` as a host object answers it: a property read without arguments, else a call;
// the arguments are ST(AFirst).. of the calling XSUB, and those that are variables are written back
// when the host changed them. False (nothing done) when the object has no such member.
bool CallHostMember(pTHX_ plat::IDispatch* AObj, const plat::UString& AName, SV** AArgs, int ACount, SV*& AResult);

// After a call of Perl code with AArg bound to ASv: a by-reference argument whose variable the code
// changed receives the new value.
void WriteBack(pTHX_ SV* ASv, plat::VarData& AArg);

// The text of a Perl string value.
plat::UString TextOf(pTHX_ SV* ASv);
// A new mortal SV holding AText.
SV* MortalText(pTHX_ const plat::UString& AText);

// Runs ABody inside an XSUB; a platform exception becomes a Perl die with its message (at the
// script's position when the message has none). ABody must not die itself.
template <class F>
void Guarded(pTHX_ F&& ABody) {
    SV* error = nullptr;
    {
        std::unique_ptr<plat::Exception> e = plat::CatchAll(ABody);
        if (!e) return;
        error = MortalText(aTHX_ e->Message());
    }
    croak_sv(error);  // nothing with a destructor is alive in this frame now
}

}  // namespace xan::as::perl
