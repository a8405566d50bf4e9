// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet on its own: start-up state, the key filter and length limit of the score fields,
// the notes box, validation at Compute, and the exit confirmations of both windows.
#include <QtTest/qtestspontaneevent.h>

#include <QApplication>
#include <QClipboard>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTextEdit>

#include "app/notes_memo.h"
#include "report/citation.h"
#include "support/program_driver.h"

using orvale::testing::FakePlatform;
using orvale::testing::kFieldNames;
using orvale::testing::ProgramDriver;
using Kind = FakePlatform::Kind;

namespace {

const QStringList kValidScores = {"10", "11", "9", "8", "12", "10", "13", "7"};

const QStringList kCaptions = {
    "BLOCK DESIGN subtest scaled score:",     "SIMILARITIES subtest scaled score:",
    "DIGIT SPAN subtest scaled score:",       "CODING subtest scaled score:",
    "VOCABULARY subtest scaled score:",       "LETTER-NUMBER SEQ subtest scaled score:",
    "MATRIX REASONING subtest scaled score:", "SYMBOL SEARCH subtest scaled score:"};

}  // namespace

class WorksheetTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void startsWithEmptyFieldsDefaultsAndFocus();
    void descriptionQuotesTheCitationAndScrolls();
    void everyCaptionIsShownWhole();
    void hiddenMatrixControlsStayHidden();
    void tabOrderRunsThroughFieldsThenButtons();
    void keyFilterSwallowsLettersAndTurnsCommaIntoPoint();
    void seventhCharacterIsCutAndSelected();
    void eachFieldChecksItsOwnLength();
    void notesHoldAtMost250Characters();
    void notesBoxGrowsAndShrinks();
    void computeValidatesInFieldOrder_data();
    void computeValidatesInFieldOrder();
    void exitAsksOnBothWindows();
    void closeBoxesEndOrReturn();
};

void WorksheetTest::startsWithEmptyFieldsDefaultsAndFocus() {
    auto& sheet = program_->worksheet();
    QVERIFY(sheet.isVisible());
    QVERIFY(!program_->results().isVisible());
    QCOMPARE(sheet.windowTitle(), QString::fromLatin1(orvale::kProgramTitle));
    QCOMPARE(program_->results().windowTitle(), QStringLiteral("Output"));
    for (int k = 0; k < 8; ++k) {
        QVERIFY(program_->field(k)->isVisible());
        QVERIFY(program_->field(k)->text().isEmpty());
        auto* label = sheet.findChild<QLabel*>(QStringLiteral("Label%1").arg(k + 1));
        QCOMPARE(label->text(), kCaptions[k]);
    }
    QCOMPARE(sheet.focusWidget(), program_->field(0));
    for (const char* group : {"RadioGroup1", "RadioGroup2", "RadioGroup3", "RadioGroup4"}) {
        QCOMPARE(program_->radioGroup(group)->itemIndex(), 0);
    }
    QCOMPARE(program_->radioGroup("RadioGroup4")->title(), QStringLiteral("Calculate GAI...  "));
    QVERIFY(sheet.findChild<QRadioButton*>("RadioButton1")->isChecked());
    const orvale::ScoringOptions options = sheet.Options();
    QCOMPARE(options.confidenceMethod, 0);
    QCOMPARE(options.cutoffIndex, 1);
    QVERIFY(options.calculateGai && !options.applyBonferroni && !options.trueScoreDifferences);

    auto* notes = sheet.findChild<QTextEdit*>("memoComments");
    QVERIFY(notes->toPlainText().isEmpty());
    QCOMPARE(notes->font().families().value(0), QStringLiteral("Courier New"));
    QCOMPARE(notes->font().pixelSize(), 12);
    QCOMPARE(notes->height(), orvale::kNotesHeight);
    QCOMPARE(qobject_cast<QPushButton*>(program_->worksheetControl("btnclearData"))->text(),
             QStringLiteral("Clear Data "));
    QVERIFY(!sheet.PreviousDataLoaded());
    // No maximise button; a close box on the worksheet, none on the viewer.
    QVERIFY(!(sheet.windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(sheet.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(program_->results().windowFlags() & Qt::WindowCloseButtonHint));
    QVERIFY(!(program_->results().windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(program_->platform().messages.empty());
    QCOMPARE(program_->platform().printerQueries, 0);

    // Restoring the window from the task bar is no new showing: the focus stays in the field the
    // user was typing in, although the first field is still empty.
    program_->field(2)->setFocus();
    QShowEvent restored;
    QSpontaneKeyEvent::setSpontaneous(&restored);
    QCoreApplication::instance()->notify(&sheet, &restored);  // sendEvent would clear the flag
    QCOMPARE(sheet.focusWidget(), program_->field(2));
    sheet.hide();
    sheet.show();
    QCOMPARE(sheet.focusWidget(), program_->field(0));
}

void WorksheetTest::everyCaptionIsShownWhole() {
    // Each caption fits its control at the program's fonts: none is cut off or elided.
    program_->TypeScores(kValidScores);
    program_->Compute();
    for (QWidget* window : {static_cast<QWidget*>(&program_->worksheet()),
                            static_cast<QWidget*>(&program_->results())}) {
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->isHidden() || !control->isVisibleTo(window)) continue;
            const QFontMetrics metrics(control->font());
            const QString name = control->objectName();
            if (auto* label = qobject_cast<QLabel*>(control)) {
                if (label->wordWrap()) {
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(),
                             qPrintable(name));
                } else {
                    QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->width(),
                             qPrintable(name));
                }
            } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(name));
            } else if (auto* box = qobject_cast<QGroupBox*>(control)) {
                QVERIFY2(metrics.horizontalAdvance(box->title()) + 16 <= box->width(),
                         qPrintable(name));
            }
        }
    }
    // The cut-off definition reads in full above its three buttons, inside its panel.
    auto* box = program_->worksheet().findChild<QGroupBox*>("GroupBox1");
    auto* caption = box->findChild<QLabel*>("GroupBox1Caption");
    QCOMPARE(caption->text(), QStringLiteral("An abnormally low score (and abnormally large "
                                             "difference) is defined as being exhibited by less "
                                             "than.."));
    for (const char* name : {"RadioButton1", "RadioButton2", "RadioButton3"}) {
        const QRect button = box->findChild<QRadioButton*>(name)->geometry();
        QVERIFY2(button.top() > caption->geometry().bottom(), name);
        QVERIFY2(box->rect().contains(button), name);
    }
    QVERIFY(program_->worksheetControl("Panel1")->rect().contains(box->geometry()));
}

