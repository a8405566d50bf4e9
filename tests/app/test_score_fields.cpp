// SPDX-License-Identifier: GPL-3.0-or-later
// The score fields through the real worksheet: every way text comes in from the keyboard passes
// the key filter and the length limit, editing keys keep working, and focus that arrives from the
// keyboard or the program selects the whole text while a mouse click places the cursor.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>

#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using Kind = FakePlatform::Kind;

namespace {

const QString kNumericOnly = QStringLiteral("INPUT ERROR\n\nEnter numeric data only.");
const QString kTooLong = QStringLiteral("Maximum length of input is 6 characters.");

// How a text reaches the field.
enum class Way { Key, CtrlV, ShiftInsert, ContextMenu, InputMethod };

void PasteFromContextMenu(QLineEdit* field) {
    const QPoint inside = field->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, inside, field->mapToGlobal(inside));
    QCoreApplication::sendEvent(field, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    const QList<QAction*> actions = menu->actions();
    const auto paste = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
        return action->text().startsWith(QStringLiteral("&Paste"));
    });
    QVERIFY(paste != actions.end() && (*paste)->isEnabled());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(*paste).center());
    QVERIFY(QApplication::activePopupWidget() == nullptr);
}

}  // namespace

Q_DECLARE_METATYPE(Way)

class ScoreFieldTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void everyWayInPassesTheFilter_data();
    void everyWayInPassesTheFilter();
    void editingKeysKeepWorking();
    void keyboardAndProgramFocusSelectTheText();
    void mouseClickPlacesTheCursor();
    void restartThenTypeReplacesTheRememberedScore();
};

void ScoreFieldTest::everyWayInPassesTheFilter_data() {
    QTest::addColumn<Way>("way");
    QTest::addColumn<QString>("text");  // the key's text, the clipboard or the committed text
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expected");  // the field held "9", the cursor at its end
    QTest::addColumn<QStringList>("messages");

    const Qt::KeyboardModifiers none;
    const QStringList quiet;
    const QStringList refused{kNumericOnly};
    const QStringList cut{kTooLong};
    QTest::newRow("Ctrl+V letters and digits")
        << Way::CtrlV << "ab1234567890" << 0 << none << "9" << refused;
    QTest::newRow("Ctrl+V digits past six")
        << Way::CtrlV << "1234567890" << 0 << none << "912345" << cut;
    QTest::newRow("Ctrl+V comma") << Way::CtrlV << "2,5" << 0 << none << "92.5" << quiet;
    QTest::newRow("Shift+Insert letter") << Way::ShiftInsert << "1x" << 0 << none << "9" << refused;
    QTest::newRow("menu Paste letters")
        << Way::ContextMenu << "ab12" << 0 << none << "9" << refused;
    QTest::newRow("menu Paste past six")
        << Way::ContextMenu << "12345678" << 0 << none << "912345" << cut;
    QTest::newRow("menu Paste comma") << Way::ContextMenu << "1,5" << 0 << none << "91.5" << quiet;
    QTest::newRow("Alt+A") << Way::Key << "a" << int(Qt::Key_A)
                           << Qt::KeyboardModifiers(Qt::AltModifier) << "9" << refused;
    QTest::newRow("Meta+A") << Way::Key << "a" << int(Qt::Key_A)
                            << Qt::KeyboardModifiers(Qt::MetaModifier) << "9" << refused;
    QTest::newRow("AltGr @ as Ctrl+Alt")
        << Way::Key << "@" << int(Qt::Key_Q)
        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::AltModifier) << "9" << refused;
    QTest::newRow("AltGr euro") << Way::Key << "\u20AC" << int(Qt::Key_E)
                                << Qt::KeyboardModifiers(Qt::GroupSwitchModifier) << "9" << refused;
    QTest::newRow("Ctrl+Shift zero-width joiner")
        << Way::Key << "\u200D" << int(Qt::Key_unknown)
        << Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier) << "9" << refused;
    QTest::newRow("keypad comma") << Way::Key << "," << int(Qt::Key_Comma)
                                  << Qt::KeyboardModifiers(Qt::KeypadModifier) << "9." << quiet;
    QTest::newRow("emoji key") << Way::Key << QString::fromUtf8("\xF0\x9F\x98\x80")
                               << int(Qt::Key_unknown) << none << "9" << refused;
    QTest::newRow("key text of two digits")
        << Way::Key << "12" << int(Qt::Key_unknown) << none << "912" << quiet;
    QTest::newRow("composed e acute")
        << Way::InputMethod << "\u00E9" << 0 << none << "9" << refused;
    QTest::newRow("composed digits past six")
        << Way::InputMethod << "1234567" << 0 << none << "912345" << cut;
}

