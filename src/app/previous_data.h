// The previous-data file: one line holding the eight score texts of the last successful Compute,
// each followed by a blank. Written whole through QSaveFile so a failed write leaves the old file
// as it was; read back as white-space separated numbers with the C locale.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace orvale {

// The file's line for these entries. Blanks inside an entry (only a pasted text can hold one)
// are dropped: the parser ignores them, and written as they are they would read back as two
// numbers and shift every later field.
QString PreviousDataLine(const QStringList& entries);

// Replaces the file at path with PreviousDataLine(entries). The error message when it failed.
std::optional<QString> SavePreviousData(const QString& path, const QStringList& entries);

struct LoadedData {
    bool fileFound = false;
    // The texts for the first fields, formatted "%1.6g"; when reading stopped at a malformed
    // number this holds the fields read before it.
    QStringList fields;
    std::optional<QString> error;  // "Invalid numeric input" or the file's own error
    bool complete() const { return fileFound && !error; }
};

// Reads loadCount numbers from the file at path. A missing file is no error; missing numbers
// read as 0.
LoadedData LoadPreviousData(const QString& path, int loadCount);

// One number as the file holds it: optional sign, digits with an optional point, optional
// exponent. Empty when the token is no such number.
std::optional<double> ParseFileNumber(const QByteArray& token);

}  // namespace orvale
