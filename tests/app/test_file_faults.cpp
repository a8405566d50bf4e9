// SPDX-License-Identifier: GPL-3.0-or-later
// The program's files under real faults: a symbolic link planted at the data file, a full disk,
// a file-size limit, a folder the user may not write, a disk whose flush fails, a program killed
// before its rename, and hostile things at the data file's path at start-up. The old file must
// survive every failed write, and the report must still be shown.
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <csignal>
#include <functional>
#include <memory>

#include "app/previous_data.h"
#include "desktop/user_files.h"
#include "support/program_driver.h"

using orvale::LinkAtPath;
using orvale::WriteWholeFile;
using orvale::testing::FakePlatform;
using orvale::testing::ProgramDriver;
using orvale::testing::ReadFile;
using orvale::testing::WriteFile;
using Kind = FakePlatform::Kind;

namespace {

const QStringList kScores = {"10", "12", "9", "8", "11", "10", "13", "7"};
const QByteArray kOld = "11 11 11 11 11 11 11 11 ";
const QByteArray kNewLine = "10 12 9 8 11 10 13 7 ";
constexpr uid_t kNobody = 65534;

// Runs work in a child process (as another user when asUser is set) and returns what it
// returned, or a description of how the child ended when it did not return normally.
QString InChild(const std::function<QString()>& work, std::optional<uid_t> asUser = {}) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return QStringLiteral("no pipe");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (asUser && (::setgid(*asUser) != 0 || ::setuid(*asUser) != 0)) ::_exit(3);
        const QByteArray text = work().toUtf8();
        if (::write(pipeEnds[1], text.constData(), static_cast<size_t>(text.size())) < 0) {
            ::_exit(4);
        }
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    QByteArray text;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        text.append(buffer, got);
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return QStringLiteral("killed by signal %1").arg(WTERMSIG(status));
    if (WEXITSTATUS(status) != 0) return QStringLiteral("exit %1").arg(WEXITSTATUS(status));
    return QString::fromUtf8(text);
}

// A folder of the test's own on which a real fault is set up, torn down with the object.
class FaultyFolder {
  public:
    virtual ~FaultyFolder() = default;
    // Empty when the fault cannot be had here (why goes to the skip message).
    virtual QString Prepare(const QString& folder) = 0;
    // Writes path as WriteWholeFile does under the fault; returns its message.
    virtual QString Write(const QString& path, const QByteArray& content) {
        return WriteWholeFile(path, content, LinkAtPath::Replace).value_or(QString());
    }
    QString path;  // where the file under test lives
};

// A 64 KiB tmpfs filled to the last byte.
class FullDisk : public FaultyFolder {
  public:
    QString Prepare(const QString& folder) override {
        mount_ = folder + QStringLiteral("/full");
        QDir().mkpath(mount_);
        if (::mount("tmpfs", QFile::encodeName(mount_).constData(), "tmpfs", 0, "size=64k") != 0) {
            return {};
        }
        path = mount_ + QStringLiteral("/orvale.txt");
        WriteFile(path, kOld);
        QFile filler(mount_ + QStringLiteral("/filler"));
        filler.open(QIODevice::WriteOnly);
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        for (char byte = 0; filler.write(&byte, 1) == 1 && filler.flush();) {
        }
        return QStringLiteral("ok");
    }
    ~FullDisk() override {
        if (!mount_.isEmpty()) ::umount2(QFile::encodeName(mount_).constData(), MNT_DETACH);
    }

  private:
    QString mount_;
};

// The file-size limit of `ulimit -f`, in a child whose SIGXFSZ has its default action (which
// would end it) as in a freshly started program.
class SizeLimit : public FaultyFolder {
  public:
    QString Prepare(const QString& folder) override {
        path = folder + QStringLiteral("/orvale.txt");
        WriteFile(path, kOld);
        return QStringLiteral("ok");
    }
    QString Write(const QString& target, const QByteArray& content) override {
        return InChild([&] {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{4, 4};
            setrlimit(RLIMIT_FSIZE, &limit);
            return FaultyFolder::Write(target, content);
        });
    }
};

