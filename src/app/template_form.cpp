#include "app/template_form.h"

#include <QCloseEvent>
#include <QFile>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>

#include "app/description.h"
#include "app/fonts.h"
#include "app/notes_memo.h"
#include "app/platform.h"
#include "app/previous_data.h"
#include "app/program_folder.h"
#include "app/radio_group.h"
#include "engine/entry.h"
#include "report/compose.h"
#include "report/viewer/template_results.h"

namespace orvale {

namespace {

// The score fields in field order: control names, label captions and label widths (pixels).
struct ScoreFieldLayout {
    const char* fieldName;
    const char* labelName;
    const char* caption;
    int labelWidth;
};
constexpr std::array<ScoreFieldLayout, kSubtestCount> kScoreFields = {{
    {"txtInput1", "Label1", "BLOCK DESIGN subtest scaled score:", 345},
    {"txtInput2", "Label2", "SIMILARITIES subtest scaled score:", 345},
    {"txtInput3", "Label3", "DIGIT SPAN subtest scaled score:", 345},
    {"txtInput4", "Label4", "CODING subtest scaled score:", 345},
    {"txtInput5", "Label5", "VOCABULARY subtest scaled score:", 345},
    {"txtInput6", "Label6", "LETTER-NUMBER SEQ subtest scaled score:", 345},
    {"txtInput7", "Label7", "MATRIX REASONING subtest scaled score:", 337},
    {"txtinput8", "Label8", "SYMBOL SEARCH subtest scaled score:", 313},
}};
constexpr int kFieldSpacing = 40;  // vertical distance between score rows inside Panel1

// Descriptions longer than this get a vertical scroll bar.
constexpr int kDescriptionScrollLength = 550;

const char* const kExitQuestion = "Exit from program?";

QString MessageText(std::string_view message) {
    return QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()))
        .replace(u'\r', u'\n');
}

QFont BoldFont(QFont font) {
    font.setBold(true);
    return font;
}

char DecimalSeparator() {
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 && point[0].unicode() < 128 ? static_cast<char>(point[0].unicode())
                                                         : '.';
}

}  // namespace

