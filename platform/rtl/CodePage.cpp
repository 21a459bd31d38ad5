#include "platform/rtl/CodePage.h"

#include <unicode/ucnv.h>

#include <map>
#include <memory>

#include "platform/core/Exception.h"

namespace xan::plat {

namespace {

struct ConverterClose {
    void operator()(UConverter* c) const noexcept { ucnv_close(c); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterClose>;

// Converters keep conversion state, so each thread owns its own.
UConverter& ThreadConverter(std::uint16_t codePage) {
    thread_local std::map<std::uint16_t, ConverterPtr> converters;
    auto it = converters.find(codePage);
    if (it != converters.end()) return *it->second;
    UErrorCode status = U_ZERO_ERROR;
    std::string name = "windows-" + std::to_string(codePage);
    ConverterPtr c(ucnv_open(name.c_str(), &status));
    if (U_FAILURE(status) || !c)
        Throw<EConvertError>(UString::FromLatin1("Code page " + std::to_string(codePage) + " is not available"));
    ucnv_setSubstChars(c.get(), "?", 1, &status);
    return *converters.emplace(codePage, std::move(c)).first->second;
}

}  // namespace

UString AnsiToWide(std::string_view bytes, std::uint16_t codePage) {
    if (bytes.empty()) return {};
    UConverter& c = ThreadConverter(codePage);
    ucnv_resetToUnicode(&c);
    // A single-byte page yields at most one code unit per byte.
    std::u16string out(bytes.size(), u'\0');
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t n = ucnv_toUChars(&c, out.data(), static_cast<std::int32_t>(out.size()), bytes.data(),
                                   static_cast<std::int32_t>(bytes.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        Throw<EConvertError>(UString::FromLatin1(std::string("Cannot convert from code page: ") + u_errorName(status)));
    out.resize(static_cast<std::size_t>(n));
    return UString(out);
}

std::string WideToAnsi(std::u16string_view text, std::uint16_t codePage) {
    if (text.empty()) return {};
    UConverter& c = ThreadConverter(codePage);
    ucnv_resetFromUnicode(&c);
    std::string out(text.size() * 2, '\0');
    UErrorCode status = U_ZERO_ERROR;
    std::int32_t n = ucnv_fromUChars(&c, out.data(), static_cast<std::int32_t>(out.size()), text.data(),
                                     static_cast<std::int32_t>(text.size()), &status);
    if (U_FAILURE(status) && status != U_STRING_NOT_TERMINATED_WARNING)
        Throw<EConvertError>(UString::FromLatin1(std::string("Cannot convert to code page: ") + u_errorName(status)));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// Every Windows code page keeps the ASCII range as it is: characters there need no converter
// (they are what character loops mostly build).
constexpr unsigned AsciiLimit = 0x80;

char16_t AnsiCharToWide(std::uint8_t code, std::uint16_t codePage) {
    if (code < AsciiLimit) return static_cast<char16_t>(code);
    char byte = static_cast<char>(code);
    UString s = AnsiToWide(std::string_view(&byte, 1), codePage);
    return s.empty() ? u'?' : s[0];
}

std::uint8_t WideCharToAnsi(char16_t c, std::uint16_t codePage) {
    if (c < AsciiLimit) return static_cast<std::uint8_t>(c);
    std::string s = WideToAnsi(std::u16string_view(&c, 1), codePage);
    return s.empty() ? static_cast<std::uint8_t>('?') : static_cast<std::uint8_t>(s[0]);
}

}  // namespace xan::plat
