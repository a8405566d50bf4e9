// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/fonts.h"

#include <QStringList>

namespace orvale {

namespace {

QFont FixedPitch() {
    QFont font;
    font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                      QStringLiteral("Cousine"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

}  // namespace

QFont DesignFont(const QString& family, int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({family, QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arimo")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont FixedPitchFont(int pixelSize) {
    QFont font = FixedPitch();
    font.setPixelSize(pixelSize);
    return font;
}

QFont FixedPitchPrintFont(int pointSize) {
    QFont font = FixedPitch();
    font.setPointSize(pointSize);
    return font;
}

}  // namespace orvale
