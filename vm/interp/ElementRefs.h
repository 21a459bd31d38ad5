#pragma once
// TXANElementRefs: array elements passed where a reference is expected, for one activation.
//
// An element has no address a caller could hand out safely: the array may be resized, erased
// or copied on write while the callee runs. So the element's value is copied into a cell, the
// argument refers to the cell, and when the call that received it returns, a changed cell is
// stored back into the element (found again by the variable and the indices). A by-value
// parameter copies the value on entry and never changes the cell, so nothing is written back
// and whatever the callee stored into the array itself stays.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ole/Variant.h"
#include "vm/interp/HostDispatch.h"

namespace xan {

class TXANElementRefs {
public:
    TXANElementRefs() = default;
    TXANElementRefs(const TXANElementRefs&) = delete;
    TXANElementRefs& operator=(const TXANElementRefs&) = delete;
    ~TXANElementRefs();

    // A cell holding AElement (a copy) for element AIndices of the array in the variable
    // AArrayVar; ASlot is the operand slot that will hold the reference to the cell.
    plat::Variant* Add(plat::Variant* AArrayVar, const TXANArrayIndices& AIndices, const plat::Variant& AElement,
                       const plat::Variant* ASlot);
    // The call that took the operand slots [AFrom, ATo) has returned: the cells referred to from
    // there are written back when changed, and dropped.
    void Complete(const plat::Variant* AFrom, const plat::Variant* ATo);
    // The reference in ASlot is consumed by a store rather than a call: when it refers to a
    // cell, AValue goes into the element at once and the cell is dropped. Answers whether it did.
    bool StoreThrough(const plat::Variant* ASlot, const plat::Variant& AValue);
    // Whether the reference in ASlot refers to a cell.
    bool Holds(const plat::Variant* ASlot) const noexcept;
    // The operand stack was emptied by an exception: what callees changed before it is kept
    // (as it would be through a variable's reference), then every cell goes. A write-back that
    // fails is dropped: the exception in flight is the one to report.
    void Abandon() noexcept;
    bool Empty() const noexcept { return FCells.empty(); }

private:
    struct TCell {
        plat::Variant Value;     // what the callee reads and writes through its reference
        plat::Variant Original;  // the element as it was, to tell whether the callee changed it
        plat::Variant* ArrayVar;
        TXANArrayIndices Indices;
        const plat::Variant* Slot;  // null once no operand slot refers to the cell
        bool Changed() const noexcept;
    };
    // Whether another cell stands for an element of the array in ACell.
    bool HasInner(const TCell& ACell) const noexcept;
    // The cells no slot refers to any more and no other cell writes into, inner ones first.
    std::vector<std::unique_ptr<TCell>> TakeReleased();
    std::vector<std::unique_ptr<TCell>> FCells;
};

}  // namespace xan
