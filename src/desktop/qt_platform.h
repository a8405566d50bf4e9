// SPDX-License-Identifier: GPL-3.0-or-later
// The real Platform: Qt message boxes, QApplication::beep, QFileDialog and the system's default
// printer. Thin on purpose: every decision lives in the forms, which tests drive with a fake.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <memory>

#include "desktop/platform.h"

namespace orvale {

// The modal box the real platform shows for a message of this kind: caption, icon and buttons as
// Platform describes them, and the text shown exactly as given.
std::unique_ptr<QMessageBox> BuildMessageBox(Platform::Box box, const QString& text,
                                             QWidget* parent);

// The file-open dialog the real platform shows for filter, not yet shown: an existing file, each
// name filter of the list on its own, then "All files (*)" unless the list has it.
std::unique_ptr<QFileDialog> BuildOpenFileDialog(const QString& filter, QWidget* parent);

class QtPlatform : public Platform {
  public:
    // Decides the program folder (see ChooseProgramFolder) once, now.
    QtPlatform();
    // Keeps the previous-data file in programFolder instead.
    explicit QtPlatform(QString programFolder);
    ~QtPlatform() override;

    void ShowWarning(const QString& text) override;
    void ShowInformation(const QString& text) override;
    bool Confirm(const QString& question) override;
    void ShowError(const QString& message) override;
    void Beep() override;
    void ShowAbout(const QString& title, const QString& text) override;
    void SetClipboardText(const QString& text) override;
    void SetClipboardImage(const QImage& image) override;
    std::optional<QString> GetSaveFileName(QWidget* parent, const QString& initialName,
                                           const QString& filter) override;
    std::optional<QString> GetSaveFileNameWithSuffix(QWidget* parent, const QString& initialName,
                                                     const QString& filter,
                                                     const QString& defaultSuffix) override;
    std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) override;
    SaveChoice AskSaveChanges(const QString& question) override;
    std::unique_ptr<QSettings> Settings() override;
    QPrinter* DefaultPrinter() override;
    QPrinter* ChoosePrinter(QWidget* parent, bool selectionAvailable) override;
    void ShowPrintPreview(QWidget* parent,
                          const std::function<void(QPrinter& printer)>& paint) override;
    QString ProgramFolder() const override { return programFolder_; }
    void EndApplication() override;

  private:
    QString programFolder_;
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QPrinter> chosenPrinter_;  // keeps the print dialog's choices for the run
};

}  // namespace orvale
