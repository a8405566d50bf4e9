// SPDX-License-Identifier: GPL-3.0-or-later
// The matrix-entry form driven through its buttons with a fake platform: the cells it builds, the
// checks of Continue (parser message, range message, the one-time question about a default
// cell), the mirrored buffer, Clear Data and Return to Worksheet. The form is shown without a
// modal loop; ShowMatrixEntryForm is run with a runner that presses the buttons.
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include "engine/entry.h"
#include "matrix_entry/matrix_entry_form.h"
#include "support/fake_platform.h"

using namespace orvale;
using orvale::testing::FakePlatform;
using Kind = FakePlatform::Kind;

namespace {

MatrixEntryRequest LowerTriangle(int n) {
    MatrixEntryRequest request;
    request.dimension = {n, n};
    request.caption = QStringLiteral("Matrix Entry");
    request.lowerTriangleOnly = true;
    return request;
}

QPushButton* Button(QWidget& form, const char* name) {
    return form.findChild<QPushButton*>(QString::fromLatin1(name));
}

void Press(QWidget& form, const char* name) {
    QTest::mouseClick(Button(form, name), Qt::LeftButton);
}

}  // namespace

class MatrixEntryFormTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        platform_ = std::make_unique<FakePlatform>(QString());
        buffer_ = PrepareMatrixBuffer(CorrelationStore{}, 3, false);
    }
    void cleanup() {
        form_.reset();
        platform_.reset();
    }

    void buildsLowerTriangleCellsLabelsAndButtons();
    void fullMatrixHasCellsAboveTheDiagonal();
    void largeMatricesScroll_data();
    void largeMatricesScroll();
    void continueAsksAboutEachDefaultCellOnce();
    void continueRefusesBadCells_data();
    void continueRefusesBadCells();
    void continueStoresTheMirroredMatrix();
    void clearDataResetsCellsBelowTheDiagonal();
    void onlyTheButtonsCloseTheForm();
    void showRunsTheFormAndReportsTheOutcome();

  private:
    MatrixEntryForm& Open(const MatrixEntryRequest& request) {
        form_ = std::make_unique<MatrixEntryForm>(*platform_, buffer_, request, nullptr);
        form_->show();
        form_->activateWindow();
        if (!QTest::qWaitForWindowActive(form_.get())) qWarning("the form did not become active");
        return *form_;
    }
    std::unique_ptr<FakePlatform> platform_;
    MatrixWorkBuffer buffer_;
    std::unique_ptr<MatrixEntryForm> form_;
};

void MatrixEntryFormTest::buildsLowerTriangleCellsLabelsAndButtons() {
    buffer_.Set(1, 2, -0.25);
    MatrixEntryForm& form = Open(LowerTriangle(3));
    QCOMPARE(form.objectName(), QStringLiteral("SqMatFrm"));
    QCOMPARE(form.windowTitle(), QStringLiteral("Matrix Entry"));
    QCOMPARE(form.size(), QSize(800, 600));
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));

    struct Expected {
        const char* name;
        const char* text;
        bool diagonal;
    };
    const Expected cells[] = {{"mat1x1", "1.000", true},  {"mat1x2", "-0.250", false},
                              {"mat2x2", "1.000", true},  {"mat1x3", "0.000", false},
                              {"mat2x3", "0.000", false}, {"mat3x3", "1.000", true}};
    for (const Expected& expected : cells) {
        auto* cell = form.findChild<QLineEdit*>(QString::fromLatin1(expected.name));
        QVERIFY2(cell != nullptr, expected.name);
        QCOMPARE(cell->text(), QString::fromLatin1(expected.text));
        QCOMPARE(cell->isReadOnly(), expected.diagonal);
        QCOMPARE(cell->maxLength(), 6);
        QCOMPARE(cell->palette().color(QPalette::Text) == QColor(Qt::blue), expected.diagonal);
    }
    QCOMPARE(form.findChildren<QLineEdit*>().size(), 6);  // nothing above the diagonal
    QVERIFY(form.findChild<QLineEdit*>(QStringLiteral("mat2x1")) == nullptr);
    QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("mat2x3"))->geometry(),
             QRect(2 * 37 - 4, 3 * 16 + 34, 37, 16));

    QStringList labels;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (!label->isHidden() && !label->text().isEmpty()) labels.append(label->text());
    }
    labels.sort();
    QCOMPARE(labels, QStringList({"1", "1", "2", "2", "3", "3"}));  // column and row numbers

    const struct {
        const char* name;
        const char* caption;
        int left;
    } buttons[] = {{"CloseBtn", "Continue", 16},
                   {"ClearBtn", "Clear Data", 216},
                   {"ReturnBtn", "Return to Worksheet", 416}};
    for (const auto& expected : buttons) {
        QPushButton* button = Button(form, expected.name);
        QVERIFY2(button != nullptr, expected.name);
        QCOMPARE(button->text(), QString::fromLatin1(expected.caption));
        QCOMPARE(button->geometry(), QRect(expected.left, 506, 161, 37));
    }
    // Tab order: the editable cells in the order they were built, then the three buttons.
    QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("mat1x2"))->nextInFocusChain(),
             form.findChild<QLineEdit*>(QStringLiteral("mat1x3")));
    QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("mat2x3"))->nextInFocusChain(),
             Button(form, "CloseBtn"));
    QCOMPARE(Button(form, "CloseBtn")->nextInFocusChain(), Button(form, "ClearBtn"));
    // The form opens in the first entry cell, and Tab from the last button comes back to it:
    // nothing else on the form takes the focus.
    QCOMPARE(QApplication::focusWidget(), form.Cell(1, 2));
    Button(form, "ReturnBtn")->setFocus();
    QTest::keyClick(Button(form, "ReturnBtn"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), form.Cell(1, 2));
}

