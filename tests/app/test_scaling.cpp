// SPDX-License-Identifier: GPL-3.0-or-later
// Both windows at any scale: every caption fits its control at the default font and with the
// application font at 150%, and each window fits the screen with every control reachable. ctest
// runs it again at QT_SCALE_FACTOR=2 on a 1920 x 1080 screen (test_scaling_200).
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyleOptionButton>
#include <QTest>

#include "support/program_driver.h"

using orvale::testing::ProgramDriver;

namespace {

const QStringList kScores = {"10", "15", "10", "10", "16", "10", "10", "10"};

QString Plain(QString text) {
    return text.remove(u'&');  // the mnemonic marker is not drawn
}

// The rectangle a control has for its caption and the caption, measured with the style's own
// rectangles; an empty caption means the control has none to check.
struct Caption {
    QRect room;
    QString text;
    bool wraps = false;
};

Caption CaptionOf(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        return {label->contentsRect(), label->text(), label->wordWrap()};
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
        const QRect room = button->style()->subElementRect(
            radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option,
            button);
        return {room, button->text()};
    }
    if (auto* box = qobject_cast<QGroupBox*>(control)) {
        // The title's line: from the box's left edge to its right, above the first item.
        int top = box->height();
        for (QWidget* child : box->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isVisibleTo(box)) top = std::min(top, child->y());
        }
        return {QRect(8, 0, box->width() - 16, top), box->title()};
    }
    return {};
}

// Each visible caption of window whose text does not fit its rectangle or whose control is
// cut by its parent, as "name: text".
QStringList CutCaptions(QWidget* window) {
    QStringList cut;
    for (QWidget* control : window->findChildren<QWidget*>()) {
        const Caption caption = CaptionOf(control);
        if (caption.text.isEmpty() || !control->isVisibleTo(window)) continue;
        const QFontMetrics metrics(control->font());
        const QString text = Plain(caption.text);
        QSize needed(metrics.horizontalAdvance(text), metrics.height());
        if (caption.wraps) {
            needed =
                metrics
                    .boundingRect(QRect(0, 0, caption.room.width(), 10000), Qt::TextWordWrap, text)
                    .size();
        }
        const bool inParent = control->parentWidget()->rect().contains(control->geometry());
        if (needed.width() > caption.room.width() || needed.height() > caption.room.height() ||
            !inParent) {
            cut << QStringLiteral("%1: %2 needs %3x%4, has %5x%6")
                       .arg(control->objectName(), text)
                       .arg(needed.width())
                       .arg(needed.height())
                       .arg(caption.room.width())
                       .arg(caption.room.height());
        }
    }
    return cut;
}

// Whether control shows in scroll's viewport: a button whole; a text control is scrolled to its
// cursor (as Qt does), so some of it.
bool InView(QScrollArea* scroll, QWidget* control) {
    const QRect shown(control->mapTo(scroll->viewport(), QPoint()), control->size());
    const QRect view = scroll->viewport()->rect();
    return qobject_cast<QAbstractButton*>(control) != nullptr ? view.contains(shown)
                                                              : view.intersects(shown);
}

}  // namespace

class ScalingTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { defaultFont_ = QApplication::font(); }
    void cleanup() {
        program_.reset();
        QApplication::setFont(defaultFont_);
    }
    void captionsFit_data();
    void captionsFit();
    void windowsFitTheScreen();
    void focusStaysInView();

  private:
    std::unique_ptr<ProgramDriver> program_;
    QFont defaultFont_;
};

void ScalingTest::captionsFit_data() {
    QTest::addColumn<double>("fontScale");
    QTest::newRow("default font") << 1.0;
    QTest::newRow("font at 150%") << 1.5;
}

void ScalingTest::captionsFit() {
    QFETCH(double, fontScale);
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * fontScale);
    QApplication::setFont(font);
    program_ = std::make_unique<ProgramDriver>();
    program_->Start();
    program_->TypeScores(kScores);
    program_->Compute();
    for (QWidget* window : {static_cast<QWidget*>(&program_->worksheet()),
                            static_cast<QWidget*>(&program_->results())}) {
        const QStringList cut = CutCaptions(window);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
    }
}

void ScalingTest::windowsFitTheScreen() {
    program_ = std::make_unique<ProgramDriver>();
    program_->Start();
    program_->TypeScores(kScores);
    program_->Compute();
    const std::pair<QWidget*, QStringList> windows[] = {
        {&program_->worksheet(), {"cmdCompute", "btnclearData", "ExitBtn", "txtinput8"}},
        {&program_->results(), {"cmdSaveOutput", "cmdReturn", "cmdExit", "memoResults"}}};
    for (const auto& [window, controls] : windows) {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const QRect available = window->screen()->availableGeometry();
        QVERIFY2(available.contains(window->frameGeometry()), qPrintable(window->objectName()));
        auto* scroll = window->findChild<QScrollArea*>();
        QVERIFY(scroll != nullptr);
        for (const QString& name : controls) {
            auto* control = window->findChild<QWidget*>(name);
            scroll->ensureWidgetVisible(control, 0, 0);
            QVERIFY2(InView(scroll, control), qPrintable(name));
        }
    }
}

// A keyboard user sees the focus: the control a window opens with, and every control Tab reaches
// round the window, back to the top after the last one, is scrolled into view.
void ScalingTest::focusStaysInView() {
    program_ = std::make_unique<ProgramDriver>();
    program_->Start();
    program_->TypeScores(kScores);
    program_->Compute();
    for (QWidget* window : {static_cast<QWidget*>(&program_->results()),
                            static_cast<QWidget*>(&program_->worksheet())}) {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* scroll = window->findChild<QScrollArea*>();
        QWidget* first = QApplication::focusWidget();
        QVERIFY(first != nullptr);
        QVERIFY2(InView(scroll, first), qPrintable(first->objectName()));
        QStringList reached;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* focus = QApplication::focusWidget();
            reached << focus->objectName();
            QVERIFY2(InView(scroll, focus), qPrintable(reached.join(u' ')));
        } while (QApplication::focusWidget() != first && reached.size() < 40);
        QCOMPARE(QApplication::focusWidget(), first);
        program_->results().hide();
    }
}

QTEST_MAIN(ScalingTest)
#include "test_scaling.moc"
