// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's notes box: plain text of at most kMaxNotesLength characters without control
// characters but line breaks and tabs (report/notes.h). What is typed, pasted or composed is held
// to that rule as it arrives; the report lays the text out with NotesLines.
#pragma once

#include <QStringList>
#include <QTextEdit>
#include <string>
#include <vector>

#include "report/notes.h"

namespace orvale {

class NotesMemo : public QTextEdit {
    Q_OBJECT
  public:
    explicit NotesMemo(QWidget* parent = nullptr);

    // The notes as the box holds them, with its line breaks as line feeds; unlike toPlainText(),
    // a no-break space stays one. A saved case and the report both take this text.
    QString Notes() const;
    // The report's lines of the notes (NotesLines of Notes()).
    std::vector<std::string> ReportLines() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    // Characters that may still be inserted in place of the current selection.
    std::size_t Room() const;
};

// The lines of the text as the box wraps it at word boundaries to its width: each wrapped piece
// is a line, an empty line inside the text counts, a line break at the very end starts no
// further line, and an empty box has no lines. In the box's fixed font these are the report's
// NotesLines of the same text.
QStringList DisplayedLines(const QTextEdit& memo);

}  // namespace orvale
