// Parsing of date and time texts with the locale's order, separators, names and AM/PM texts.
#include <array>
#include <cmath>

#include "platform/core/CharCase.h"
#include "platform/core/DateUtils.h"
#include "platform/text/DateText.h"
#include "platform/text/TextScan.h"

namespace xan::plat {

namespace {

using text::IsBlank;
using text::IsDigit;
using text::StartsWithNoCase;

enum class DateOrder { MDY, DMY, YMD };

// The order in which d, m and y first appear in the short date format (quoted text skipped).
DateOrder DateOrderOf(std::u16string_view format) noexcept {
    std::u16string order;
    for (std::size_t i = 0; i < format.size() && order.size() < 3; ++i) {
        const char16_t c = format[i];
        if (text::IsQuote(c)) {
            i += text::QuotedLength(format, i) - 1;
            continue;
        }
        const char16_t up = AsciiUpper(c);
        if ((up == u'D' || up == u'M' || up == u'Y') && order.find(up) == std::u16string::npos) order += up;
    }
    if (order.starts_with(u"DM") || order == u"D") return DateOrder::DMY;
    if (order.starts_with(u"Y")) return DateOrder::YMD;
    return DateOrder::MDY;
}

bool IsWordChar(char16_t c) noexcept {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c >= 0x80;
}

// A number as written: its value and how many digits spelled it (two-digit years expand).
struct Written {
    int value = 0;
    int digits = 0;
};

// A cursor over the trimmed text.
class Cursor {
public:
    explicit Cursor(std::u16string_view s) : s_(s) {}
    bool AtEnd() const noexcept { return i_ >= s_.size(); }
    char16_t Peek() const noexcept { return AtEnd() ? 0 : s_[i_]; }
    std::size_t Pos() const noexcept { return i_; }
    void Seek(std::size_t p) noexcept { i_ = p; }
    bool Accept(char16_t c) noexcept {
        if (AtEnd() || s_[i_] != c) return false;
        ++i_;
        return true;
    }
    bool SkipBlanks() noexcept {
        const std::size_t from = i_;
        while (!AtEnd() && IsBlank(s_[i_])) ++i_;
        return i_ > from;
    }
    bool ReadNumber(Written& n) noexcept {
        n = {};
        while (!AtEnd() && IsDigit(s_[i_])) {
            if (++n.digits > 9) return false;  // no date or time field needs more
            n.value = n.value * 10 + (s_[i_++] - u'0');
        }
        return n.digits > 0;
    }
    // Accepts `word` (case-insensitive) when it is not followed by more letters.
    bool AcceptWord(std::u16string_view word) noexcept {
        const auto rest = s_.substr(i_);
        if (!StartsWithNoCase(rest, word)) return false;
        if (word.size() < rest.size() && IsWordChar(rest[word.size()])) return false;
        i_ += word.size();
        return true;
    }

private:
    std::u16string_view s_;
    std::size_t i_ = 0;
};

int CurrentYear() { return DecodeDate(xan::plat::Date()).year; }

// Month number 1..12 of a month name at the cursor, or 0.
int ReadMonthName(Cursor& c, const TFormatSettings& s) noexcept {
    for (int m = 0; m < 12; ++m)
        if (c.AcceptWord(s.LongMonthNames[m].view())) return m + 1;
    for (int m = 0; m < 12; ++m)
        if (c.AcceptWord(s.ShortMonthNames[m].view())) return m + 1;
    return 0;
}

bool EncodeYmd(Written y, int month, int day, const TFormatSettings& s, TDateTime& out) {
    int year = y.value;
    if (y.digits == 0)
        year = CurrentYear();
    else if (y.digits <= 2)
        year = ExpandTwoDigitYear(year, CurrentYear(), s);
    return TryEncodeDate(year, month, day, out);
}

// A year after a month name, unless the number is really the hour of a following time.
bool ReadOptionalYear(Cursor& c, const TFormatSettings& s, Written& year) noexcept {
    const std::size_t start = c.Pos();
    c.Accept(u',');
    c.SkipBlanks();
    if (c.ReadNumber(year) && c.Peek() != s.TimeSeparator && c.Peek() != u':') return true;
    c.Seek(start);
    year = {};
    return false;
}

// Separators between the parts of a date written with a month name.
void SkipNameSeparators(Cursor& c, const TFormatSettings& s) noexcept {
    while (c.Accept(u',') || c.Accept(u'-') || c.Accept(u'.') || c.Accept(s.DateSeparator) || c.SkipBlanks()) {
    }
}

// "Jan 31[, 2024]" or "31 Jan[ 2024]".
bool ScanNamedDate(Cursor& c, const TFormatSettings& s, TDateTime& out) {
    const std::size_t start = c.Pos();
    Written day, year;
    int month = ReadMonthName(c, s);
    if (month) {
        SkipNameSeparators(c, s);
        if (!c.ReadNumber(day)) return false;
    } else {
        if (!c.ReadNumber(day)) return false;
        SkipNameSeparators(c, s);
        month = ReadMonthName(c, s);
        if (!month) {
            c.Seek(start);
            return false;
        }
    }
    const std::size_t afterDay = c.Pos();
    if (!(c.Accept(u'-') || c.Accept(u'.') || c.Accept(s.DateSeparator))) c.Seek(afterDay);
    ReadOptionalYear(c, s, year);
    return EncodeYmd(year, month, day.value, s, out);
}

// Two or three numbers joined by the date separator (or '-', the same one throughout).
bool ScanNumericDate(Cursor& c, const TFormatSettings& s, TDateTime& out) {
    std::array<Written, 3> n{};
    if (!c.ReadNumber(n[0])) return false;
    const char16_t sep = c.Peek();
    if (sep != s.DateSeparator && sep != u'-') return false;
    c.Accept(sep);
    if (!c.ReadNumber(n[1])) return false;
    int count = 2;
    if (c.Accept(sep)) {
        if (!c.ReadNumber(n[2])) return false;
        count = 3;
    }
    DateOrder order = DateOrderOf(s.ShortDateFormat);
    if (count == 3 && n[0].digits >= 3) order = DateOrder::YMD;
    if (count == 2) {  // no year: the current one
        if (order == DateOrder::DMY) return EncodeYmd({}, n[1].value, n[0].value, s, out);
        return EncodeYmd({}, n[0].value, n[1].value, s, out);
    }
    switch (order) {
        case DateOrder::DMY: return EncodeYmd(n[2], n[1].value, n[0].value, s, out);
        case DateOrder::YMD: return EncodeYmd(n[0], n[1].value, n[2].value, s, out);
        default: return EncodeYmd(n[2], n[0].value, n[1].value, s, out);
    }
}

// A leading day name ("Tue, 5 Mar 2024") says nothing the date does not; it is skipped.
void SkipDayName(Cursor& c, const TFormatSettings& s) noexcept {
    for (int d = 0; d < 7; ++d) {
        if (c.AcceptWord(s.LongDayNames[d].view()) || c.AcceptWord(s.ShortDayNames[d].view())) {
            c.Accept(u',');
            c.SkipBlanks();
            return;
        }
    }
}

bool ScanDate(Cursor& c, const TFormatSettings& s, TDateTime& out) {
    SkipDayName(c, s);
    const std::size_t start = c.Pos();
    if (ScanNamedDate(c, s, out)) return true;
    c.Seek(start);
    if (ScanNumericDate(c, s, out)) return true;
    c.Seek(start);
    return false;
}

// 0 none, 1 AM, 2 PM.
int ReadDesignator(Cursor& c, const TFormatSettings& s) noexcept {
    if (c.AcceptWord(s.TimeAMString.view()) || c.AcceptWord(u"AM") || c.AcceptWord(u"A")) return 1;
    if (c.AcceptWord(s.TimePMString.view()) || c.AcceptWord(u"PM") || c.AcceptWord(u"P")) return 2;
    return 0;
}

// Milliseconds of a fraction of a second written after the decimal separator.
bool ReadSecondFraction(Cursor& c, int& msec) noexcept {
    Written f;
    if (!c.ReadNumber(f)) return false;
    double scaled = f.value;
    for (int d = f.digits; d > 3; --d) scaled /= 10;
    for (int d = f.digits; d < 3; ++d) scaled *= 10;
    msec = static_cast<int>(std::lround(std::floor(scaled)));
    return true;
}

bool ScanTime(Cursor& c, const TFormatSettings& s, TDateTime& out) {
    int designator = ReadDesignator(c, s);
    if (designator) c.SkipBlanks();
    Written hour, minute, second;
    int msec = 0;
    if (!c.ReadNumber(hour)) return false;
    const auto acceptTimeSep = [&] { return c.Accept(s.TimeSeparator) || c.Accept(u':'); };
    const bool hasMinutes = acceptTimeSep();
    if (hasMinutes) {
        if (!c.ReadNumber(minute)) return false;
        if (acceptTimeSep()) {
            if (!c.ReadNumber(second)) return false;
            if ((c.Accept(s.DecimalSeparator) || c.Accept(u'.')) && !ReadSecondFraction(c, msec)) return false;
        }
    }
    if (!designator) {
        const std::size_t beforeBlanks = c.Pos();
        c.SkipBlanks();
        designator = ReadDesignator(c, s);
        if (!designator) c.Seek(beforeBlanks);
    }
    if (!hasMinutes && !designator) return false;  // a bare number is not a time
    int h = hour.value;
    if (designator) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + (designator == 2 ? 12 : 0);
    }
    return TryEncodeTime(h, minute.value, second.value, msec, out);
}

enum class Want { Date, Time, DateTime };

bool Parse(std::u16string_view text, Want want, const TFormatSettings& s, TDateTime& value) {
    Cursor c(text::TrimBlanks(text));
    TDateTime date = 0, time = 0;
    if (want != Want::Time && ScanDate(c, s, date)) {
        if (c.AtEnd()) {
            value = date;
            return true;
        }
        if (want == Want::Date || !c.SkipBlanks() || !ScanTime(c, s, time) || !c.AtEnd()) return false;
        value = ComposeDateTime(date, time);
        return true;
    }
    if (want == Want::Date) return false;
    c.Seek(0);
    if (!ScanTime(c, s, time) || !c.AtEnd()) return false;
    value = time;
    return true;
}

bool TryParse(std::u16string_view text, Want want, const TFormatSettings& s, TDateTime& value) noexcept {
    try {
        return Parse(text, want, s, value);
    } catch (...) {  // the clock read for the current year cannot fail in practice; stay noexcept
        return false;
    }
}

}  // namespace

