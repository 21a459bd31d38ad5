#pragma once
// The demo's two fonts: a proportional one for the windows, a fixed one for code.
#include <QFont>
#include <QFontDatabase>

namespace xan::demo {

inline QFont UiFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    return font;
}

inline QFont CodeFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setFamilies({QStringLiteral("Courier New"), font.family()});
    // 13 pixels at 96 dots per inch, given in points: the editor component sizes by points only.
    font.setPointSizeF(9.75);
    return font;
}

}  // namespace xan::demo