TfrmTemplate::TfrmTemplate(Platform& platform, const WorksheetConfig& config, QWidget* parent)
    : QWidget(parent), platform_(platform), config_(config) {
    setObjectName(QStringLiteral("frmTemplate"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setFixedSize(792, 573);
    setFont(DesignFont(QStringLiteral("System"), 13));
    BuildControls();
    BuildHiddenMatrixControls();
    SetUpMatrixControls();
    SetTabOrder();
    FormCreate();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
}

TfrmTemplate::~TfrmTemplate() = default;

void TfrmTemplate::BuildControls() {
    DescripFld = new QPlainTextEdit(this);
    DescripFld->setObjectName(QStringLiteral("DescripFld"));
    DescripFld->setGeometry(12, 7, 768, 94);
    DescripFld->setReadOnly(true);
    DescripFld->setFocusPolicy(Qt::ClickFocus);
    QPalette descriptionPalette = DescripFld->palette();
    descriptionPalette.setColor(QPalette::Base, descriptionPalette.color(QPalette::Button));
    DescripFld->setPalette(descriptionPalette);
    DescripFld->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(DescripFld, &QPlainTextEdit::textChanged, this, &TfrmTemplate::DescripFldChange);

    Panel3 = new QFrame(this);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->setGeometry(12, 106, 768, 33);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    lblComments = new QLabel(QStringLiteral("User's Notes:"), Panel3);
    lblComments->setObjectName(QStringLiteral("lblComments"));
    lblComments->setFont(BoldFont(font()));
    lblComments->move(6, 8);
    lblComments->adjustSize();

    memoComments = new NotesMemo(this);
    memoComments->setObjectName(QStringLiteral("memoComments"));
    memoComments->setGeometry(112, 110, 666, kNotesHeight);
    memoComments->setFont(FixedPitchFont(12));
    memoComments->installEventFilter(this);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(12, 143, 768, 346);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);

    RadioGroup2 =
        new RadioGroup(QStringLiteral("RadioGroup2"),
                       QStringLiteral("95% or 90% CLs using traditional or Glutting method..."),
                       {QStringLiteral("95% CLs using traditional method"),
                        QStringLiteral("90% CLs using traditional method"),
                        QStringLiteral("95% CLs using Glutting (estimated true score) method"),
                        QStringLiteral("90% CLs using Glutting (estimated true score) method")},
                       QRect(0, 8, 393, 97), Panel1);
    RadioGroup3 = new RadioGroup(QStringLiteral("RadioGroup3"),
                                 QStringLiteral("Reliability of differences..."),
                                 {QStringLiteral("Between observed scores"),
                                  QStringLiteral("Between estimated true scores")},
                                 QRect(8, 112, 233, 57), Panel1);
    RadioGroup4 = new RadioGroup(
        QStringLiteral("RadioGroup4"), QStringLiteral("Calculate GAI...  "),
        {QStringLiteral("Yes"), QStringLiteral("No")}, QRect(248, 112, 145, 57), Panel1);
    RadioGroup1 = new RadioGroup(
        QStringLiteral("RadioGroup1"), QStringLiteral("Reliability of differences..."),
        {QStringLiteral("Do NOT apply Bonferroni"), QStringLiteral("Apply sequential Bonferroni")},
        QRect(8, 176, 233, 65), Panel1);

    // The box's caption is far wider than the box: a one-line title would be cut off in the
    // middle of a word, so the caption wraps onto two lines inside the box, which is one line
    // taller than the buttons alone need and keeps their spacing below the caption.
    constexpr int kCutoffCaptionExtra = 18;
    GroupBox1 = new QGroupBox(Panel1);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 248, 369, 73 + kCutoffCaptionExtra);
    auto* cutoffCaption = new QLabel(
        QStringLiteral("An abnormally low score (and abnormally large difference) is defined as "
                       "being exhibited by less than.."),
        GroupBox1);
    cutoffCaption->setObjectName(QStringLiteral("GroupBox1Caption"));
    cutoffCaption->setWordWrap(true);
    cutoffCaption->setGeometry(8, 3, 353, 30);
    const auto makeCutoffButton = [this](const char* name, const char* caption, int top) {
        auto* button = new QRadioButton(QString::fromLatin1(caption), GroupBox1);
        button->setObjectName(QString::fromLatin1(name));
        button->setGeometry(8, top + kCutoffCaptionExtra, 353, 17);
        return button;
    };
    RadioButton1 = makeCutoffButton("RadioButton1", "5% of population", 16);
    RadioButton2 = makeCutoffButton("RadioButton2", "10% of population", 32);
    RadioButton3 = makeCutoffButton("RadioButton3", "15% of population", 48);
    RadioButton1->setChecked(true);
    for (QRadioButton* button : {RadioButton1, RadioButton2, RadioButton3}) {
        TabStopOnlyWhenChecked(button);
    }

    for (int k = 0; k < kSubtestCount; ++k) {
        const ScoreFieldLayout& layout = kScoreFields[static_cast<std::size_t>(k)];
        auto* label = new QLabel(Panel1);
        label->setObjectName(QString::fromLatin1(layout.labelName));
        label->setGeometry(400, 12 + k * kFieldSpacing, layout.labelWidth, 16);
        labels_[static_cast<std::size_t>(k)] = label;

        auto* field = new QLineEdit(Panel1);
        field->setObjectName(QString::fromLatin1(layout.fieldName));
        field->setGeometry(704, 8 + k * kFieldSpacing, 56, 24);
        field->setFont(BoldFont(font()));
        field->installEventFilter(this);
        fields_[static_cast<std::size_t>(k)] = field;
    }

    pan1 = new QFrame(this);
    pan1->setObjectName(QStringLiteral("pan1"));
    pan1->setGeometry(12, 500, 768, 49);
    pan1->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    const auto makeButton = [this](const char* name, const char* caption, const QRect& geometry) {
        auto* button = new QPushButton(QString::fromLatin1(caption), this);
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

    // The notes box grows over Panel1 while it is being edited.
    memoComments->raise();
}

void TfrmTemplate::BuildHiddenMatrixControls() {
    cmdHelp = new QPushButton(QStringLiteral("Help with matrix..."), Panel1);
    cmdHelp->setObjectName(QStringLiteral("cmdHelp"));
    pnlHelp = new QFrame(this);
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
    for (QLineEdit* field : fields_) field->clear();
    lblGridColumnsTitle->hide();
    for (QLabel* label : lblCols_) label->hide();
    lblItems->hide();
    setWindowTitle(QString::fromLatin1(kProgramTitle));
    DescripFld->setPlainText(DescriptionText());
    for (int k = 0; k < kSubtestCount; ++k) {
        labels_[static_cast<std::size_t>(k)]->setText(
            QString::fromLatin1(kScoreFields[static_cast<std::size_t>(k)].caption));
    }
    Label_N->hide();
    lbl_r->hide();
    lblGridColumnsTitle->setText(QStringLiteral("Column names"));
    cmdHelp->setVisible(config_.MatrixEntryEnabled);
    grdData->setVisible(config_.GridEntryEnabled);  // sized as the previous data are read
    fields_[0]->setFocus();
    LoadPreviousData();
}

QString TfrmTemplate::DataFilePath() const {
    return orvale::DataFilePath(platform_.ProgramFolder());
}

void TfrmTemplate::LoadPreviousData() {
    // Without grid items from the file the grid keeps the configured size, empty.
    if (config_.GridEntryEnabled) SizeGrid();
    const LoadedData loaded = orvale::LoadPreviousData(
        DataFilePath(), config_.LoadCount,
        [this](FileNumberReader& reader, const std::vector<double>& scores) {
            return ReadExtensionItems(reader, scores);
        });
    for (int k = 0; k < loaded.fields.size() && k < kSubtestCount; ++k) {
        fields_[static_cast<std::size_t>(k)]->setText(loaded.fields[k]);
    }
    previousDataLoaded_ = loaded.complete();
    if (loaded.error) platform_.ShowError(*loaded.error);
    for (int k = 0; k < kSubtestCount; ++k) {
        const bool visible = k + 1 < kSubtestCount ? k + 1 <= config_.InputCount
                                                   : config_.InputCount == kSubtestCount;
        fields_[static_cast<std::size_t>(k)]->setVisible(visible);
        labels_[static_cast<std::size_t>(k)]->setVisible(visible);
    }
}

void TfrmTemplate::SaveCurrentData() {
    QStringList entries;
    for (QLineEdit* field : fields_) entries.append(field->text());
    if (const std::optional<QString> error =
            SavePreviousData(DataFilePath(), entries, ExtensionFileItems())) {
        platform_.ShowError(*error);
    }
}

void TfrmTemplate::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window restored from the task bar is not shown anew: the focus stays where the user left
    // it.
    if (!event->spontaneous()) FormShow();
}

