// SPDX-License-Identifier: GPL-3.0-or-later
// Design layouts scaled to the user's font and fitted to the screen: see design_layout.h.
#include "desktop/design_layout.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QWidget>
#include <cmath>

#include "desktop/fonts.h"

namespace orvale {

namespace {

QRect Scaled(const QRect& design) {
    // Scaling the edges rather than the sizes keeps neighbouring controls exactly adjacent.
    const int left = DesignPixels(design.left());
    const int top = DesignPixels(design.top());
    return {left, top, DesignPixels(design.left() + design.width()) - left,
            DesignPixels(design.top() + design.height()) - top};
}

void ScaleChildren(QWidget* parent) {
    if (parent->layout() != nullptr) return;  // its layout places the children
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->isWindow()) continue;
        child->setGeometry(Scaled(child->geometry()));
        // A scrolling control lays out its own viewport and scroll bars.
        if (qobject_cast<QAbstractScrollArea*>(child) == nullptr) ScaleChildren(child);
    }
}

}  // namespace

int DesignPixels(int designPixels) {
    return static_cast<int>(std::lround(designPixels * UserFontScale()));
}

void ScaleDesignLayout(QWidget* client) {
    if (UserFontScale() == 1.0) return;
    const QSize design = client->size();
    client->setFixedSize(DesignPixels(design.width()), DesignPixels(design.height()));
    ScaleChildren(client);
}

QScrollArea* MakeClientScrollArea(QWidget* client, QWidget* parent) {
    auto* scrollArea = new QScrollArea(parent);
    scrollArea->setObjectName(QStringLiteral("clientScrollArea"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidget(client);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    // Whatever moves the focus (Tab, the arrow keys, the program, the window opening), a keyboard
    // user sees the control that has it: the area scrolls it into view.
    QObject::connect(qApp, &QApplication::focusChanged, scrollArea,
                     [scrollArea, client](QWidget*, QWidget* now) {
                         if (now != nullptr && client->isAncestorOf(now)) {
                             scrollArea->ensureWidgetVisible(now);
                         }
                     });
    return scrollArea;
}

void FitWindowToScreen(QWidget* window, QSize whole) {
    const QScreen* screen =
        window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
    const QRect available =
        screen != nullptr ? screen->availableGeometry() : QRect(QPoint(), whole);
    // Room for the window frame and title bar, which the window manager adds outside.
    constexpr int kFrameWidthAllowance = 8;
    constexpr int kFrameHeightAllowance = 40;
    const QSize room(available.width() - kFrameWidthAllowance,
                     available.height() - kFrameHeightAllowance);
    if (whole.width() <= room.width() && whole.height() <= room.height()) {
        window->setFixedSize(whole);
    } else {
        // Too large for the screen: the window fits it and the client area scrolls.
        window->setMinimumSize(QSize(240, 160).boundedTo(room));
        window->setMaximumSize(whole);
        window->resize(whole.boundedTo(room));
    }
    window->move(available.center() - window->rect().center());
}

}  // namespace orvale
