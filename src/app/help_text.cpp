// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu's texts: see help_text.h. The README is built into the program as a resource, so
// the in-program help and the README never disagree.
#include "app/help_text.h"

#include <QFile>

namespace orvale {

QString HowToUseText() {
    QFile readme(QStringLiteral(":/help/README.md"));
    if (!readme.open(QIODevice::ReadOnly)) return QStringLiteral("The help text is missing.");
    const QString text = QString::fromUtf8(readme.readAll());
    const QString heading = QStringLiteral("## How to use");
    const qsizetype start = text.indexOf(heading);
    if (start < 0) return text;
    const qsizetype end = text.indexOf(QStringLiteral("\n## "), start + heading.size());
    return QStringLiteral("# How to use ORVALE") +
           text.mid(start + heading.size(), end < 0 ? -1 : end - start - heading.size());
}

}  // namespace orvale