void MatrixEntryFormTest::fullMatrixHasCellsAboveTheDiagonal() {
    MatrixEntryRequest request = LowerTriangle(2);
    request.lowerTriangleOnly = false;
    request.sideLabel = QStringLiteral("ab");
    MatrixEntryForm& form = Open(request);
    QCOMPARE(form.findChildren<QLineEdit*>().size(), 4);
    QCOMPARE(form.findChild<QLineEdit*>(QStringLiteral("mat2x1"))->text(), QStringLiteral("0.000"));
    int sideCharacters = 0;
    for (QLabel* label : form.findChildren<QLabel*>()) {
        if (label->text() == "a" || label->text() == "b") {
            ++sideCharacters;
            QCOMPARE(label->width(), 9);
            QCOMPARE(label->x(), 10);
        }
    }
    QCOMPARE(sideCharacters, 2);
}

void MatrixEntryFormTest::largeMatricesScroll_data() {
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("vertical");
    QTest::newRow("4") << 4 << false << false;
    QTest::newRow("20, the store's largest") << 20 << false << false;
    QTest::newRow("21") << 21 << true << false;
    QTest::newRow("30") << 30 << true << true;
    QTest::newRow("50, the buffer's largest") << 50 << true << true;
    QTest::newRow("beyond the buffer, clamped to 50") << 80 << true << true;
}

void MatrixEntryFormTest::largeMatricesScroll() {
    QFETCH(int, n);
    QFETCH(bool, horizontal);
    QFETCH(bool, vertical);
    buffer_ = PrepareMatrixBuffer(CorrelationStore{}, 1, false);
    MatrixEntryForm& form = Open(LowerTriangle(n));
    auto* area = form.findChild<QScrollArea*>();
    QCOMPARE(area->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, horizontal);
    QCOMPARE(area->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn, vertical);
    const int last = std::min(n, 50);
    QLineEdit* corner = form.Cell(last, last);
    QVERIFY(corner != nullptr);
    QVERIFY(form.Cell(last + 1, last + 1) == nullptr);
    // Every cell can be scrolled into view.
    QVERIFY(area->widget()->rect().contains(corner->geometry()));
    // A refused cell far down and right is brought into view when Continue focuses it.
    QLineEdit* refused = form.Cell(last - 1, last);
    refused->setText(QStringLiteral("5"));
    platform_->confirmAnswers = std::deque<bool>(static_cast<std::size_t>(last * last), true);
    Press(form, "CloseBtn");
    QCOMPARE(platform_->Texts(Kind::Information), QStringList(kMatrixRangeMessage));
    QCOMPARE(QApplication::focusWidget(), refused);
    const QRect shown(refused->mapTo(area->viewport(), QPoint(0, 0)), refused->size());
    QVERIFY2(area->viewport()->rect().contains(shown),
             qPrintable(QStringLiteral("%1,%2").arg(shown.x()).arg(shown.y())));
}

