#include "platform/rtl/Strings.h"

#include <string>

#include "platform/rtl/CaseCompare.h"
#include "platform/rtl/RtlErrors.h"
#include "platform/rtl/UpdateBracket.h"

namespace xan::plat {

std::vector<UString> SplitLines(std::u16string_view text) {
    std::vector<UString> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", pos);
        if (end == std::u16string_view::npos) end = text.size();
        lines.emplace_back(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size() && text[pos] == u'\r') {
            ++pos;
            if (pos < text.size() && text[pos] == u'\n') ++pos;
        } else if (pos < text.size()) {
            ++pos;  // LF
        }
    }
    return lines;
}

Integer TStrings::AddObject(const UString& s, TObject* object) {
    Integer index = Count();
    InsertObject(index, s, object);
    return index;
}

void TStrings::AddStrings(const TStrings& other) {
    WithinUpdate(*this, [&] {
        for (Integer i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
    });
}

Integer TStrings::IndexOf(std::u16string_view s) const {
    for (Integer i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), s) == 0) return i;
    return -1;
}

Integer TStrings::IndexOfObject(const TObject* object) const {
    for (Integer i = 0; i < Count(); ++i)
        if (GetObject(i) == object) return i;
    return -1;
}

bool TStrings::Equals(const TStrings& other) const {
    if (Count() != other.Count()) return false;
    for (Integer i = 0; i < Count(); ++i)
        if (Get(i) != other.Get(i)) return false;
    return true;
}

UString TStrings::Text() const {
    std::u16string out;
    for (Integer i = 0; i < Count(); ++i) {
        out += Get(i).view();
        out += lineBreak_.view();
    }
    return UString(out);
}

void TStrings::SetText(std::u16string_view text) {
    std::vector<UString> lines = SplitLines(text);
    WithinUpdate(*this, [&] {
        Clear();
        for (const UString& line : lines) Add(line);
    });
}

void TStrings::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TStrings*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    WithinUpdate(*this, [&] {
        Clear();
        AddStrings(*other);
    });
}

void TStrings::BeginUpdate() {
    // The bracket's first change notice goes out before anything changes, so it can refuse.
    if (updateCount_ == 0) Changing();
    ++updateCount_;
}

void TStrings::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0) Changed();
}

void TStrings::Changing() {
    if (updateCount_ == 0) OnChanging.Fire(this);
}

void TStrings::Changed() {
    if (updateCount_ == 0) OnChange.Fire(this);
}

int TStrings::CompareStrings(std::u16string_view a, std::u16string_view b) const { return AnsiCompareText(a, b); }

void TStrings::CheckIndex(Integer index, Integer limit) const {
    if (index < 0 || index >= limit) RaiseListIndexError(index);
}

}  // namespace xan::plat
