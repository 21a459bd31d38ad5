#include "platform/text/Format.h"

#include <string>

#include "platform/core/CharCase.h"
#include "platform/core/Exception.h"
#include "platform/text/Decimal.h"
#include "platform/text/NumberRender.h"
#include "platform/text/TextScan.h"

namespace xan::plat {

using namespace text;

namespace {

// Widths and precisions beyond this are treated as malformed rather than allocated.
constexpr int kMaxFieldSize = 1 << 20;

struct Directive {
    bool leftAlign = false;
    int width = -1;
    int precision = -1;
    char16_t type = 0;  // upper case
};

class Formatter {
public:
    Formatter(std::u16string_view fmt, std::span<const FormatArg> args, const TFormatSettings& s)
        : fmt_(fmt), args_(args), s_(s) {}

    std::u16string Run();

private:
    [[noreturn]] void Invalid() const {
        std::u16string msg = u"Format '";
        msg += fmt_;
        msg += u"' invalid or incompatible with argument";
        Throw<EConvertError>(ToUString(msg));
    }
    char16_t Peek() const noexcept { return pos_ < fmt_.size() ? fmt_[pos_] : 0; }
    // A count at the cursor: digits, or '*' taking the next (integer) argument; false when absent.
    bool ReadCount(int& value);
    Directive ReadDirective();
    const FormatArg& NextArg() {
        if (argIndex_ >= args_.size()) Invalid();
        return args_[argIndex_++];
    }
    FormatArg Concrete(const FormatArg& a, FormatArgClass wanted) const {
        if (a.kind() != FormatArg::Kind::Dynamic) return a;
        FormatArg r = a.Resolve(wanted);
        if (r.kind() == FormatArg::Kind::Dynamic) Invalid();
        return r;
    }
    Int64 IntegerArg();
    std::u16string Field(const Directive& directive);
    std::u16string IntegerField(const Directive& directive, const FormatArg& a);
    std::u16string FloatField(const Directive& directive, const FormatArg& a);
    std::u16string StringField(const Directive& directive, const FormatArg& a);
    std::u16string PointerField(const FormatArg& a);