void TfrmTemplate::FormShow() {
    if (fields_[0]->text().isEmpty()) {
        fields_[0]->setFocus();
        return;
    }
    raise();
    activateWindow();
    const int loadCount = config_.LoadCount;
    if (loadCount >= 1 && loadCount < kSubtestCount) {
        QLineEdit* next = fields_[static_cast<std::size_t>(loadCount)];
        (next->isHidden() ? fields_[static_cast<std::size_t>(loadCount - 1)] : next)->setFocus();
    }
}

void TfrmTemplate::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

void TfrmTemplate::FormActivate() {
    // Only a visible item grid needs attention on activation; the grid is off in this program.
    if (!grdData->isVisible()) return;
    if (grdData->columnCount() > 2) {
        SelectGridCell(2, 0);
    } else {
        SelectGridCell(1, 1);
    }
}

void TfrmTemplate::closeEvent(QCloseEvent* event) {
    // The close box ends the program at once, without a question.
    event->accept();
    platform_.EndApplication();
}

void TfrmTemplate::ExitBtnClick() {
    if (platform_.Confirm(QString::fromLatin1(kExitQuestion))) platform_.EndApplication();
}

void TfrmTemplate::DescripFldChange() {
    DescripFld->setVerticalScrollBarPolicy(
        DescripFld->toPlainText().size() > kDescriptionScrollLength ? Qt::ScrollBarAlwaysOn
                                                                    : Qt::ScrollBarAlwaysOff);
}

