// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/qt_platform.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "desktop/program_folder.h"
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
          ChooseProgramFolder(QCoreApplication::applicationDirPath(), UserDataFolder())) {}

QtPlatform::QtPlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<QMessageBox> BuildMessageBox(Platform::Box box, const QString& text,
                                             QWidget* parent) {
    QMessageBox::Icon icon = QMessageBox::Warning;
    QString caption = QStringLiteral("Warning");
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (box) {
        case Platform::Box::Warning:
            break;
        case Platform::Box::Information:
            icon = QMessageBox::Information;
            caption = QStringLiteral("Information");
            break;
        case Platform::Box::Confirm:
            icon = QMessageBox::Question;
            caption = QStringLiteral("Confirm");
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case Platform::Box::Error:
            icon = QMessageBox::Critical;
            caption = QString::fromLatin1(kProgramTitle);
            break;
    }
    auto message = std::make_unique<QMessageBox>(icon, caption, text, buttons, parent);
    // Messages quote what the user typed or chose (entries, file names): a "<" in them is text,
    // never markup.
    message->setTextFormat(Qt::PlainText);
    return message;
}

void QtPlatform::ShowWarning(const QString& text) {
    BuildMessageBox(Box::Warning, text, DialogParent())->exec();
}

void QtPlatform::ShowInformation(const QString& text) {
    BuildMessageBox(Box::Information, text, DialogParent())->exec();
}

bool QtPlatform::Confirm(const QString& question) {
    return BuildMessageBox(Box::Confirm, question, DialogParent())->exec() == QMessageBox::Yes;
}

void QtPlatform::ShowError(const QString& message) {
    BuildMessageBox(Box::Error, message, DialogParent())->exec();
}

void QtPlatform::Beep() {
    QApplication::beep();
}

std::optional<QString> QtPlatform::GetSaveFileName(QWidget* parent, const QString& initialName,
                                                   const QString& filter) {
    return GetSaveFileNameWithSuffix(parent, initialName, filter, {});
}

std::optional<QString> QtPlatform::GetSaveFileNameWithSuffix(QWidget* parent,
                                                             const QString& initialName,
                                                             const QString& filter,
                                                             const QString& defaultSuffix) {
    QFileDialog dialog(parent);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix.mid(1));
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

void QtPlatform::ShowAbout(const QString& title, const QString& text) {
    QMessageBox::about(QApplication::activeWindow(), title, text);
}

void QtPlatform::SetClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}

void QtPlatform::SetClipboardImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

std::unique_ptr<QFileDialog> BuildOpenFileDialog(const QString& filter, QWidget* parent) {
    auto dialog = std::make_unique<QFileDialog>(parent);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    const QString allFiles = QStringLiteral("All files (*)");
    QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    if (!filters.contains(allFiles)) filters.append(allFiles);
    dialog->setNameFilters(filters);
    return dialog;
}

std::optional<QString> QtPlatform::GetOpenFileName(QWidget* parent, const QString& filter) {
    const std::unique_ptr<QFileDialog> dialog = BuildOpenFileDialog(filter, parent);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog->selectedFiles().constFirst();
}

Platform::SaveChoice QtPlatform::AskSaveChanges(const QString& question) {
    const std::unique_ptr<QMessageBox> box =
        BuildMessageBox(Box::Confirm, question, DialogParent());
    box->setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
    box->setDefaultButton(QMessageBox::Save);
    box->setEscapeButton(QMessageBox::Cancel);
    switch (box->exec()) {
        case QMessageBox::Save:
            return SaveChoice::Save;
        case QMessageBox::Discard:
            return SaveChoice::Discard;
        default:
            return SaveChoice::Cancel;
    }
}

std::unique_ptr<QSettings> QtPlatform::Settings() {
    return std::make_unique<QSettings>(QStringLiteral("orvale"), QStringLiteral("orvale"));
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

QPrinter* QtPlatform::ChoosePrinter(QWidget* parent, bool selectionAvailable) {
    if (!chosenPrinter_) chosenPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    chosenPrinter_->setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(chosenPrinter_.get(), parent);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionAvailable);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted ? chosenPrinter_.get() : nullptr;
}

void QtPlatform::ShowPrintPreview(QWidget* parent,
                                  const std::function<void(QPrinter& printer)>& paint) {
    if (!chosenPrinter_) chosenPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintPreviewDialog preview(chosenPrinter_.get(), parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter* printer) { paint(*printer); });
    preview.exec();
}

void QtPlatform::EndApplication() {
    QCoreApplication::exit(0);
}

}  // namespace orvale