void ScoreFieldTest::everyWayInPassesTheFilter() {
    QFETCH(Way, way);
    QFETCH(QString, text);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expected);
    QFETCH(QStringList, messages);

    QLineEdit* field = program_->field(3);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_9);
    QCOMPARE(field->text(), QStringLiteral("9"));
    if (way != Way::Key && way != Way::InputMethod) {
        QApplication::clipboard()->setText(text);
        QCOMPARE(QApplication::clipboard()->text(), text);
    }
    switch (way) {
        case Way::Key:
            QTest::sendKeyEvent(QTest::Click, field, static_cast<Qt::Key>(key), text, modifiers);
            break;
        case Way::CtrlV:
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
            break;
        case Way::ShiftInsert:
            QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
            break;
        case Way::ContextMenu:
            PasteFromContextMenu(field);
            break;
        case Way::InputMethod: {
            QInputMethodEvent composing(QStringLiteral("'"), {});
            QCoreApplication::sendEvent(field, &composing);
            QInputMethodEvent committed;
            committed.setCommitString(text);
            QCoreApplication::sendEvent(field, &committed);
            break;
        }
    }
    QCOMPARE(field->text(), expected);
    QCOMPARE(program_->platform().Texts(Kind::Warning), messages);
    QCOMPARE(program_->platform().beeps, static_cast<int>(messages.size()));
    // A cut entry is selected whole, so that the next key replaces it.
    if (messages == QStringList{kTooLong}) QCOMPARE(field->selectedText(), expected);
    QCOMPARE(program_->field(2)->text(), QString());  // nothing spills into a neighbour
}

void ScoreFieldTest::editingKeysKeepWorking() {
    QLineEdit* field = program_->field(0);
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("1234"));
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClick(field, Qt::Key_Delete);     // 124, cursor after the 2
    QTest::keyClick(field, Qt::Key_Backspace);  // 14
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClicks(field, QStringLiteral("7"));  // 714
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, QStringLiteral("."));
    QCOMPARE(field->text(), QStringLiteral("714."));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(field->selectedText(), QStringLiteral("714."));
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("714."));
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(field->text(), QString());
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(field->text(), QStringLiteral("714."));
    QTest::keyClick(field, Qt::Key_Escape);
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(field->text(), QStringLiteral("714."));
    QVERIFY(program_->platform().messages.empty());
    QCOMPARE(program_->platform().beeps, 0);
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), program_->field(1));
}

void ScoreFieldTest::keyboardAndProgramFocusSelectTheText() {
    const QStringList scores = {"10", "11", "25", "8", "12", "10", "13", "7"};
    program_->TypeScores(scores);
    QLineEdit* first = program_->field(0);
    QLineEdit* second = program_->field(1);
    first->setFocus();
    first->deselect();
    QTest::keyClick(first, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), second);
    QCOMPARE(second->selectedText(), QStringLiteral("11"));
    QTest::keyClick(second, Qt::Key_Backtab);
    QCOMPARE(first->selectedText(), QStringLiteral("10"));

    // A failed check puts the focus on the field at fault with its text selected.
    program_->Compute();
    QCOMPARE(QApplication::focusWidget(), program_->field(2));
    QCOMPARE(program_->field(2)->selectedText(), QStringLiteral("25"));
    QTest::keyClicks(program_->field(2), QStringLiteral("9"));
    QCOMPARE(program_->field(2)->text(), QStringLiteral("9"));

    // Back from the viewer, a score field that kept the focus is selected whole.
    program_->field(5)->setFocus();
    program_->field(5)->deselect();
    program_->worksheet().cmdComputeClick();
    QVERIFY(program_->results().isVisible());
    program_->Click(program_->resultsControl("cmdReturn"));
    QVERIFY(program_->worksheet().isVisible());
    QCOMPARE(program_->worksheet().focusWidget(), program_->field(5));
    QCOMPARE(program_->field(5)->selectedText(), QStringLiteral("10"));

    // Clear Data empties the fields and puts the focus in the first, ready for typing.
    program_->Click(program_->worksheetControl("btnclearData"));
    QCOMPARE(program_->worksheet().focusWidget(), first);
    QTest::keyClicks(first, QStringLiteral("4"));
    QCOMPARE(first->text(), QStringLiteral("4"));
}

void ScoreFieldTest::mouseClickPlacesTheCursor() {
    QLineEdit* field = program_->field(4);
    field->setText(QStringLiteral("12345"));
    program_->field(0)->setFocus();
    const QPoint left(2, field->height() / 2);
    QTest::mouseClick(field, Qt::LeftButton, {}, left);
    QCOMPARE(QApplication::focusWidget(), field);
    QVERIFY(!field->hasSelectedText());
    QCOMPARE(field->cursorPosition(), 0);
    QTest::keyClicks(field, QStringLiteral("1"));
    QCOMPARE(field->text(), QStringLiteral("112345"));
}

void ScoreFieldTest::restartThenTypeReplacesTheRememberedScore() {
    orvale::testing::WriteFile(program_->dataFile(), "1 11 9 8 12 10 13 7 \n");
    program_->Restart();
    QLineEdit* blockDesign = program_->field(0);
    QCOMPARE(blockDesign->text(), QStringLiteral("1"));
    QCOMPARE(QApplication::focusWidget(), blockDesign);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("5"));
    QCOMPARE(blockDesign->text(), QStringLiteral("5"));
    program_->Compute();
    QVERIFY(program_->results().isVisible());
    QVERIFY(orvale::testing::ReadFile(program_->dataFile()).startsWith("5 11 9 8 12 10 13 7 "));
}

QTEST_MAIN(ScoreFieldTest)
#include "test_score_fields.moc"
