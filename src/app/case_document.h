// SPDX-License-Identifier: GPL-3.0-or-later
// The case file the worksheet shows, kept apart from the window as Qt's application example keeps
// its document (maybeSave, saveFile) apart from building the window: Open Case..., Save Case,
// Save Case As..., the recent cases remembered in the platform's settings, the modified mark and
// the window's caption. With no case file in use nothing changes: no question, no other caption.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

#include "batch/case_file.h"

class QAction;
class QMenu;
class QWidget;

namespace orvale {

class Platform;

class CaseDocument : public QObject {
    Q_OBJECT
  public:
    // What the document asks of the worksheet that shows the case.
    struct Worksheet {
        std::function<CaseValues()> values;           // the case as the controls hold it now
        std::function<void(const CaseValues&)> show;  // puts a case into the controls
        std::function<void(int field)> focusField;    // selects a score field (0-based)
    };

    // window takes the caption and parents the dialogs.
    CaseDocument(Platform& platform, QWidget* window, Worksheet worksheet);
    ~CaseDocument() override;

    // Lists the recent cases in menu, right after the separator `after`.
    void SetRecentMenu(QMenu* menu, QAction* after);

    // The case file in use (empty while none is) and whether the worksheet has changed since it
    // was opened or saved.
    QString FilePath() const { return path_; }
    bool Modified() const { return modified_; }

    // Opens the case file at path, after asking whether to save a modified case. False when the
    // user cancelled or the file could not be read (the worksheet is then unchanged).
    bool OpenFile(const QString& path);
    // Before the case is left (another opened, the program ended): asks whether to save a
    // modified case and saves it if so. False when the user chose to stay.
    bool MaybeSave();

  public slots:
    void Open();    // File > Open Case...
    void Save();    // File > Save Case
    void SaveAs();  // File > Save Case As...
    // Every change of an entry, an option or the notes: marks an open case as modified.
    void WorksheetChanged();

  private:
    bool Load(const QString& path);  // no question; false when the file cannot be read
    bool SaveTo(const QString& path);
    void UpdateCaption();
    void RememberRecent(const QString& path, bool keep);
    void RebuildRecent();

    Platform& platform_;
    QWidget* window_;
    Worksheet worksheet_;
    QString path_;
    bool modified_ = false;
    bool showing_ = false;  // the controls are being filled from a case file
    QMenu* recentMenu_ = nullptr;
    QAction* recentAfter_ = nullptr;  // the recent cases follow this separator
    QList<QAction*> recentActions_;
};

}  // namespace orvale
