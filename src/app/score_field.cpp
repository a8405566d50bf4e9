// SPDX-License-Identifier: GPL-3.0-or-later
// The score field's ways in for text (typing, pasting by key or context menu, input methods),
// each through the worksheet's key filter, and its selection of the whole text on entry.
#include "app/score_field.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <algorithm>

#include "engine/entry.h"

namespace orvale {

namespace {

// Whether a key press brings text into the field, whatever its modifiers: Alt, Meta, AltGr
// (Ctrl+Alt on some systems) and the keypad all type the character the keyboard produced, since
// any chord bound to a shortcut was taken by the shortcut before it reached the field. Ctrl and
// Ctrl+Shift chords are the field's own editing shortcuts (select all, copy, cut, undo), except
// for the formatting characters (zero-width joiner and the like) that some keyboards type that
// way. Editing keys (backspace, delete, enter, escape) carry only control characters.
bool CarriesText(const QKeyEvent& event) {
    const QString text = event.text();
    if (text.isEmpty()) return false;
    const Qt::KeyboardModifiers chord =
        event.modifiers() &
        (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chord == Qt::ControlModifier || chord == (Qt::ControlModifier | Qt::ShiftModifier)) {
        return text[0].category() == QChar::Other_Format;
    }
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return c.category() != QChar::Other_Control; });
}

}  // namespace

std::optional<QString> FilterNumericText(const QString& text) {
    const std::optional<std::string> inserted = FilterNumericText(text.toStdString());
    if (!inserted) return std::nullopt;
    return QString::fromLatin1(*inserted);
}

ScoreField::ScoreField(TextFilter filter, LengthCheck lengthCheck, QWidget* parent)
    : QLineEdit(parent), filter_(std::move(filter)), lengthCheck_(std::move(lengthCheck)) {}

void ScoreField::FocusAndSelectAll() {
    setFocus(Qt::OtherFocusReason);
    // The field may have had the focus already, or its window may be inactive: then no focus
    // event comes, and the text is selected here.
    selectAll();
}

bool ScoreField::InsertFiltered(QString text) {
    if (isReadOnly()) return false;
    filter_(text);
    if (text.isEmpty()) return false;
    insert(text);
    return true;
}

bool ScoreField::PasteFiltered() {
    const QString clipboard = QGuiApplication::clipboard()->text();
    return !clipboard.isEmpty() && InsertFiltered(clipboard);
}

void ScoreField::keyPressEvent(QKeyEvent* event) {
    // Ctrl+V and Shift+Insert; the key release that follows applies the length limit.
    if (event->matches(QKeySequence::Paste)) {
        PasteFiltered();
        event->accept();
        return;
    }
    if (CarriesText(*event)) {
        InsertFiltered(event->text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ScoreField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    if (!event->isAutoRepeat()) lengthCheck_();
}

void ScoreField::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed by an input method (accents, compose sequences, other scripts) arrives here
    // rather than as key presses. What is still being composed shows in the field but is not its
    // text; only the committed text goes through the filter.
    QString commit = event->commitString();
    if (commit.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    filter_(commit);
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    if (!commit.isEmpty()) {
        filtered.setCommitString(commit, event->replacementStart(), event->replacementLength());
    }
    QLineEdit::inputMethodEvent(&filtered);
    event->accept();
    if (!commit.isEmpty()) lengthCheck_();  // no key release follows a committed text
}

void ScoreField::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    if (menu == nullptr) return;
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's Paste goes through the filter like Ctrl+V; no key release follows it. The
    // action is known by its connection to paste(), made by name or by pointer.
    for (QAction* action : menu->actions()) {
        if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
            disconnect(action, &QAction::triggered, this, &QLineEdit::paste)) {
            connect(action, &QAction::triggered, this, [this] {
                if (PasteFiltered()) lengthCheck_();
            });
        }
    }
    menu->popup(event->globalPos());
}

void ScoreField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    switch (event->reason()) {
        case Qt::MouseFocusReason:         // the click places the cursor where it was made
        case Qt::PopupFocusReason:         // a closed context menu leaves the field as it was
        case Qt::ActiveWindowFocusReason:  // back from another window: as the user left it
            return;
        default:  // Tab, Shift+Tab, shortcuts and the program's own focus
            selectAll();
    }
}

}  // namespace orvale
