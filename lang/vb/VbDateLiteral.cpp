#include "lang/vb/VbDateLiteral.h"

#include <array>

#include "lang/vb/VbChars.h"
#include "lang/vb/VbNumbers.h"
#include "platform/core/DateUtils.h"

namespace xan::vb {

namespace {

enum class DateItemKind { Number, DateSep, TimeSep, Am, Pm, Close };

struct DateItem {
    DateItemKind Kind = DateItemKind::Close;
    std::int32_t Value = 0;  // numbers only
};

// Reads the items of a literal on demand, with lookahead. A literal has at most twelve items
// (the closing '#' included), which also bounds the lookahead buffer. Failures are sticky: once
// an item cannot be read every later request fails, and the reader stays on the character at
// which it stopped.
class DateItemReader {
public:
    explicit DateItemReader(const char16_t* ACur) noexcept : FCur(ACur) {}

    const char16_t* Cur() const noexcept { return FCur; }

    // The item AAhead places after the next unconsumed one.
    bool Peek(int AAhead, DateItem& AItem) noexcept {
        while (FRead <= FNext + AAhead) {
            if (FFailed || FRead == MaxItems || !ReadItem(FItems[FRead])) {
                FFailed = true;
                return false;
            }
            ++FRead;
        }
        AItem = FItems[FNext + AAhead];
        return true;
    }
    bool NextIs(DateItemKind AKind, int AAhead = 0) noexcept {
        DateItem item;
        return Peek(AAhead, item) && item.Kind == AKind;
    }
    bool Take(DateItemKind AKind, DateItem& AItem) noexcept {
        if (!Peek(0, AItem) || AItem.Kind != AKind) return false;
        ++FNext;
        return true;
    }
    bool Take(DateItemKind AKind) noexcept {
        DateItem item;
        return Take(AKind, item);
    }

private:
    static constexpr int MaxItems = 12;

    bool ReadItem(DateItem& AItem) noexcept {
        while (IsVbBlank(*FCur)) ++FCur;
        const char16_t c = *FCur;
        if (IsVbDigit(c)) return ReadNumber(AItem);
        if (c == u'A' || c == u'a' || c == u'P' || c == u'p') return ReadAmPm(AItem);
        DateItemKind kind;
        switch (c) {
            case u'/': case u'-': case u',': kind = DateItemKind::DateSep; break;
            case u':': case u'.': kind = DateItemKind::TimeSep; break;
            case u'#': kind = DateItemKind::Close; break;
            default: return false;  // stays on the offending character
        }
        ++FCur;
        AItem.Kind = kind;
        return true;
    }
    bool ReadNumber(DateItem& AItem) noexcept {
        const char16_t* start = FCur;
        while (IsVbDigit(*FCur)) ++FCur;
        AItem.Kind = DateItemKind::Number;
        return ConvertVbDecimal({start, static_cast<std::size_t>(FCur - start)}, AItem.Value);
    }
    bool ReadAmPm(DateItem& AItem) noexcept {
        const bool pm = *FCur == u'P' || *FCur == u'p';
        ++FCur;
        if (*FCur != u'M' && *FCur != u'm') return false;
        ++FCur;
        AItem.Kind = pm ? DateItemKind::Pm : DateItemKind::Am;
        return true;
    }

    const char16_t* FCur;
    std::array<DateItem, MaxItems> FItems{};
    int FRead = 0;  // items read from the text
    int FNext = 0;  // items consumed by the grammar
    bool FFailed = false;
};

struct DateTimeParts {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0;
};

// Date part; AFirst is its first component, already read.
bool ParseDatePart(DateItemReader& AReader, int AFirst, int ACurrentYear, DateTimeParts& AParts) {
    if (AReader.NextIs(DateItemKind::DateSep)) AReader.Take(DateItemKind::DateSep);
    DateItem second, third;
    if (!AReader.Take(DateItemKind::Number, second)) return false;
    bool hasThird = false;
    if (AReader.NextIs(DateItemKind::DateSep)) {
        AReader.Take(DateItemKind::DateSep);
        if (!AReader.Take(DateItemKind::Number, third)) return false;
        hasThird = true;
    } else if (AReader.NextIs(DateItemKind::Number) && !AReader.NextIs(DateItemKind::TimeSep, 1)) {
        AReader.Take(DateItemKind::Number, third);
        hasThird = true;
    }
    if (hasThird) {
        AParts.Year = AFirst;
        AParts.Month = second.Value;
        AParts.Day = third.Value;
    } else {
        AParts.Year = ACurrentYear;
        AParts.Month = AFirst;
        AParts.Day = second.Value;
    }
    return true;
}

// Time part; AHour is its first component, already read.
bool ParseTimePart(DateItemReader& AReader, int AHour, DateTimeParts& AParts) {
    DateItem minute, second;
    if (!AReader.Take(DateItemKind::TimeSep) || !AReader.Take(DateItemKind::Number, minute))
        return false;
    if (AReader.NextIs(DateItemKind::TimeSep)) {
        AReader.Take(DateItemKind::TimeSep);
        if (!AReader.Take(DateItemKind::Number, second)) return false;
    }
    // 12 AM is midnight and 12 PM noon, as on every twelve-hour clock.
    if (AReader.NextIs(DateItemKind::Pm)) {
        AReader.Take(DateItemKind::Pm);
        if (AHour < 12) AHour += 12;
    } else if (AReader.NextIs(DateItemKind::Am)) {
        AReader.Take(DateItemKind::Am);
        if (AHour == 12) AHour = 0;
    }
    AParts.Hour = AHour;
    AParts.Minute = minute.Value;
    AParts.Second = second.Value;
    return true;
}

bool ParseItems(DateItemReader& AReader, int ACurrentYear, DateTimeParts& AParts) {
    DateItem first, next;
    if (!AReader.Take(DateItemKind::Number, first)) return false;
    if (AReader.NextIs(DateItemKind::TimeSep)) {
        if (!ParseTimePart(AReader, first.Value, AParts)) return false;
        if (AReader.Take(DateItemKind::Number, next) &&
            !ParseDatePart(AReader, next.Value, ACurrentYear, AParts))
            return false;
    } else {
        if (!ParseDatePart(AReader, first.Value, ACurrentYear, AParts)) return false;
        if (AReader.Take(DateItemKind::Number, next) && !ParseTimePart(AReader, next.Value, AParts))
            return false;
    }
    return AReader.Take(DateItemKind::Close);
}

int ExpandTwoDigitYear(int AYear) noexcept {
    if (AYear <= 29) return AYear + 2000;
    if (AYear <= 99) return AYear + 1900;
    return AYear;
}

bool EncodeParts(const DateTimeParts& AParts, plat::TDateTime& AValue) noexcept {
    plat::TDateTime date, time;
    if (!plat::TryEncodeDate(ExpandTwoDigitYear(AParts.Year), AParts.Month, AParts.Day, date) ||
        !plat::TryEncodeTime(AParts.Hour, AParts.Minute, AParts.Second, 0, time))
        return false;
    AValue = plat::ComposeDateTime(date, time);
    return true;
}

}  // namespace

bool ScanVbDateLiteral(const char16_t*& ACur, int ACurrentYear, plat::TDateTime& AValue) {
    DateItemReader reader(ACur);
    DateTimeParts parts;
    const bool ok = ParseItems(reader, ACurrentYear, parts) && EncodeParts(parts, AValue);
    ACur = reader.Cur();
    return ok;
}

}  // namespace xan::vb