// A folder the user may read but not write, tried as an ordinary user.
class ReadOnlyFolder : public FaultyFolder {
  public:
    QString Prepare(const QString& folder) override {
        if (::geteuid() != 0) return {};  // the user cannot become another one
        const QString locked = folder + QStringLiteral("/locked");
        QDir().mkpath(locked);
        path = locked + QStringLiteral("/orvale.txt");
        WriteFile(path, kOld);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        ::chmod(QFile::encodeName(locked).constData(), 0555);
        ::chmod(QFile::encodeName(path).constData(), 0666);
        return QStringLiteral("ok");
    }
    QString Write(const QString& target, const QByteArray& content) override {
        return InChild([&] { return FaultyFolder::Write(target, content); }, kNobody);
    }
};

// A folder at the file's path: the rename cannot replace it.
class FolderAtPath : public FaultyFolder {
  public:
    QString Prepare(const QString& folder) override {
        path = folder + QStringLiteral("/orvale.txt");
        QDir().mkpath(path + QStringLiteral("/inside"));
        return QStringLiteral("ok");
    }
};

// A disk whose flush fails: a FUSE file system that answers every fsync, or (closing) every
// close, with EIO.
class FailingFlush : public FaultyFolder {
  public:
    explicit FailingFlush(bool closing) : closing_(closing) {}
    QString Prepare(const QString& folder) override {
#ifdef ORVALE_FAILING_FS
        const QString backing = folder + QStringLiteral("/backing");
        mount_ = folder + QStringLiteral("/eio");
        QDir().mkpath(backing);
        QDir().mkpath(mount_);
        WriteFile(backing + QStringLiteral("/orvale.txt"), kOld);
        QStringList arguments{backing, mount_};
        if (closing_) arguments << QStringLiteral("close");
        process_.start(QStringLiteral(ORVALE_FAILING_FS), arguments);
        const dev_t plain = QFileInfo(folder).exists() ? Device(folder) : 0;
        QElapsedTimer waited;
        waited.start();
        while (Device(mount_) == plain && process_.state() != QProcess::NotRunning &&
               waited.elapsed() < 10000) {
            QTest::qWait(20);
        }
        if (Device(mount_) == plain) return {};
        path = mount_ + QStringLiteral("/orvale.txt");
        return QStringLiteral("ok");
#else
        Q_UNUSED(folder);
        return {};
#endif
    }
    ~FailingFlush() override {
        if (process_.state() == QProcess::NotRunning) return;
        ::umount2(QFile::encodeName(mount_).constData(), MNT_DETACH);
        process_.terminate();
        process_.waitForFinished(5000);
    }

  private:
    static dev_t Device(const QString& folder) {
        struct stat info {};
        return ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? info.st_dev : 0;
    }
    bool closing_;
    QString mount_;
    QProcess process_;
};

std::unique_ptr<FaultyFolder> MakeFault(const QString& kind) {
    if (kind == "full") return std::make_unique<FullDisk>();
    if (kind == "limit") return std::make_unique<SizeLimit>();
    if (kind == "read-only") return std::make_unique<ReadOnlyFolder>();
    if (kind == "folder") return std::make_unique<FolderAtPath>();
    return std::make_unique<FailingFlush>(kind == "close");
}

}  // namespace

class FileFaultsTest : public QObject {
    Q_OBJECT
  private slots:
    void linkAtTheDataFileIsReplaced();
    void saveOutputStillWritesThroughALink();
    void failedStepKeepsTheOldFile_data();
    void failedStepKeepsTheOldFile();
    void fullDiskDuringComputeStillShowsTheReport();
    void staleTemporaryFilesGoAtStartUp();
    void hostileDataFileAtStartUp_data();
    void hostileDataFileAtStartUp();
    void longEntryKeepsEveryField();
};