ScoringOptions TfrmTemplate::Options() const {
    ScoringOptions options;
    options.confidenceMethod = RadioGroup2->itemIndex();
    options.trueScoreDifferences = RadioGroup3->itemIndex() == 1;
    options.applyBonferroni = RadioGroup1->itemIndex() == 1;
    options.calculateGai = RadioGroup4->itemIndex() == 0;
    options.cutoffIndex = RadioButton1->isChecked() ? 1 : RadioButton2->isChecked() ? 2 : 3;
    return options;
}

void TfrmTemplate::cmdComputeClick() {
    SubtestEntries entries{};
    for (int k = 0; k < config_.InputCount && k < kSubtestCount; ++k) {
        QLineEdit* field = fields_[static_cast<std::size_t>(k)];
        const std::string caption = labels_[static_cast<std::size_t>(k)]->text().toStdString();
        const ParsedEntry parsed = ParseScoreEntry(field->text().toStdString(), caption);
        std::optional<std::string> message = parsed.error;
        if (!message) message = CheckScaledScoreRange(caption, parsed.value);
        if (message) {
            platform_.ShowWarning(MessageText(*message));
            field->setFocus();
            return;
        }
        entries[static_cast<std::size_t>(k)] = parsed.value;
    }
    if (config_.GridEntryEnabled && !CheckGridCells()) return;
    if (config_.MatrixEntryEnabled && !RunMatrixStep()) return;
    SaveCurrentData();

    ReportInput input;
    input.entries = entries;
    input.options = Options();
    for (const QString& line : DisplayedLines(*memoComments)) {
        input.notes.push_back(line.toStdString());
    }
    input.results = ComputeScores(entries, input.options);
    input.decimalSeparator = DecimalSeparator();
    input.extensionBlock = ExtensionReportBlock(input.decimalSeparator);
    if (results_ == nullptr) {
        if (config_.MatrixEntryEnabled) show();  // the matrix step hid the worksheet
        return;
    }
    results_->show();
    hide();
    results_->AppendReport(input);
}

void TfrmTemplate::btnclearDataClick() {
    for (QLineEdit* field : fields_) field->clear();
    memoComments->clear();
    QFile::remove(DataFilePath());  // a file that cannot be deleted is left; the fields are empty
    correlationStore_.fill(0.0);
    for (int row = 0; row < config_.GridRowCount && row < grdData->rowCount(); ++row) {
        for (int column = 1; column <= config_.GridColumnCount && column < grdData->columnCount();
             ++column) {
            delete grdData->takeItem(row, column);
        }
    }
    fields_[0]->setFocus();
}

// Key handling of the score fields -------------------------------------------------------------

void TfrmTemplate::ScoreFieldKeyPress(QChar& key) {
    const char typed = key.unicode() < 128 ? static_cast<char>(key.unicode()) : '\0';
    const char filtered = typed == '\0' ? '\0' : FilterNumericKey(typed);
    if (filtered == '\0') {
        platform_.Beep();
        platform_.ShowWarning(MessageText(kNumericOnlyMessage));
        key = QChar();
        return;
    }
    key = QChar::fromLatin1(filtered);
}

void TfrmTemplate::ScoreFieldKeyUp(int field) {
    QLineEdit* edit = fields_[static_cast<std::size_t>(field)];
    const std::string text = edit->text().toStdString();
    const std::string limited = LimitEntryLength(text);  // cuts characters, never bytes
    if (limited == text) return;
    platform_.Beep();
    platform_.ShowWarning(MessageText(kMaxLengthMessage));
    edit->setText(QString::fromStdString(limited));
    edit->selectAll();
}

