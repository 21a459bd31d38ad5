#pragma once
// UString: immutable UTF-16 text with a shared, reference-counted buffer.
//
// Values are copied into VM slots constantly, so a copy is one atomic increment. The empty
// string owns no buffer. c_str() is always NUL-terminated because the scanners walk to the 0
// character. UTF-8 appears only at the edges (files, console, toolkits).
#include <atomic>
#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace xan::plat {

class UString {
public:
    UString() noexcept = default;
    UString(const char16_t* text);                      // NUL-terminated
    UString(const char16_t* text, std::int32_t length);
    UString(std::u16string_view text);
    UString(const UString& other) noexcept : r_(other.r_) { AddRef(r_); }
    UString(UString&& other) noexcept : r_(other.r_) { other.r_ = nullptr; }
    ~UString() { Release(r_); }
    UString& operator=(const UString& other) noexcept;
    UString& operator=(UString&& other) noexcept;

    // A string of `length` code units whose contents the caller writes through `buffer`
    // before the value is shared; `room` more code units are kept free for Append.
    static UString Uninitialized(std::int32_t length, char16_t*& buffer, std::int32_t room = 0);
    static UString FromUtf8(std::string_view utf8);     // invalid bytes become U+FFFD
    // Latin-1 / ASCII literal: each byte becomes one code unit.
    static UString FromLatin1(std::string_view text);
    std::string ToUtf8() const;

    const char16_t* c_str() const noexcept { return r_ ? r_->data : u""; }
    const char16_t* data() const noexcept { return c_str(); }
    std::int32_t length() const noexcept { return r_ ? r_->len : 0; }
    bool empty() const noexcept { return r_ == nullptr; }
    char16_t operator[](std::int32_t i) const noexcept { return r_->data[i]; }
    std::u16string_view view() const noexcept { return {c_str(), static_cast<std::size_t>(length())}; }
    operator std::u16string_view() const noexcept { return view(); }

    // Zero-based start, clamped to the text.
    UString Substr(std::int32_t start, std::int32_t count = INT32_MAX) const;
    std::int32_t Find(std::u16string_view what, std::int32_t from = 0) const noexcept;  // -1 when absent

    friend UString operator+(const UString& a, const UString& b);
    friend UString operator+(const UString& a, std::u16string_view b);
    UString& operator+=(const UString& b) { return Append(b.view()); }
    // Appends b. A buffer nobody else shares grows in place, with room to spare, so a text
    // built piece by piece is not copied once per piece.
    UString& Append(std::u16string_view b);
    friend bool operator==(const UString& a, const UString& b) noexcept;
    friend bool operator==(const UString& a, std::u16string_view b) noexcept { return a.view() == b; }
    friend bool operator==(const UString& a, const char16_t* b) noexcept { return a.view() == std::u16string_view(b); }
    friend std::strong_ordering operator<=>(const UString& a, const UString& b) noexcept {
        return a.view() <=> b.view();
    }

    // Raw handover for the 16-byte Variant payload: the pointer owns one reference.
    void* ReleaseRaw() noexcept { void* p = r_; r_ = nullptr; return p; }
    static UString AdoptRaw(void* raw) noexcept { UString s; s.r_ = static_cast<Rec*>(raw); return s; }
    static void AddRefRaw(void* raw) noexcept { AddRef(static_cast<Rec*>(raw)); }
    static void ReleaseRawRef(void* raw) noexcept { Release(static_cast<Rec*>(raw)); }
    // Borrow a raw payload as a view without touching its count.
    static std::u16string_view RawView(const void* raw) noexcept;
    bool SharesBufferWith(const UString& o) const noexcept { return r_ == o.r_; }
    // Whether a raw payload's buffer has exactly one owner (which may then change it).
    static bool IsUniqueRaw(const void* raw) noexcept {
        return raw && static_cast<const Rec*>(raw)->refs.load(std::memory_order_acquire) == 1;
    }

private:
    struct Rec {
        std::atomic<std::int32_t> refs;
        std::int32_t len;
        char16_t data[1];
    };
    static Rec* Allocate(std::int32_t length, std::int32_t room = 0);
    static void AddRef(Rec* r) noexcept { if (r) r->refs.fetch_add(1, std::memory_order_relaxed); }
    static void Release(Rec* r) noexcept;
    Rec* r_ = nullptr;
};

// Conversions at the edges.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// gtest and diagnostics print UTF-8.
void PrintTo(const UString& s, std::ostream* os);

}  // namespace xan::plat

template <>
struct std::hash<xan::plat::UString> {
    std::size_t operator()(const xan::plat::UString& s) const noexcept {
        return std::hash<std::u16string_view>{}(s.view());
    }
};
