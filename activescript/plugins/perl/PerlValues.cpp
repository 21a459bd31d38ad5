#include "activescript/plugins/perl/PerlValues.h"

#include <dlfcn.h>

#include <clocale>
#include <mutex>
#include <string>
#include <vector>

#include "activescript/HostObjects.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/OleError.h"

extern "C" void boot_DynaLoader(pTHX_ CV* cv);

namespace xan::as::perl {

using plat::UString;
using plat::Variant;

namespace {

constexpr const char* KObjectClass = "Velmora::Object";
constexpr const char* KTieClass = "Velmora::Object::Tie";
constexpr const char* KDateClass = "Velmora::Date";
constexpr const char* KNullClass = "Velmora::Null";
// Arrays nested deeper than this (a cycle, most likely) are refused.
constexpr int KMaxDepth = 64;

// The Perl side of the value types; the XSUBs below do the work. Nothing here dies on its own,
// so every error a script sees comes from an XSUB and names the script's own line.
constexpr const char* KPrelude = R"(
package Velmora::Object;
use overload '@{}' => sub { tie my @items, 'Velmora::Items', tied(%{$_[0]}); \@items },
             '&{}' => sub { my $tie = tied(%{$_[0]}); sub { Velmora::Items::_call($tie, @_) } },
             'bool' => sub { 1 }, fallback => 1;
sub DESTROY {}
package Velmora::Object::Tie;
sub FIRSTKEY { undef }
sub NEXTKEY { undef }
package Velmora::Items;
sub TIEARRAY { my ($class, $tie) = @_; bless \$tie, $class }
sub FETCHSIZE { 0 }
package Velmora::Date;
sub _cmp { my ($a, $b, $swapped) = @_; my $r = $$a <=> (ref $b ? $$b : $b); $swapped ? -$r : $r }
use overload '""' => sub { Velmora::Date::_text(${$_[0]}) }, '0+' => sub { ${$_[0]} },
             '<=>' => \&_cmp, 'bool' => sub { 1 }, fallback => 1;
package Velmora::Null;
use overload '""' => sub { 'Null' }, 'bool' => sub { '' }, fallback => 1;
package Velmora;
BEGIN { *CORE::GLOBAL::exit = \&Velmora::_exit }  # assigned from another package: an override
our $Null = bless \(my $null = 0), 'Velmora::Null';
our @GlobalMembers;
package main;
sub Null () { $Velmora::Null }
# The host writes to the same standard output: what the script prints goes out at once, in order.
$| = 1;
1;
)";

void XsInit(pTHX) { newXS("DynaLoader::boot_DynaLoader", boot_DynaLoader, __FILE__); }

// Extension modules that scripts load resolve the interpreter's symbols globally, and the
// interpreter's process-wide state is made once.
void StartPerl() {
    static std::once_flag once;
    std::call_once(once, [] {
        Dl_info info{};
        if (::dladdr(reinterpret_cast<void*>(&perl_alloc), &info) && info.dli_fname)
            ::dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_GLOBAL);
        static char arg0[] = "velmora";
        static char* argvStore[] = {arg0, nullptr};
        int argc = 1;
        char** argv = argvStore;
        char** env = environ;
        PERL_SYS_INIT3(&argc, &argv, &env);
    });
}

UString ClassOf(pTHX_ SV* ASv) { return UString::FromUtf8(sv_reftype(SvRV(ASv), 1)); }

// The host object behind a tie object (a reference to the blessed address); null once released.
IDispatch* DispatchOfTie(pTHX_ SV* ATie) {
    if (!ATie || !SvROK(ATie) || !sv_derived_from(ATie, KTieClass)) return nullptr;
    return INT2PTR(IDispatch*, SvIV(SvRV(ATie)));
}

SV* NewProxy(pTHX_ IDispatch* AObj) {
    AObj->AddRef();  // released by the tie object's DESTROY
    SV* tie = newSV(0);
    sv_setref_pv(tie, KTieClass, AObj);
    HV* hash = newHV();
    sv_magic(reinterpret_cast<SV*>(hash), tie, PERL_MAGIC_tied, nullptr, 0);
    SvREFCNT_dec(tie);
    return sv_bless(newRV_noinc(reinterpret_cast<SV*>(hash)), gv_stashpv(KObjectClass, GV_ADD));
}

