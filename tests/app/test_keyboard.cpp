// SPDX-License-Identifier: GPL-3.0-or-later
// The program without a mouse: modified letters never change a text, Alt reaches the menus, the
// whole flow by keys, the focus frame on the control that has the focus, the print dialog and
// preview, and a screen too small for the worksheet.
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStyleFactory>
#include <QTest>
#include <QTextEdit>

#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::PdfPageCount;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using Kind = FakePlatform::Kind;

namespace {
// A style that, like some desktops' own, does not lead Alt alone to the menu bar.
class NoAltNavigationStyle : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

const QStringList kScores = {"10", "15", "10", "10", "16", "10", "10", "10"};
}  // namespace

class KeyboardTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void modifiedLettersNeverEnterTheMemos_data();
    void modifiedLettersNeverEnterTheMemos();
    void altLetterOpensTheMenu();
    void altAloneFocusesTheMenuBar();
    void wholeFlowByKeys();
    void focusFrameShowsInBothPalettes();
    void printDialogAndPreview();
    void everyControlReachableOnASmallScreen();
};

void KeyboardTest::modifiedLettersNeverEnterTheMemos_data() {
    QTest::addColumn<QString>("memo");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");  // the memo held "abc" with "b" selected
    for (const char* memo : {"memoResults", "memoComments"}) {
        const QByteArray name(memo);
        QTest::newRow(name + " Alt+P") << memo << int(Qt::AltModifier) << "p"
                                       << "abc";
        QTest::newRow(name + " Meta+P") << memo << int(Qt::MetaModifier) << "p"
                                        << "abc";
        QTest::newRow(name + " Alt+5") << memo << int(Qt::AltModifier) << "5"
                                       << "abc";
        QTest::newRow(name + " Alt+.") << memo << int(Qt::AltModifier) << "."
                                       << "abc";
        QTest::newRow(name + " Ctrl+Alt+E")
            << memo << int(Qt::ControlModifier | Qt::AltModifier) << "e"
            << "abc";
        // AltGr on a keyboard that reports it as Ctrl+Alt types a character that is no letter.
        QTest::newRow(name + " AltGr @")
            << memo << int(Qt::ControlModifier | Qt::AltModifier) << "@"
            << "a@c";
        QTest::newRow(name + " plain p") << memo << 0 << "p"
                                         << "apc";
    }
}

void KeyboardTest::modifiedLettersNeverEnterTheMemos() {
    QFETCH(QString, memo);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    if (memo == "memoResults") {
        program_->TypeScores(kScores);
        program_->Compute();
    }
    QWidget* window = memo == "memoResults" ? static_cast<QWidget*>(&program_->results())
                                            : static_cast<QWidget*>(&program_->worksheet());
    auto* edit = window->findChild<QWidget*>(memo);
    const auto setText = [edit](const QString& value) {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) plain->setPlainText(value);
        if (auto* rich = qobject_cast<QTextEdit*>(edit)) rich->setPlainText(value);
    };
    const auto textOf = [edit] {
        if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) return plain->toPlainText();
        return qobject_cast<QTextEdit*>(edit)->toPlainText();
    };
    setText(QStringLiteral("abc"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
    const Qt::Key key = text == "@" ? Qt::Key_Q : static_cast<Qt::Key>(text.toUpper()[0].unicode());
    QTest::sendKeyEvent(QTest::Click, edit, key, text, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(textOf(), expected);
}

void KeyboardTest::altLetterOpensTheMenu() {
    QLineEdit* field = program_->field(0);
    field->setFocus();
    QTest::keyClick(field, Qt::Key_F, Qt::AltModifier);
    auto* file = program_->worksheet().findChild<QMenu*>("mnuFile");
    QTRY_VERIFY(file->isVisible());
    QVERIFY(field->text().isEmpty());
    file->close();
    // In the viewer, each menu by its letter, the report unchanged.
    program_->TypeScores(kScores);
    program_->Compute();
    auto* memo = program_->results().findChild<QPlainTextEdit*>("memoResults");
    const QString report = memo->toPlainText();
    program_->results().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&program_->results()));
    memo->setFocus();
    for (const auto& [key, name] :
         {std::pair{Qt::Key_P, "File1"}, std::pair{Qt::Key_R, "mnuReport"},
          std::pair{Qt::Key_H, "mnuHelp"}}) {
        QTest::keyClick(memo, key, Qt::AltModifier);
        auto* menu = program_->results().findChild<QMenu*>(name);
        QTRY_VERIFY2(menu->isVisible(), name);
        menu->close();
        QTRY_VERIFY(!menu->isVisible());
    }
    QCOMPARE(memo->toPlainText(), report);
}

