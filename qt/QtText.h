#pragma once
// Texts between the engine (UTF-16 UString) and Qt (QString, also UTF-16): a copy, no
// conversion.
#include <QString>

#include "platform/core/UString.h"

namespace xan::qt {

inline QString ToQString(const plat::UString& AText) {
    const auto view = AText.view();
    return QString::fromUtf16(view.data(), static_cast<qsizetype>(view.size()));
}

inline plat::UString FromQString(const QString& AText) {
    return plat::UString(std::u16string_view(reinterpret_cast<const char16_t*>(AText.utf16()),
                                             static_cast<std::size_t>(AText.size())));
}

}  // namespace xan::qt