SV* NewArray(pTHX_ const VarData& AArray) {
    const std::vector<Variant> items = ArrayElements(AArray);
    AV* array = newAV();
    SV* ref = newRV_noinc(reinterpret_cast<SV*>(array));
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        av_extend(array, static_cast<SSize_t>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i)
            av_store(array, static_cast<SSize_t>(i), NewSVFromVariant(aTHX_ items[i]));
    });
    if (e) {
        SvREFCNT_dec(ref);
        plat::Raise(e.release());
    }
    return ref;
}

Variant ArrayToVariant(pTHX_ AV* AArray, int ADepth);

Variant ToVariantAt(pTHX_ SV* ASv, int ADepth) {
    if (!ASv) return Variant();
    if (SvGMAGICAL(ASv)) ASv = sv_mortalcopy(ASv);
    if (SvIsBOOL(ASv)) return Variant(SvTRUE_nomg(ASv));
    if (SvROK(ASv)) {
        SV* target = SvRV(ASv);
        if (sv_isobject(ASv)) {
            if (IDispatch* obj = ObjectOf(aTHX_ ASv)) return Variant(obj);
            if (sv_derived_from(ASv, KDateClass)) return Variant::FromDate(SvNV(target));
            if (sv_derived_from(ASv, KNullClass)) return Variant::Null();
            plat::Throw<EScriptError>(UString(u"A Perl object of class ") + ClassOf(aTHX_ ASv) +
                                      std::u16string_view(u" cannot be passed to the host"));
        }
        if (SvTYPE(target) == SVt_PVAV) return ArrayToVariant(aTHX_ reinterpret_cast<AV*>(target), ADepth + 1);
        plat::Throw<EScriptError>(UString(u"A Perl ") + ClassOf(aTHX_ ASv) +
                                  std::u16string_view(u" reference cannot be passed to the host"));
    }
    if (!SvOK(ASv)) return Variant();
    if (SvPOK(ASv)) return Variant(TextOf(aTHX_ ASv));
    if (SvIOK(ASv)) {
        if (SvIsUV(ASv)) {
            const UV u = SvUV(ASv);
            if (u <= static_cast<UV>(INT64_MAX)) return Variant(static_cast<std::int64_t>(u));
            return Variant(static_cast<std::uint64_t>(u));
        }
        const IV i = SvIV(ASv);
        if (i >= INT32_MIN && i <= INT32_MAX) return Variant(static_cast<std::int32_t>(i));
        return Variant(static_cast<std::int64_t>(i));
    }
    if (SvNOK(ASv)) return Variant(static_cast<double>(SvNV(ASv)));
    return Variant(TextOf(aTHX_ ASv));  // a glob, say: its name
}

Variant ArrayToVariant(pTHX_ AV* AArray, int ADepth) {
    if (ADepth > KMaxDepth) plat::Throw<EScriptError>(UString(u"A Perl array nested too deeply (or containing itself) cannot be passed to the host"));
    const SSize_t count = av_top_index(AArray) + 1;
    std::vector<Variant> items(static_cast<std::size_t>(count));
    for (SSize_t i = 0; i < count; ++i) {
        SV** element = av_fetch(AArray, i, 0);
        items[static_cast<std::size_t>(i)] = ToVariantAt(aTHX_ element ? *element : nullptr, ADepth);
    }
    return MakeVariantArray(items);
}

// A variable (not a constant, a temporary or a reference) that a host method may change.
bool IsWritableScalar(pTHX_ SV* ASv) { return !SvREADONLY(ASv) && !SvTEMP(ASv) && !SvROK(ASv) && !SvMAGICAL(ASv); }

bool IsNumber(plat::VarType AType) {
    switch (AType) {
        case plat::varSmallint: case plat::varInteger: case plat::varSingle: case plat::varDouble:
        case plat::varCurrency: case plat::varShortInt: case plat::varByte: case plat::varWord:
        case plat::varLongWord: case plat::varInt64: case plat::varUInt64: return true;
        default: return false;
    }
}

