#include "platform/rtl/StringList.h"

#include <utility>

#include "platform/rtl/CaseCompare.h"

namespace xan::plat {

TStringList::~TStringList() { FreeObjects(items_); }

UString TStringList::Get(Integer index) const {
    CheckIndex(index, Count());
    return items_[static_cast<std::size_t>(index)].text;
}

TObject* TStringList::GetObject(Integer index) const {
    CheckIndex(index, Count());
    return items_[static_cast<std::size_t>(index)].object;
}

void TStringList::Put(Integer index, const UString& s) {
    CheckIndex(index, Count());
    Changing();
    items_[static_cast<std::size_t>(index)].text = s;
    Changed();
}

void TStringList::PutObject(Integer index, TObject* object) {
    CheckIndex(index, Count());
    Changing();
    TObject*& slot = items_[static_cast<std::size_t>(index)].object;
    if (ownsObjects_ && slot != object) delete slot;
    slot = object;
    Changed();
}

void TStringList::InsertObject(Integer index, const UString& s, TObject* object) {
    CheckIndex(index, Count() + 1);
    Changing();
    items_.insert(items_.begin() + index, Item{s, object});
    Changed();
}

void TStringList::Delete(Integer index) {
    CheckIndex(index, Count());
    Changing();
    TObject* object = items_[static_cast<std::size_t>(index)].object;
    items_.erase(items_.begin() + index);
    if (ownsObjects_) delete object;
    Changed();
}

void TStringList::Clear() {
    if (items_.empty()) return;
    Replace({});
}

void TStringList::Exchange(Integer a, Integer b) {
    CheckIndex(a, Count());
    CheckIndex(b, Count());
    Changing();
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    Changed();
}

void TStringList::Move(Integer from, Integer to) {
    CheckIndex(from, Count());
    CheckIndex(to, Count());
    if (from == to) return;
    Changing();
    Item item = std::move(items_[static_cast<std::size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(item));
    Changed();
}

void TStringList::SetText(std::u16string_view text) {
    std::vector<Item> items;
    for (UString& line : SplitLines(text)) items.push_back({std::move(line), nullptr});
    Replace(std::move(items));
}

void TStringList::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TStrings*>(source);
    if (!other) {
        TStrings::Assign(source);
        return;
    }
    if (other == this) return;
    std::vector<Item> items;
    items.reserve(static_cast<std::size_t>(other->Count()));
    // An owning list cannot take objects that another list holds: it copies the lines only.
    for (Integer i = 0; i < other->Count(); ++i)
        items.push_back({other->Get(i), ownsObjects_ ? nullptr : other->GetObject(i)});
    Replace(std::move(items));
}

int TStringList::CompareStrings(std::u16string_view a, std::u16string_view b) const {
    return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

void TStringList::Replace(std::vector<Item> items) {
    Changing();
    std::swap(items_, items);
    FreeObjects(items);
    Changed();
}

void TStringList::FreeObjects(std::vector<Item>& items) noexcept {
    if (!ownsObjects_) return;
    for (Item& item : items) {
        delete item.object;
        item.object = nullptr;
    }
}

}  // namespace xan::plat
