#include "platform/text/TextScan.h"

#include "platform/core/CharCase.h"
#include "platform/core/Exception.h"

namespace xan::plat::text {

std::u16string_view TrimBlanks(std::u16string_view s) noexcept {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool StartsWithNoCase(std::u16string_view text, std::u16string_view word) noexcept {
    if (word.empty() || text.size() < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (IdentUpperChar(text[i]) != IdentUpperChar(word[i])) return false;
    return true;
}

std::size_t QuotedLength(std::u16string_view picture, std::size_t i) noexcept {
    const auto close = picture.find(picture[i], i + 1);
    return close == std::u16string_view::npos ? picture.size() - i : close - i + 1;
}

std::size_t AppendQuoted(std::u16string& out, std::u16string_view picture, std::size_t i) {
    const std::size_t len = QuotedLength(picture, i);
    const bool closed = len >= 2 && i + len <= picture.size() && picture[i + len - 1] == picture[i];
    out += picture.substr(i + 1, closed ? len - 2 : len - 1);
    return len;
}

void RaiseConvertError(std::u16string_view text, std::u16string_view tail) {
    std::u16string msg;
    msg.reserve(text.size() + tail.size() + 3);
    msg += u'\'';
    msg += text;
    msg += u"' ";
    msg += tail;
    Throw<EConvertError>(ToUString(msg));
}

}  // namespace xan::plat::text
