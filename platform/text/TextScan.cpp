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
