#include "app/application.h"
#include "app/thumbnail_deadline.h"

#include "platform/command_guard.h"
#include "app/headless_cli.h"
#include "app/main_window.h"
#include "app/window_report.h"
#include "canvas/canvas_widget.h"
#include "platform/core/file_association.h"
#include "platform/core/working_folders.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <new>
#include <iterator>
#include <utility>

namespace velmar {

namespace {

struct CommandLine {
    QString document;
    HeadlessCommand headless;
    bool exitNow = false;
    int exitCode = 0;
};

// The options that follow a file command's file names (--export OUT FILE --scale 2, --summary FILE
// --summary-format html) are moved in front of them, where the parser takes options: it reads
// everything after the first file name as names, leaving Qt's own options to the application.
void hoistTrailingOptions(QStringList& arguments)
{
    const bool fileCommand = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString& a) {
        return a == QLatin1String("--export") || a.startsWith(QLatin1String("--export="))
               || a == QLatin1String("--summary") || a.startsWith(QLatin1String("--summary="));
    });
    if (!fileCommand)
        return;
    QStringList options, rest;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool trailing = a == QLatin1String("--scale") || a == QLatin1String("--summary-format");
        if (trailing && i + 1 < arguments.size()) {
            options << a << arguments[i + 1];
            ++i;
        } else if (a.startsWith(QLatin1String("--scale=")) || a.startsWith(QLatin1String("--summary-format="))) {
            options << a;
        } else {
            rest << a;
        }
    }
    arguments = QStringList{arguments.constFirst()} + options + rest;
}