    std::u16string_view fmt_;
    std::span<const FormatArg> args_;
    const TFormatSettings& s_;
    std::size_t pos_ = 0;
    std::size_t argIndex_ = 0;
};

// The bits of an integer argument as the unsigned value of its own width.
UInt64 UnsignedBits(const FormatArg& a) {
    if (a.kind() == FormatArg::Kind::UInt) return a.AsUInt64();
    const auto v = static_cast<UInt64>(a.AsInt64());
    return a.wide() ? v : v & 0xFFFFFFFFu;
}

Int64 FormatArgAsInt64(const FormatArg& a, bool& ok) {
    ok = a.kind() == FormatArg::Kind::Int || (a.kind() == FormatArg::Kind::UInt && a.AsUInt64() <= INT64_MAX);
    return a.kind() == FormatArg::Kind::Int ? a.AsInt64() : static_cast<Int64>(a.AsUInt64());
}

bool Formatter::ReadCount(int& value) {
    if (Peek() == u'*') {
        ++pos_;
        const Int64 v = IntegerArg();
        if (v > kMaxFieldSize || v < -kMaxFieldSize) Invalid();
        value = static_cast<int>(v);
        return true;
    }
    if (!IsDigit(Peek())) return false;
    Int64 v = 0;
    while (IsDigit(Peek())) {
        v = v * 10 + (fmt_[pos_++] - u'0');
        if (v > kMaxFieldSize) Invalid();
    }
    value = static_cast<int>(v);
    return true;
}

Int64 Formatter::IntegerArg() {
    const FormatArg a = Concrete(NextArg(), FormatArgClass::Integer);
    bool ok;
    const Int64 v = FormatArgAsInt64(a, ok);
    if (!ok) Invalid();
    return v;
}

Directive Formatter::ReadDirective() {
    Directive directive;
    int value;
    bool haveWidth = false;
    // A leading count is the argument index when a colon follows, the width otherwise.
    if (ReadCount(value)) {
        if (Peek() == u':') {
            ++pos_;
            if (value < 0) Invalid();
            argIndex_ = static_cast<std::size_t>(value);
        } else {
            haveWidth = true;
        }
    }
    if (!haveWidth) {
        if (Peek() == u'-') {
            ++pos_;
            directive.leftAlign = true;
        }
        haveWidth = ReadCount(value);
    }
    if (haveWidth) {
        if (value < 0) {  // only '*' gives a negative width: it left-justifies
            directive.leftAlign = true;
            value = -value;
        }
        directive.width = value;
    }
    if (Peek() == u'.') {
        ++pos_;
        if (!ReadCount(value)) value = 0;  // "%.f": precision zero
        directive.precision = value < 0 ? -1 : value;
    }
    directive.type = AsciiUpper(Peek());
    ++pos_;
    return directive;
}

std::u16string Formatter::IntegerField(const Directive& directive, const FormatArg& raw) {
    const FormatArg a = Concrete(raw, FormatArgClass::Integer);
    if (a.kind() != FormatArg::Kind::Int && a.kind() != FormatArg::Kind::UInt) Invalid();
    std::u16string digits;
    bool negative = false;
    if (directive.type == u'D' && a.kind() == FormatArg::Kind::Int) {
        negative = a.AsInt64() < 0;
        const UInt64 magnitude = negative ? UInt64(0) - static_cast<UInt64>(a.AsInt64()) : a.AsInt64();
        digits = UnsignedDigits(magnitude, 10, directive.precision);
    } else {
        digits = UnsignedDigits(UnsignedBits(a), directive.type == u'X' ? 16 : 10, directive.precision);
    }
    return negative ? u"-" + digits : digits;
}

std::u16string Formatter::FloatField(const Directive& directive, const FormatArg& raw) {
    const FormatArg a = Concrete(raw, FormatArgClass::Float);
    DecimalNumber n;
    if (a.kind() == FormatArg::Kind::Float)
        n = DecimalFromDouble(a.AsDouble());
    else if (a.kind() == FormatArg::Kind::Currency)
        n = DecimalFromScaled(a.AsInt64(), 4);
    else
        Invalid();
    const int p = directive.precision;
    switch (directive.type) {
        case u'E': return ExponentText(n, p < 0 ? kDoubleDigits : p, 3, s_.DecimalSeparator);
        case u'F': return FixedText(n, p < 0 ? 2 : p, s_.DecimalSeparator);
        case u'G': return GeneralText(n, p < 0 ? kDoubleDigits : p, s_.DecimalSeparator);
        case u'N': return FixedText(n, p < 0 ? 2 : p, s_.DecimalSeparator, s_.ThousandSeparator);
        default: return CurrencyText(n, p < 0 ? s_.CurrencyDecimals : p, s_);
    }
}

std::u16string Formatter::StringField(const Directive& directive, const FormatArg& raw) {
    const FormatArg a = Concrete(raw, FormatArgClass::String);
    if (a.kind() != FormatArg::Kind::String) Invalid();
    std::u16string_view text = a.AsString().view();
    if (directive.precision >= 0 && static_cast<std::size_t>(directive.precision) < text.size()) text = text.substr(0, directive.precision);
    return std::u16string(text);
}

std::u16string Formatter::PointerField(const FormatArg& raw) {
    const FormatArg a = Concrete(raw, FormatArgClass::Pointer);
    if (a.kind() != FormatArg::Kind::Pointer) Invalid();
    return UnsignedDigits(reinterpret_cast<std::uintptr_t>(a.AsPointer()), 16, static_cast<int>(sizeof(void*) * 2));
}

std::u16string Formatter::Field(const Directive& directive) {
    switch (directive.type) {
        case u'D': case u'U': case u'X': return IntegerField(directive, NextArg());
        case u'E': case u'F': case u'G': case u'N': case u'M': return FloatField(directive, NextArg());
        case u'S': return StringField(directive, NextArg());
        case u'P': return PointerField(NextArg());
        default: Invalid();
    }
}

std::u16string Formatter::Run() {
    std::u16string out;
    out.reserve(fmt_.size() + 16);
    while (pos_ < fmt_.size()) {
        const char16_t c = fmt_[pos_++];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (Peek() == u'%') {
            ++pos_;
            out += u'%';
            continue;
        }
        Directive directive = ReadDirective();
        std::u16string field = Field(directive);
        const std::size_t width = directive.width > 0 ? static_cast<std::size_t>(directive.width) : 0;
        if (field.size() < width) {
            if (directive.leftAlign)
                field.append(width - field.size(), u' ');
            else
                field.insert(0, width - field.size(), u' ');
        }
        out += field;
    }
    return out;
}

}  // namespace

UString Format(std::u16string_view fmt, std::span<const FormatArg> args, const TFormatSettings& settings) {
    return ToUString(Formatter(fmt, args, settings).Run());
}

}  // namespace xan::plat
