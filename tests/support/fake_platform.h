// SPDX-License-Identifier: GPL-3.0-or-later
// A Platform for the GUI tests: records every message, beep and question, answers questions and
// save dialogs from queues (or defaults), hands out a PDF printer when a test sets one, and keeps
// the previous-data file in a folder the test chooses.
#pragma once

#include <QImage>
#include <QPrinter>
#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

#include "desktop/platform.h"

namespace orvale::testing {

class FakePlatform : public Platform {
  public:
    enum class Kind { Warning, Information, Confirm, Error, SaveQuestion };
    struct Message {
        Kind kind;
        QString text;
    };

    explicit FakePlatform(QString programFolder) : programFolder_(std::move(programFolder)) {}

    void ShowWarning(const QString& text) override { messages.push_back({Kind::Warning, text}); }
    void ShowInformation(const QString& text) override {
        messages.push_back({Kind::Information, text});
    }
    bool Confirm(const QString& question) override;
    void ShowError(const QString& message) override { messages.push_back({Kind::Error, message}); }
    void Beep() override { ++beeps; }
    void ShowAbout(const QString& title, const QString& text) override {
        messages.push_back({Kind::Information, title + u'\n' + text});
    }
    void SetClipboardText(const QString& text) override { clipboardText = text; }
    void SetClipboardImage(const QImage& image) override { clipboardImage = image; }
    std::optional<QString> GetSaveFileName(QWidget* parent, const QString& initialName,
                                           const QString& filter) override;
    // Answered from saveAnswers like GetSaveFileName, the suffix added to a name without one.
    std::optional<QString> GetSaveFileNameWithSuffix(QWidget* parent, const QString& initialName,
                                                     const QString& filter,
                                                     const QString& defaultSuffix) override;
    std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) override;
    SaveChoice AskSaveChanges(const QString& question) override;
    // An INI file in the program folder: nothing of a test reaches the user's settings.
    std::unique_ptr<QSettings> Settings() override;
    QPrinter* DefaultPrinter() override;
    // The PDF printer as if chosen in the print dialog (nullptr without one: a cancel).
    QPrinter* ChoosePrinter(QWidget* parent, bool selectionAvailable) override;
    // Paints the preview on the PDF printer, if one is set.
    void ShowPrintPreview(QWidget* parent,
                          const std::function<void(QPrinter& printer)>& paint) override;
    QString ProgramFolder() const override { return programFolder_; }
    void EndApplication() override { ++endApplicationCalls; }

    // A PDF printer writing to path; DefaultPrinter returns nullptr until one is set.
    void UsePdfPrinter(const QString& path);
    QPrinter* pdfPrinter() { return printer_.get(); }

    // The texts of the recorded messages of one kind, in order.
    QStringList Texts(Kind kind) const;
    void Clear();

    std::vector<Message> messages;
    int beeps = 0;
    int endApplicationCalls = 0;
    int printerQueries = 0;
    int printDialogs = 0;
    int printPreviews = 0;
    bool selectionOffered = false;                   // by the last print dialog
    std::deque<bool> confirmAnswers;                 // consumed in order; No when empty
    std::deque<std::optional<QString>> saveAnswers;  // consumed in order; cancel when empty
    QStringList offeredSaveNames;                    // initial names the save dialog was given
    QStringList saveFilters;                         // the filter each save dialog was given
    QStringList openFilters;                         // the filter each open dialog was given
    QString clipboardText;
    QImage clipboardImage;
    std::deque<std::optional<QString>> openAnswers;  // consumed in order; cancel when empty
    std::deque<SaveChoice> saveChoices;              // consumed in order; Cancel when empty

  private:
    QString programFolder_;
    std::unique_ptr<QPrinter> printer_;
};

// Fails the running test and closes the dialog whenever a real modal dialog opens: a handler that
// bypasses the platform would otherwise hang the suite. Started for every GUI test at start-up.
void StartModalDialogWatchdog();

}  // namespace orvale::testing
