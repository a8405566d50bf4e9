// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/run_guarded.h"

#include <QString>
#include <QtGlobal>
#include <exception>

#include "desktop/platform.h"

namespace orvale {

void ShowCurrentError(Platform* platform) {
    QString message;
    try {
        throw;
    } catch (const std::exception& error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("An unexpected error occurred.");
    }
    if (platform != nullptr) {
        platform->ShowError(message);
    } else {
        qWarning("%s", qUtf8Printable(message));
    }
}

}  // namespace orvale
