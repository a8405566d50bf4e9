// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/notes_memo.h"

#include <QAbstractTextDocumentLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QStringDecoder>
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

namespace {

std::size_t Length(const QString& text) {
    return NotesLength(text.toStdString());
}

// What the box keeps of text inserted where room characters are left: line breaks, but no other
// control character (the box cannot hold them), and no more than fits.
QString Insertable(const QString& text, std::size_t room) {
    const std::string kept =
        NotesPrefix(NotesWithoutRefusedCharacters(NotesWithLineFeeds(text.toStdString())), room);
    // A U+FEFF that starts the text is kept, as a character like any other.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(QByteArrayView(kept.data(), static_cast<qsizetype>(kept.size())));
}

}  // namespace

QString NotesMemo::Notes() const {
    QString text = document()->toRawText();
    return text.replace(QChar::ParagraphSeparator, u'\n').replace(QChar::LineSeparator, u'\n');
}

std::vector<std::string> NotesMemo::ReportLines() const {
    return NotesLines(Notes().toStdString());
}

std::size_t NotesMemo::Room() const {
    // selectedText() ends a paragraph with U+2029, one character as the line feed it stands for.
    const std::size_t used = Length(toPlainText());
    const std::size_t replaced = Length(textCursor().selectedText());
    return used - replaced >= kMaxNotesLength ? 0 : kMaxNotesLength - (used - replaced);
}

void NotesMemo::keyPressEvent(QKeyEvent* event) {
    const QString kept = Insertable(event->text(), kMaxNotesLength);
    const bool inserts = !kept.isEmpty() && !(event->modifiers() & Qt::ControlModifier);
    if (inserts && Room() < Length(kept)) {
        event->accept();  // the box is full: the key is refused
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void NotesMemo::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText()) return;
    insertPlainText(Insertable(source->text(), Room()));
}

void NotesMemo::inputMethodEvent(QInputMethodEvent* event) {
    // Text composed by an input method (accents, compose sequences, other scripts) arrives here
    // rather than as key presses; it is held to the same rule.
    const QString commit = event->commitString();
    const QString kept = Insertable(commit, Room());
    if (kept != commit) {
        QInputMethodEvent limited(event->preeditString(), event->attributes());
        limited.setCommitString(kept, event->replacementStart(), event->replacementLength());
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