// Whether a by-reference argument came back different: numbers by value (Perl has fewer kinds of
// them), arrays element by element, objects by identity (a round trip through Perl makes new
// arrays and proxies of the same things).
bool Changed(const Variant& ABefore, const Variant& AAfter) {
    if (ABefore.VType != AAfter.VType)
        return !IsNumber(ABefore.VType) || !IsNumber(AAfter.VType) ||
               plat::VarCompare(ABefore, AAfter) != plat::VarOrder::Equal;
    if (ABefore.VType & plat::varArray) {
        const std::vector<Variant> before = ArrayElements(ABefore), after = ArrayElements(AAfter);
        if (before.size() != after.size()) return true;
        for (std::size_t i = 0; i < before.size(); ++i)
            if (Changed(before[i], after[i])) return true;
        return false;
    }
    switch (ABefore.VType) {
        case plat::varEmpty: case plat::varNull: return false;
        case plat::varDispatch: return !plat::SameObject(ABefore.VDispatch, AAfter.VDispatch);
        case plat::varUnknown: return !plat::SameObject(ABefore.VUnknown, AAfter.VUnknown);
        default: return plat::VarCompare(ABefore, AAfter) != plat::VarOrder::Equal;
    }
}

// The arguments of a host call; those that are variables go by reference and are written back.
class THostArguments {
public:
    THostArguments(pTHX_ SV** AArgs, int ACount) : FArgs(AArgs, AArgs + ACount) {
        FValues.reserve(FArgs.size());
        for (SV* sv : FArgs) FValues.push_back(ToVariant(aTHX_ sv));
        FBefore = FValues;
        for (std::size_t i = 0; i < FArgs.size(); ++i)
            FPassed.push_back(IsWritableScalar(aTHX_ FArgs[i]) ? Variant::RefTo(&FValues[i]) : FValues[i]);
    }
    std::span<Variant> Passed() { return FPassed; }
    void WriteBack(pTHX) {
        for (std::size_t i = 0; i < FArgs.size(); ++i) {
            if (FPassed[i].VType != plat::varRefVariant || !Changed(FBefore[i], FValues[i])) continue;
            SV* value = sv_2mortal(NewSVFromVariant(aTHX_ FValues[i]));
            sv_setsv_mg(FArgs[i], value);
        }
    }

private:
    std::vector<SV*> FArgs;  // copied: a call into the host may move the Perl stack
    std::vector<Variant> FValues, FBefore, FPassed;
};

[[noreturn]] void NoSuchMember(const UString& AName) {
    plat::Throw<EScriptError>(UString(u"Object doesn't support this property or method: '") + AName +
                              std::u16string_view(u"'"));
}

IDispatch* RequireObject(pTHX_ SV* ATie) {
    IDispatch* obj = DispatchOfTie(aTHX_ ATie);
    if (!obj) plat::Throw<EScriptError>(UString(u"Not a host object"));
    return obj;
}

// The name an XSUB AUTOLOAD was called for (without the package).
UString AutoloadName(pTHX_ CV* ACv) {
    const std::string_view raw(SvPVX(reinterpret_cast<SV*>(ACv)), SvCUR(reinterpret_cast<SV*>(ACv)));
    return SvUTF8(reinterpret_cast<SV*>(ACv)) ? UString::FromUtf8(raw) : UString::FromLatin1(raw);
}

// $obj->Name(args): ST(0) is the object.
void XsObjectAutoload(pTHX_ CV* cv) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        const UString name = AutoloadName(aTHX_ cv);
        IDispatch* obj = items > 0 ? ObjectOf(aTHX_ ST(0)) : nullptr;
        if (!obj) plat::Throw<EScriptError>(UString(u"Can't call method \"") + name + std::u16string_view(u"\" without a host object"));
        SV* result = nullptr;
        if (!CallHostMember(aTHX_ obj, name, &ST(1), items - 1, result)) NoSuchMember(name);
        ST(0) = result;
    });
    XSRETURN(1);
}

