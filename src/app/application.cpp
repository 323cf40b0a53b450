#include "app/application.h"

#include "app/accessibility_names.h"
#include "app/command_line.h"
#include "app/headless_cli.h"
#include "app/keyboard_object_access.h"
#include "app/main_window.h"
#include "app/menu_mnemonics.h"
#include "app/qt_translations.h"
#include "app/termination_signals.h"
#include "app/thumbnail_deadline.h"
#include "app/window_report.h"
#include "canvas/canvas_widget.h"
#include "canvas/film_panel_widget.h"
#include "platform/command_guard.h"
#include "platform/spell_checker.h"
#include "system/file_association.h"
#include "system/heap_settings.h"
#include "system/interface_language.h"
#include "system/mapped_libraries.h"
#include "system/working_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>

namespace velmar {

bool installQtTranslations(QCoreApplication& app)
{
    // The Russian interface has Russian numbers and dates in the dialogs, whatever the locale.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto* translator = new QTranslator(&app);
    if (!translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    if (!QCoreApplication::installTranslator(translator))
        return false;
    installMissingQtTexts(app);
    return true;
}

namespace {

// The command that started the program, which the file association's desktop entry runs: the
// `velmar` command when it started the program (it says so in VELMAR_LAUNCHER), or the program.
QString launchingCommand()
{
    const QString launcher = qEnvironmentVariable("VELMAR_LAUNCHER");
    const QFileInfo info(launcher);
    if (!launcher.isEmpty() && info.isAbsolute() && info.isFile() && info.isExecutable())
        return launcher;
    return QCoreApplication::applicationFilePath();
}

}  // namespace

int runApplication(int argc, char** argv)
{
    returnLargeBlocksToTheSystem();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const InterfaceLanguage language = interfaceLanguage();
    CommandLine commandLine;
    QString outOfMemory;
    {
        // The command line is read before the program knows whether it needs a display. Its texts
        // in English come from the catalogue, which answers only through an application object:
        // a plain one is made for the reading and gone before the real one starts.
        std::optional<QCoreApplication> reader;
        int readerArgc = 1;
        if (language == InterfaceLanguage::English) {
            reader.emplace(readerArgc, argv);
            installInterfaceTranslations(*reader, language);
        }
        commandLine = parseCommandLine(arguments);
        // The deadline words its message when it starts, while the catalogue answers.
        if (commandLine.headless.kind == HeadlessCommand::Thumbnail) {
            thumbnailDeadline().start(QFileInfo(commandLine.headless.input).size());
            ThumbnailDeadline::capMemory();
        }
        outOfMemory = QCoreApplication::translate(
            "Application", "Недостаточно памяти для выполнения команды: файл слишком велик или повреждён.");
    }
    if (!commandLine.output.isEmpty())
        std::fputs(commandLine.output.toLocal8Bit().constData(), stdout);
    if (!commandLine.errors.isEmpty())
        std::fprintf(stderr, "%s\n", commandLine.errors.toLocal8Bit().constData());
    if (commandLine.exitNow)
        return commandLine.exitCode;
    // File commands run without any window or display.
    if (commandLine.headless.kind != HeadlessCommand::None) {
        try {
            return runHeadlessCommand(commandLine.headless, argc, argv);
        } catch (const std::bad_alloc&) {
            // A file whose contents ask for more memory than there is: refused like any bad file.
            std::fprintf(stderr, "%s\n", outOfMemory.toLocal8Bit().constData());
            return 1;
        }
    }

    GuardedApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmar"));
    installInterfaceTranslations(app, language);
    installAccessibleNames(app);
    installMenuMnemonics(app);

    const QString startFolder = QDir::currentPath();
    MainWindow window;
    installKeyboardObjectAccess(window);
    StartupOptions options;
    options.documentPath = commandLine.document;
    options.programPath = launchingCommand();
    options.programFolder = programFolder();
    options.startFolder = startFolder;
    options.dataHome = userDataHome();
    options.systemDataDirs = systemDataDirs();
    options.settingsFile = userSettingsFile();
    // A logout or shutdown ends the program through the window, which settles its history.
    TerminationSignals endings;
    bool ended = false;
    QObject::connect(&endings, &TerminationSignals::received, &window, [&] {
        ended = true;
        window.endForSignal();
    });
    // Reported from the start, so that a question asked while starting up (interrupted work)
    // is reported taking the keyboard like any later dialog.
    reportWindowGeometryIfAsked(window.canvas());
    if (!window.startUp(options))
        return 1;  // a working folder others can write to was refused
    if (ended)
        return 0;  // ended while starting up (a question was open): no event loop is to run
    window.show();
    // The spelling dictionaries are read in the background once the window is up and settled,
    // rather than on the first click into a text.
    QTimer::singleShot(1500, &app, [] { SpellChecker::preloadShared(); });

    // Lets start-up be timed as a whole process: quit as soon as the window is on screen (with
    // "films", once its films have been opened or have failed), naming on request the libraries
    // loaded by then.
    if (qEnvironmentVariableIsSet("VELMAR_QUIT_WHEN_SHOWN")) {
        const bool films = qgetenv("VELMAR_QUIT_WHEN_SHOWN") == "films";
        auto* poll = new QTimer(&app);
        QObject::connect(poll, &QTimer::timeout, &app, [&app, &window, films, poll] {
            if (films) {
                const auto panels = window.findChildren<FilmPanelWidget*>();
                if (std::any_of(panels.cbegin(), panels.cend(), [](const FilmPanelWidget* p) {
                        return p->openState() == FilmPanelWidget::OpenState::Opening;
                    }))
                    return;
            }
            if (qEnvironmentVariableIsSet("VELMAR_REPORT_LIBRARIES"))
                for (const QString& library : mappedLibraries())
                    std::fprintf(stderr, "library: %s\n", library.toLocal8Bit().constData());
            poll->stop();
            app.quit();
        });
        poll->start(films ? 10 : 0);
    }
    return app.exec();
}

}  // namespace velmar