int ExpandTwoDigitYear(int year, int currentYear, const TFormatSettings& settings) noexcept {
    const int window = settings.TwoDigitYearCenturyWindow;
    if (year < 0 || year > 99) return year;
    const int pivot = currentYear - window;
    int full = pivot / 100 * 100 + year;
    if (window > 0 && full < pivot) full += 100;
    return full;
}

bool TryStrToDateTime(std::u16string_view text, TDateTime& value, const TFormatSettings& settings) noexcept {
    return TryParse(text, Want::DateTime, settings, value);
}

bool TryStrToDate(std::u16string_view text, TDateTime& value, const TFormatSettings& settings) noexcept {
    return TryParse(text, Want::Date, settings, value);
}

bool TryStrToTime(std::u16string_view text, TDateTime& value, const TFormatSettings& settings) noexcept {
    return TryParse(text, Want::Time, settings, value);
}

TDateTime StrToDateTime(std::u16string_view text, const TFormatSettings& settings) {
    TDateTime v;
    if (!TryStrToDateTime(text, v, settings)) text::RaiseConvertError(text, u"is not a valid date and time");
    return v;
}

TDateTime StrToDate(std::u16string_view text, const TFormatSettings& settings) {
    TDateTime v;
    if (!TryStrToDate(text, v, settings)) text::RaiseConvertError(text, u"is not a valid date");
    return v;
}

TDateTime StrToTime(std::u16string_view text, const TFormatSettings& settings) {
    TDateTime v;
    if (!TryStrToTime(text, v, settings)) text::RaiseConvertError(text, u"is not a valid time");
    return v;
}

}  // namespace xan::plat
