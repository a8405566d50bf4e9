// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fake_platform.h"

#include <QApplication>
#include <QDialog>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

namespace orvale::testing {

bool FakePlatform::Confirm(const QString& question) {
    messages.push_back({Kind::Confirm, question});
    if (confirmAnswers.empty()) return false;
    const bool answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::optional<QString> FakePlatform::GetSaveFileName(QWidget*, const QString& initialName,
                                                     const QString& filter) {
    offeredSaveNames.append(initialName);
    saveFilters.append(filter);
    if (saveAnswers.empty()) return std::nullopt;
    const bool chosen = saveAnswers.front().has_value();
    const QString name = saveAnswers.front().value_or(QString());
    saveAnswers.pop_front();
    if (!chosen) return std::nullopt;
    return name;
}

std::optional<QString> FakePlatform::GetSaveFileNameWithSuffix(QWidget* parent,
                                                               const QString& initialName,
                                                               const QString& filter,
                                                               const QString& defaultSuffix) {
    std::optional<QString> name = GetSaveFileName(parent, initialName, filter);
    if (name && QFileInfo(*name).suffix().isEmpty()) *name += defaultSuffix;
    return name;
}

std::optional<QString> FakePlatform::GetOpenFileName(QWidget*, const QString& filter) {
    openFilters.append(filter);
    if (openAnswers.empty()) return std::nullopt;
    std::optional<QString> name = openAnswers.front();
    openAnswers.pop_front();
    return name;
}

Platform::SaveChoice FakePlatform::AskSaveChanges(const QString& question) {
    messages.push_back({Kind::SaveQuestion, question});
    if (saveChoices.empty()) return SaveChoice::Cancel;
    const SaveChoice choice = saveChoices.front();
    saveChoices.pop_front();
    return choice;
}

std::unique_ptr<QSettings> FakePlatform::Settings() {
    return std::make_unique<QSettings>(programFolder_ + QStringLiteral("/settings.ini"),
                                       QSettings::IniFormat);
}

QPrinter* FakePlatform::DefaultPrinter() {
    ++printerQueries;
    return printer_.get();
}

QPrinter* FakePlatform::ChoosePrinter(QWidget*, bool selectionAvailable) {
    ++printDialogs;
    selectionOffered = selectionAvailable;
    return printer_.get();
}

void FakePlatform::ShowPrintPreview(QWidget*, const std::function<void(QPrinter& printer)>& paint) {
    ++printPreviews;
    if (printer_) paint(*printer_);
}

void FakePlatform::UsePdfPrinter(const QString& path) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(path);
    printer_->setPageSize(QPageSize(QPageSize::A4));
}

QStringList FakePlatform::Texts(Kind kind) const {
    QStringList texts;
    for (const Message& message : messages) {
        if (message.kind == kind) texts.append(message.text);
    }
    return texts;
}

void FakePlatform::Clear() {
    messages.clear();
    beeps = 0;
    endApplicationCalls = 0;
}

void StartModalDialogWatchdog() {
    static bool started = false;
    // A test without widgets runs a plain QCoreApplication: no dialog can open there.
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (started || application == nullptr) return;
    started = true;
    auto* timer = new QTimer(application);
    timer->setInterval(50);
    QObject::connect(timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        const QByteArray title = modal->windowTitle().toUtf8();
        QTest::qFail(("a real modal dialog opened: " + title).constData(), __FILE__, __LINE__);
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->done(QDialog::Rejected);
        } else {
            modal->close();
        }
    });
    timer->start();
}

namespace {
// The application is still being constructed here; start once its event loop first runs.
void StartWatchdogWithApplication() {
    QMetaObject::invokeMethod(QCoreApplication::instance(), &StartModalDialogWatchdog,
                              Qt::QueuedConnection);
}
}  // namespace
Q_COREAPP_STARTUP_FUNCTION(StartWatchdogWithApplication)

}  // namespace orvale::testing
