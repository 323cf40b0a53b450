#include "app/application.h"

#include "app/command_guard.h"
#include "app/main_window.h"
#include "platform/core/file_association.h"
#include "platform/core/working_folders.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <cstdio>

namespace velmar {

namespace {

struct CommandLine {
    QString document;
    bool exitNow = false;
    int exitCode = 0;
};

CommandLine parseCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Velmar — редактор логических конспектов."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию программы и выйти."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("Логический конспект (.vmd или .vmc), который открыть при запуске."),
                                 QStringLiteral("[FILE]"));

    CommandLine result;
    // Qt's own options (-platform, -style…) are taken by the application object later.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        result.exitNow = true;
        result.exitCode = 2;
        return result;
    }
    if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        result.exitNow = true;
        return result;
    }
    if (parser.isSet(version)) {
        std::puts("Velmar 4.2");
        result.exitNow = true;
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        std::fputs("Укажите не больше одного файла логического конспекта.\n", stderr);
        result.exitNow = true;
        result.exitCode = 2;
        return result;
    }
    if (!positional.isEmpty())
        result.document = QFileInfo(positional.constFirst()).absoluteFilePath();
    return result;
}

}  // namespace

int runApplication(int argc, char** argv)
{
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.exitNow)
        return commandLine.exitCode;

    GuardedApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmar"));

    const QString startFolder = QDir::currentPath();
    MainWindow window;
    StartupOptions options;
    options.documentPath = commandLine.document;
    options.programPath = QCoreApplication::applicationFilePath();
    options.programFolder = programFolder();
    options.startFolder = startFolder;
    options.dataHome = userDataHome();
    window.startUp(options);
    window.show();

    // Lets start-up be timed as a whole process: quit as soon as the window is on screen.
    if (qEnvironmentVariableIsSet("VELMAR_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

}  // namespace velmar
