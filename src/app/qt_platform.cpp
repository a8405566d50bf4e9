#include "app/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

#include "app/program_folder.h"
#include "report/compose.h"

namespace orvale {

namespace {

// Message boxes belong to whichever of the two windows is showing.
QWidget* DialogParent() {
    return QApplication::activeWindow();
}

}  // namespace

QtPlatform::QtPlatform()
    : programFolder_(
          ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))) {}

QtPlatform::QtPlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}

QtPlatform::~QtPlatform() = default;

void QtPlatform::ShowWarning(const QString& text) {
    QMessageBox::warning(DialogParent(), QStringLiteral("Warning"), text, QMessageBox::Ok);
}

void QtPlatform::ShowInformation(const QString& text) {
    QMessageBox::information(DialogParent(), QStringLiteral("Information"), text, QMessageBox::Ok);
}

bool QtPlatform::Confirm(const QString& question) {
    return QMessageBox::question(DialogParent(), QStringLiteral("Confirm"), question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtPlatform::ShowError(const QString& message) {
    QMessageBox::critical(DialogParent(), QString::fromLatin1(kProgramTitle), message,
                          QMessageBox::Ok);
}

void QtPlatform::Beep() {
    QApplication::beep();
}

std::optional<QString> QtPlatform::GetSaveFileName(QWidget* parent, const QString& initialName,
                                                   const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.selectFile(initialName);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

QPrinter* QtPlatform::DefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        printer_.reset();
        return nullptr;
    }
    printer_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    return printer_.get();
}

void QtPlatform::EndApplication() {
    QCoreApplication::exit(0);
}

}  // namespace orvale