void FileFaultsTest::linkAtTheDataFileIsReplaced() {
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim.txt");
    WriteFile(victim, "precious");
    ProgramDriver program;
    QVERIFY(QFile::link(victim, program.dataFile()));
    program.Start();
    QCOMPARE(program.platform().Texts(Kind::Error), QStringList{"Invalid numeric input"});
    program.platform().Clear();
    program.TypeScores(kScores);
    program.Compute();
    QVERIFY(program.platform().messages.empty());
    QCOMPARE(ReadFile(victim), QByteArray("precious"));
    QVERIFY(!QFileInfo(program.dataFile()).isSymLink());
    QCOMPARE(ReadFile(program.dataFile()), kNewLine);
}

void FileFaultsTest::saveOutputStillWritesThroughALink() {
    QTemporaryDir folder;
    const QString target = folder.filePath("chosen.txt");
    const QString link = folder.filePath("link.txt");
    WriteFile(target, "old");
    QVERIFY(QFile::link(target, link));
    QVERIFY(!WriteWholeFile(link, "new", LinkAtPath::WriteThrough));
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(ReadFile(target), QByteArray("new"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

void FileFaultsTest::failedStepKeepsTheOldFile_data() {
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("message");
    QTest::newRow("full disk") << "full"
                               << "No space left on device";
    QTest::newRow("file-size limit") << "limit"
                                     << "File too large";
    QTest::newRow("read-only folder") << "read-only"
                                      << "Permission denied";
    QTest::newRow("folder at the path") << "folder"
                                        << "Is a directory";
    QTest::newRow("flush fails") << "flush"
                                 << "Input/output error";
    QTest::newRow("close fails") << "close"
                                 << "Input/output error";
}

void FileFaultsTest::failedStepKeepsTheOldFile() {
    QFETCH(QString, fault);
    QFETCH(QString, message);
    QTemporaryDir folder;
    const std::unique_ptr<FaultyFolder> faulty = MakeFault(fault);
    if (faulty->Prepare(folder.path()).isEmpty()) QSKIP("this fault cannot be set up here");
    const QByteArray before = ReadFile(faulty->path);
    QCOMPARE(faulty->Write(faulty->path, kNewLine), message);
    QCOMPARE(ReadFile(faulty->path), before);
    const QStringList left =
        QFileInfo(faulty->path).dir().entryList({"orvale.txt.*"}, QDir::Files | QDir::System);
    QVERIFY2(left.isEmpty(), qPrintable(left.join(u' ')));
}

void FileFaultsTest::fullDiskDuringComputeStillShowsTheReport() {
    QTemporaryDir folder;
    FullDisk disk;
    if (disk.Prepare(folder.path()).isEmpty()) QSKIP("no tmpfs can be mounted here");
    FakePlatform platform(QFileInfo(disk.path).absolutePath());
    orvale::ProgramWindows windows(platform);
    for (int k = 0; k < 8; ++k) {
        windows.worksheet()
            .findChild<QLineEdit*>(QString::fromLatin1(orvale::testing::kFieldNames.at(k)))
            ->setText(kScores[k]);
    }
    windows.worksheet().cmdComputeClick();
    const QStringList errors = platform.Texts(Kind::Error);
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].endsWith(QStringLiteral("orvale.txt: No space left on device")),
             qPrintable(errors[0]));
    QVERIFY(windows.results().isVisible());
    QCOMPARE(ReadFile(disk.path), kOld);
}

void FileFaultsTest::staleTemporaryFilesGoAtStartUp() {
    ProgramDriver program;
    const pid_t child = ::fork();  // a process that has run and gone: its id is free
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const auto temporary = [&](qint64 writer, const char* tail) {
        return program.dataFile() + QStringLiteral(".tmp-%1-%2").arg(writer).arg(tail);
    };
    const QString stale = temporary(child, "a1B2c3");
    const QString fresh = temporary(child, "d4E5f6");  // another machine may still be writing
    const QString running = temporary(::getppid(), "g7H8i9");
    const QString foreign = program.dataFile() + QStringLiteral(".tmp-notes");
    for (const QString& file : {stale, fresh, running, foreign}) WriteFile(file, "10 ");
    const timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const QString& file : {stale, running, foreign}) {
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(file).constData(), old, 0), 0);
    }
    WriteFile(program.dataFile(), kOld);
    program.Start();
    QVERIFY(!QFile::exists(stale));
    QVERIFY(QFile::exists(fresh));
    QVERIFY(QFile::exists(running));  // another copy of the program may be writing it
    QVERIFY(QFile::exists(foreign));  // not one of the program's own
    QCOMPARE(program.FieldTexts(), QStringList(8, QStringLiteral("11")));
}