// A call of a function the script does not define: a member of an object published with its
// members, in the order they were added.
void XsMainAutoload(pTHX_ CV* cv) {
    dXSARGS;
    bool found = false;
    Guarded(aTHX_ [&] {
        const UString name = AutoloadName(aTHX_ cv);
        if (name == u"DESTROY") return;
        AV* members = get_av("Velmora::GlobalMembers", GV_ADD);
        for (SSize_t i = 0; i <= av_top_index(members) && !found; ++i) {
            SV** member = av_fetch(members, i, 0);
            IDispatch* obj = member ? ObjectOf(aTHX_ *member) : nullptr;
            SV* result = nullptr;
            if (obj && CallHostMember(aTHX_ obj, name, &ST(0), items, result)) {
                ST(0) = result;
                found = true;
            }
        }
        if (!found) plat::Throw<EScriptError>(UString(u"Undefined subroutine &main::") + name + std::u16string_view(u" called"));
    });
    if (found) XSRETURN(1);
    XSRETURN_EMPTY;
}

// Velmora::Object::Tie: FETCH(tie, name), STORE(tie, name, value), EXISTS(tie, name), DESTROY(tie).
void XsTieFetch(pTHX_ CV*) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        if (items < 2) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        const UString name = TextOf(aTHX_ ST(1));
        SV* result = nullptr;
        if (!CallHostMember(aTHX_ RequireObject(aTHX_ ST(0)), name, nullptr, 0, result)) NoSuchMember(name);
        ST(0) = result;
    });
    XSRETURN(1);
}

void XsTieStore(pTHX_ CV*) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        if (items < 3) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        IDispatch* obj = RequireObject(aTHX_ ST(0));
        const UString name = TextOf(aTHX_ ST(1));
        const DISPID id = HostMemberId(obj, name);
        if (id == plat::DISPID_UNKNOWN) NoSuchMember(name);
        HostPut(obj, id, {}, ToVariant(aTHX_ ST(2)));
    });
    XSRETURN_EMPTY;
}

void XsTieExists(pTHX_ CV*) {
    dXSARGS;
    bool exists = false;
    Guarded(aTHX_ [&] {
        if (items < 2) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        exists = HostMemberId(RequireObject(aTHX_ ST(0)), TextOf(aTHX_ ST(1))) != plat::DISPID_UNKNOWN;
    });
    ST(0) = boolSV(exists);
    XSRETURN(1);
}

void XsTieDestroy(pTHX_ CV*) {
    dXSARGS;
    if (items > 0 && SvROK(ST(0))) {
        SV* holder = SvRV(ST(0));
        if (auto* obj = INT2PTR(IDispatch*, SvIV(holder))) {
            sv_setiv(holder, 0);
            obj->Release();
        }
    }
    XSRETURN_EMPTY;
}

// Velmora::Items: FETCH(items, index), STORE(items, index, value) on the default member.
IDispatch* ObjectOfItems(pTHX_ SV* AItems) {
    return SvROK(AItems) ? RequireObject(aTHX_ SvRV(AItems)) : RequireObject(aTHX_ nullptr);
}

void XsItemsFetch(pTHX_ CV*) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        if (items < 2) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        IDispatch* obj = ObjectOfItems(aTHX_ ST(0));
        std::vector<Variant> args{ToVariant(aTHX_ ST(1))};
        ST(0) = sv_2mortal(NewSVFromVariant(aTHX_ HostCall(obj, plat::DISPID_VALUE, args)));
    });
    XSRETURN(1);
}

void XsItemsStore(pTHX_ CV*) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        if (items < 3) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        IDispatch* obj = ObjectOfItems(aTHX_ ST(0));
        std::vector<Variant> args{ToVariant(aTHX_ ST(1))};
        HostPut(obj, plat::DISPID_VALUE, args, ToVariant(aTHX_ ST(2)));
    });
    XSRETURN_EMPTY;
}

// $obj->(args): Velmora::Items::_call(tie, args) calls the default member.
void XsItemsCall(pTHX_ CV*) {
    dXSARGS;
    Guarded(aTHX_ [&] {
        if (items < 1) plat::Throw<EScriptError>(UString(u"Wrong number of arguments"));
        IDispatch* obj = RequireObject(aTHX_ ST(0));
        THostArguments args(aTHX_ &ST(1), items - 1);
        SV* result = sv_2mortal(NewSVFromVariant(aTHX_ HostCall(obj, plat::DISPID_VALUE, args.Passed())));
        args.WriteBack(aTHX);
        ST(0) = result;
    });
    XSRETURN(1);
}

