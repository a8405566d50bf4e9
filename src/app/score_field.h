// SPDX-License-Identifier: GPL-3.0-or-later
// A score field of the worksheet: a one-line edit box whose text comes in from the keyboard only
// through the worksheet's key filter (typing, pasting by key or context menu, input methods),
// and which selects its whole text when the keyboard or the program gives it the focus.
#pragma once

#include <QLineEdit>
#include <array>
#include <functional>
#include <optional>

#include "engine/scoring.h"

namespace orvale {

// The score fields' control names, in field order: the worksheet names its fields so, and the
// tests and tools find them by these names.
inline constexpr std::array<const char*, kSubtestCount> kScoreFieldNames = {
    "txtInput1", "txtInput2", "txtInput3", "txtInput4",
    "txtInput5", "txtInput6", "txtInput7", "txtinput8"};

// The engine's FilterNumericText for the text of a Qt event.
std::optional<QString> FilterNumericText(const QString& text);

class ScoreField : public QLineEdit {
    Q_OBJECT
  public:
    // Replaces the text about to be inserted by what to insert; leaves it empty to insert
    // nothing.
    using TextFilter = std::function<void(QString& text)>;
    // The length limit: after every key release, and after text that came without a key.
    using LengthCheck = std::function<void()>;

    ScoreField(TextFilter filter, LengthCheck lengthCheck, QWidget* parent);

    // Focus from the program: the whole text is selected, so that the next key replaces it.
    void FocusAndSelectAll();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    // Inserts what the filter makes of text in place of the selection; false when nothing was.
    bool InsertFiltered(QString text);
    bool PasteFiltered();

    TextFilter filter_;
    LengthCheck lengthCheck_;
};

}  // namespace orvale
