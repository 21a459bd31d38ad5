#include "vm/interp/ElementRefs.h"

#include <algorithm>
#include <cstring>

namespace xan {

using plat::Variant;

TXANElementRefs::~TXANElementRefs() = default;

// A bit-for-bit difference is a change: a callee that assigned an equal value writes back
// the same value, which does no harm.
bool TXANElementRefs::TCell::Changed() const noexcept {
    return std::memcmp(static_cast<const plat::VarData*>(&Value), static_cast<const plat::VarData*>(&Original),
                       sizeof(plat::VarData)) != 0;
}

Variant* TXANElementRefs::Add(Variant* AArrayVar, const TXANArrayIndices& AIndices, const Variant& AElement,
                              const Variant* ASlot) {
    auto cell = std::make_unique<TCell>(TCell{Variant(AElement), Variant(AElement), AArrayVar, AIndices, ASlot});
    FCells.push_back(std::move(cell));
    return &FCells.back()->Value;
}

bool TXANElementRefs::HasInner(const TCell& ACell) const noexcept {
    return std::any_of(FCells.begin(), FCells.end(), [&](const auto& c) { return c && c->ArrayVar == &ACell.Value; });
}

std::vector<std::unique_ptr<TXANElementRefs::TCell>> TXANElementRefs::TakeReleased() {
    // An element of an element (a(1)(2)) has a cell inside the outer element's cell: the inner
    // one is written back first, and the outer one stays, even released, until it has.
    std::vector<std::unique_ptr<TCell>> done;
    for (std::size_t taken = 1; taken > 0;) {
        taken = 0;
        for (auto& c : FCells) {
            if (c && !c->Slot && !HasInner(*c)) {
                done.push_back(std::move(c));
                ++taken;
            }
        }
    }
    std::erase_if(FCells, [](const std::unique_ptr<TCell>& c) { return !c; });
    return done;
}

void TXANElementRefs::Complete(const Variant* AFrom, const Variant* ATo) {
    // Cells are written back in the order they were made (the arguments' order) and all are
    // dropped before a failing write-back raises its error.
    for (auto& c : FCells)
        if (c->Slot >= AFrom && c->Slot < ATo) c->Slot = nullptr;
    const std::vector<std::unique_ptr<TCell>> done = TakeReleased();
    for (const auto& c : done)
        if (c->Changed()) XANPutElement(*c->ArrayVar, c->Indices, c->Value);
}

void TXANElementRefs::Abandon() noexcept {
    for (auto& c : FCells) c->Slot = nullptr;
    const std::vector<std::unique_ptr<TCell>> cells = TakeReleased();
    for (const auto& c : cells) {
        if (!c->Changed()) continue;
        try {
            XANPutElement(*c->ArrayVar, c->Indices, c->Value);
        } catch (...) {  // dropped in favour of the exception in flight
        }
    }
}

bool TXANElementRefs::StoreThrough(const Variant* ASlot, const Variant& AValue) {
    auto it = std::find_if(FCells.begin(), FCells.end(), [&](const auto& c) { return c->Slot == ASlot; });
    if (it == FCells.end()) return false;
    std::unique_ptr<TCell> cell = std::move(*it);
    FCells.erase(it);
    XANPutElement(*cell->ArrayVar, cell->Indices, AValue);
    return true;
}

bool TXANElementRefs::Holds(const Variant* ASlot) const noexcept {
    return std::any_of(FCells.begin(), FCells.end(), [&](const auto& c) { return c->Slot == ASlot; });
}

}  // namespace xan