void XsDateText(pTHX_ CV*) {
    dXSARGS;
    const double date = items > 0 ? SvNV(ST(0)) : 0.0;
    Guarded(aTHX_ [&] { ST(0) = MortalText(aTHX_ plat::VarToUString(Variant::FromDate(date))); });
    XSRETURN(1);
}

// `exit` would end the host's process: in a script it is an error that stops the script.
void XsExit(pTHX_ CV*) {
    dXSARGS;
    const IV status = items > 0 ? SvIV(ST(0)) : 0;
    croak("exit(%" IVdf ") called", status);
}

void InstallValueTypes(pTHX) {
    newXS("Velmora::_exit", XsExit, __FILE__);
    newXS("Velmora::Object::AUTOLOAD", XsObjectAutoload, __FILE__);
    newXS("main::AUTOLOAD", XsMainAutoload, __FILE__);
    newXS("Velmora::Object::Tie::FETCH", XsTieFetch, __FILE__);
    newXS("Velmora::Object::Tie::STORE", XsTieStore, __FILE__);
    newXS("Velmora::Object::Tie::EXISTS", XsTieExists, __FILE__);
    newXS("Velmora::Object::Tie::DESTROY", XsTieDestroy, __FILE__);
    newXS("Velmora::Items::FETCH", XsItemsFetch, __FILE__);
    newXS("Velmora::Items::STORE", XsItemsStore, __FILE__);
    newXS("Velmora::Items::_call", XsItemsCall, __FILE__);
    newXS("Velmora::Date::_text", XsDateText, __FILE__);
    eval_pv(KPrelude, FALSE);
    if (SvTRUE(ERRSV))
        plat::Throw<EScriptError>(UString(u"The Perl interpreter could not be prepared: ") + TextOf(aTHX_ ERRSV));
}

}  // namespace

TPerlContext::TPerlContext(PerlInterpreter* AInterp)
    : FInterp(AInterp), FPrevious(static_cast<PerlInterpreter*>(PERL_GET_CONTEXT)) {
    PERL_SET_CONTEXT(FInterp);
}

TPerlContext::~TPerlContext() { PERL_SET_CONTEXT(FPrevious); }

TPerlScope::TPerlScope(PerlInterpreter* AInterp) : my_perl(AInterp) {
    ENTER;
    SAVETMPS;
}

TPerlScope::~TPerlScope() {
    FREETMPS;
    LEAVE;
}

TPerlInterpreter::TPerlInterpreter() {
    StartPerl();
    auto* previous = static_cast<PerlInterpreter*>(PERL_GET_CONTEXT);
    FInterp = perl_alloc();
    PERL_SET_CONTEXT(previous);  // perl_alloc makes the new interpreter current
    if (!FInterp) plat::Throw<EScriptError>(UString(u"Not enough memory for the Perl interpreter"));
    TPerlContext context(FInterp);
    dTHXa(FInterp);
    // The interpreter sets the process's locale from the environment; the host keeps its own.
    // It must start from the "C" locale: constructed while other code (the Python engine) has
    // left a UTF-8 character locale in place, its compiler later aborts with "Out of memory!"
    // on scripts compiled for the debugger.
    const std::string locale = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "C");
    perl_construct(FInterp);
    PL_exit_flags |= PERL_EXIT_DESTRUCT_END;
    static char arg0[] = "", arg1[] = "-e", arg2[] = "0";
    static char* args[] = {arg0, arg1, arg2, nullptr};
    const int parsed = perl_parse(FInterp, XsInit, 3, args, nullptr);
    PL_origalen = 1;  // an assignment to $0 must not write over these shared arguments
    if (parsed == 0) perl_run(FInterp);
    std::setlocale(LC_ALL, locale.c_str());
    std::unique_ptr<plat::Exception> e = plat::CatchAll([&] {
        if (parsed != 0) plat::Throw<EScriptError>(UString(u"The Perl interpreter could not be started"));
        InstallValueTypes(aTHX);
    });
    if (e) {
        Free();
        plat::Raise(e.release());
    }
}