void WorksheetTest::descriptionQuotesTheCitationAndScrolls() {
    auto* description = qobject_cast<QPlainTextEdit*>(program_->worksheetControl("DescripFld"));
    const QString text = description->toPlainText();
    QVERIFY(description->isReadOnly());
    QVERIFY(!(description->focusPolicy() & Qt::TabFocus));
    QVERIFY(text.startsWith(QStringLiteral("This program accompanies the paper by ")));
    for (const auto& line : orvale::kCitationLines) {
        QVERIFY(text.contains(QString::fromUtf8(line.data(), line.size()).trimmed()));
    }
    QVERIFY(text.contains(QStringLiteral(
        "(2010): the modified version has eight subtests (the Letter-Number Sequencing subtest "
        "was added).  The program calculates an individual's WISC-IV short-form Index scores")));
    QVERIFY(text.contains(QStringLiteral("make an  informed choice")));
    QVERIFY(text.endsWith(QStringLiteral("(Current version of program compiled on 25/06/2013).")));
    QVERIFY(!text.contains(QStringLiteral("doi"), Qt::CaseInsensitive));
    QVERIFY(text.size() > 550);
    QCOMPARE(description->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    description->setPlainText(QStringLiteral("short"));
    QCOMPARE(description->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void WorksheetTest::hiddenMatrixControlsStayHidden() {
    for (const char* name : {"cmdHelp", "pnlHelp", "cmdReturn", "grdData", "lblGridColumnsTitle",
                             "lblCol1", "lblCol6", "lblItems", "Label_N", "lbl_r"}) {
        QWidget* control = program_->worksheetControl(name);
        QVERIFY2(control != nullptr, name);
        QVERIFY2(control->isHidden(), name);
    }
    const orvale::WorksheetConfig& config = program_->worksheet().Config();
    QVERIFY(!config.MatrixEntryEnabled && !config.GridEntryEnabled);
    QCOMPARE(config.GridColumnCount, 4);
    QCOMPARE(config.GridRowCount, 7);
}

void WorksheetTest::tabOrderRunsThroughFieldsThenButtons() {
    QWidget* current = program_->field(0);
    current->setFocus();
    QStringList visited;
    for (int i = 0; i < 40 && visited.count(QStringLiteral("txtInput1")) == 0; ++i) {
        current = current->nextInFocusChain();
        while (!(current->focusPolicy() & Qt::TabFocus) ||
               !current->isVisibleTo(&program_->worksheet()) || !current->isEnabled()) {
            current = current->nextInFocusChain();
        }
        visited.append(current->objectName());
    }
    const QStringList expected = {"txtInput2",  "txtInput3",    "txtInput4", "txtInput5",
                                  "txtInput6",  "txtInput7",    "txtinput8", "memoComments",
                                  "cmdCompute", "btnclearData", "ExitBtn",   "txtInput1"};
    QStringList named;
    for (const QString& name : visited) {
        if (expected.contains(name)) named.append(name);
    }
    QCOMPARE(named, expected);
    // The option groups come between the fields and the notes, in the order 1, 2, 3, box, 4.
    const auto position = [&visited](const char* name) {
        return visited.indexOf(QString::fromLatin1(name));
    };
    QVERIFY(position("txtinput8") < position("RadioGroup1_item0"));
    QVERIFY(position("RadioGroup1_item0") < position("RadioGroup2_item0"));
    QVERIFY(position("RadioGroup2_item0") < position("RadioGroup3_item0"));
    QVERIFY(position("RadioGroup3_item0") < position("RadioButton1"));
    QVERIFY(position("RadioButton1") < position("RadioGroup4_item0"));
    QVERIFY(position("RadioGroup4_item0") < position("memoComments"));
    QCOMPARE(visited.filter(QStringLiteral("RadioGroup2_")),
             QStringList{QStringLiteral("RadioGroup2_item0")});

    // Tab enters each set of options at the selected one; the arrow keys move within the set.
    program_->radioGroup("RadioGroup2")->setItemIndex(2);
    auto* tenPercent = program_->worksheet().findChild<QRadioButton*>("RadioButton2");
    tenPercent->setChecked(true);
    program_->field(7)->setFocus();
    QTest::keyClick(program_->field(7), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("RadioGroup2_item2"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("RadioGroup2_item3"));
    QCOMPARE(program_->radioGroup("RadioGroup2")->itemIndex(), 3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), tenPercent);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("RadioGroup2_item3"));
}

void WorksheetTest::keyFilterSwallowsLettersAndTurnsCommaIntoPoint() {
    QLineEdit* field = program_->field(2);
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("1a"));
    QCOMPARE(field->text(), QStringLiteral("1"));
    QCOMPARE(program_->platform().beeps, 1);
    QCOMPARE(program_->platform().Texts(Kind::Warning),
             QStringList{QStringLiteral("INPUT ERROR\n\nEnter numeric data only.")});
    QTest::keyClicks(field, QStringLiteral(",5"));
    QCOMPARE(field->text(), QStringLiteral("1.5"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QStringLiteral("-+ "));
    QCOMPARE(field->text(), QStringLiteral("1.-"));
    QCOMPARE(program_->platform().beeps, 3);
    QTest::keyClick(field, Qt::Key_Tab);
    QCOMPARE(program_->worksheet().focusWidget(), program_->field(3));
}

void WorksheetTest::seventhCharacterIsCutAndSelected() {
    QLineEdit* field = program_->field(0);
    QTest::keyClicks(field, QStringLiteral("123456"));
    QVERIFY(program_->platform().messages.empty());
    QTest::keyClicks(field, QStringLiteral("7"));
    QCOMPARE(field->text(), QStringLiteral("123456"));
    QCOMPARE(field->selectedText(), QStringLiteral("123456"));
    QCOMPARE(program_->platform().beeps, 1);
    QCOMPARE(program_->platform().Texts(Kind::Warning),
             QStringList{QStringLiteral("Maximum length of input is 6 characters.")});
    QTest::keyClicks(field, QStringLiteral("9"));
    QCOMPARE(field->text(), QStringLiteral("9"));
}

void WorksheetTest::eachFieldChecksItsOwnLength() {
    program_->field(3)->setText(QStringLiteral("1234567"));  // pasted, no key handler ran
    QTest::keyClicks(program_->field(1), QStringLiteral("12"));
    QVERIFY(program_->platform().messages.empty());
    QCOMPARE(program_->field(3)->text(), QStringLiteral("1234567"));
    // The next key released in the long field cuts it.
    QTest::keyClick(program_->field(3), Qt::Key_End);
    QCOMPARE(program_->field(3)->text(), QStringLiteral("123456"));
    QCOMPARE(program_->field(1)->text(), QStringLiteral("12"));
    // The cut counts characters, whatever a pasted character takes in bytes.
    program_->field(5)->setText(QStringLiteral("12345\u00BD6"));
    QTest::keyClick(program_->field(5), Qt::Key_End);
    QCOMPARE(program_->field(5)->text(), QStringLiteral("12345\u00BD"));
    QCOMPARE(program_->field(5)->selectedText(), QStringLiteral("12345\u00BD"));
}

void WorksheetTest::notesHoldAtMost250Characters() {
    auto* notes = program_->worksheet().findChild<QTextEdit*>("memoComments");
    notes->setFocus();
    QTest::keyClicks(notes, QString(240, u'a'));
    QTest::keyClicks(notes, QStringLiteral("bcdefghijklmnop"));
    QCOMPARE(notes->toPlainText(), QString(240, u'a') + QStringLiteral("bcdefghijk"));
    // Pasting into a nearly full box keeps only what fits.
    notes->clear();
    QTest::keyClicks(notes, QString(245, u'x'));
    QApplication::clipboard()->setText(QStringLiteral("0123456789"));
    if (QApplication::clipboard()->text() == QStringLiteral("0123456789")) {
        notes->paste();
        QCOMPARE(notes->toPlainText(), QString(245, u'x') + QStringLiteral("01234"));
    }
    // Characters composed by an input method are held to the same limit.
    notes->setPlainText(QString(248, u'y'));
    notes->moveCursor(QTextCursor::End);
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("\u00E9\u00E8\u00EA"));
    QCoreApplication::sendEvent(notes, &composed);
    QCOMPARE(notes->toPlainText(), QString(248, u'y') + QStringLiteral("\u00E9\u00E8"));
    QVERIFY(program_->platform().messages.empty());
}

void WorksheetTest::notesBoxGrowsAndShrinks() {
    auto* notes = program_->worksheet().findChild<QTextEdit*>("memoComments");
    notes->setFocus();
    QTest::keyClicks(notes, QStringLiteral("one line"));
    QCOMPARE(notes->height(), orvale::kNotesHeight);
    QTest::keyClick(notes, Qt::Key_Return);
    QCOMPARE(notes->height(), orvale::kNotesExpandedHeight);
    QTest::keyClicks(notes, QStringLiteral("two"));
    QCOMPARE(notes->height(), orvale::kNotesExpandedHeight);
    program_->field(0)->setFocus();
    QCOMPARE(notes->height(), orvale::kNotesHeight);
    notes->setFocus();  // two lines now: entering grows it at once
    QCOMPARE(notes->height(), orvale::kNotesExpandedHeight);
    // Another window taking the focus, or a context menu opening, does not leave the box.
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent away(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(notes, &away);
        QCOMPARE(notes->height(), orvale::kNotesExpandedHeight);
    }
    program_->field(0)->setFocus();

    // The lines the report gets are the lines the box shows: a long note wraps at word
    // boundaries within the box, a final line break adds no line, an inner empty line counts.
    const QString words = QStringLiteral("word ").repeated(40);
    notes->setPlainText(words.trimmed() + QStringLiteral("\n\nlast\n"));
    const QStringList lines = orvale::DisplayedLines(*notes);
    QVERIFY(lines.size() > 3);
    QCOMPARE(lines.mid(lines.size() - 2), (QStringList{QString(), QStringLiteral("last")}));
    const QFontMetrics metrics(notes->font());
    for (const QString& line : lines.mid(0, lines.size() - 2)) {
        QVERIFY(!line.trimmed().isEmpty());
        QVERIFY(!line.trimmed().contains(QStringLiteral("wor ")));  // never inside a word
        QVERIFY(metrics.horizontalAdvance(line.trimmed()) <= notes->viewport()->width());
    }
    QCOMPARE(lines.mid(0, lines.size() - 2).join(QString()).remove(u' '),
             QString(words).remove(u' '));
    notes->clear();
    QVERIFY(orvale::DisplayedLines(*notes).isEmpty());
}

void WorksheetTest::computeValidatesInFieldOrder_data() {
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("failingField");
    QTest::addColumn<QString>("message");
    QTest::newRow("all empty") << QStringList(8, QString()) << 0
                               << "INPUT ERROR\n\n(  BLOCK DESIGN subtest scaled score:  )\n\n"
                                  "Data have not been entered in this field.";
    QStringList letter = kValidScores;
    letter[1] = "1x2";
    QTest::newRow("letter") << letter << 1
                            << "INPUT ERROR\n(  SIMILARITIES subtest scaled score:  1x2  )\n\n"
                               "Enter numeric data only.";
    QStringList minus = kValidScores;
    minus[3] = "--5";
    QTest::newRow("two minus signs") << minus << 3
                                     << "INPUT ERROR\n(  CODING subtest scaled score:  --5  )\n\n"
                                        "Enter numeric data only.";
    QStringList zero = kValidScores;
    zero[4] = "0";
    QTest::newRow("zero") << zero << 4
                          << "INPUT ERROR\n(  VOCABULARY subtest scaled score:  0.000  )\n"
                             "The valid range for Wechsler subtest scaled scores is 1 to 19 ";
    QStringList high = kValidScores;
    high[2] = "19.1";
    high[6] = "25";  // later fields are not examined
    QTest::newRow("19.1") << high << 2
                          << "INPUT ERROR\n(  DIGIT SPAN subtest scaled score:  19.100  )\n"
                             "The valid range for Wechsler subtest scaled scores is 1 to 19 ";
    QStringList eighth = kValidScores;
    eighth[7] = "20";
    QTest::newRow("20 in the eighth field")
        << eighth << 7
        << "INPUT ERROR\n(  SYMBOL SEARCH subtest scaled score:  20.000  )\n"
           "The valid range for Wechsler subtest scaled scores is 1 to 19 ";
    QStringList lonePoint = kValidScores;
    lonePoint[5] = ".";
    QTest::newRow("lone point")
        << lonePoint << 5
        << "INPUT ERROR\n(  LETTER-NUMBER SEQ subtest scaled score:  0.000  )\n"
           "The valid range for Wechsler subtest scaled scores is 1 to 19 ";
}

void WorksheetTest::computeValidatesInFieldOrder() {
    QFETCH(QStringList, texts);
    QFETCH(int, failingField);
    QFETCH(QString, message);
    for (int k = 0; k < 8; ++k) program_->field(k)->setText(texts[k]);
    auto* notes = program_->worksheet().findChild<QTextEdit*>("memoComments");
    notes->setPlainText(QStringLiteral("kept"));
    program_->radioGroup("RadioGroup2")->setItemIndex(3);
    program_->Compute();

    QCOMPARE(program_->platform().Texts(Kind::Warning), QStringList{message});
    QCOMPARE(program_->platform().messages.size(), std::size_t{1});
    QCOMPARE(program_->worksheet().focusWidget(), program_->field(failingField));
    QVERIFY(program_->worksheet().isVisible());
    QVERIFY(!program_->results().isVisible());
    QVERIFY(program_->memoResults()->toPlainText().isEmpty());
    QVERIFY(!QFile::exists(program_->dataFile()));
    for (int k = 0; k < 8; ++k) QCOMPARE(program_->field(k)->text(), texts[k]);
    QCOMPARE(notes->toPlainText(), QStringLiteral("kept"));
    QCOMPARE(program_->radioGroup("RadioGroup2")->itemIndex(), 3);
}

void WorksheetTest::exitAsksOnBothWindows() {
    FakePlatform& platform = program_->platform();
    platform.confirmAnswers = {false};
    program_->Click(program_->worksheetControl("ExitBtn"));
    QCOMPARE(platform.Texts(Kind::Confirm), QStringList{QStringLiteral("Exit from program?")});
    QCOMPARE(platform.endApplicationCalls, 0);
    QVERIFY(program_->worksheet().isVisible());

    platform.confirmAnswers = {true};
    program_->Click(program_->worksheetControl("ExitBtn"));
    QCOMPARE(platform.endApplicationCalls, 1);

    platform.Clear();
    program_->TypeScores(kValidScores);
    program_->Compute();
    QVERIFY(program_->results().isVisible());
    const QString report = program_->memoResults()->toPlainText();
    const QString caption = program_->results().windowTitle();
    platform.confirmAnswers = {false, true};
    program_->Click(program_->resultsControl("cmdExit"));
    QCOMPARE(platform.endApplicationCalls, 0);
    QVERIFY(program_->results().isVisible());
    QCOMPARE(program_->memoResults()->toPlainText(), report);
    QCOMPARE(program_->results().windowTitle(), caption);
    program_->Click(program_->resultsControl("cmdExit"));
    QCOMPARE(platform.endApplicationCalls, 1);
    QCOMPARE(platform.Texts(Kind::Confirm), QStringList(2, QStringLiteral("Exit from program?")));
}

void WorksheetTest::closeBoxesEndOrReturn() {
    FakePlatform& platform = program_->platform();
    program_->TypeScores(kValidScores);
    program_->Compute();
    // A window manager that closes the viewer anyway gets the worksheet back.
    program_->results().close();
    QVERIFY(!program_->results().isVisible());
    QVERIFY(program_->worksheet().isVisible());
    QCOMPARE(platform.endApplicationCalls, 0);
    // The worksheet's close box ends the program without a question.
    program_->worksheet().close();
    QCOMPARE(platform.endApplicationCalls, 1);
    QVERIFY(platform.Texts(Kind::Confirm).isEmpty());
}

QTEST_MAIN(WorksheetTest)
#include "test_worksheet.moc"
