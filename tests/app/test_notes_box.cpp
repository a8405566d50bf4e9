// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's notes box under the notes rule: control characters typed, pasted or composed
// into it are dropped, its 250 characters are code points, and the report wraps its text by the
// same rule as orvale-score.
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QTextEdit>

#include "support/program_driver.h"

class NotesBoxTest : public orvale::testing::ProgramTest {
    Q_OBJECT
  private slots:
    void controlCharactersAreDropped();
    void anEmojiIsOneCharacterOfTheBoxAndTheReport();

  private:
    QTextEdit* notes() { return program_->worksheet().findChild<QTextEdit*>("memoComments"); }
    void Compose(const QString& text) {
        QInputMethodEvent composed;
        composed.setCommitString(text);
        QCoreApplication::sendEvent(notes(), &composed);
    }
};

void NotesBoxTest::controlCharactersAreDropped() {
    notes()->setFocus();
    Compose(
        QString::fromUtf8("a\0b\x07"
                          "c\r\nd\te\xC2\x85"
                          "f",
                          13));
    QCOMPARE(notes()->toPlainText(), QStringLiteral("abc\nd\tef"));
    QApplication::clipboard()->setText(QStringLiteral("x\u001By"));
    if (QApplication::clipboard()->text() == QStringLiteral("x\u001By")) {
        notes()->paste();
        QCOMPARE(notes()->toPlainText(), QStringLiteral("abc\nd\tefxy"));
    }
    QVERIFY(program_->platform().messages.empty());
}

void NotesBoxTest::anEmojiIsOneCharacterOfTheBoxAndTheReport() {
    const QString emoji = QStringLiteral("\U0001F600");  // two UTF-16 units
    notes()->setFocus();
    notes()->setPlainText(QString(248, u'y'));
    notes()->moveCursor(QTextCursor::End);
    Compose(emoji.repeated(3));
    QCOMPARE(notes()->toPlainText(), QString(248, u'y') + emoji + emoji);
    QTest::keyClick(notes(), Qt::Key_Z);  // the box is full
    QCOMPARE(notes()->toPlainText(), QString(248, u'y') + emoji + emoji);

    // 84 letters, a blank, the emoji, a blank and "next" fill the 91 columns of a line; a no-break
    // space reaches the report as typed.
    notes()->setPlainText(QString(84, u'a') + u' ' + emoji + QStringLiteral(" next word\u00A0end"));
    program_->TypeScores(QStringList(8, QStringLiteral("10")));
    program_->Compute();
    const QStringList lines = program_->ResultLines();
    const qsizetype first = lines.indexOf(QStringLiteral(" User's Notes: ") + QString(84, u'a') +
                                          u' ' + emoji + QStringLiteral(" next "));
    QVERIFY(first > 0);
    QCOMPARE(lines.value(first + 1), QString(15, u' ') + QStringLiteral("word end"));
    // (The memo's toPlainText() shows a no-break space as a blank; its document holds it.)
    QVERIFY(program_->memoResults()->document()->toRawText().contains(u"word\u00A0end"));
}

QTEST_MAIN(NotesBoxTest)
#include "test_notes_box.moc"