TPerlInterpreter::~TPerlInterpreter() { Free(); }

void TPerlInterpreter::Free() noexcept {
    if (!FInterp) return;
    auto* previous = static_cast<PerlInterpreter*>(PERL_GET_CONTEXT);
    PERL_SET_CONTEXT(FInterp);
    dTHXa(FInterp);
    PL_perl_destruct_level = 1;  // everything: more interpreters follow in this process
    perl_destruct(FInterp);
    perl_free(FInterp);
    PERL_SET_CONTEXT(previous == FInterp ? nullptr : previous);
    FInterp = nullptr;
}

UString TextOf(pTHX_ SV* ASv) {
    STRLEN len = 0;
    const char* s = SvPV(ASv, len);
    const std::string_view text(s, len);
    return SvUTF8(ASv) ? UString::FromUtf8(text) : UString::FromLatin1(text);
}

SV* MortalText(pTHX_ const UString& AText) {
    const std::string utf8 = AText.ToUtf8();
    return newSVpvn_flags(utf8.data(), utf8.size(), SVf_UTF8 | SVs_TEMP);
}

IDispatch* ObjectOf(pTHX_ SV* ASv) {
    if (!ASv || !SvROK(ASv) || !sv_isobject(ASv) || !sv_derived_from(ASv, KObjectClass)) return nullptr;
    MAGIC* tied = mg_find(SvRV(ASv), PERL_MAGIC_tied);
    return tied ? DispatchOfTie(aTHX_ tied->mg_obj) : nullptr;
}

SV* NewSVFromVariant(pTHX_ const plat::VarData& AValue) {
    const plat::VarData v = plat::VarDerefAll(AValue);
    if (v.VType & plat::varArray) return NewArray(aTHX_ v);
    switch (v.VType) {
        case plat::varEmpty: return newSV(0);
        case plat::varNull: return newSVsv(get_sv("Velmora::Null", GV_ADD));
        case plat::varBoolean: return newSVsv(boolSV(v.VBoolean != 0));
        case plat::varSmallint: case plat::varInteger: case plat::varShortInt: case plat::varByte:
        case plat::varWord: case plat::varLongWord: case plat::varInt64:
            return newSViv(static_cast<IV>(plat::VarToInt64(v)));
        case plat::varError: return newSViv(v.VError);
        case plat::varUInt64: return newSVuv(static_cast<UV>(v.VUInt64));
        case plat::varDate: return sv_setref_nv(newSV(0), KDateClass, v.VDate);
        case plat::varOleStr: case plat::varString: {
            const std::string utf8 = UString(v.StrView()).ToUtf8();
            return newSVpvn_flags(utf8.data(), utf8.size(), SVf_UTF8);
        }
        case plat::varDispatch: case plat::varUnknown: {
            plat::ComPtr<IDispatch> d = plat::ComPtr<IDispatch>::Attach(plat::VarToDispatch(v));
            return d ? NewProxy(aTHX_ d.Get()) : newSV(0);
        }
        default: return newSVnv(plat::VarToDouble(v));
    }
}

Variant ToVariant(pTHX_ SV* ASv) { return ToVariantAt(aTHX_ ASv, 0); }

void WriteBack(pTHX_ SV* ASv, plat::VarData& AArg) {
    if (AArg.VType != plat::varRefVariant) return;
    Variant& target = static_cast<Variant*>(AArg.VPointer)->DerefMut();
    Variant after = ToVariant(aTHX_ ASv);
    if (Changed(target, after)) target = std::move(after);
}

bool CallHostMember(pTHX_ IDispatch* AObj, const UString& AName, SV** AArgs, int ACount, SV*& AResult) {
    const DISPID id = HostMemberId(AObj, AName);
    if (id == plat::DISPID_UNKNOWN) return false;
    THostArguments args(aTHX_ AArgs, ACount);
    Variant value;
    if (ACount > 0 || !TryHostGet(AObj, id, {}, value)) value = HostCall(AObj, id, args.Passed());
    AResult = sv_2mortal(NewSVFromVariant(aTHX_ value));
    args.WriteBack(aTHX);
    return true;
}

}  // namespace xan::as::perl
