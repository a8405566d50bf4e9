// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's notes box: plain text of at most 250 characters. The report reproduces the
// notes as the lines the box displays, so DisplayedLines reads them off the box's own layout.
#pragma once

#include <QStringList>
#include <QTextEdit>

namespace orvale {

inline constexpr int kMaxNotesLength = 250;

class NotesMemo : public QTextEdit {
    Q_OBJECT
  public:
    explicit NotesMemo(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    // Characters that may still be inserted in place of the current selection.
    int Room() const;
};

// The lines of the text as the box wraps it at word boundaries to its width: each wrapped piece
// is a line, an empty line inside the text counts, a line break at the very end starts no
// further line, and an empty box has no lines.
QStringList DisplayedLines(const QTextEdit& memo);

}  // namespace orvale
