#include "platform/core/FormatSettings.h"

namespace xan::plat {

namespace {
TFormatSettings& Current() {
    static TFormatSettings settings;
    return settings;
}
}  // namespace

const TFormatSettings& FormatSettings() noexcept { return Current(); }
void SetFormatSettings(const TFormatSettings& settings) { Current() = settings; }

}  // namespace xan::plat