CommandLine parseCommandLine(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    hoistTrailingOptions(arguments);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Velmar — редактор логических конспектов."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Показать версию программы и выйти."));
    const QCommandLineOption info(QStringLiteral("info"),
                                  QStringLiteral("Вывести логический конспект FILE в виде JSON и выйти (без окна)."),
                                  QStringLiteral("FILE"));
    const QCommandLineOption convert(QStringLiteral("convert"),
                                     QStringLiteral("Прочитать конспект IN (.vmd или .vmc) и записать его в файл OUT "
                                                    "формата .vmd, указанный следом: --convert IN OUT (без окна)."),
                                     QStringLiteral("IN"));
    const QCommandLineOption exportPicture(QStringLiteral("export"),
                                           QStringLiteral("Нарисовать конспект FILE, указанный следом, и записать рисунок "
                                                          "OUT (.png, .jpg, .bmp, .pdf или .svg): --export OUT FILE "
                                                          "[--scale F] (без окна)."),
                                           QStringLiteral("OUT"));
    const QCommandLineOption scale(QStringLiteral("scale"),
                                   QStringLiteral("С --export: нарисовать конспект в F раз крупнее окна (от 0.1 до 8)."),
                                   QStringLiteral("F"));
    const QCommandLineOption summary(QStringLiteral("summary"),
                                     QStringLiteral("Вывести краткое содержание конспекта FILE в UTF-8 и выйти (без окна)."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption summaryFormat(QStringLiteral("summary-format"),
                                           QStringLiteral("С --summary: вид вывода — text (как в окне минимального "
                                                          "текста, по умолчанию), markdown или html."),
                                           QStringLiteral("FORMAT"));
    const QCommandLineOption thumbnail(QStringLiteral("thumbnail"),
                                       QStringLiteral("Нарисовать уменьшенный конспект IN, вписанный в квадрат SIZE × SIZE, "
                                                      "и записать его в OUT.png: --thumbnail SIZE IN OUT.png (без окна; "
                                                      "для миниатюр в файловых менеджерах)."),
                                       QStringLiteral("SIZE"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(info);
    parser.addOption(convert);
    parser.addOption(exportPicture);
    parser.addOption(scale);
    parser.addOption(summary);
    parser.addOption(summaryFormat);
    parser.addOption(thumbnail);
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
    const auto refuse = [&](const char* message) {
        std::fprintf(stderr, "%s\n", message);
        result.exitNow = true;
        result.exitCode = 2;
        return result;
    };
    if (parser.isSet(scale) && !parser.isSet(exportPicture))
        return refuse("--scale F указывается вместе с --export OUT FILE.");
    if (parser.isSet(summaryFormat) && !parser.isSet(summary))
        return refuse("--summary-format указывается вместе с --summary FILE.");
    if (parser.isSet(info) || parser.isSet(convert) || parser.isSet(exportPicture) || parser.isSet(thumbnail)
        || parser.isSet(summary)) {
        if (int(parser.isSet(info)) + int(parser.isSet(convert)) + int(parser.isSet(exportPicture))
                + int(parser.isSet(thumbnail)) + int(parser.isSet(summary)) > 1)
            return refuse("Укажите что-то одно: --info, --convert, --export, --summary или --thumbnail.");
        if (parser.isSet(summary)) {
            static const std::pair<const char*, HeadlessCommand::SummaryFormat> formats[] = {
                {"text", HeadlessCommand::Text}, {"markdown", HeadlessCommand::Markdown}, {"html", HeadlessCommand::Html}};
            const QString name = parser.isSet(summaryFormat) ? parser.value(summaryFormat) : QStringLiteral("text");
            const auto format = std::find_if(std::begin(formats), std::end(formats),
                                             [&](const auto& f) { return name == QLatin1String(f.first); });
            if (!positional.isEmpty() || format == std::end(formats))
                return refuse("Использование: velmar --summary FILE [--summary-format text|markdown|html]");
            result.headless = {HeadlessCommand::Summary, parser.value(summary), {}};
            result.headless.format = format->second;
            return result;
        }
        if (parser.isSet(thumbnail)) {
            bool number = false;
            const int size = parser.value(thumbnail).toInt(&number);
            if (positional.size() != 2 || !number || size < 1 || size > 4096)
                return refuse("Использование: velmar --thumbnail SIZE IN OUT.png (SIZE от 1 до 4096)");
            result.headless = {HeadlessCommand::Thumbnail, positional.constFirst(), positional.constLast(), size};
            return result;
        }
        if (parser.isSet(exportPicture)) {
            bool number = true;
            const double factor = parser.isSet(scale) ? parser.value(scale).toDouble(&number) : 1.0;
            if (positional.size() != 1 || !number)
                return refuse("Использование: velmar --export OUT FILE [--scale F]");
            // A number outside 0.1–8 is refused by the command itself, with its own message.
            result.headless = {HeadlessCommand::Export, positional.constFirst(), parser.value(exportPicture)};
            result.headless.scale = factor;
            return result;
        }
        if (parser.isSet(info)) {
            if (!positional.isEmpty())
                return refuse("После --info FILE других аргументов не нужно.");
            result.headless = {HeadlessCommand::Info, parser.value(info), {}};
        } else {
            if (positional.size() != 1)
                return refuse("Использование: velmar --convert IN OUT.vmd");
            result.headless = {HeadlessCommand::Convert, parser.value(convert), positional.constFirst()};
        }
        return result;
    }
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

bool installQtTranslations(QCoreApplication& app)
{
    // The interface is Russian on every machine, so numbers and dates in the dialogs are too.
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian);
    auto* translator = new QTranslator(&app);
    if (!translator->load(russian, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

int runApplication(int argc, char** argv)
{
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.exitNow)
        return commandLine.exitCode;
    // File commands run without any window or display.
    if (commandLine.headless.kind != HeadlessCommand::None) {
        if (commandLine.headless.kind == HeadlessCommand::Thumbnail)
            thumbnailDeadline().start(QFileInfo(commandLine.headless.input).size());
        try {
            return runHeadlessCommand(commandLine.headless, argc, argv);
        } catch (const std::bad_alloc&) {
            // A file whose contents ask for more memory than there is: refused like any bad file.
            std::fputs("Недостаточно памяти для выполнения команды: файл слишком велик или повреждён.\n", stderr);
            return 1;
        }
    }

    GuardedApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Velmar"));
    QCoreApplication::setApplicationVersion(QStringLiteral("4.2"));
    QGuiApplication::setDesktopFileName(QStringLiteral("velmar"));
    installQtTranslations(app);

    const QString startFolder = QDir::currentPath();
    MainWindow window;
    StartupOptions options;
    options.documentPath = commandLine.document;
    options.programPath = QCoreApplication::applicationFilePath();
    options.programFolder = programFolder();
    options.startFolder = startFolder;
    options.dataHome = userDataHome();
    options.systemDataDirs = systemDataDirs();
    if (!window.startUp(options))
        return 1;
    window.show();
    reportWindowGeometryIfAsked(window.canvas());

    // Lets start-up be timed as a whole process: quit as soon as the window is on screen.
    if (qEnvironmentVariableIsSet("VELMAR_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return app.exec();
}

}  // namespace velmar
