// SPDX-License-Identifier: GPL-3.0-or-later
// Drives the real program windows in GUI tests: start-up with a FakePlatform over a temporary
// folder, typing into the score fields, pressing buttons, reading the results memo.
#pragma once

#include <sys/resource.h>

#include <QLineEdit>
#include <QObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <array>
#include <csignal>
#include <memory>

#include "app/radio_group.h"
#include "app/score_field.h"
#include "app/startup.h"
#include "support/fake_platform.h"

namespace orvale::testing {

// The score fields' names, in field order.
inline constexpr const auto& kFieldNames = kScoreFieldNames;

class ProgramDriver {
  public:
    ProgramDriver();
    ~ProgramDriver();

    // Start-up as the program does it; again after Restart (the same folder, a new run).
    void Start();
    void Restart();

    TfrmTemplate& worksheet() { return windows_->worksheet(); }
    TfrmTemplateResults& results() { return windows_->results(); }
    FakePlatform& platform() { return *platform_; }
    QString folder() const { return folder_.path(); }
    QString dataFile() const;

    QLineEdit* field(int index);  // 0-based field order
    QStringList FieldTexts();     // the eight score fields' texts, in field order
    QWidget* worksheetControl(const char* name);
    QWidget* resultsControl(const char* name);
    RadioGroup* radioGroup(const char* name);
    QPlainTextEdit* memoResults();

    // Types each text into its field with key clicks (an empty text leaves the field empty).
    void TypeScores(const QStringList& texts);
    void Click(QWidget* button);
    void Compute();
    // The results memo's lines ("\n" separated; the text ends with a line break).
    QStringList ResultLines();

  private:
    QTemporaryDir folder_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<ProgramWindows> windows_;
};

// Reads a whole file; empty when it does not exist.
QByteArray ReadFile(const QString& path);
void WriteFile(const QString& path, const QByteArray& content);

// Pages in a PDF written by QPrinter.
int PdfPageCount(const QString& path);

// Lowers the file-size limit for the life of the object, so that every write of more than
// `bytes` bytes fails with "File too large" even for root. SIGXFSZ is set to its default action,
// which ends the process, as at start-up: the program has to keep a write past the limit from
// doing so.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        std::signal(SIGXFSZ, SIG_DFL);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
};

// Base of the GUI test classes that start the whole program afresh (a new temporary folder)
// before each test function and close its windows after it.
class ProgramTest : public QObject {
    Q_OBJECT
  private slots:
    void init();
    void cleanup();

  protected:
    std::unique_ptr<ProgramDriver> program_;
};

}  // namespace orvale::testing
