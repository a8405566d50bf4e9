// SPDX-License-Identifier: GPL-3.0-or-later
// One run of "Score a Batch...": see batch_run.h.
#include "app/batch_run.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fstream>

#include "batch/csv_reader.h"
#include "files/whole_file.h"

namespace orvale {

BatchRun::BatchRun(QString inputPath, QString outputPath, const BatchSettings& settings,
                   QObject* parent)
    : QObject(parent),
      inputPath_(std::move(inputPath)),
      outputPath_(std::move(outputPath)),
      settings_(settings) {
    const QFileInfo input(inputPath_);
    if (input.isFile()) inputSize_ = static_cast<std::uint64_t>(input.size());
}

BatchRun::~BatchRun() {
    worker_.request_stop();
    if (worker_.joinable()) worker_.join();
}

void BatchRun::Start() {
    worker_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
}

void BatchRun::AddNote(int line, const QString& text) {
    if (outcome_.notes.size() < kMaxListedNotes) {
        outcome_.notes.append(QStringLiteral("Line %1: %2").arg(line).arg(text));
    } else {
        ++outcome_.unlistedNotes;
    }
}

void BatchRun::Run(std::stop_token stop) {
    const auto finish = [this] {
        QMetaObject::invokeMethod(this, &BatchRun::Finished, Qt::QueuedConnection);
    };
    const auto unreadable = [this](const QString& reason) {
        return QStringLiteral("The batch could not be read from %1: %2").arg(inputPath_, reason);
    };
    const auto unwritable = [this](const QString& reason) {
        return QStringLiteral("The results could not be written to %1: %2")
            .arg(outputPath_, reason);
    };
    // Opened here rather than on the worksheet's thread: opening a FIFO waits for its writer.
    if (QFileInfo(inputPath_).isDir()) {
        outcome_.failure = unreadable(QStringLiteral("it is a folder, not a file"));
        return finish();
    }
    errno = 0;
    std::ifstream input(QFile::encodeName(inputPath_).toStdString(), std::ios::binary);
    if (!input) {
        outcome_.failure = unreadable(errno != 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                                 : QStringLiteral("it cannot be opened"));
        return finish();
    }
    // A regular file is counted first, so that the progress can say how many rows there are:
    // reading it twice costs little beside the scoring.
    if (inputSize_ > 0) {
        std::ifstream counted(QFile::encodeName(inputPath_).toStdString(), std::ios::binary);
        CsvStreamReader reader(counted, settings_.maxRecordBytes);
        std::int64_t records = 0;
        while (!stop.stop_requested() && reader.Next()) ++records;
        if (records > 0 && !reader.ReadFailed() && !stop.stop_requested()) {
            rowsTotal_ = records - 1;  // after the header
        }
    }
    WholeFileWriter output(outputPath_);
    if (std::optional<QString> reason = output.Open()) {
        outcome_.failure = unwritable(*reason);
        return finish();
    }

    BatchCallbacks callbacks;
    callbacks.write = [&output](std::string_view text) { return output.Write(text); };
    callbacks.skipped = [this](int line, const std::string& message) {
        AddNote(line, QString::fromStdString(message));
    };
    callbacks.warning = [this](int line, const std::string& message) {
        AddNote(line, QStringLiteral("warning: ") + QString::fromStdString(message));
    };
    callbacks.progress = [this](const BatchProgress& progress) {
        QMetaObject::invokeMethod(
            this,
            [this, progress] {
                emit Progressed(progress.rowsWritten, progress.rowsSkipped, progress.bytesRead);
            },
            Qt::QueuedConnection);
    };
    try {
        outcome_.result = ScoreBatch(input, settings_, callbacks, stop);
    } catch (const std::exception& error) {
        output.Abandon();
        outcome_.failure = QStringLiteral("Batch scoring of %1 stopped: %2")
                               .arg(inputPath_, QString::fromLocal8Bit(error.what()));
        return finish();
    }
    const BatchResult& result = outcome_.result;
    switch (result.status) {
        case BatchStatus::kDone:
            // A Cancel that came after the last row still leaves the old file as it was.
            if (stop.stop_requested()) {
                outcome_.result.status = BatchStatus::kCancelled;
            } else if (std::optional<QString> reason = output.Commit()) {
                outcome_.failure = unwritable(*reason);
            }
            break;
        case BatchStatus::kUnusableHeader: {
            QString reason = QString::fromStdString(result.headerError);
            if (result.headerLine > 0) {
                reason = QStringLiteral("line %1: %2").arg(result.headerLine).arg(reason);
            }
            outcome_.failure = unreadable(reason);
            break;
        }
        case BatchStatus::kReadFailed:
            outcome_.failure = unreadable(QStringLiteral("it could not be read to its end"));
            break;
        case BatchStatus::kWriteFailed:  // Commit gives the reason of the write that failed
            outcome_.failure = unwritable(output.Commit().value_or(QString()));
            break;
        case BatchStatus::kCancelled:
            break;
    }
    output.Abandon();  // no temporary file is left once the worksheet hears of the end
    finish();
}

}  // namespace orvale
