// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_identity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "desktop/program_folder.h"

namespace orvale {

namespace {

void Print(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

// Qt's platform options ("-platform offscreen", "-display :1") choose where the windows go.
bool NamesAPlatform(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-platform" || argument == "--platform" || argument == "-display" ||
            argument == "--display") {
            return true;
        }
    }
    return false;
}

// The scorer beside this program when there is one (a build tree, a portable copy), else by name.
QString ScorerPath(const char* argv0) {
    const QString beside = QDir(QFileInfo(QString::fromLocal8Bit(argv0)).absolutePath())
                               .filePath(QStringLiteral("orvale-score"));
    return QFileInfo::exists(beside) ? beside : QStringLiteral("orvale-score");
}

// Qt's own options for any application with windows, which the application object takes from the
// command line itself: accepted here so that "orvale -style fusion" starts as in any Qt program.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"reverse", false},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"widgetcount", false},
    {"name", true},
    {"title", true},
    {"visual", true},
    {"ncols", true},
    {"cmap", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
    {"qmljsdebugger", true},
};

bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

}  // namespace

void SetProgramIdentity() {
    QCoreApplication::setApplicationName(QStringLiteral("orvale"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVALE_VERSION));
    QCoreApplication::setOrganizationDomain(QStringLiteral("orvale.org"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
}

QString NoDisplayHint(const QString& scorerPath, const QString& reason) {
    return reason +
           QStringLiteral(
               ": the desktop program needs a graphical session.\nScore a case from the command "
               "line instead, for example:\n  %1 10 10 10 10 10 10 10 10\n(%1 --help lists the "
               "options.)\n")
               .arg(scorerPath);
}

namespace {

QtMessageHandler passOn = nullptr;  // the handler in place before BeginOpeningDisplay
QString openingHint;                // the hint to give if the display cannot be opened

void EndOnFatalMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type != QtFatalMsg) {
        if (passOn) {
            passOn(type, context, text);
        } else {
            Print(stderr, qFormatLogMessage(type, context, text) + u'\n');
        }
        return;
    }
    Print(stderr, openingHint);
    std::fflush(stderr);
    std::_Exit(kExitNoDisplay);
}

}  // namespace

void BeginOpeningDisplay(const char* argv0) {
    QString reason;
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        reason = QStringLiteral("The window system \"%1\" could not be started")
                     .arg(qEnvironmentVariable("QT_QPA_PLATFORM"));
    } else {
        const QString display = qEnvironmentVariableIsEmpty("DISPLAY")
                                    ? qEnvironmentVariable("WAYLAND_DISPLAY")
                                    : qEnvironmentVariable("DISPLAY");
        reason = QStringLiteral("The display \"%1\" could not be opened").arg(display);
    }
    openingHint = NoDisplayHint(ScorerPath(argv0), reason);
    passOn = qInstallMessageHandler(EndOnFatalMessage);
}

void EndOpeningDisplay() {
    qInstallMessageHandler(passOn);
    openingHint.clear();
}

std::optional<int> HandleCommandLine(int argc, char** argv) {
    const bool hasArguments = argc > 1;
    if (hasArguments) {
        // Without a window system: a core application is enough to read the command line.
        QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        parser.setApplicationDescription(QStringLiteral(
            "ORVALE scores and analyses an eight-subtest, Index-based short form of a children's "
            "intelligence test battery. Without options it opens the worksheet."));
        const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                      QStringLiteral("Displays this help."));
        const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Displays version information."));
        parser.addOptions({help, version});
        // "-style fusion" is one option named style, as Qt reads it, not the letters s, t, y ...
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        for (const QtOption& option : kQtOptions) {
            QCommandLineOption qt(QString::fromLatin1(option.name), QString());
            if (option.takesValue) qt.setValueName(QStringLiteral("value"));
            qt.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(qt);
        }
        if (!parser.parse(core.arguments())) {
            Print(stderr,
                  QStringLiteral("orvale: %1\nTry 'orvale --help'.\n").arg(parser.errorText()));
            return 2;
        }
        if (parser.isSet(version)) {
            Print(stdout,
                  QStringLiteral("orvale %1\n").arg(QCoreApplication::applicationVersion()));
            return 0;
        }
        if (parser.isSet(help)) {
            const QString folder =
                ChooseProgramFolder(QCoreApplication::applicationDirPath(), UserDataFolder());
            // The usage line names the program as it is installed, not the path it ran from.
            QString text = parser.helpText();
            text = QStringLiteral("Usage: orvale [options]") + text.mid(text.indexOf(u'\n'));
            Print(stdout,
                  text + QStringLiteral("\nThe scores of the last Compute are kept in\n  %1\n"
                                        "The command-line scorer is orvale-score.\n"
                                        "Qt's own options, such as -style fusion or -platform "
                                        "offscreen, are passed on to Qt.\n")
                             .arg(QDir::toNativeSeparators(DataFilePath(folder))));
            return 0;
        }
        if (!parser.positionalArguments().isEmpty()) {
            Print(stderr, QStringLiteral("orvale: unexpected argument '%1'\nTry 'orvale --help'.\n")
                              .arg(parser.positionalArguments().first()));
            return 2;
        }
    }
    if (!HasDisplay() && !NamesAPlatform(argc, argv)) {
        Print(stderr, NoDisplayHint(ScorerPath(argv[0])));
        return kExitNoDisplay;
    }
    return std::nullopt;
}

}  // namespace orvale
