#include "platform/text/DateText.h"

namespace xan::plat {

UString DateTimeToStr(TDateTime dt, const TFormatSettings& settings) { return FormatDateTime(u"c", dt, settings); }

UString DateToStr(TDateTime dt, const TFormatSettings& settings) {
    return FormatDateTime(settings.ShortDateFormat, dt, settings);
}

UString TimeToStr(TDateTime dt, const TFormatSettings& settings) {
    return FormatDateTime(settings.LongTimeFormat, dt, settings);
}

}  // namespace xan::plat
