#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <iterator>
#include <utility>

namespace velmar {

namespace {

// The options that follow a file command's file names (--export OUT FILE --scale 2, --summary FILE
// --summary-format html) are moved in front of them, where the parser takes options: it reads
// everything after the first file name as names, leaving Qt's own options to the application.
void hoistTrailingOptions(QStringList& arguments)
{
    const bool fileCommand = std::any_of(arguments.cbegin(), arguments.cend(), [](const QString& a) {
        return a == QLatin1String("--export") || a.startsWith(QLatin1String("--export="))
               || a == QLatin1String("--export-steps") || a.startsWith(QLatin1String("--export-steps="))
               || a == QLatin1String("--summary") || a.startsWith(QLatin1String("--summary="));
    });
    if (!fileCommand)
        return;
    static const QStringList withValue = {QStringLiteral("--scale"), QStringLiteral("--summary-format"),
                                          QStringLiteral("--handout"), QStringLiteral("--poster")};
    QStringList options, rest;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        const bool trailing = withValue.contains(a);
        const bool joined = std::any_of(withValue.cbegin(), withValue.cend(),
                                        [&](const QString& o) { return a.startsWith(o + QLatin1Char('=')); });
        if (trailing && i + 1 < arguments.size()) {
            options << a << arguments[i + 1];
            ++i;
        } else if (joined || a == QLatin1String("--exercise")) {
            options << a;
        } else {
            rest << a;
        }
    }
    arguments = QStringList{arguments.constFirst()} + options + rest;
}

// The parser's help may be built without an application object, so its headings are the
// library's untranslated English and its program name a placeholder: both are replaced by the
// program's own wording, in the interface language.
QString ownHelp(QString text)
{
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, firstLineEnd, QCoreApplication::translate("CommandLine", "Использование: velmar [ключи] [FILE]"));
    text.replace(QStringLiteral("\nOptions:\n"), QCoreApplication::translate("CommandLine", "\nКлючи:\n"));
    text.replace(QStringLiteral("\nArguments:\n"), QCoreApplication::translate("CommandLine", "\nАргументы:\n"));
    return text;
}

// The parser reports a wrong command line in English; the argument it names is kept and the
// sentence said in the program's own words.
QString ownParseError(const QCommandLineParser& parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        QStringList quoted;
        for (const QString& name : unknown)
            quoted << QCoreApplication::translate("CommandLine", "«%1»").arg(name);
        return (unknown.size() == 1 ? QCoreApplication::translate("CommandLine", "Неизвестный ключ %1.")
                                    : QCoreApplication::translate("CommandLine", "Неизвестные ключи %1."))
                   .arg(quoted.join(QStringLiteral(", ")))
               + QCoreApplication::translate("CommandLine", " Список ключей: velmar --help");
    }
    const QString english = parser.errorText();
    static const QRegularExpression missingValue(QStringLiteral("^Missing value after '(.*)'\\.$"));
    static const QRegularExpression unexpectedValue(QStringLiteral("^Unexpected value after '(.*)'\\.$"));
    if (const auto m = missingValue.match(english); m.hasMatch())
        return QCoreApplication::translate("CommandLine", "После «%1» не указано значение.").arg(m.captured(1));
    if (const auto m = unexpectedValue.match(english); m.hasMatch())
        return QCoreApplication::translate("CommandLine", "Ключ «%1» не принимает значения.").arg(m.captured(1));
    return QCoreApplication::translate("CommandLine", "Ошибка в командной строке. Список ключей: velmar --help");
}

}  // namespace

bool parseDecimal(const QString& text, double* value)
{
    QString normal = text.trimmed();
    normal.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double number = normal.toDouble(&ok);  // the C locale: a point, no group separators
    if (ok)
        *value = number;
    return ok;
}