void TfrmTemplate::txtInput1KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput2KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput3KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput4KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput5KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput6KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput7KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtinput8KeyPress(QChar& key) {
    ScoreFieldKeyPress(key);
}
void TfrmTemplate::txtInput1KeyUp() {
    ScoreFieldKeyUp(0);
}
void TfrmTemplate::txtInput2KeyUp() {
    ScoreFieldKeyUp(1);
}
void TfrmTemplate::txtInput3KeyUp() {
    ScoreFieldKeyUp(2);
}
void TfrmTemplate::txtInput4KeyUp() {
    ScoreFieldKeyUp(3);
}
void TfrmTemplate::txtInput5KeyUp() {
    ScoreFieldKeyUp(4);
}
void TfrmTemplate::txtInput6KeyUp() {
    ScoreFieldKeyUp(5);
}
void TfrmTemplate::txtInput7KeyUp() {
    ScoreFieldKeyUp(6);
}
void TfrmTemplate::txtinput8KeyUp() {
    ScoreFieldKeyUp(7);
}

// Notes box ------------------------------------------------------------------------------------

void TfrmTemplate::ExpandNotesWhenMultiLine(bool force) {
    if (force || DisplayedLines(*memoComments).size() > 1) {
        memoComments->resize(memoComments->width(), kNotesExpandedHeight);
    }
}

void TfrmTemplate::memoCommentsEnter() {
    ExpandNotesWhenMultiLine(false);
}

void TfrmTemplate::memoCommentsExit() {
    memoComments->resize(memoComments->width(), kNotesHeight);
}

void TfrmTemplate::memoCommentsKeyUp(int key) {
    ExpandNotesWhenMultiLine(key == Qt::Key_Return || key == Qt::Key_Enter);
}

bool TfrmTemplate::eventFilter(QObject* watched, QEvent* event) {
    using KeyPressHandler = void (TfrmTemplate::*)(QChar&);
    using KeyUpHandler = void (TfrmTemplate::*)();
    static constexpr std::array<KeyPressHandler, kSubtestCount> kKeyPress = {
        &TfrmTemplate::txtInput1KeyPress, &TfrmTemplate::txtInput2KeyPress,
        &TfrmTemplate::txtInput3KeyPress, &TfrmTemplate::txtInput4KeyPress,
        &TfrmTemplate::txtInput5KeyPress, &TfrmTemplate::txtInput6KeyPress,
        &TfrmTemplate::txtInput7KeyPress, &TfrmTemplate::txtinput8KeyPress};
    static constexpr std::array<KeyUpHandler, kSubtestCount> kKeyUp = {
        &TfrmTemplate::txtInput1KeyUp, &TfrmTemplate::txtInput2KeyUp, &TfrmTemplate::txtInput3KeyUp,
        &TfrmTemplate::txtInput4KeyUp, &TfrmTemplate::txtInput5KeyUp, &TfrmTemplate::txtInput6KeyUp,
        &TfrmTemplate::txtInput7KeyUp, &TfrmTemplate::txtinput8KeyUp};

    // Switching to another window or opening a menu neither enters nor leaves a control.
    const auto movesWithinWorksheet = [event] {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    };
    if (event->type() == QEvent::FocusOut && movesWithinWorksheet()) {
        if (watched == grdData) grdDataExit();
        if (watched == fields_[0]) txtInput1Exit();
    }
    if (watched == memoComments) {
        if (event->type() == QEvent::FocusIn && movesWithinWorksheet()) memoCommentsEnter();
        if (event->type() == QEvent::FocusOut && movesWithinWorksheet()) memoCommentsExit();
        if (event->type() == QEvent::KeyRelease) {
            memoCommentsKeyUp(static_cast<QKeyEvent*>(event)->key());
        }
        return false;
    }
    const auto found = std::find(fields_.begin(), fields_.end(), watched);
    if (found == fields_.end()) return QWidget::eventFilter(watched, event);
    const auto index = static_cast<std::size_t>(found - fields_.begin());
    auto* field = *found;

    if (event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const QString text = keyEvent->text();
        // Editing keys, navigation and shortcuts (copy, paste, select all) are not characters
        // typed into the field; Compute checks whatever a paste brings in.
        if (text.size() != 1 || text[0].unicode() < 32 || text[0].unicode() == 127 ||
            (keyEvent->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            return false;
        }
        QChar key = text[0];
        (this->*kKeyPress[index])(key);
        if (key.isNull()) return true;
        if (key != text[0]) {
            field->insert(QString(key));
            return true;
        }
        return false;
    }
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat()) {
        (this->*kKeyUp[index])();
    }
    return false;
}

}  // namespace orvale
