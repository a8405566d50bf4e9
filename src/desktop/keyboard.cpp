// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard rules shared by both windows: see keyboard.h.
#include "desktop/keyboard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QProxyStyle>

namespace orvale {

namespace {

class ModifiedLetterFilter : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress &&
            IsModifiedLetter(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

// The application's style, but with Alt alone leading to the menu bar.
class AltNavigationStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

class FocusAlwaysShown : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) {
            static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange, true);
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

bool IsModifiedLetter(const QKeyEvent& event) {
    const Qt::KeyboardModifiers chord =
        event.modifiers() & (Qt::AltModifier | Qt::MetaModifier | Qt::ControlModifier);
    if (chord == Qt::NoModifier) return false;
    const QString text = event.text();
    // Some platforms send no text with a chord; the key itself then tells the letter.
    if (text.isEmpty()) return false;
    // Ctrl+Alt is how some keyboards report AltGr, which types characters such as "@" or "{":
    // only a letter is refused there. Any other chord types no text at all, digits and
    // punctuation included (Alt+5 would otherwise put a 5 into a report's figure).
    const bool mayBeAltGr = chord == (Qt::ControlModifier | Qt::AltModifier);
    for (const QChar c : text) {
        if (mayBeAltGr ? !c.isLetter() : !c.isPrint()) return false;
    }
    return true;
}

void RefuseModifiedLetters(QWidget* control) {
    control->installEventFilter(new ModifiedLetterFilter(control));
}

void EnableAltMenuNavigation(QMenuBar* menuBar) {
    auto* style = new AltNavigationStyle;
    style->setParent(menuBar);
    menuBar->setStyle(style);
}

void ShowFocusAlways(QWidget* window) {
    window->installEventFilter(new FocusAlwaysShown(window));
}

}  // namespace orvale
