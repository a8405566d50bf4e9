// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/guarded_application.h"

#include "desktop/run_guarded.h"

namespace orvale {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowCurrentError(platform_);
    }
    return false;
}

}  // namespace orvale
