#pragma once
// Translation of ICU date/time patterns (letters y M d E H h m s a ...) into the picture language
// of the format settings (yyyy M d dddd h n s AMPM, '/' and ':' standing for the locale's date and
// time separators, literal text in double quotes).
#include <string_view>

#include "platform/core/UString.h"

namespace xan::plat {

struct PictureOptions {
    // Two-digit years lose the century, so short date formats used for both output and parsing
    // are widened to four digits.
    bool widenTwoDigitYear = false;
    // A literal character that stands for the locale's separator and is written as '/' (date) or
    // ':' (time) in the picture; 0 leaves literals alone.
    char16_t separator = 0;
    char16_t separatorPicture = 0;
};

UString IcuPatternToPicture(std::u16string_view pattern, const PictureOptions& options = {});

// The first literal character between the fields of an ICU pattern when it is a separator
// ('/', '.', '-', ':' or ','); 0 otherwise (no literal, or an ideograph such as a year mark).
char16_t PatternSeparator(std::u16string_view pattern);

}  // namespace xan::plat
