#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <string>

#include "platform/core/Exception.h"

namespace xan::plat {

namespace {

bool IsBlank(char16_t c) noexcept { return c <= u' '; }

UString Slice(const UString& s, std::int32_t start, std::int32_t end) {
    if (start == 0 && end == s.length()) return s;  // unchanged: share the buffer
    return s.Substr(start, end - start);
}

std::int32_t Clamp(Int64 v, std::int32_t lo, std::int32_t hi) noexcept {
    return static_cast<std::int32_t>(std::clamp<Int64>(v, lo, hi));
}

}  // namespace

UString Trim(const UString& s) {
    std::int32_t start = 0, end = s.length();
    while (start < end && IsBlank(s[start])) ++start;
    while (end > start && IsBlank(s[end - 1])) --end;
    return Slice(s, start, end);
}

UString TrimLeft(const UString& s) {
    std::int32_t start = 0;
    while (start < s.length() && IsBlank(s[start])) ++start;
    return Slice(s, start, s.length());
}

UString TrimRight(const UString& s) {
    std::int32_t end = s.length();
    while (end > 0 && IsBlank(s[end - 1])) --end;
    return Slice(s, 0, end);
}

Integer Pos(std::u16string_view sub, std::u16string_view s) noexcept {
    if (sub.empty()) return 0;
    std::size_t at = s.find(sub);
    return at == std::u16string_view::npos ? 0 : static_cast<Integer>(at) + 1;
}

UString Copy(const UString& s, Int64 index, Int64 count) {
    std::int32_t start = Clamp(index - 1, 0, s.length());
    std::int32_t available = s.length() - start;
    std::int32_t n = Clamp(count, 0, available);
    return Slice(s, start, start + n);
}

void Insert(const UString& source, UString& s, Int64 index) {
    if (source.empty()) return;
    std::int32_t at = Clamp(index - 1, 0, s.length());
    std::u16string out(s.view().substr(0, static_cast<std::size_t>(at)));
    out += source.view();
    out += s.view().substr(static_cast<std::size_t>(at));
    s = UString(out);
}

void Delete(UString& s, Int64 index, Int64 count) {
    if (index < 1 || index > s.length() || count <= 0) return;
    std::int32_t start = static_cast<std::int32_t>(index - 1);
    std::int32_t n = Clamp(count, 0, s.length() - start);
    std::u16string out(s.view().substr(0, static_cast<std::size_t>(start)));
    out += s.view().substr(static_cast<std::size_t>(start + n));
    s = UString(out);
}

UString StringOfChar(char16_t c, Int64 count) {
    if (count <= 0) return {};
    if (count > INT32_MAX) Throw<EOutOfMemory>(u"Out of memory");
    return UString(std::u16string(static_cast<std::size_t>(count), c));
}

}  // namespace xan::plat
