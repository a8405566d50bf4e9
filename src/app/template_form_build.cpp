// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's construction: its controls at their design positions, fonts and captions,
// the hidden matrix and grid controls, the tab order, and the creation steps that fill the form.
// What the controls do when used is in template_form.cpp.
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/batch_controller.h"
#include "app/case_document.h"
#include "app/description.h"
#include "app/notes_memo.h"
#include "app/radio_group.h"
#include "app/score_field.h"
#include "app/template_form.h"
#include "desktop/design_layout.h"
#include "desktop/fonts.h"
#include "desktop/keyboard.h"
#include "desktop/window_design.h"
#include "engine/tables.h"
#include "report/compose.h"
#include "report/worksheet_text.h"

namespace orvale {

namespace {

// The labels of the score fields in field order: control names and widths (pixels). The fields'
// names are kScoreFieldNames, the labels' captions the engine's kSubtestCaptions.
struct ScoreLabelLayout {
    const char* name;
    int width;
};
constexpr std::array<ScoreLabelLayout, kSubtestCount> kScoreLabels = {{
    {"Label1", 345},
    {"Label2", 345},
    {"Label3", 345},
    {"Label4", 345},
    {"Label5", 345},
    {"Label6", 345},
    {"Label7", 337},
    {"Label8", 313},
}};
constexpr int kFieldSpacing = 40;  // vertical distance between score rows inside Panel1

QFont BoldFont(QFont font) {
    font.setBold(true);
    return font;
}

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// A radio group of the worksheet from its texts, in the box of the given geometry.
RadioGroup* MakeRadioGroup(const OptionGroupText& texts, const QRect& geometry, QWidget* parent) {
    QStringList items;
    for (const char* item : texts.items) items.append(Text(item));
    return new RadioGroup(Text(texts.name), Text(texts.caption), items, geometry, parent);
}

}  // namespace

TfrmTemplate::TfrmTemplate(Platform& platform, const WorksheetConfig& config, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      config_(config),
      case_(std::make_unique<CaseDocument>(
          platform, this,
          CaseDocument::Worksheet{[this] { return CaseOnWorksheet(); },
                                  [this](const CaseValues& values) { ShowCase(values); },
                                  [this](int field) {
                                      fields_[static_cast<std::size_t>(field)]->FocusAndSelectAll();
                                  }})),
      batch_(std::make_unique<BatchController>(platform, this, [this] { return Options(); })) {
    setObjectName(QStringLiteral("frmTemplate"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFont(FollowUserFont(DesignFont(QStringLiteral("System"), 13)));
    // The designed client area, with every control at its design position (grown with a larger
    // user font), sits below the menu bar inside a scroll area that shows scroll bars only when
    // the screen is too small for it.
    client_ = new QWidget;
    client_->setObjectName(QStringLiteral("clientArea"));
    client_->setFixedSize(kClientWidth, kClientHeight);
    scrollArea_ = MakeClientScrollArea(client_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(scrollArea_);
    BuildControls();
    BuildHiddenMatrixControls();
    SetUpMatrixControls();
    SetTabOrder();
    BuildMenus();
    layout->setMenuBar(menuBar_);
    FormCreate();
    ScaleDesignLayout(client_);
    FitWindowToScreen(this,
                      QSize(client_->width(), client_->height() + menuBar_->sizeHint().height()));
}

TfrmTemplate::~TfrmTemplate() = default;

void TfrmTemplate::BuildControls() {
    BuildDescriptionAndNotes();
    Panel1 = new QFrame(client_);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(12, 143, 768, 346);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    BuildOptionGroups();
    BuildCutoffBox();
    BuildScoreFields();
    BuildButtons();
    // The notes box grows over Panel1 while it is being edited.
    memoComments->raise();
    NameForScreenReaders();
    RefuseModifiedLetters(memoComments);
    ShowFocusAlways(this);
}

void TfrmTemplate::BuildDescriptionAndNotes() {
    DescripFld = new QPlainTextEdit(client_);
    DescripFld->setObjectName(QStringLiteral("DescripFld"));
    DescripFld->setGeometry(12, 7, 768, 94);
    DescripFld->setReadOnly(true);
    DescripFld->setFocusPolicy(Qt::ClickFocus);
    QPalette descriptionPalette = DescripFld->palette();
    descriptionPalette.setColor(QPalette::Base, descriptionPalette.color(QPalette::Button));
    DescripFld->setPalette(descriptionPalette);
    DescripFld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(DescripFld, &QPlainTextEdit::textChanged, this, &TfrmTemplate::DescripFldChange);

    Panel3 = new QFrame(client_);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(12, 106, 768, 33);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lblComments = new QLabel(QString::fromLatin1(kNotesCaption), Panel3);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setFont(BoldFont(font()));
    lblComments->move(6, 8);
    lblComments->adjustSize();

    memoComments = new NotesMemo(client_);
    memoComments->setObjectName(QStringLiteral("memoComments"));
    memoComments->setGeometry(112, 110, 666, kNotesHeight);
    memoComments->setFont(FollowUserFont(FixedPitchFont(12)));
    memoComments->installEventFilter(this);
}

void TfrmTemplate::BuildOptionGroups() {
    const auto& groups = OptionGroupTexts();
    RadioGroup2 = MakeRadioGroup(groups[0], QRect(0, 8, 393, 97), Panel1);
    RadioGroup3 = MakeRadioGroup(groups[1], QRect(8, 112, 233, 57), Panel1);
    RadioGroup4 = MakeRadioGroup(groups[2], QRect(248, 112, 145, 57), Panel1);
    RadioGroup1 = MakeRadioGroup(groups[3], QRect(8, 176, 233, 65), Panel1);
}

void TfrmTemplate::BuildCutoffBox() {
    // The box's caption is far wider than the box: a one-line title would be cut off in the
    // middle of a word, so the caption wraps onto two lines inside the box, which is one line
    // taller than the buttons alone need and keeps their spacing below the caption.
    constexpr int kCutoffCaptionExtra = 18;
    const OptionGroupText& texts = OptionGroupTexts()[4];
    GroupBox1 = new QGroupBox(Panel1);
    GroupBox1->setObjectName(Text(texts.name));
    GroupBox1->setGeometry(8, 248, 369, 73 + kCutoffCaptionExtra);
    auto* cutoffCaption = new QLabel(Text(texts.caption), GroupBox1);
    cutoffCaption->setObjectName(QStringLiteral("GroupBox1Caption"));
    cutoffCaption->setWordWrap(true);
    cutoffCaption->setGeometry(8, 3, 353, 30);
    GroupBox1->setAccessibleName(cutoffCaption->text());
    const auto makeCutoffButton = [this, &texts](const char* name, int item, int top) {
        auto* button =
            new QRadioButton(Text(texts.items[static_cast<std::size_t>(item)]), GroupBox1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(8, top + kCutoffCaptionExtra, 353, 17);
        return button;
    };
    RadioButton1 = makeCutoffButton("RadioButton1", 0, 16);
    RadioButton2 = makeCutoffButton("RadioButton2", 1, 32);
    RadioButton3 = makeCutoffButton("RadioButton3", 2, 48);
    RadioButton1->setChecked(true);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3}) {
        TabStopOnlyWhenChecked(button);
    }
}

void TfrmTemplate::BuildScoreFields() {
    for (int k = 0; k < kSubtestCount; ++k) {
        const auto index = static_cast<std::size_t>(k);
        auto* label = new QLabel(Panel1);
        label->setObjectName(QString::fromLatin1(kScoreLabels[index].name));
        label->setGeometry(400, 12 + k * kFieldSpacing, kScoreLabels[index].width, 16);
        labels_[index] = label;

        // Every field has the same key filter; the length limit knows its field.
        auto* field = new ScoreField([this](QString& text) { ScoreFieldKeyPress(text); },
                                     [this, k] { ScoreFieldKeyUp(k); }, Panel1);
        field->setObjectName(QString::fromLatin1(kScoreFieldNames[index]));
        field->setGeometry(704, 8 + k * kFieldSpacing, 56, 24);
        field->setFont(BoldFont(font()));
        field->installEventFilter(this);
        // A screen reader names the field by its label's caption.
        field->setAccessibleName(QString::fromLatin1(kSubtestCaptions[index]));
        label->setBuddy(field);
        fields_[index] = field;
    }
}

void TfrmTemplate::BuildButtons() {
    pan1 = new QFrame(client_);
    pan1->setObjectName(QStringLiteral("pan1"));
    pan1->setGeometry(12, 500, 768, 49);
    pan1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    const auto makeButton = [this](const char* name, const char* caption, const QRect& geometry) {
        auto* button = new QPushButton(QString::fromLatin1(caption), client_);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(geometry);
        button->setFont(BoldFont(font()));
        button->setAutoDefault(false);
        return button;
    };
    cmdCompute = makeButton("cmdCompute", "Compute", QRect(28, 506, 165, 37));
    btnclearData = makeButton("btnclearData", "Clear Data ", QRect(220, 506, 161, 37));
    ExitBtn = makeButton("ExitBtn", "Exit", QRect(603, 506, 161, 37));
    connect(cmdCompute, &QPushButton::clicked, this, &TfrmTemplate::cmdComputeClick);
    connect(btnclearData, &QPushButton::clicked, this, &TfrmTemplate::btnclearDataClick);
    connect(ExitBtn, &QPushButton::clicked, this, &TfrmTemplate::ExitBtnClick);
}

void TfrmTemplate::NameForScreenReaders() {
    // Names and descriptions for screen readers where the caption alone does not tell.
    DescripFld->setAccessibleName(QStringLiteral("Description"));
    memoComments->setAccessibleName(lblComments->text());
    memoComments->setAccessibleDescription(
        QStringLiteral("Up to 250 characters, printed at the top of the report"));
    lblComments->setBuddy(memoComments);
    RadioGroup3->setAccessibleDescription(Text(OptionGroupTexts()[1].description));
    RadioGroup1->setAccessibleDescription(Text(OptionGroupTexts()[3].description));
}

void TfrmTemplate::BuildHiddenMatrixControls() {
    cmdHelp = new QPushButton(QStringLiteral("Help with matrix..."), Panel1);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    pnlHelp = new QFrame(client_);
    pnlHelp->setObjectName(QStringLiteral("pnlHelp"));
    for (const char* name : {"memoHelp", "Memo1"}) {
        auto* memo = new QPlainTextEdit(pnlHelp);
        memo->setObjectName(QString::fromLatin1(name));
        memo->setReadOnly(true);
    }
    for (const char* name : {"Labelx", "Label9"}) {
        (new QLabel(pnlHelp))->setObjectName(QString::fromLatin1(name));
    }
    cmdReturn = new QPushButton(QStringLiteral("Close Help"), pan1);
    cmdReturn->setObjectName(QStringLiteral("cmdReturn"));
    grdData = new QTableWidget(config_.GridRowCount, config_.GridColumnCount + 1, Panel1);
    grdData->setObjectName(QStringLiteral("grdData"));
    lblGridColumnsTitle = new QLabel(Panel1);
    lblGridColumnsTitle->setObjectName(QStringLiteral("lblGridColumnsTitle"));
    for (std::size_t i = 0; i < lblCols_.size(); ++i) {
        lblCols_[i] = new QLabel(Panel1);
        lblCols_[i]->setObjectName(QStringLiteral("lblCol%1").arg(i + 1));
    }
    lblItems = new QLabel(Panel1);
    lblItems->setObjectName(QStringLiteral("lblItems"));
    Label_N = new QLabel(QStringLiteral("N"), Panel1);
    Label_N->setObjectName(QStringLiteral("Label_N"));
    lbl_r = new QLabel(QStringLiteral("r"), Panel1);
    lbl_r->setObjectName(QStringLiteral("lbl_r"));
}

void TfrmTemplate::SetTabOrder() {
    QList<QWidget*> order(fields_.begin(), fields_.end());
    order.append(grdData);
    for (RadioGroup* group : {RadioGroup1, RadioGroup2, RadioGroup3}) {
        for (int i = 0; i < group->count(); ++i) order.append(group->item(i));
    }
    order.append({RadioButton1, RadioButton2, RadioButton3});
    for (int i = 0; i < RadioGroup4->count(); ++i) order.append(RadioGroup4->item(i));
    order.append({memoComments, cmdCompute, btnclearData, ExitBtn});
    for (qsizetype i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

void TfrmTemplate::FormCreate() {
    pnlHelp->hide();
    cmdReturn->hide();
    memoComments->clear();
    correlationStore_.fill(0.0);
    for (ScoreField* field : fields_) field->clear();
    lblGridColumnsTitle->hide();
    for (QLabel* label : lblCols_) label->hide();
    lblItems->hide();
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    DescripFld->setPlainText(DescriptionText());
    for (int k = 0; k < kSubtestCount; ++k) {
        labels_[static_cast<std::size_t>(k)]->setText(
            QString::fromLatin1(kSubtestCaptions[static_cast<std::size_t>(k)]));
    }
    Label_N->hide();
    lbl_r->hide();
    lblGridColumnsTitle->setText(QStringLiteral("Column names"));
    cmdHelp->setVisible(config_.MatrixEntryEnabled);
    grdData->setVisible(config_.GridEntryEnabled);  // sized as the previous data are read
    fields_[0]->setFocus();
    LoadPreviousData();
}

}  // namespace orvale
