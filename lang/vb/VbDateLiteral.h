#pragma once
// Date literals of the VBScript dialect: #2016/12/15#, #12/15#, #10:30 PM 2016/1/1# ...
//
// Kept apart from the scanner because the literal has a small grammar of its own (date part and
// time part in either order, two-digit years, AM/PM) that is easier to get right and to test on
// its own.
#include "platform/core/Types.h"

namespace xan::vb {

// Scans a date literal whose opening '#' has been consumed; ACur points at the character after
// it. On success answers true, stores the value (date plus time of day) and leaves ACur after
// the closing '#'. On a malformed or invalid literal answers false and leaves ACur on the
// character at which the scan stopped (the error is reported at the character before it).
// A two-component date takes the year from ACurrentYear.
bool ScanVbDateLiteral(const char16_t*& ACur, int ACurrentYear, plat::TDateTime& AValue);

}  // namespace xan::vb