void MatrixEntryFormTest::continueAsksAboutEachDefaultCellOnce() {
    MatrixEntryForm& form = Open(LowerTriangle(3));
    // Column by column: (2,1), (3,1), then (3,2). No at the second stops there.
    platform_->confirmAnswers = {true, false};
    Press(form, "CloseBtn");
    const QString q21 = DefaultCellQuestion(2, 1);
    const QString q31 = DefaultCellQuestion(3, 1);
    const QString q32 = DefaultCellQuestion(3, 2);
    QCOMPARE(q21, QStringLiteral(
                      "Do you want continue with cell (2,1) set to the default value of '0.000'?"));
    QCOMPARE(platform_->Texts(Kind::Confirm), QStringList({q21, q31}));
    QVERIFY(form.isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Cell(1, 3));

    // The confirmed cell is not asked about again; the refused one is.
    platform_->Clear();
    platform_->confirmAnswers = {true, true};
    Press(form, "CloseBtn");
    QCOMPARE(platform_->Texts(Kind::Confirm), QStringList({q31, q32}));
    QVERIFY(!form.isVisible());
    QVERIFY(!form.MatrixEntryCancelled());
    QCOMPARE(form.result(), int(QDialog::Accepted));
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 3; ++r) QCOMPARE(buffer_.At(c, r), c == r ? 1.0 : 0.0);
    }
}

void MatrixEntryFormTest::continueRefusesBadCells_data() {
    QTest::addColumn<QString>("text");         // typed into cell (column 1, row 3)
    QTest::addColumn<QString>("information");  // the range message, or empty
    QTest::addColumn<QString>("warning");      // the parser's message, or empty
    const QString range = QString::fromLatin1(kMatrixRangeMessage);
    const QString invalid = QString::fromUtf8(kInvalidCellMessage.data(),
                                              static_cast<qsizetype>(kInvalidCellMessage.size()));
    QTest::newRow("exactly 1") << "1" << range << "";
    QTest::newRow("exactly -1") << "-1" << range << "";
    QTest::newRow("1.000") << "1.000" << range << "";
    QTest::newRow("above 1") << "1.5" << range << "";
    QTest::newRow("below -1") << "-3" << range << "";
    QTest::newRow("letters") << "0.5a"
                             << "" << invalid;
    QTest::newRow("two points") << "0.1.2"
                                << "" << invalid;
    QTest::newRow("inner minus") << "0-5"
                                 << "" << invalid;
}

void MatrixEntryFormTest::continueRefusesBadCells() {
    QFETCH(QString, text);
    QFETCH(QString, information);
    QFETCH(QString, warning);
    const MatrixWorkBuffer before = buffer_;
    MatrixEntryForm& form = Open(LowerTriangle(3));
    form.Cell(1, 2)->setText(QStringLiteral("0.5"));  // passes and comes first
    form.Cell(1, 3)->setText(text);
    form.Cell(2, 3)->setText(QStringLiteral("0.25"));
    Press(form, "CloseBtn");
    QCOMPARE(platform_->Texts(Kind::Information),
             information.isEmpty() ? QStringList() : QStringList(information));
    QCOMPARE(platform_->Texts(Kind::Warning),
             warning.isEmpty() ? QStringList() : QStringList(warning));
    QVERIFY(platform_->Texts(Kind::Confirm).isEmpty());
    QVERIFY(form.isVisible());
    QCOMPARE(QApplication::focusWidget(), form.Cell(1, 3));
    QCOMPARE(form.Cell(1, 3)->selectedText(), text);
    // Nothing reached the buffer, not even the cells that passed before the bad one.
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 3; ++r) QCOMPARE(buffer_.At(c, r), before.At(c, r));
    }
}

void MatrixEntryFormTest::continueStoresTheMirroredMatrix() {
    MatrixEntryForm& form = Open(LowerTriangle(3));
    form.Cell(1, 2)->clear();
    QTest::keyClicks(form.Cell(1, 2), QStringLiteral("0,45"));  // a comma is a decimal point
    form.Cell(1, 3)->setText(QStringLiteral("-0.999"));
    form.Cell(2, 3)->setText(QString());  // an empty cell is 0, and not "0.000": no question
    Press(form, "CloseBtn");
    QVERIFY(platform_->messages.empty());
    QVERIFY(!form.isVisible());
    const double expected[3][3] = {{1, 0.45, -0.999}, {0.45, 1, 0}, {-0.999, 0, 1}};
    for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 3; ++r) QCOMPARE(buffer_.At(c, r), expected[c - 1][r - 1]);
    }
}

