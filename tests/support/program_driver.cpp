// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/program_driver.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace orvale::testing {

ProgramDriver::ProgramDriver() : platform_(std::make_unique<FakePlatform>(folder_.path())) {}

ProgramDriver::~ProgramDriver() = default;

void ProgramDriver::Start() {
    windows_ = std::make_unique<ProgramWindows>(*platform_);
    windows_->worksheet().activateWindow();
    if (!QTest::qWaitForWindowActive(&windows_->worksheet())) {
        qWarning("the worksheet did not become active");
    }
}

void ProgramDriver::Restart() {
    windows_.reset();
    platform_->Clear();
    Start();
}

QString ProgramDriver::dataFile() const {
    return folder_.filePath(QStringLiteral("orvale.txt"));
}

QLineEdit* ProgramDriver::field(int index) {
    return worksheet().findChild<QLineEdit*>(QString::fromLatin1(kFieldNames.at(index)));
}

QStringList ProgramDriver::FieldTexts() {
    QStringList texts;
    for (int k = 0; k < 8; ++k) texts.append(field(k)->text());
    return texts;
}

QWidget* ProgramDriver::worksheetControl(const char* name) {
    return worksheet().findChild<QWidget*>(QString::fromLatin1(name));
}

QWidget* ProgramDriver::resultsControl(const char* name) {
    return results().findChild<QWidget*>(QString::fromLatin1(name));
}

RadioGroup* ProgramDriver::radioGroup(const char* name) {
    return worksheet().findChild<RadioGroup*>(QString::fromLatin1(name));
}

QPlainTextEdit* ProgramDriver::memoResults() {
    return results().findChild<QPlainTextEdit*>(QStringLiteral("memoResults"));
}

void ProgramDriver::TypeScores(const QStringList& texts) {
    for (int k = 0; k < texts.size(); ++k) {
        field(k)->clear();
        QTest::keyClicks(field(k), texts[k]);
    }
}

void ProgramDriver::Click(QWidget* button) {
    QTest::mouseClick(button, Qt::LeftButton);
}

void ProgramDriver::Compute() {
    Click(worksheetControl("cmdCompute"));
}

QStringList ProgramDriver::ResultLines() {
    return memoResults()->toPlainText().split(u'\n');
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& content) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(content);
}

int PdfPageCount(const QString& path) {
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return static_cast<int>(QString::fromLatin1(ReadFile(path)).count(page));
}

void ProgramTest::init() {
    program_ = std::make_unique<ProgramDriver>();
    program_->Start();
}

void ProgramTest::cleanup() {
    program_.reset();
}

}  // namespace orvale::testing
