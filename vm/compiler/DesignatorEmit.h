#pragma once
// The bytecode of a designator (a name followed by member and argument-list steps), the same in
// every dialect: each item is a direct local access or a call with its descriptor, the calls'
// result slots are pushed first, then each item's arguments and instruction in turn. What the
// dialects do differently comes in as parameters: the jump targets a call may resolve to, the
// item that constructs an object (New), the value an assignment stores.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "vm/bytecode/ByteCode.h"
#include "vm/compiler/CodeGenSupport.h"

namespace xan {

class TXANAbstractNamespace;

// What a designator is emitted for: its value, a reference to it, or a store into it.
enum class TXANDesignatorUse : std::uint8_t { Value, Ref, Assign };

// The instruction and operand of one item, and whether the item needs a result slot.
struct TXANItemCode {
    TXANInstrCode Code;
    std::uintptr_t Data;
    bool NeedsResultSlot;
    TXANCall* Call = nullptr;  // the item's call, unless the item is a direct access
};

// Where a call goes when its name turns out at run time to be Exit, Break or Continue; none in
// a dialect where those are statements.
struct TXANCallJumps {
    TXANLabel* Exit = nullptr;
    TXANLabel* Break = nullptr;
    TXANLabel* Continue = nullptr;
};

// What the code of one item depends on.
struct TXANItemShape {
    std::int32_t Name;
    const plat::UString& StrName;  // empty for an unnamed item
    TXANBracketType BracketType;
    std::size_t ArgCount;
    bool IsResultUsed;
};

template <class TItem>
TXANItemShape XANItemShape(const TItem& AItem) {
    return {static_cast<std::int32_t>(AItem.FName), AItem.FStrName, AItem.FBracketType, AItem.FArgs.size(),
            AItem.FIsResultUsed};
}

// The use of one item within a designator used as AWhole: the last item has the designator's
// use. An inner item yields the next object; where the next item indexes it (is unnamed) and the
// whole is stored into or passed by reference (a(1)(2) = v), it yields a reference, so that the
// store reaches the inner array where it stands rather than a copy.
TXANDesignatorUse XANItemUse(TXANDesignatorUse AWhole, bool ALast, bool ANextIndexes);

// The code of item AIndex: a first item written without brackets or arguments that ANamespace
// finds as a local variable, a parameter, the result or a computed constant is accessed
// directly; everything else is a call resolved at run time.
TXANItemCode XANItemCode(TXANByteCode& ACode, TXANAbstractNamespace* ANamespace, const TXANItemShape& AItem,
                         std::size_t AIndex, TXANDesignatorUse AUse, const TXANCallJumps& AJumps);

// The construction step of New: an unnamed call that makes the object.
TXANItemCode XANNewItemCode(TXANByteCode& ACode, const TXANItemShape& AItem);

// Each call's result slot lies just below its object, so one call's result is the next object:
// all the slots are pushed before the first item.
void XANEmitResultSlots(TXANByteCode& ACode, const std::vector<TXANItemCode>& ACodes);

// Emits the designator of AItems for AUse in the context C (its Code and CurNamespace). AValue
// is the assigned value, emitted after the last item's arguments (Assign only); ANewItem, when
// given, is the item that constructs an object. An argument that is a designator goes by
// reference, any other by value.
template <class TContext, class TItem, class TValue>
void XANEmitDesignator(TContext& C, const std::vector<std::unique_ptr<TItem>>& AItems, TXANDesignatorUse AUse,
                       const TXANCallJumps& AJumps, TValue* AValue, const TItem* ANewItem = nullptr) {
    std::vector<TXANItemCode> codes;
    codes.reserve(AItems.size());
    for (std::size_t i = 0; i < AItems.size(); ++i) {
        const TXANItemShape shape = XANItemShape(*AItems[i]);
        const bool last = i + 1 == AItems.size();
        if (AItems[i].get() == ANewItem)
            codes.push_back(XANNewItemCode(*C.Code, shape));
        else
            codes.push_back(XANItemCode(*C.Code, C.CurNamespace, shape, i,
                                        XANItemUse(AUse, last, !last && !AItems[i + 1]->IsNamed()), AJumps));
    }
    XANEmitResultSlots(*C.Code, codes);
    for (std::size_t i = 0; i < AItems.size(); ++i) {
        bool mayBeRef = false;
        for (const auto& arg : AItems[i]->FArgs) mayBeRef |= arg->EmitRefByteCode(C);
        if (codes[i].Call) codes[i].Call->FArgsByValue = !mayBeRef;
        if (AValue && i + 1 == AItems.size()) AValue->EmitByteCode(C, erStack);
        C.Code->Emit(codes[i].Code, codes[i].Data);
    }
}

}  // namespace xan
