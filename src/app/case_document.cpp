// SPDX-License-Identifier: GPL-3.0-or-later
// The worksheet's case file: see case_document.h.
#include "app/case_document.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QWidget>

#include "desktop/core_text.h"
#include "desktop/platform.h"
#include "desktop/run_guarded.h"
#include "desktop/user_files.h"
#include "files/case_file_read.h"
#include "report/compose.h"

namespace orvale {

namespace {

constexpr int kMaxRecentCases = 8;
const char* const kRecentCasesKey = "recentCases";
const char* const kDefaultCaseName = "case.orvale";

}  // namespace

CaseDocument::CaseDocument(Platform& platform, QWidget* window, Worksheet worksheet)
    : platform_(platform), window_(window), worksheet_(std::move(worksheet)) {}

CaseDocument::~CaseDocument() = default;

void CaseDocument::SetRecentMenu(QMenu* menu, QAction* after) {
    recentMenu_ = menu;
    recentAfter_ = after;
    RebuildRecent();
}

void CaseDocument::WorksheetChanged() {
    if (path_.isEmpty() || showing_ || modified_) return;
    modified_ = true;
    UpdateCaption();
}

void CaseDocument::UpdateCaption() {
    const QString title = QString::fromLatin1(kProgramTitle);
    if (path_.isEmpty()) {
        window_->setWindowTitle(title);
    } else {
        window_->setWindowTitle(QFileInfo(path_).fileName() + QStringLiteral("[*] - ") + title);
    }
    window_->setWindowModified(modified_);
}

bool CaseDocument::MaybeSave() {
    if (path_.isEmpty() || !modified_) return true;
    const QString question = QStringLiteral("The case %1 has been changed. Save the changes?")
                                 .arg(QFileInfo(path_).fileName());
    switch (platform_.AskSaveChanges(question)) {
        case Platform::SaveChoice::Save:
            return SaveTo(path_);
        case Platform::SaveChoice::Discard:
            return true;
        case Platform::SaveChoice::Cancel:
            break;
    }
    return false;
}

bool CaseDocument::OpenFile(const QString& path) {
    return MaybeSave() && Load(path);
}

bool CaseDocument::Load(const QString& path) {
    CaseReading reading;
    if (!RunGuarded(platform_, [&] { reading = ReadCaseFile(FileNameBytes(path)); })) {
        return false;
    }
    if (!reading.values) {
        platform_.ShowWarning(QString::fromStdString(reading.error));
        // A recent case that can no longer be read leaves the list.
        RememberRecent(path, false);
        return false;
    }
    showing_ = true;
    worksheet_.show(*reading.values);
    showing_ = false;
    path_ = path;
    modified_ = false;
    UpdateCaption();
    RememberRecent(path, true);
    return true;
}

bool CaseDocument::SaveTo(const QString& path) {
    const CaseValues values = worksheet_.values();
    if (const std::optional<CaseSaveProblem> problem = CheckCaseForSaving(values)) {
        platform_.ShowWarning(QString::fromStdString(problem->message));
        worksheet_.focusField(problem->field);
        return false;
    }
    std::optional<QString> reason;
    if (!RunGuarded(platform_, [&] {
            reason = WriteWholeFile(path, QByteArray::fromStdString(CaseFileContent(
                                              values, std::chrono::system_clock::now())));
        })) {
        return false;
    }
    if (reason) {
        platform_.ShowError(
            QStringLiteral("The case could not be saved to %1: %2").arg(path, *reason));
        return false;
    }
    path_ = path;
    modified_ = false;
    UpdateCaption();
    RememberRecent(path, true);
    return true;
}

void CaseDocument::Open() {
    if (!MaybeSave()) return;
    const std::optional<QString> path =
        platform_.GetOpenFileName(window_, QString::fromLatin1(kCaseFileFilter));
    if (path) Load(*path);
}

void CaseDocument::Save() {
    if (path_.isEmpty()) {
        SaveAs();
    } else {
        SaveTo(path_);
    }
}

void CaseDocument::SaveAs() {
    const std::optional<QString> path = platform_.GetSaveFileNameWithSuffix(
        window_, path_.isEmpty() ? QString::fromLatin1(kDefaultCaseName) : path_,
        QString::fromLatin1(kCaseFileFilter), QString::fromLatin1(kCaseFileSuffix));
    if (path) SaveTo(*path);
}

void CaseDocument::RememberRecent(const QString& path, bool keep) {
    const std::unique_ptr<QSettings> settings = platform_.Settings();
    QStringList recent = settings->value(QLatin1String(kRecentCasesKey)).toStringList();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    if (keep) recent.prepend(absolute);
    while (recent.size() > kMaxRecentCases) recent.removeLast();
    settings->setValue(QLatin1String(kRecentCasesKey), recent);
    settings->sync();
    RebuildRecent();
}

void CaseDocument::RebuildRecent() {
    qDeleteAll(recentActions_);
    recentActions_.clear();
    if (recentMenu_ == nullptr) return;
    const QStringList recent =
        platform_.Settings()->value(QLatin1String(kRecentCasesKey)).toStringList();
    const QList<QAction*> actions = recentMenu_->actions();
    QAction* before = actions.value(actions.indexOf(recentAfter_) + 1);
    for (int i = 0; i < recent.size() && i < kMaxRecentCases; ++i) {
        const QString path = recent[i];
        auto* action = new QAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(path).fileName()), recentMenu_);
        action->setObjectName(QStringLiteral("mnuRecentCase%1").arg(i + 1));
        action->setToolTip(path);
        action->setStatusTip(path);
        action->setData(path);
        connect(action, &QAction::triggered, this, [this, path] { OpenFile(path); });
        recentMenu_->insertAction(before, action);
        recentActions_.append(action);
    }
}

}  // namespace orvale
