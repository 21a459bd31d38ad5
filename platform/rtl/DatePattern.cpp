#include "platform/rtl/DatePattern.h"

#include <algorithm>
#include <string>
#include <vector>

namespace xan::plat {

namespace {

struct Token {
    bool field;
    std::u16string text;
};

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// Narrow and non-breaking spaces in ICU patterns become plain spaces: pictures are typed and
// parsed by people.
char16_t NormaliseSpace(char16_t c) { return c == u'\u202F' || c == u'\u00A0' ? u' ' : c; }

// The picture text of an ICU field of `count` letters `letter`; empty when the picture language
// has no counterpart (eras, time zones, week numbers ...).
std::u16string FieldPicture(char16_t letter, int count, bool widenYear) {
    switch (letter) {
        case u'y': case u'u': case u'r': case u'Y':
            return count == 2 && !widenYear ? u"yy" : u"yyyy";
        case u'M': case u'L':
            if (count == 1) return u"M";
            if (count == 2) return u"MM";
            if (count == 4) return u"MMMM";
            return u"MMM";
        case u'd':
            return count == 1 ? u"d" : u"dd";
        case u'E': case u'c': case u'e':
            if ((letter != u'E' && count <= 2)) return u"";
            return count == 4 ? u"dddd" : u"ddd";
        case u'h': case u'H': case u'k': case u'K':
            return count == 1 ? u"h" : u"hh";
        case u'm':
            return count == 1 ? u"n" : u"nn";
        case u's':
            return count == 1 ? u"s" : u"ss";
        case u'S':
            return u"zzz";
        case u'a': case u'b': case u'B':
            return u"AMPM";
        default:
            return u"";
    }
}

void AppendLiteral(std::vector<Token>& tokens, char16_t c) {
    if (tokens.empty() || tokens.back().field) tokens.push_back({false, {}});
    tokens.back().text.push_back(c);
}

// A dropped field takes the spaces before it along, so "h:mm:ss a z" does not end in a space.
void DropTrailingSpaces(std::vector<Token>& tokens) {
    if (tokens.empty() || tokens.back().field) return;
    std::u16string& t = tokens.back().text;
    while (!t.empty() && t.back() == u' ') t.pop_back();
    if (t.empty()) tokens.pop_back();
}

// Reads a quoted ICU literal starting after the opening quote; returns the index after it.
std::size_t ReadQuoted(std::u16string_view p, std::size_t i, std::vector<Token>& tokens) {
    while (i < p.size()) {
        if (p[i] == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                AppendLiteral(tokens, u'\'');
                i += 2;
                continue;
            }
            return i + 1;
        }
        AppendLiteral(tokens, NormaliseSpace(p[i++]));
    }
    return i;
}

std::vector<Token> Tokenise(std::u16string_view p, bool widenYear) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < p.size()) {
        char16_t c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                AppendLiteral(tokens, u'\'');
                i += 2;
            } else {
                i = ReadQuoted(p, i + 1, tokens);
            }
        } else if (IsAsciiLetter(c)) {
            std::size_t start = i;
            while (i < p.size() && p[i] == c) ++i;
            std::u16string picture = FieldPicture(c, static_cast<int>(i - start), widenYear);
            if (picture.empty())
                DropTrailingSpaces(tokens);
            else
                tokens.push_back({true, std::move(picture)});
        } else {
            AppendLiteral(tokens, NormaliseSpace(c));
            ++i;
        }
    }
    // A dropped leading field leaves its following space at the start.
    if (!tokens.empty() && !tokens.front().field) {
        std::u16string& t = tokens.front().text;
        t.erase(0, std::min(t.size(), t.find_first_not_of(u' ')));
        if (t.empty()) tokens.erase(tokens.begin());
    }
    DropTrailingSpaces(tokens);
    return tokens;
}

// Characters the picture language would read as fields or quotes are quoted.
bool NeedsQuoting(char16_t c) { return IsAsciiLetter(c) || c == u'"' || c == u'\''; }

void RenderLiteral(std::u16string& out, const std::u16string& text, const PictureOptions& o) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (!NeedsQuoting(text[i])) {
            char16_t c = text[i++];
            out.push_back(o.separator && c == o.separator ? o.separatorPicture : c);
            continue;
        }
        std::size_t start = i;
        while (i < text.size() && NeedsQuoting(text[i])) ++i;
        std::u16string_view run(text.data() + start, i - start);
        char16_t quote = run.find(u'"') == std::u16string_view::npos ? u'"' : u'\'';
        out.push_back(quote);
        out.append(run);
        out.push_back(quote);
    }
}

// Only ASCII punctuation serves as a separator: CJK patterns mark fields with ideographs that
// must stay literal.
bool IsSeparatorPunctuation(char16_t c) {
    return c == u'/' || c == u'.' || c == u'-' || c == u':' || c == u',';
}

}  // namespace

UString IcuPatternToPicture(std::u16string_view pattern, const PictureOptions& options) {
    std::u16string out;
    for (const Token& t : Tokenise(pattern, options.widenTwoDigitYear)) {
        if (t.field)
            out += t.text;
        else
            RenderLiteral(out, t.text, options);
    }
    return UString(out);
}

char16_t PatternSeparator(std::u16string_view pattern) {
    for (const Token& t : Tokenise(pattern, false)) {
        if (t.field) continue;
        for (char16_t c : t.text)
            if (c != u' ') return IsSeparatorPunctuation(c) ? c : 0;
    }
    return 0;
}

}  // namespace xan::plat
