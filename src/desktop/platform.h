// SPDX-License-Identifier: GPL-3.0-or-later
// Everything the windows ask of the desktop: message boxes, the beep, the file dialogs, the
// clipboard, the printers, the settings, ending the program and the folder of the previous-data
// file. The forms receive one Platform at creation; QtPlatform is the real one, the GUI tests hand
// in a fake. File filters are lists in Qt's form: name filters separated by ";;".
#pragma once

#include <QSettings>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QImage;
class QPrinter;
class QWidget;

namespace orvale {

class Platform {
  public:
    virtual ~Platform() = default;

    // The kinds of message box below.
    enum class Box { Warning, Information, Confirm, Error };

    // Modal warning box: caption "Warning", exclamation icon, one OK button.
    virtual void ShowWarning(const QString& text) = 0;
    // Modal information box: information icon, one OK button. Platforms without a box of their
    // own show a warning box instead.
    virtual void ShowInformation(const QString& text) { ShowWarning(text); }
    // Modal confirmation box: caption "Confirm", question icon, Yes and No. True for Yes.
    virtual bool Confirm(const QString& question) = 0;
    // The program's standard error box: error icon, the program title as caption, one OK button.
    virtual void ShowError(const QString& message) = 0;
    virtual void Beep() = 0;
    // The About box: title as caption, text (rich text allowed) and one OK button.
    virtual void ShowAbout(const QString& title, const QString& text) = 0;

    // Puts text, or a picture, on the system clipboard.
    virtual void SetClipboardText(const QString& text) = 0;
    virtual void SetClipboardImage(const QImage& image) = 0;

    // File-save dialog offering initialName, filtered by filter, asking before it replaces a file.
    // Empty when the user cancels.
    virtual std::optional<QString> GetSaveFileName(QWidget* parent, const QString& initialName,
                                                   const QString& filter) = 0;

    // The same dialog for a file of one kind: a chosen name without suffix gets defaultSuffix
    // (".orvale") before the dialog asks about replacing it.
    virtual std::optional<QString> GetSaveFileNameWithSuffix(QWidget* parent,
                                                             const QString& initialName,
                                                             const QString& filter,
                                                             const QString& defaultSuffix) = 0;
    // File-open dialog for an existing file, offering each filter of the list and "All files (*)"
    // (once). Empty when the user cancels.
    virtual std::optional<QString> GetOpenFileName(QWidget* parent, const QString& filter) = 0;

    // The answer to "save the changes first?".
    enum class SaveChoice { Save, Discard, Cancel };
    // Modal question with Save, Discard and Cancel buttons (caption "Confirm", question icon).
    virtual SaveChoice AskSaveChanges(const QString& question) = 0;

    // The program's remembered settings (recent cases).
    virtual std::unique_ptr<QSettings> Settings() = 0;

    // The default printer, ready to paint on, or nullptr when none is set up. The platform owns
    // it; it stays valid until the next call.
    virtual QPrinter* DefaultPrinter() = 0;

    // The system print dialog (printer, copies, page range, printing to a PDF file), offering
    // "Selection" when selectionAvailable. The chosen printer, owned by the platform, or nullptr
    // when the user cancels.
    virtual QPrinter* ChoosePrinter(QWidget* parent, bool selectionAvailable) = 0;
    // The print preview, which calls paint for the printer whose pages it shows (and prints from).
    virtual void ShowPrintPreview(QWidget* parent,
                                  const std::function<void(QPrinter& printer)>& paint) = 0;

    // The folder of the previous-data file, decided once when the platform is created.
    virtual QString ProgramFolder() const = 0;

    // Ends the message loop: the program ends without saving anything.
    virtual void EndApplication() = 0;
};

}  // namespace orvale