void MatrixEntryFormTest::clearDataResetsCellsBelowTheDiagonal() {
    buffer_.Set(1, 2, 0.3);
    buffer_.Set(2, 1, 0.3);
    MatrixEntryForm& form = Open(LowerTriangle(3));
    form.Cell(2, 3)->setText(QStringLiteral("0.7"));

    auto* titlePanel = form.findChild<QLabel*>(QStringLiteral("Panel1"));
    QCOMPARE(titlePanel->text(), QString());
    platform_->confirmAnswers = {false};
    Press(form, "ClearBtn");
    QCOMPARE(platform_->Texts(Kind::Confirm), QStringList({"Clear data from matrix ?"}));
    QCOMPARE(form.Cell(1, 2)->text(), QStringLiteral("0.300"));
    QCOMPARE(form.Cell(2, 3)->text(), QStringLiteral("0.7"));
    QCOMPARE(buffer_.At(1, 2), 0.3);
    // The panel's caption is reset after the question whatever the answer.
    QCOMPARE(titlePanel->text(), QStringLiteral("Title:"));
    titlePanel->clear();

    platform_->confirmAnswers = {true};
    Press(form, "ClearBtn");
    for (const auto& [c, r] : {std::pair{1, 2}, {1, 3}, {2, 3}}) {
        QCOMPARE(form.Cell(c, r)->text(), QStringLiteral("0.000"));
        QCOMPARE(buffer_.At(c, r), 0.0);
        QCOMPARE(buffer_.At(r, c), 0.0);
    }
    for (int i = 1; i <= 3; ++i) QCOMPARE(form.Cell(i, i)->text(), QStringLiteral("1.000"));
    QCOMPARE(titlePanel->text(), QStringLiteral("Title:"));
    QVERIFY(form.isVisible());
}

void MatrixEntryFormTest::onlyTheButtonsCloseTheForm() {
    MatrixEntryForm& form = Open(LowerTriangle(2));
    QTest::keyClick(&form, Qt::Key_Escape);
    QVERIFY(form.isVisible());
    form.close();
    QVERIFY(form.isVisible());
    QVERIFY(!form.MatrixEntryCancelled());
    Press(form, "ReturnBtn");
    QVERIFY(!form.isVisible());
    QVERIFY(form.MatrixEntryCancelled());
}

void MatrixEntryFormTest::showRunsTheFormAndReportsTheOutcome() {
    const MatrixWorkBuffer before = buffer_;
    QPointer<QDialog> shown;
    MatrixEntryOutcome outcome =
        ShowMatrixEntryForm(*platform_, buffer_, LowerTriangle(3), nullptr, [&](QDialog& form) {
            shown = &form;
            form.show();
            form.findChild<QLineEdit*>(QStringLiteral("mat1x2"))->setText(QStringLiteral("0.9"));
            Press(form, "ReturnBtn");
        });
    QCOMPARE(outcome, MatrixEntryOutcome::Cancelled);
    QVERIFY(shown.isNull());  // destroyed when closed
    QCOMPARE(buffer_.At(1, 2), before.At(1, 2));

    platform_->confirmAnswers = {true, true, true};
    outcome =
        ShowMatrixEntryForm(*platform_, buffer_, LowerTriangle(3), nullptr, [&](QDialog& form) {
            form.show();
            form.findChild<QLineEdit*>(QStringLiteral("mat1x2"))->setText(QStringLiteral("0.9"));
            Press(form, "CloseBtn");
        });
    QCOMPARE(outcome, MatrixEntryOutcome::Continued);
    QCOMPARE(buffer_.At(1, 2), 0.9);
    QCOMPARE(buffer_.At(2, 1), 0.9);
    QCOMPARE(platform_->Texts(Kind::Confirm).size(), 2);  // (3,1) and (3,2)
}

QTEST_MAIN(MatrixEntryFormTest)
#include "test_matrix_entry_form.moc"
