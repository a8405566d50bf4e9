// SPDX-License-Identifier: GPL-3.0-or-later
// The windows' fonts scaled to the user's font size: see fonts.h.
#include "desktop/fonts.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>

namespace orvale {

namespace {
constexpr double kReferencePixels = 12.0;  // 9 points at 96 dots per inch
}  // namespace

double UserFontScale() {
    const int pixels = QFontInfo(QGuiApplication::font()).pixelSize();
    return std::max(1.0, pixels / kReferencePixels);
}

QFont FollowUserFont(QFont designFont) {
    if (designFont.pixelSize() > 0) {
        designFont.setPixelSize(
            static_cast<int>(std::floor(designFont.pixelSize() * UserFontScale())));
    }
    return designFont;
}

}  // namespace orvale