CommandLine parseCommandLine(QStringList arguments)
{
    hoistTrailingOptions(arguments);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Velmar — редактор логических конспектов."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("CommandLine", "Показать эту справку и выйти."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("CommandLine", "Показать версию программы и выйти."));
    const QCommandLineOption info(
        QStringLiteral("info"),
        QCoreApplication::translate("CommandLine", "Вывести логический конспект FILE в виде JSON и выйти (без окна)."),
        QStringLiteral("FILE"));
    const QCommandLineOption convert(
        QStringLiteral("convert"),
        QCoreApplication::translate("CommandLine", "Прочитать конспект IN (.vmd или .vmc) и записать его в файл OUT "
                                                   "формата .vmd, указанный следом: --convert IN OUT (без окна)."),
        QStringLiteral("IN"));
    const QCommandLineOption exportPicture(
        QStringLiteral("export"),
        QCoreApplication::translate("CommandLine", "Нарисовать конспект FILE, указанный следом, и записать рисунок "
                                                   "OUT (.png, .jpg, .bmp, .pdf или .svg), веб-страницу "
                                                   "(.html) или презентацию, открывающую объекты по щелчку "
                                                   "в порядке показа (.pptx, .odp): --export OUT FILE "
                                                   "[--scale F] (без окна). "
                                                   "Рисуется то же, что сохраняет «Сохранить как рисунок»: "
                                                   "холст окна под панелью инструментов, без её полосы; "
                                                   "видеофрагмент показан своим первым кадром (файлы AVI, MP4, "
                                                   "MOV, MKV и WebM), фильм, который не читается, — пустой панелью."),
        QStringLiteral("OUT"));
    const QCommandLineOption scale(
        QStringLiteral("scale"),
        QCoreApplication::translate("CommandLine", "С --export: нарисовать конспект в F раз крупнее окна (от 0,1 до 8; "
                                                   "дробную часть можно отделять запятой или точкой)."),
        QStringLiteral("F"));
    const QCommandLineOption handout(
        QStringLiteral("handout"),
        QCoreApplication::translate("CommandLine", "С --export OUT.pdf: раздаточный материал — шаги показа по N "
                                                   "на странице (N = 1, 2, 4 или 6), каждый таким, как его "
                                                   "показывает показ, с минимальным текстом под ним, с номерами "
                                                   "страниц и названием конспекта."),
        QStringLiteral("N"));
    const QCommandLineOption exercise(
        QStringLiteral("exercise"),
        QCoreApplication::translate("CommandLine", "С --export OUT.pdf: лист для упражнения — фреймы, заголовки, "
                                                   "стрелки и рисунки нарисованы, а на месте каждого текста и "
                                                   "минимального текста пустая разлинованная рамка его размера."));
    const QCommandLineOption poster(
        QStringLiteral("poster"),
        QCoreApplication::translate("CommandLine", "С --export OUT.pdf: плакат на C × R листах A4 (например, 3x2): "
                                                   "конспект, увеличенный на несколько листов, с полями для "
                                                   "склейки и метками обрезки."),
        QStringLiteral("CxR"));
    const QCommandLineOption exportSteps(
        QStringLiteral("export-steps"),
        QCoreApplication::translate("CommandLine", "Записать в папку FOLDER по рисунку PNG на каждый шаг показа "
                                                   "конспекта FILE, указанного следом: --export-steps FOLDER FILE "
                                                   "[--scale F] (без окна). Рисунки называются по файлу "
                                                   "конспекта: имя-01.png, имя-02.png…"),
        QStringLiteral("FOLDER"));
    const QCommandLineOption summary(
        QStringLiteral("summary"),
        QCoreApplication::translate("CommandLine",
                                    "Вывести краткое содержание конспекта FILE в UTF-8 и выйти (без окна)."),
        QStringLiteral("FILE"));
    const QCommandLineOption summaryFormat(
        QStringLiteral("summary-format"),
        QCoreApplication::translate("CommandLine", "С --summary: вид вывода — text (как в окне минимального "
                                                   "текста, по умолчанию), markdown или html."),
        QStringLiteral("FORMAT"));
    const QCommandLineOption thumbnail(
        QStringLiteral("thumbnail"),
        QCoreApplication::translate("CommandLine",
                                    "Нарисовать уменьшенный конспект IN, вписанный в квадрат SIZE × SIZE, "
                                    "и записать его в OUT.png: --thumbnail SIZE IN OUT.png (без окна; "
                                    "для миниатюр в файловых менеджерах)."),
        QStringLiteral("SIZE"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(info);
    parser.addOption(convert);
    parser.addOption(exportPicture);
    parser.addOption(scale);
    parser.addOption(handout);
    parser.addOption(exercise);
    parser.addOption(poster);
    parser.addOption(exportSteps);
    parser.addOption(summary);
    parser.addOption(summaryFormat);
    parser.addOption(thumbnail);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QCoreApplication::translate("CommandLine", "Логический конспект (.vmd или .vmc), который открыть при запуске."),
        QStringLiteral("[FILE]"));

    CommandLine result;
    const auto refuse = [&](const QString& message) {
        result.errors = message;
        result.exitNow = true;
        result.exitCode = 2;
        return result;
    };
    // Qt's own options (-platform, -style…) are taken by the application object later.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments))
        return refuse(ownParseError(parser));
    if (parser.isSet(help)) {
        result.output = ownHelp(parser.helpText());
        result.exitNow = true;
        return result;
    }
    if (parser.isSet(version)) {
        result.output = QStringLiteral("Velmar 4.2\n");
        result.exitNow = true;
        return result;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(scale) && !parser.isSet(exportPicture) && !parser.isSet(exportSteps))
        return refuse(QCoreApplication::translate("CommandLine", "--scale F указывается вместе с --export OUT FILE."));
    const int forms = int(parser.isSet(handout)) + int(parser.isSet(exercise)) + int(parser.isSet(poster));
    if (forms > 0 && !parser.isSet(exportPicture))
        return refuse(QCoreApplication::translate(
            "CommandLine", "--handout, --exercise и --poster указываются вместе с --export OUT.pdf FILE."));
    if (forms > 1)
        return refuse(
            QCoreApplication::translate("CommandLine", "Укажите что-то одно: --handout, --exercise или --poster."));
    if (forms > 0 && parser.isSet(scale))
        return refuse(QCoreApplication::translate(
            "CommandLine", "--scale не указывается вместе с --handout, --exercise и --poster: они заполняют листы."));
    if (parser.isSet(summaryFormat) && !parser.isSet(summary))
        return refuse(
            QCoreApplication::translate("CommandLine", "--summary-format указывается вместе с --summary FILE."));
    if (parser.isSet(info) || parser.isSet(convert) || parser.isSet(exportPicture) || parser.isSet(thumbnail)
        || parser.isSet(summary) || parser.isSet(exportSteps)) {
        if (int(parser.isSet(info)) + int(parser.isSet(convert)) + int(parser.isSet(exportPicture))
                + int(parser.isSet(thumbnail)) + int(parser.isSet(summary)) + int(parser.isSet(exportSteps))
            > 1)
            return refuse(QCoreApplication::translate(
                "CommandLine",
                "Укажите что-то одно: --info, --convert, --export, --export-steps, --summary или --thumbnail."));
        if (parser.isSet(summary)) {
            static const std::pair<const char*, HeadlessCommand::SummaryFormat> formats[] = {
                {"text", HeadlessCommand::Text},
                {"markdown", HeadlessCommand::Markdown},
                {"html", HeadlessCommand::Html}};
            const QString name = parser.isSet(summaryFormat) ? parser.value(summaryFormat) : QStringLiteral("text");
            const auto format = std::find_if(std::begin(formats), std::end(formats),
                                             [&](const auto& f) { return name == QLatin1String(f.first); });
            if (format == std::end(formats))
                return refuse(
                    QCoreApplication::translate(
                        "CommandLine", "Неизвестный вид краткого содержания «%1»: укажите text, markdown или html.")
                        .arg(name));
            if (!positional.isEmpty())
                return refuse(QCoreApplication::translate(
                    "CommandLine", "Использование: velmar --summary FILE [--summary-format text|markdown|html]"));
            result.headless = {HeadlessCommand::Summary, parser.value(summary), {}};
            result.headless.format = format->second;
            return result;
        }
        if (parser.isSet(thumbnail)) {
            bool number = false;
            const int size = parser.value(thumbnail).toInt(&number);
            if (!number || size < 1 || size > 4096)
                return refuse(
                    QCoreApplication::translate("CommandLine", "Размер миниатюры «%1» — не целое число от 1 до 4096.")
                        .arg(parser.value(thumbnail)));
            if (positional.size() != 2)
                return refuse(QCoreApplication::translate(
                    "CommandLine", "Использование: velmar --thumbnail SIZE IN OUT.png (SIZE от 1 до 4096)"));
            result.headless = {HeadlessCommand::Thumbnail, positional.constFirst(), positional.constLast(), size};
            return result;
        }
        if (parser.isSet(exportPicture) || parser.isSet(exportSteps)) {
            double factor = 1.0;
            if (parser.isSet(scale) && !parseDecimal(parser.value(scale), &factor))
                return refuse(
                    QCoreApplication::translate("CommandLine", "Масштаб «%1» — не число: укажите, например, 2 или 1,5.")
                        .arg(parser.value(scale)));
            if (parser.isSet(exportSteps)) {
                if (positional.size() != 1)
                    return refuse(QCoreApplication::translate(
                        "CommandLine", "Использование: velmar --export-steps FOLDER FILE [--scale F]"));
                result.headless = {HeadlessCommand::ExportSteps, positional.constFirst(), parser.value(exportSteps)};
                result.headless.scale = factor;
                return result;
            }
            if (positional.size() != 1)
                return refuse(QCoreApplication::translate(
                    "CommandLine", "Использование: velmar --export OUT FILE [--scale F | --handout N | --exercise | "
                                   "--poster CxR]"));
            // A number outside 0.1–8 is refused by the command itself, with its own message.
            result.headless = {HeadlessCommand::Export, positional.constFirst(), parser.value(exportPicture)};
            result.headless.scale = factor;
            if (parser.isSet(handout)) {
                bool number = false;
                const int n = parser.value(handout).toInt(&number);
                if (!number || !isHandoutCount(n))
                    return refuse(
                        QCoreApplication::translate("CommandLine", "Шагов на странице «%1»: укажите 1, 2, 4 или 6.")
                            .arg(parser.value(handout)));
                result.headless.form.kind = PrintForm::Kind::Handouts;
                result.headless.form.stepsPerPage = n;
            } else if (parser.isSet(exercise)) {
                result.headless.form.kind = PrintForm::Kind::Exercise;
            } else if (parser.isSet(poster)) {
                // Columns and rows apart by x, *, × or the Russian х of a Russian keyboard.
                static const QRegularExpression sheets(
                    QStringLiteral("^\\s*(\\d{1,2})\\s*[xX*\\x{0445}\\x{0425}\\x{00D7}]\\s*(\\d{1,2})\\s*$"));
                const auto m = sheets.match(parser.value(poster));
                const int columns = m.hasMatch() ? m.captured(1).toInt() : 0;
                const int rows = m.hasMatch() ? m.captured(2).toInt() : 0;
                if (columns < 1 || rows < 1 || columns > kMaxPosterSheets || rows > kMaxPosterSheets
                    || columns * rows < 2)
                    return refuse(QCoreApplication::translate("CommandLine",
                                                              "Плакат «%1»: укажите столбцы и ряды листов, "
                                                              "например 3x2 (от 1 до 10, всего не меньше двух).")
                                      .arg(parser.value(poster)));
                result.headless.form = {PrintForm::Kind::Poster, 4, columns, rows};
            }
            return result;
        }
        if (parser.isSet(info)) {
            if (!positional.isEmpty())
                return refuse(
                    QCoreApplication::translate("CommandLine", "После --info FILE других аргументов не нужно."));
            result.headless = {HeadlessCommand::Info, parser.value(info), {}};
        } else {
            if (positional.size() != 1)
                return refuse(QCoreApplication::translate("CommandLine", "Использование: velmar --convert IN OUT.vmd"));
            result.headless = {HeadlessCommand::Convert, parser.value(convert), positional.constFirst()};
        }
        return result;
    }
    if (positional.size() > 1)
        return refuse(
            QCoreApplication::translate("CommandLine", "Укажите не больше одного файла логического конспекта."));
    if (!positional.isEmpty())
        result.document = QFileInfo(positional.constFirst()).absoluteFilePath();
    return result;
}

}  // namespace velmar
