// SPDX-License-Identifier: GPL-3.0-or-later
// One run of "Score a Batch...": see batch_run.h.
#include "app/batch_run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <exception>
#include <istream>
#include <streambuf>
#include <system_error>
#include <vector>

#include "batch/csv_reader.h"
#include "desktop/core_text.h"
#include "files/whole_file.h"

namespace orvale {

namespace {

// How long a wait for input lasts before it looks again whether the run is to stop.
constexpr int kWaitStepMilliseconds = 100;
constexpr std::size_t kInputBufferBytes = std::size_t{1} << 16;

// The input file read for a std::istream, waiting for bytes in short steps of poll() so that a
// stop request ends the wait: neither a FIFO whose writer never comes nor one that has gone quiet
// can hold the run, or the program that ends it. It is opened without waiting for a FIFO's writer
// (O_NONBLOCK, kept: a read with nothing there says EAGAIN and the wait goes on). A stop request
// or a failed read throws from underflow, which the istream turns into badbit: the batch then
// ends as unreadable, which the run takes for a cancel once the stop was asked for.
class StoppableFileBuffer : public std::streambuf {
  public:
    StoppableFileBuffer(const QString& path, std::stop_token stop)
        : stop_(std::move(stop)), buffer_(kInputBufferBytes) {
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) openError_ = errno;
    }
    ~StoppableFileBuffer() override {
        if (fd_ >= 0) ::close(fd_);
    }
    StoppableFileBuffer(const StoppableFileBuffer&) = delete;
    StoppableFileBuffer& operator=(const StoppableFileBuffer&) = delete;

    // errno of the open that failed, or 0 once the file is open.
    int OpenError() const { return openError_; }
    bool IsRegularFile() const {
        struct stat status {};
        return fd_ >= 0 && ::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode);
    }

  protected:
    int_type underflow() override {
        if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
        for (;;) {
            if (stop_.stop_requested()) throw std::system_error(ECANCELED, std::generic_category());
            pollfd input{fd_, POLLIN, 0};
            const int ready = ::poll(&input, 1, kWaitStepMilliseconds);
            if (ready < 0 && errno != EINTR) {
                throw std::system_error(errno, std::generic_category());
            }
            // Nothing yet. Only poll() tells: before its first writer a FIFO reads as ended.
            if (ready <= 0) continue;
            const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
            if (got > 0) {
                setg(buffer_.data(), buffer_.data(), buffer_.data() + got);
                return traits_type::to_int_type(buffer_[0]);
            }
            if (got == 0) return traits_type::eof();
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
                throw std::system_error(errno, std::generic_category());
            }
        }
    }

  private:
    std::stop_token stop_;
    std::vector<char> buffer_;
    int fd_ = -1;
    int openError_ = 0;
};

}  // namespace

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

QString BatchRun::Unreadable(const QString& reason) const {
    return QStringLiteral("The batch could not be read from %1: %2").arg(inputPath_, reason);
}

QString BatchRun::Unwritable(const QString& reason) const {
    return QStringLiteral("The results could not be written to %1: %2").arg(outputPath_, reason);
}

void BatchRun::Run(std::stop_token stop) {
    outcome_.failure = ScoreInput(stop);
    // The results file has been written or its temporary file removed by now.
    QMetaObject::invokeMethod(this, &BatchRun::Finished, Qt::QueuedConnection);
}

std::optional<QString> BatchRun::ScoreInput(const std::stop_token& stop) {
    if (QFileInfo(inputPath_).isDir())
        return Unreadable(QStringLiteral("it is a folder, not a file"));
    StoppableFileBuffer file(inputPath_, stop);
    if (file.OpenError() != 0) {
        return Unreadable(QString::fromLocal8Bit(std::strerror(file.OpenError())));
    }
    if (inputSize_ > 0) CountRows(stop);
    // Results going to a pipe wait for its reader, as long as the batch is not cancelled.
    WholeFileWriter output(FileNameBytes(outputPath_));
    if (std::optional<std::string> reason = output.Open(PipeReader::AwaitIt, stop)) {
        if (!stop.stop_requested()) return Unwritable(QString::fromStdString(*reason));
        outcome_.result.status = BatchStatus::kCancelled;
        return std::nullopt;
    }
    std::istream input(&file);
    try {
        outcome_.result = ScoreBatch(input, settings_, Callbacks(output), stop);
    } catch (const std::exception& error) {
        return QStringLiteral("Batch scoring of %1 stopped: %2")
            .arg(inputPath_, QString::fromLocal8Bit(error.what()));
    }
    return Conclude(output, stop);
}

// A regular file is counted first, so that the progress can say how many rows there are: reading
// it twice costs little beside the scoring.
void BatchRun::CountRows(const std::stop_token& stop) {
    StoppableFileBuffer file(inputPath_, stop);
    if (!file.IsRegularFile()) return;
    std::istream counted(&file);
    CsvStreamReader reader(counted, settings_.maxRecordBytes);
    std::int64_t records = 0;
    while (!stop.stop_requested() && reader.Next()) ++records;
    if (records > 0 && !reader.ReadFailed() && !stop.stop_requested()) {
        rowsTotal_ = records - 1;  // after the header
    }
}

BatchCallbacks BatchRun::Callbacks(WholeFileWriter& output) {
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
    return callbacks;
}

std::optional<QString> BatchRun::Conclude(WholeFileWriter& output, const std::stop_token& stop) {
    BatchResult& result = outcome_.result;
    // A Cancel leaves the old file as it was, even one that came after the last row, or while
    // the input was awaited (the wait then ends the reading as a failed read) or room in a pipe
    // for the results (the wait then ends the writing as a failed write).
    const bool ended = result.status == BatchStatus::kDone ||
                       result.status == BatchStatus::kReadFailed ||
                       result.status == BatchStatus::kWriteFailed;
    if (ended && stop.stop_requested()) result.status = BatchStatus::kCancelled;
    switch (result.status) {
        case BatchStatus::kDone:
            if (std::optional<std::string> reason = output.Commit()) {
                return Unwritable(QString::fromStdString(*reason));
            }
            return std::nullopt;
        case BatchStatus::kUnusableHeader: {
            QString reason = QString::fromStdString(result.headerError);
            if (result.headerLine > 0) {
                reason = QStringLiteral("line %1: %2").arg(result.headerLine).arg(reason);
            }
            return Unreadable(reason);
        }
        case BatchStatus::kReadFailed:
            return Unreadable(QStringLiteral("it could not be read to its end"));
        case BatchStatus::kWriteFailed:  // Commit gives the reason of the write that failed
            return Unwritable(QString::fromStdString(output.Commit().value_or(std::string())));
        case BatchStatus::kCancelled:
            break;
    }
    return std::nullopt;
}

}  // namespace orvale
