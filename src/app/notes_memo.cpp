// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/notes_memo.h"

#include <QAbstractTextDocumentLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>
#include <QTextLayout>

namespace orvale {

NotesMemo::NotesMemo(QWidget* parent) : QTextEdit(parent) {
    setAcceptRichText(false);
    setTabChangesFocus(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

int NotesMemo::Room() const {
    const QTextCursor cursor = textCursor();
    return kMaxNotesLength - static_cast<int>(document()->characterCount() - 1) +
           static_cast<int>(cursor.selectionEnd() - cursor.selectionStart());
}

void NotesMemo::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool inserts = !text.isEmpty() && (text[0].isPrint() || text[0] == u'\r') &&
                         !(event->modifiers() & Qt::ControlModifier);
    if (inserts && Room() < text.size()) {
        event->accept();  // the box is full: the key is refused
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void NotesMemo::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    insertPlainText(source->text().left(std::max(0, Room())));
}

void NotesMemo::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed by an input method (accents, compose sequences, other scripts) arrives here
    // rather than as key presses; it is held to the same limit.
    const QString commit = event->commitString();
    const int room = Room();
    if (commit.size() > room) {
        QInputMethodEvent limited(event->preeditString(), event->attributes());
        limited.setCommitString(commit.left(std::max(0, room)), event->replacementStart(),
                                event->replacementLength());
        QTextEdit::inputMethodEvent(&limited);
        return;
    }
    QTextEdit::inputMethodEvent(event);
}

QStringList DisplayedLines(const QTextEdit& memo) {
    QTextDocument* document = memo.document();
    QStringList lines;
    if (document->isEmpty()) return lines;
    document->documentLayout()->documentSize();  // lays out the whole text
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        const QTextLayout* layout = block.layout();
        if (layout == nullptr || layout->lineCount() == 0) {
            lines.append(text);
            continue;
        }
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            lines.append(text.mid(line.textStart(), line.textLength()));
        }
    }
    if (lines.size() > 1 && document->lastBlock().text().isEmpty()) lines.removeLast();
    return lines;
}

}  // namespace orvale