void FileFaultsTest::hostileDataFileAtStartUp_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("link to /dev/zero") << "zero"
                                       << "it is not a regular file";
    QTest::newRow("FIFO") << "fifo"
                          << "it is not a regular file";
    QTest::newRow("folder") << "folder"
                            << "it is a folder";
    QTest::newRow("1 GiB file") << "huge"
                                << "the file is larger than 512 KiB";
    QTest::newRow("byte-order mark") << "bom"
                                     << "";
}

void FileFaultsTest::hostileDataFileAtStartUp() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    ProgramDriver program;
    const QByteArray path = QFile::encodeName(program.dataFile());
    if (kind == "zero") QVERIFY(QFile::link(QStringLiteral("/dev/zero"), program.dataFile()));
    if (kind == "fifo") QCOMPARE(::mkfifo(path.constData(), 0600), 0);
    if (kind == "folder") QVERIFY(QDir().mkdir(program.dataFile()));
    if (kind == "huge") {
        WriteFile(program.dataFile(), kNewLine);
        QCOMPARE(::truncate(path.constData(), qint64(1) << 30), 0);  // sparse: no disk used
    }
    if (kind == "bom") WriteFile(program.dataFile(), "\xEF\xBB\xBF" + kNewLine);
    program.Start();
    const QStringList errors = program.platform().Texts(Kind::Error);
    if (message.isEmpty()) {
        QVERIFY(errors.isEmpty());
        QCOMPARE(program.FieldTexts(), kScores);
        return;
    }
    QCOMPARE(errors.size(), 1);
    QVERIFY2(errors[0].contains(program.dataFile()) && errors[0].contains(message),
             qPrintable(errors[0]));
    QCOMPARE(program.FieldTexts(), QStringList(8, QString()));
    QVERIFY(!program.worksheet().PreviousDataLoaded());
}

void FileFaultsTest::longEntryKeepsEveryField() {
    // Pasted texts over the reader's 64-character token, and what Compute's value reads as.
    const QString zeros(60, u'0');
    const QList<std::pair<QString, QString>> entries = {
        {QStringLiteral("10.") + zeros + QStringLiteral("12"), QStringLiteral("10")},
        {QStringLiteral("000") + zeros + QStringLiteral("12"), QStringLiteral("12")},
        {QStringLiteral("10.5") + zeros + QStringLiteral("1"), QStringLiteral("10.5")},
        {QStringLiteral("1 2.2") + QString(62, u' ') + QStringLiteral("5"),
         QStringLiteral("12.25")},
    };
    ProgramDriver program;
    program.Start();
    for (int position = 0; position < 8; ++position) {
        const auto& [entry, shown] = entries[position % entries.size()];
        QStringList typed = kScores;
        typed[position] = entry;
        for (int k = 0; k < 8; ++k) program.field(k)->setText(typed[k]);
        program.Compute();
        QVERIFY(program.results().isVisible());
        QStringList written = kScores;
        written[position] = shown;
        QCOMPARE(ReadFile(program.dataFile()), (written.join(u' ') + u' ').toLatin1());
        program.Restart();
        QCOMPARE(program.FieldTexts(), written);
        QVERIFY(program.platform().messages.empty());
    }
}

QTEST_MAIN(FileFaultsTest)
#include "test_file_faults.moc"
