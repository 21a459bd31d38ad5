#include <gtest/gtest.h>

#include "platform/rtl/DatePattern.h"
#include "platform/rtl/Locale.h"

namespace xan::plat {
namespace {

TEST(IcuPatternToPicture, TranslatesFieldLetters) {
    EXPECT_EQ(IcuPatternToPicture(u"EEEE, MMMM d, y"), u"dddd, MMMM d, yyyy");
    EXPECT_EQ(IcuPatternToPicture(u"h:mm:ss a"), u"h:nn:ss AMPM");
    EXPECT_EQ(IcuPatternToPicture(u"HH:mm:ss.SSS"), u"hh:nn:ss.zzz");
    EXPECT_EQ(IcuPatternToPicture(u"EEE d MMM yy"), u"ddd d MMM yy");
}

TEST(IcuPatternToPicture, DropsZonesAndErasWithTheirSpaces) {
    EXPECT_EQ(IcuPatternToPicture(u"h:mm:ss a zzzz"), u"h:nn:ss AMPM");
    EXPECT_EQ(IcuPatternToPicture(u"G y"), u"yyyy");
    EXPECT_EQ(IcuPatternToPicture(u"h:mm\u202Fa"), u"h:nn AMPM");  // narrow space made plain
}

TEST(IcuPatternToPicture, QuotesLiteralLettersAndKeepsIdeographs) {
    EXPECT_EQ(IcuPatternToPicture(u"d MMMM y 'г'."), u"d MMMM yyyy г.");  // not a picture letter
    EXPECT_EQ(IcuPatternToPicture(u"d 'de' MMMM"), u"d \"de\" MMMM");
    EXPECT_EQ(IcuPatternToPicture(u"h 'o''clock'"), u"h \"o'clock\"");
    EXPECT_EQ(IcuPatternToPicture(u"h 'say \"hi\"'"), u"h \"say\" '\"hi\"'");
    EXPECT_EQ(IcuPatternToPicture(u"y年M月d日"), u"yyyy年M月d日");
}

TEST(IcuPatternToPicture, WidensYearsAndMapsSeparators) {
    EXPECT_EQ(IcuPatternToPicture(u"dd.MM.yy", {true, u'.', u'/'}), u"dd/MM/yyyy");
    EXPECT_EQ(IcuPatternToPicture(u"HH.mm", {false, u'.', u':'}), u"hh:nn");
    EXPECT_EQ(PatternSeparator(u"dd.MM.yy"), u'.');
    EXPECT_EQ(PatternSeparator(u"y-MM-dd"), u'-');
    EXPECT_EQ(PatternSeparator(u"y年M月d日"), 0);
    EXPECT_EQ(PatternSeparator(u"'le' d"), 0);
}

TEST(LocaleNames, PosixNamesBecomeIcuNames) {
    EXPECT_EQ(IcuLocaleNameFromPosix("de_DE.UTF-8"), "de_DE");
    EXPECT_EQ(IcuLocaleNameFromPosix("de_DE@euro"), "de_DE");
    EXPECT_EQ(IcuLocaleNameFromPosix("C"), "");
    EXPECT_EQ(IcuLocaleNameFromPosix("C.UTF-8"), "");
    EXPECT_EQ(IcuLocaleNameFromPosix("POSIX"), "");
    EXPECT_EQ(IcuLocaleNameFromPosix(""), "");
}

TEST(LocaleFormatSettings, EmptyNameIsTheInvariantProfile) {
    TFormatSettings s = LocaleFormatSettings("");
    EXPECT_EQ(s.DecimalSeparator, u'.');
    EXPECT_EQ(s.ThousandSeparator, u',');
    EXPECT_EQ(s.ShortDateFormat, u"M/d/yyyy");
    EXPECT_EQ(s.LongTimeFormat, u"h:nn:ss AMPM");
    EXPECT_EQ(s.LongMonthNames[8], u"September");
    EXPECT_EQ(s.ShortDayNames[0], u"Sun");
    EXPECT_EQ(s.FirstDayOfWeek, 6);
}

TEST(LocaleFormatSettings, ProcessLocaleUnderCIsInvariant) {
    const char* all = std::getenv("LC_ALL");
    std::string saved = all ? all : "";
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(ProcessLocaleName(), "");
    TFormatSettings s = LoadLocaleFormatSettings();
    EXPECT_EQ(s.ShortDateFormat, TFormatSettings::Invariant().ShortDateFormat);
    EXPECT_EQ(s.TimeAMString, u"AM");
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ(ProcessLocaleName(), "");
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(ProcessLocaleName(), "fr_FR");
    if (all) setenv("LC_ALL", saved.c_str(), 1); else unsetenv("LC_ALL");
}

TEST(LocaleFormatSettings, UnitedStatesMatchesTheInvariantPictures) {
    TFormatSettings s = LocaleFormatSettings("en_US");
    TFormatSettings inv = TFormatSettings::Invariant();
    EXPECT_EQ(s.ShortDateFormat, inv.ShortDateFormat);
    EXPECT_EQ(s.LongDateFormat, inv.LongDateFormat);
    EXPECT_EQ(s.ShortTimeFormat, inv.ShortTimeFormat);
    EXPECT_EQ(s.LongTimeFormat, inv.LongTimeFormat);
    EXPECT_EQ(s.CurrencyString, u"$");
    EXPECT_EQ(s.CurrencyFormat, 0);
    EXPECT_EQ(s.NegCurrFormat, 1);
    EXPECT_EQ(s.FirstDayOfWeek, 6);  // Sunday
}

TEST(LocaleFormatSettings, GermanFromIcuData) {
    TFormatSettings s = LocaleFormatSettings("de_DE");
    EXPECT_EQ(s.DecimalSeparator, u',');
    EXPECT_EQ(s.ThousandSeparator, u'.');
    EXPECT_EQ(s.ListSeparator, u';');
    EXPECT_EQ(s.DateSeparator, u'.');
    EXPECT_EQ(s.ShortDateFormat, u"dd/MM/yyyy");
    EXPECT_EQ(s.LongDateFormat, u"dddd, d. MMMM yyyy");
    EXPECT_EQ(s.ShortTimeFormat, u"hh:nn");
    EXPECT_EQ(s.LongTimeFormat, u"hh:nn:ss");
    EXPECT_EQ(s.LongMonthNames[2], u"März");
    EXPECT_EQ(s.LongDayNames[1], u"Montag");
    EXPECT_EQ(s.CurrencyString, u"€");
    EXPECT_EQ(s.CurrencyFormat, 3);  // "1 €"
    EXPECT_EQ(s.NegCurrFormat, 8);   // "-1 €"
    EXPECT_EQ(s.CurrencyDecimals, 2);
    EXPECT_EQ(s.FirstDayOfWeek, 0);  // Monday
}

TEST(LocaleFormatSettings, UnknownLanguagesGetTheInvariantProfile) {
    TFormatSettings s = LocaleFormatSettings("xx_YY");
    EXPECT_EQ(s.LongMonthNames[0], u"January");
    EXPECT_EQ(s.CurrencyString, u"$");
    // A known language in an unknown region keeps its language's data.
    EXPECT_EQ(LocaleFormatSettings("de_XX").LongMonthNames[0], u"Januar");
}

TEST(LocaleFormatSettings, JapaneseKeepsIdeographsAndHasNoCurrencyDecimals) {
    TFormatSettings s = LocaleFormatSettings("ja_JP");
    EXPECT_EQ(s.ShortDateFormat, u"yyyy/MM/dd");
    EXPECT_EQ(s.LongDateFormat, u"yyyy年M月d日dddd");
    EXPECT_EQ(s.CurrencyDecimals, 0);
    EXPECT_EQ(s.CurrencyFormat, 0);
}

TEST(UseLocale, InstallsSettingsProcessWideAndRestores) {
    std::uint64_t before = CurrentLocaleGeneration();
    UseLocale("de_DE");
    EXPECT_EQ(FormatSettings().DecimalSeparator, u',');
    EXPECT_EQ(CurrentLocaleName(), "de_DE");
    EXPECT_NE(CurrentLocaleGeneration(), before);
    EXPECT_EQ(CurrentLocaleLcid(), 0x0407u);
    UseLocale("xx_YY");  // no data: the invariant profile, not some other language's
    EXPECT_EQ(CurrentLocaleName(), "");
    EXPECT_EQ(FormatSettings().DecimalSeparator, u'.');
    EXPECT_EQ(CurrentLocaleLcid(), 0x0409u);
    UseInvariantLocale();
    EXPECT_EQ(FormatSettings().DecimalSeparator, u'.');
    EXPECT_EQ(CurrentLocaleName(), "");
    EXPECT_EQ(CurrentLocaleLcid(), 0x0409u);
}

}  // namespace
}  // namespace xan::plat
