#pragma once
// One member of a wrapper's member table: its name, what performs it (the invoke procedure),
// the variant type of its value, its attributes and the dispatch kinds it accepts.
#include <cstdint>
#include <functional>

#include "platform/core/Method.h"
#include "platform/core/Object.h"
#include "platform/ole/Variant.h"

namespace xan {

enum TXANInvokeItemAttr : std::uint8_t {
    iiaHidden = 1,        // not found by name through the object (protected members)
    iiaOptParams = 2,     // more arguments than ParamCount are accepted
    iiaNoResult = 4,      // a procedure
    iiaMetaMember = 8,    // class-level: also reachable on the type object
    iiaConstructor = 16,  // a class constructor
    iiaDefaultProp = 32,  // the default member (dispatch id 0)
};
using TXANInvokeItemAttrs = std::uint8_t;

// A call carries at most this many arguments; more are refused with DISP_E_BADPARAMCOUNT.
inline constexpr int XANMaxWrapperArgs = 64;

// Performs a member. AObj is what the member acts on: the host object (TObject*), its class
// (TClass) for class-level members, the record wrapper holding a record value, the unit
// wrapper, or none (class-level record members). AArgs are the arguments in source order,
// borrowed from the caller (a by-reference argument lets the procedure write through it);
// AIsGet is False for a property write, whose value is the last argument.
using TXANInvokeProc =
    std::function<plat::Variant(void* AObj, const plat::VarData* AArgs, int AArgsSize, bool AIsGet)>;

// Answers the variant type of a member's value (type information, put or put-by-reference).
using TXANDebugTypeFunc = plat::Event<plat::Word()>;

// Debug-type methods that always answer one variant type, one per type, cached for the process.
class TVarDebugType : public plat::TObject {
    XAN_CLASS(TVarDebugType, plat::TObject)
    explicit TVarDebugType(plat::Word AVarType) noexcept : FVarType(AVarType) {}
    plat::Word Answer() { return FVarType; }
    static TXANDebugTypeFunc Get(plat::Word AVarType);

    plat::Word FVarType;
};

// Accepted dispatch kinds of an item.
inline constexpr std::uint32_t XANInvokeMethod = 1;
inline constexpr std::uint32_t XANInvokeGet = 2;
inline constexpr std::uint32_t XANInvokePut = 4;
inline constexpr std::uint32_t XANInvokePutRef = 8;

class TXANInvokeItem : public plat::TObject {
    XAN_CLASS(TXANInvokeItem, plat::TObject)
    plat::Integer Index = 0;  // dispatch id: the position in the owning table
    plat::UString UppName;    // empty for the default-member slot
    plat::UString Name;
    TXANInvokeProc InvokeProc;
    TXANDebugTypeFunc DebugType;
    TXANInvokeItemAttrs Attrs = 0;
    plat::Integer ParamCount = 0;
    plat::Integer MinParamCount = 2147483647;
    std::uint32_t InvokeFlags = 0;
    std::uint32_t ResMask = 0xFFFFFFFFu;

    // Copies every field except Index.
    void Assign(const TXANInvokeItem& AItem);
    bool Has(TXANInvokeItemAttr AAttr) const noexcept { return (Attrs & AAttr) != 0; }
    // The variant type of the member's value; 0 without a debug type.
    plat::Word VarType() const { return DebugType ? DebugType() : plat::Word(0); }
    // Whether AArgCount arguments satisfy the declared count.
    bool AcceptsArgCount(plat::Integer AArgCount) const noexcept {
        return AArgCount == ParamCount || AArgCount >= MinParamCount;
    }
};

}  // namespace xan
