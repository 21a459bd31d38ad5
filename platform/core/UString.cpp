#include "platform/core/UString.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <ostream>

namespace xan::plat {

UString::Rec* UString::Allocate(std::int32_t length, std::int32_t room) {
    if (length < 0 || room < 0) throw std::bad_alloc();
    const std::size_t bytes =
        offsetof(Rec, data) + (static_cast<std::size_t>(length) + static_cast<std::size_t>(room) + 1) * sizeof(char16_t);
    void* mem = std::malloc(bytes);
    if (!mem) throw std::bad_alloc();
    Rec* r = static_cast<Rec*>(mem);
    new (&r->refs) std::atomic<std::int32_t>(1);
    r->len = length;
    r->data[length] = 0;
    return r;
}

void UString::Release(Rec* r) noexcept {
    if (r && r->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) std::free(r);
}

UString::UString(const char16_t* text) : UString(std::u16string_view(text ? text : u"")) {}

UString::UString(const char16_t* text, std::int32_t length)
    : UString(std::u16string_view(text, static_cast<std::size_t>(length))) {}

UString::UString(std::u16string_view text) {
    if (text.empty()) return;
    r_ = Allocate(static_cast<std::int32_t>(text.size()));
    std::memcpy(r_->data, text.data(), text.size() * sizeof(char16_t));
}

UString& UString::operator=(const UString& other) noexcept {
    AddRef(other.r_);
    Release(r_);
    r_ = other.r_;
    return *this;
}

UString& UString::operator=(UString&& other) noexcept {
    if (this != &other) {
        Release(r_);
        r_ = other.r_;
        other.r_ = nullptr;
    }
    return *this;
}

UString UString::Uninitialized(std::int32_t length, char16_t*& buffer, std::int32_t room) {
    UString s;
    if (length <= 0) {
        buffer = nullptr;
        return s;
    }
    s.r_ = Allocate(length, room);
    buffer = s.r_->data;
    return s;
}

std::u16string_view UString::RawView(const void* raw) noexcept {
    if (!raw) return {};
    const Rec* r = static_cast<const Rec*>(raw);
    return {r->data, static_cast<std::size_t>(r->len)};
}

UString UString::Substr(std::int32_t start, std::int32_t count) const {
    const std::int32_t len = length();
    if (start < 0) start = 0;
    if (start >= len || count <= 0) return {};
    if (count > len - start) count = len - start;
    if (start == 0 && count == len) return *this;
    return UString(c_str() + start, count);
}

std::int32_t UString::Find(std::u16string_view what, std::int32_t from) const noexcept {
    if (from < 0) from = 0;
    if (from > length()) return -1;
    const auto pos = view().find(what, static_cast<std::size_t>(from));
    return pos == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(pos);
}

UString operator+(const UString& a, std::u16string_view b) {
    if (b.empty()) return a;
    if (a.empty()) return UString(b);
    const std::int64_t total = static_cast<std::int64_t>(a.length()) + static_cast<std::int64_t>(b.size());
    if (total > INT32_MAX / 2) throw std::bad_alloc();
    char16_t* buf;
    UString r = UString::Uninitialized(static_cast<std::int32_t>(total), buf);
    std::memcpy(buf, a.c_str(), a.length() * sizeof(char16_t));
    std::memcpy(buf + a.length(), b.data(), b.size() * sizeof(char16_t));
    return r;
}

UString& UString::Append(std::u16string_view b) {
    if (b.empty()) return *this;
    const char16_t* own = c_str();
    const bool aliases = b.data() >= own && b.data() < own + length();
    if (!r_ || aliases || r_->refs.load(std::memory_order_acquire) != 1) return *this = *this + b;
    const std::int64_t total = static_cast<std::int64_t>(r_->len) + static_cast<std::int64_t>(b.size());
    if (total > INT32_MAX / 2) throw std::bad_alloc();
    const std::size_t header = offsetof(Rec, data);
    const std::size_t needed = header + (static_cast<std::size_t>(total) + 1) * sizeof(char16_t);
    if (malloc_usable_size(r_) < needed) {
        // Half as much again as needed: appending n pieces copies the text O(log n) times.
        const std::size_t grown = needed + (needed - header) / 2;
        void* mem = std::realloc(r_, grown);
        if (!mem) throw std::bad_alloc();
        r_ = static_cast<Rec*>(mem);
    }
    std::memcpy(r_->data + r_->len, b.data(), b.size() * sizeof(char16_t));
    r_->len = static_cast<std::int32_t>(total);
    r_->data[total] = 0;
    return *this;
}

UString operator+(const UString& a, const UString& b) {
    if (a.empty()) return b;
    return a + b.view();
}

bool operator==(const UString& a, const UString& b) noexcept {
    return a.r_ == b.r_ || a.view() == b.view();
}

// UTF-8 <-> UTF-16 by hand: small, exact, and independent of the process locale.
std::u16string Utf8ToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    const auto* s = reinterpret_cast<const unsigned char*>(in.data());
    const std::size_t n = in.size();
    std::size_t i = 0;
    auto cont = [&](std::size_t k) { return k < n && (s[k] & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char c = s[i];
        char32_t cp = 0xFFFD;
        std::size_t used = 1;
        if (c < 0x80) {
            cp = c;
        } else if (c >= 0xC2 && c < 0xE0 && cont(i + 1)) {
            cp = ((c & 0x1F) << 6) | (s[i + 1] & 0x3F);
            used = 2;
        } else if (c >= 0xE0 && c < 0xF0 && cont(i + 1) && cont(i + 2)) {
            const char32_t v = ((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F);
            if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) { cp = v; used = 3; }
        } else if (c >= 0xF0 && c < 0xF5 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
            const char32_t v = ((c & 0x07) << 18) | ((s[i + 1] & 0x3F) << 12) | ((s[i + 2] & 0x3F) << 6) |
                               (s[i + 3] & 0x3F);
            if (v >= 0x10000 && v <= 0x10FFFF) { cp = v; used = 4; }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += used;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;  // a lone surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

UString UString::FromUtf8(std::string_view utf8) { return UString(Utf8ToUtf16(utf8)); }

UString UString::FromLatin1(std::string_view text) {
    char16_t* buf;
    UString s = Uninitialized(static_cast<std::int32_t>(text.size()), buf);
    for (std::size_t i = 0; i < text.size(); ++i) buf[i] = static_cast<unsigned char>(text[i]);
    return s;
}

std::string UString::ToUtf8() const { return Utf16ToUtf8(view()); }

void PrintTo(const UString& s, std::ostream* os) { *os << '"' << s.ToUtf8() << '"'; }

}  // namespace xan::plat
