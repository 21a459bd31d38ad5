#include "platform/text/DateFormat.h"

#include <cmath>
#include <optional>
#include <string>

#include "platform/core/CharCase.h"
#include "platform/core/DateUtils.h"
#include "platform/core/Exception.h"
#include "platform/text/NumberRender.h"
#include "platform/text/TextScan.h"

namespace xan::plat {

namespace {

using text::IsQuote;
using text::QuotedLength;
using text::StartsWithNoCase;

// The locale's own pictures may name each other ("c" inside a short date format would recurse
// forever); nesting deeper than this renders nothing.
constexpr int kMaxNesting = 3;

std::size_t RunLength(std::u16string_view p, std::size_t i) noexcept {
    const char16_t up = AsciiUpper(p[i]);
    std::size_t n = 1;
    while (i + n < p.size() && AsciiUpper(p[i + n]) == up) ++n;
    return n;
}

// Length of an am/pm specifier at i (0 when there is none).
std::size_t AmPmLength(std::u16string_view p, std::size_t i) noexcept {
    const auto rest = p.substr(i);
    if (StartsWithNoCase(rest, u"am/pm")) return 5;
    if (StartsWithNoCase(rest, u"ampm")) return 4;
    if (StartsWithNoCase(rest, u"a/p")) return 3;
    return 0;
}

bool HasAmPm(std::u16string_view p) noexcept {
    for (std::size_t i = 0; i < p.size();) {
        if (IsQuote(p[i])) {
            i += QuotedLength(p, i);
            continue;
        }
        if (AmPmLength(p, i)) return true;
        ++i;
    }
    return false;
}

class DateTimeRenderer {
public:
    DateTimeRenderer(TDateTime dt, const TFormatSettings& s) : dt_(dt), s_(s), time_(DecodeTime(dt)) {}

    void Render(std::u16string_view picture, int depth);
    std::u16string& Text() { return out_; }

private:
    const DateParts& Date() {
        if (!date_) date_ = DecodeDate(dt_);
        return *date_;
    }
    bool IsMidnight() const { return time_.hour == 0 && time_.minute == 0 && time_.second == 0 && time_.msec == 0; }
    void Number(int value, int minDigits) { out_ += text::UnsignedDigits(static_cast<UInt64>(value), 10, minDigits); }
    void Day(std::size_t count, int depth);
    void Month(std::size_t count);
    void Hour(std::size_t count, bool twelveHour) {
        int h = time_.hour;
        if (twelveHour) h = h % 12 == 0 ? 12 : h % 12;
        Number(h, count >= 2 ? 2 : 1);
    }
    void AmPm(std::u16string_view letters, std::size_t len);
    void DateAndTime(int depth) {
        Render(s_.ShortDateFormat, depth + 1);
        if (!IsMidnight()) {
            out_ += u' ';
            Render(s_.LongTimeFormat, depth + 1);
        }
    }

    TDateTime dt_;
    const TFormatSettings& s_;
    TimeParts time_;
    std::optional<DateParts> date_;
    std::u16string out_;
};

void DateTimeRenderer::Day(std::size_t count, int depth) {
    switch (count) {
        case 1: Number(Date().day, 1); break;
        case 2: Number(Date().day, 2); break;
        case 3: out_ += s_.ShortDayNames[DayOfWeek(dt_) - 1].view(); break;
        case 4: out_ += s_.LongDayNames[DayOfWeek(dt_) - 1].view(); break;
        case 5: Render(s_.ShortDateFormat, depth + 1); break;
        default: Render(s_.LongDateFormat, depth + 1); break;
    }
}

void DateTimeRenderer::Month(std::size_t count) {
    switch (count) {
        case 1: Number(Date().month, 1); break;
        case 2: Number(Date().month, 2); break;
        case 3: out_ += s_.ShortMonthNames[Date().month - 1].view(); break;
        default: out_ += s_.LongMonthNames[Date().month - 1].view(); break;
    }
}

void DateTimeRenderer::AmPm(std::u16string_view letters, std::size_t len) {
    const bool pm = time_.hour >= 12;
    if (len == 4) {
        out_ += (pm ? s_.TimePMString : s_.TimeAMString).view();
    } else if (len == 5) {
        out_ += letters.substr(pm ? 3 : 0, 2);  // the picture's own letters keep its case
    } else {
        out_ += letters[pm ? 2 : 0];
    }
}

void DateTimeRenderer::Render(std::u16string_view p, int depth) {
    if (depth > kMaxNesting) return;
    const bool twelveHour = HasAmPm(p);
    bool afterHour = false;  // m/mm right after h/hh (literals between allowed) means minutes
    for (std::size_t i = 0; i < p.size();) {
        const char16_t c = p[i];
        if (IsQuote(c)) {
            i += text::AppendQuoted(out_, p, i);
            continue;
        }
        if (const std::size_t len = AmPmLength(p, i)) {
            AmPm(p.substr(i, len), len);
            i += len;
            afterHour = false;
            continue;
        }
        const char16_t up = AsciiUpper(c);
        const std::size_t n = (up >= u'A' && up <= u'Z') ? RunLength(p, i) : 1;
        bool isHour = false;
        switch (up) {
            case u'C': DateAndTime(depth); break;
            case u'D': Day(n, depth); break;
            case u'M':
                if (afterHour && n <= 2)
                    Number(time_.minute, static_cast<int>(n));
                else
                    Month(n);
                break;
            case u'Y':
                if (n <= 2)
                    Number(Date().year % 100, 2);
                else
                    Number(Date().year, 4);
                break;
            case u'H': Hour(n, twelveHour); isHour = true; break;
            case u'N': Number(time_.minute, n >= 2 ? 2 : 1); break;
            case u'S': Number(time_.second, n >= 2 ? 2 : 1); break;
            case u'Z': Number(time_.msec, n >= 3 ? 3 : 1); break;
            case u'T': Render(n >= 2 ? s_.LongTimeFormat.view() : s_.ShortTimeFormat.view(), depth + 1); break;
            case u'/': out_ += s_.DateSeparator; break;
            case u':': out_ += s_.TimeSeparator; break;
            default: out_.append(p.substr(i, n)); break;
        }
        // Only another picture letter ends the "after an hour" state; separators and literals keep it.
        afterHour = isHour || (afterHour && !(up >= u'A' && up <= u'Z'));
        i += n;
    }
}

}  // namespace

UString FormatDateTime(std::u16string_view picture, TDateTime dt, const TFormatSettings& settings) {
    if (!IsValidDateTime(dt)) Throw<EConvertError>(u"Invalid date: value is outside the supported date range");
    DateTimeRenderer r(dt, settings);
    r.Render(picture, 0);
    return text::ToUString(r.Text());
}

}  // namespace xan::plat