void KeyboardTest::altAloneFocusesTheMenuBar() {
    const QString styleName = QApplication::style()->name();
    QApplication::setStyle(new NoAltNavigationStyle(QStyleFactory::create(styleName)));
    const auto restoreStyle = qScopeGuard([&] { QApplication::setStyle(styleName); });
    QWidget& sheet = program_->worksheet();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    QLineEdit* field = program_->field(0);
    field->setFocus();
    auto* menuBar = sheet.findChild<QMenuBar*>();
    QTest::keyPress(field, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(field, Qt::Key_Alt);
    QTRY_COMPARE(QApplication::focusWidget(), menuBar);
    QCOMPARE(menuBar->activeAction(), menuBar->actions().value(0));
    QVERIFY(field->text().isEmpty());
    // Escape gives the keyboard back to the field.
    QTest::keyClick(menuBar, Qt::Key_Escape);
    QTRY_COMPARE(QApplication::focusWidget(), field);
}

void KeyboardTest::wholeFlowByKeys() {
    FakePlatform& platform = program_->platform();
    QWidget& sheet = program_->worksheet();
    for (int k = 0; k < kScores.size(); ++k) {
        QTest::keyClicks(QApplication::focusWidget(), kScores[k]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    // Tab reaches each set of options at its chosen one; the arrow keys choose another.
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("RadioGroup1_item0"));
    for (int set = 0; set < 5; ++set) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QTest::keyClicks(QApplication::focusWidget(), "By keys");
    QCOMPARE(sheet.findChild<QTextEdit*>("memoComments")->toPlainText(), QStringLiteral("By keys"));
    const orvale::ScoringOptions options = program_->worksheet().Options();
    QVERIFY(options.applyBonferroni && options.trueScoreDifferences && !options.calculateGai);
    QCOMPARE(options.confidenceMethod, 1);
    QCOMPARE(options.cutoffIndex, 2);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return, Qt::ControlModifier);
    QVERIFY(program_->results().isVisible());
    QVERIFY(QTest::qWaitForWindowActive(&program_->results()));
    QCOMPARE(program_->results().focusWidget(), program_->resultsControl("cmdReturn"));
    const QString saved = program_->folder() + "/keys.txt";
    platform.saveAnswers = {saved};
    QTest::keyClick(&program_->results(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(ReadFile(saved), program_->results().MemoTextForFile());
    QTest::keyClick(&program_->results(), Qt::Key_Escape);
    QVERIFY(sheet.isVisible() && program_->results().isHidden());
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    platform.confirmAnswers = {true};
    QTest::keyClick(&sheet, Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(platform.Texts(Kind::Confirm), QStringList{"Exit from program?"});
    QCOMPARE(platform.endApplicationCalls, 1);
}

void KeyboardTest::focusFrameShowsInBothPalettes() {
    program_->TypeScores(kScores);
    program_->Compute();
    QVERIFY(QTest::qWaitForWindowActive(&program_->results()));
    auto* back = program_->resultsControl("cmdReturn");
    auto* exit = program_->resultsControl("cmdExit");
    QCOMPARE(program_->results().focusWidget(), back);
    for (const bool highContrast : {false, true}) {
        if (highContrast) {
            QPalette contrast;
            contrast.setColor(QPalette::Window, Qt::black);
            contrast.setColor(QPalette::Button, Qt::black);
            contrast.setColor(QPalette::ButtonText, Qt::white);
            contrast.setColor(QPalette::WindowText, Qt::white);
            contrast.setColor(QPalette::Highlight, Qt::yellow);
            program_->results().setPalette(contrast);
        }
        back->setFocus();
        const QImage focused = back->grab().toImage();
        exit->setFocus();
        const QImage unfocused = back->grab().toImage();
        QVERIFY2(focused != unfocused, highContrast ? "high contrast" : "default palette");
    }
    // On the worksheet, every button and option the keyboard can reach.
    program_->Click(back);
    QVERIFY(QTest::qWaitForWindowActive(&program_->worksheet()));
    QLineEdit* field = program_->field(0);
    int checked = 0;
    for (QAbstractButton* button : program_->worksheet().findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || !(button->focusPolicy() & Qt::TabFocus)) continue;
        button->setFocus(Qt::TabFocusReason);
        const QImage focused = button->grab().toImage();
        field->setFocus(Qt::TabFocusReason);
        QVERIFY2(focused != button->grab().toImage(), qPrintable(button->objectName()));
        ++checked;
    }
    QVERIFY(checked >= 8);  // Compute, Clear Data, Exit and an option of each group at least
}

void KeyboardTest::printDialogAndPreview() {
    FakePlatform& platform = program_->platform();
    const QString pdf = program_->folder() + "/dialog.pdf";
    platform.UsePdfPrinter(pdf);
    for (int i = 0; i < 3; ++i) {
        program_->TypeScores(kScores);
        program_->Compute();
        program_->Click(program_->resultsControl("cmdReturn"));
    }
    program_->Compute();
    program_->results().findChild<QAction*>("mnuPrintDialog")->trigger();
    const int allPages = PdfPageCount(pdf);
    QVERIFY(allPages > 2);
    QVERIFY(!platform.selectionOffered);
    platform.pdfPrinter()->setPageRanges(QPageRanges::fromString(QStringLiteral("2-3")));
    program_->results().findChild<QAction*>("mnuPrintDialog")->trigger();
    QCOMPARE(PdfPageCount(pdf), 2);
    platform.pdfPrinter()->setPageRanges({});
    program_->results().findChild<QAction*>("mnuPrintPreview")->trigger();
    QCOMPARE(platform.printPreviews, 1);
    QCOMPARE(PdfPageCount(pdf), allPages);
    QCOMPARE(platform.printerQueries, 0);  // the default printer was never used
    QVERIFY(platform.messages.empty());
}

void KeyboardTest::everyControlReachableOnASmallScreen() {
    // The offscreen screen (800 x 600) leaves less height than the worksheet and its menu bar.
    QWidget& sheet = program_->worksheet();
    const QRect available = sheet.screen()->availableGeometry();
    QVERIFY(sheet.frameGeometry().height() <= available.height());
    QVERIFY(available.contains(sheet.geometry()));
    auto* scroll = sheet.findChild<QScrollArea*>("clientScrollArea");
    for (const char* name : {"cmdCompute", "btnclearData", "ExitBtn", "txtinput8", "DescripFld"}) {
        QWidget* control = program_->worksheetControl(name);
        scroll->ensureWidgetVisible(control, 0, 0);
        const QRect shown(control->mapTo(scroll->viewport(), QPoint()), control->size());
        QVERIFY2(scroll->viewport()->rect().contains(shown), name);
    }
    // The design positions inside the client area stay as they are.
    QCOMPARE(program_->worksheetControl("cmdCompute")->geometry(), QRect(28, 506, 165, 37));
    QCOMPARE(program_->worksheetControl("clientArea")->size(), QSize(792, 573));
}

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
