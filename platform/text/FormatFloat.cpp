#include "platform/text/FormatFloat.h"

#include <string>
#include <vector>

#include "platform/text/Decimal.h"
#include "platform/text/NumberRender.h"
#include "platform/text/TextScan.h"

namespace xan::plat {

using namespace text;

namespace {

bool IsExponentAt(std::u16string_view p, std::size_t i) noexcept {
    return (p[i] == u'E' || p[i] == u'e') && i + 1 < p.size() && (p[i + 1] == u'+' || p[i + 1] == u'-');
}

// Up to three sections split at ';' outside quotes.
std::vector<std::u16string_view> SplitSections(std::u16string_view p) {
    std::vector<std::u16string_view> sections;
    std::size_t start = 0;
    for (std::size_t i = 0; i < p.size();) {
        if (IsQuote(p[i])) {
            i += QuotedLength(p, i);
        } else if (p[i] == u';') {
            sections.push_back(p.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    sections.push_back(p.substr(start));
    if (sections.size() > 3) sections.resize(3);
    return sections;
}

// What a section asks for, from one pass over its placeholders.
struct Layout {
    int intPlaceholders = 0;
    int minIntDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool thousands = false;
    bool scientific = false;
    bool HasPlaceholders() const noexcept { return intPlaceholders + maxDecimals > 0 || scientific; }
};

Layout Analyze(std::u16string_view p) {
    Layout l;
    bool afterPoint = false;
    int firstZero = -1;
    for (std::size_t i = 0; i < p.size();) {
        const char16_t c = p[i];
        if (IsQuote(c)) {
            i += QuotedLength(p, i);
            continue;
        }
        if (IsExponentAt(p, i)) {
            l.scientific = true;
            break;  // what follows is the exponent and literals
        }
        if (c == u'0' || c == u'#') {
            if (afterPoint) {
                ++l.maxDecimals;
                if (c == u'0') l.minDecimals = l.maxDecimals;
            } else {
                if (c == u'0' && firstZero < 0) firstZero = l.intPlaceholders;
                ++l.intPlaceholders;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',' && !afterPoint) {
            l.thousands = true;
        }
        ++i;
    }
    l.minIntDigits = firstZero < 0 ? 0 : l.intPlaceholders - firstZero;
    return l;
}

// The digits to place: integer and fraction texts, and the exponent in exponent form.
struct Digits {
    std::string integer;
    std::string fraction;
    int exponent = 0;
    bool zero = false;  // nothing but zeros to show
};

Digits Compute(DecimalNumber n, const Layout& l) {
    Digits d;
    // A section of literal text shows no digits, so only a true zero counts as zero there.
    const bool exactZero = n.IsZero();
    if (l.scientific) {
        const int intDigits = l.intPlaceholders > 0 ? l.intPlaceholders : 1;
        RoundToSignificant(n, intDigits + l.maxDecimals);
        d.exponent = n.IsZero() ? 0 : n.exponent - intDigits;
        std::string all = n.digits;
        all.resize(intDigits + l.maxDecimals, '0');
        d.integer = all.substr(0, intDigits);
        d.fraction = all.substr(intDigits);
    } else {
        RoundToDecimals(n, l.maxDecimals);
        d.integer = n.IntegerDigits();
        if (d.integer == "0") d.integer.clear();
        if (static_cast<int>(d.integer.size()) < l.minIntDigits) d.integer.insert(0, l.minIntDigits - d.integer.size(), '0');
        d.fraction = n.FractionDigits(l.maxDecimals);
    }
    while (static_cast<int>(d.fraction.size()) > l.minDecimals && d.fraction.back() == '0') d.fraction.pop_back();
    d.zero = l.HasPlaceholders() ? n.IsZero() : exactZero;
    return d;
}

class SectionWriter {
public:
    SectionWriter(const Layout& l, const Digits& d, const TFormatSettings& s) : l_(l), d_(d), s_(s) {}

    std::u16string Write(std::u16string_view p) {
        for (std::size_t i = 0; i < p.size();) {
            const char16_t c = p[i];
            if (IsQuote(c)) {
                i += AppendQuoted(out_, p, i);
            } else if (l_.scientific && IsExponentAt(p, i)) {
                i = Exponent(p, i);
            } else if ((c == u'0' || c == u'#') && !exponentDone_) {
                if (pointDone_) FractionDigit(); else IntegerDigit();
                ++i;
            } else if (c == u'.') {
                Point();
                ++i;
            } else if (c == u',') {
                ++i;  // only switches grouping on
            } else {
                out_ += c;
                ++i;
            }
        }
        return out_;
    }

private:
    void EmitInteger(std::size_t from, std::size_t to) {
        const std::size_t len = d_.integer.size();
        for (std::size_t j = from; j < to; ++j) {
            out_ += static_cast<char16_t>(d_.integer[j]);
            const std::size_t remaining = len - 1 - j;
            if (l_.thousands && remaining > 0 && remaining % 3 == 0) out_ += s_.ThousandSeparator;
        }
    }
    void IntegerDigit() {
        const int len = static_cast<int>(d_.integer.size());
        const int shift = len - l_.intPlaceholders;  // > 0: extra digits all go to the first placeholder
        if (intIndex_ == 0 && shift > 0) EmitInteger(0, shift);
        const int idx = intIndex_ + shift;
        if (idx >= 0) EmitInteger(idx, idx + 1);
        ++intIndex_;
    }
    void Point() {
        if (pointDone_) return;
        if (intIndex_ == 0) EmitInteger(0, d_.integer.size());
        intIndex_ = -1;  // integer digits are placed
        pointDone_ = true;
        if (!d_.fraction.empty()) out_ += s_.DecimalSeparator;
    }
    void FractionDigit() {
        if (fracIndex_ < d_.fraction.size()) out_ += static_cast<char16_t>(d_.fraction[fracIndex_]);
        ++fracIndex_;
    }
    std::size_t Exponent(std::u16string_view p, std::size_t i) {
        if (!pointDone_) Point();
        exponentDone_ = true;
        out_ += p[i];
        if (d_.exponent < 0)
            out_ += u'-';
        else if (p[i + 1] == u'+')
            out_ += u'+';
        i += 2;
        std::size_t minDigits = 0;
        while (i < p.size() && p[i] == u'0') ++minDigits, ++i;
        out_ += UnsignedDigits(static_cast<UInt64>(d_.exponent < 0 ? -d_.exponent : d_.exponent), 10,
                               static_cast<int>(minDigits));
        return i;
    }

    const Layout& l_;
    const Digits& d_;
    const TFormatSettings& s_;
    std::u16string out_;
    int intIndex_ = 0;
    std::size_t fracIndex_ = 0;
    bool pointDone_ = false;
    bool exponentDone_ = false;
};

std::u16string RenderSection(std::u16string_view section, const DecimalNumber& n, const TFormatSettings& s,
                             Digits& digits) {
    const Layout layout = Analyze(section);
    digits = Compute(n, layout);
    return SectionWriter(layout, digits, s).Write(section);
}

std::u16string FormatDecimal(std::u16string_view picture, const DecimalNumber& value, const TFormatSettings& s) {
    if (!value.IsFinite()) return SpecialText(value);
    const auto sections = SplitSections(picture);
    const auto section = [&](std::size_t i) { return i < sections.size() ? sections[i] : std::u16string_view(); };
    if (section(0).empty()) return GeneralText(value, kDoubleDigits, s.DecimalSeparator);

    const std::u16string_view zeroSection = section(2);
    if (value.IsZero() && !zeroSection.empty()) {
        Digits d;
        return RenderSection(zeroSection, value, s, d);
    }
    DecimalNumber magnitude = value;
    magnitude.negative = false;
    const bool ownNegative = value.negative && !section(1).empty();
    Digits d;
    std::u16string text = RenderSection(ownNegative ? section(1) : section(0), magnitude, s, d);
    if (d.zero) {
        // Rounded away to nothing: the zero section when there is one, and never a "-0".
        if (!zeroSection.empty()) return RenderSection(zeroSection, DecimalNumber{}, s, d);
        if (ownNegative) return RenderSection(section(0), DecimalNumber{}, s, d);
        return text;
    }
    return value.negative && !ownNegative ? u"-" + text : text;
}

}  // namespace

UString FormatFloat(std::u16string_view picture, double value, const TFormatSettings& settings) {
    return ToUString(FormatDecimal(picture, DecimalFromDouble(value), settings));
}

UString FormatCurr(std::u16string_view picture, Int64 scaled10000, const TFormatSettings& settings) {
    return ToUString(FormatDecimal(picture, DecimalFromScaled(scaled10000, 4), settings));
}

}  // namespace xan::plat
