// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/guarded_application.h"

#include <exception>

#include "desktop/platform.h"

namespace orvale {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportError(QStringLiteral("An unexpected error occurred."));
    }
    return false;
}

void GuardedApplication::ReportError(const QString& message) {
    if (platform_ != nullptr) {
        platform_->ShowError(message);
    } else {
        qWarning("%s", qUtf8Printable(message));
    }
}

}  // namespace orvale
