// The command line as a Russian user meets it: no text of the parser library's own (English
// headings, a placeholder for the program name), errors that name the argument at fault, and
// the Russian decimal comma in numbers.
#include "app/command_line.h"

#include <QTest>

using namespace velmar;

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void helpIsRussian();
    void wrongArgumentsAreNamed_data();
    void wrongArgumentsAreNamed();
    void scaleTakesEitherDecimalMark_data();
    void scaleTakesEitherDecimalMark();
    void formsFollowTheirFiles_data();
    void formsFollowTheirFiles();
};

static CommandLine parse(QStringList arguments)
{
    arguments.prepend(QStringLiteral("/usr/bin/velmar"));
    return parseCommandLine(arguments);
}

void TestCommandLine::helpIsRussian()
{
    const CommandLine line = parse({QStringLiteral("--help")});
    QVERIFY(line.exitNow);
    QCOMPARE(line.exitCode, 0);
    QVERIFY(line.output.startsWith(QStringLiteral("Использование: velmar")));
    for (const char* english : {"Usage", "<executable_name>", "Options:", "Arguments:"})
        QVERIFY2(!line.output.contains(QLatin1String(english)), english);
    QVERIFY(line.output.contains(QStringLiteral("\nКлючи:\n")));
    QVERIFY(line.output.contains(QStringLiteral("--thumbnail")));
}

void TestCommandLine::wrongArgumentsAreNamed_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("named");
    QTest::newRow("unknown option") << QStringList{"--bogus"} << "«bogus»";
    QTest::newRow("missing value") << QStringList{"--export"} << "«--export»";
    QTest::newRow("scale not a number") << QStringList{"--export", "a.png", "b.vmd", "--scale", "abc"} << "«abc»";
    QTest::newRow("thumbnail size") << QStringList{"--thumbnail", "big", "a.vmd", "b.png"} << "«big»";
    QTest::newRow("summary format") << QStringList{"--summary", "a.vmd", "--summary-format", "pdf"} << "«pdf»";
    QTest::newRow("handout count") << QStringList{"--export", "h.pdf", "a.vmd", "--handout", "3"} << "«3»";
    QTest::newRow("poster sheets") << QStringList{"--export", "p.pdf", "a.vmd", "--poster", "3by2"} << "«3by2»";
    QTest::newRow("poster of one sheet") << QStringList{"--export", "p.pdf", "a.vmd", "--poster", "1x1"} << "«1x1»";
    QTest::newRow("poster too many") << QStringList{"--export", "p.pdf", "a.vmd", "--poster", "11x2"} << "«11x2»";
    QTest::newRow("two forms") << QStringList{"--export", "p.pdf", "a.vmd", "--exercise", "--handout", "2"}
                               << "--handout";
    QTest::newRow("form without export") << QStringList{"--exercise", "a.vmd"} << "--exercise";
    QTest::newRow("steps with extra file")
        << QStringList{"--export-steps", "out", "a.vmd", "b.vmd"} << "--export-steps";
}

void TestCommandLine::wrongArgumentsAreNamed()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, named);
    const CommandLine line = parse(arguments);
    QVERIFY(line.exitNow);
    QCOMPARE(line.exitCode, 2);
    QVERIFY2(line.errors.contains(named), qPrintable(line.errors));
    // Russian words only around the named argument: no sentence of the parser library.
    QVERIFY2(!line.errors.contains(QLatin1String("Unknown")) && !line.errors.contains(QLatin1String("Missing")),
             qPrintable(line.errors));
}

void TestCommandLine::scaleTakesEitherDecimalMark_data()
{
    QTest::addColumn<QString>("scale");
    QTest::addColumn<double>("factor");
    QTest::newRow("comma") << "1,5" << 1.5;
    QTest::newRow("point") << "0.25" << 0.25;
    QTest::newRow("whole") << "3" << 3.0;
}

void TestCommandLine::scaleTakesEitherDecimalMark()
{
    QFETCH(QString, scale);
    QFETCH(double, factor);
    const CommandLine line = parse({QStringLiteral("--export"), QStringLiteral("out.png"), QStringLiteral("in.vmd"),
                                    QStringLiteral("--scale"), scale});
    QVERIFY2(!line.exitNow, qPrintable(line.errors));
    QCOMPARE(line.headless.kind, HeadlessCommand::Export);
    QCOMPARE(line.headless.scale, factor);
    QCOMPARE(line.headless.output, QStringLiteral("out.png"));
}

void TestCommandLine::formsFollowTheirFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("stepsPerPage");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    const int handouts = int(PrintForm::Kind::Handouts), poster = int(PrintForm::Kind::Poster);
    QTest::newRow("handouts after the files")
        << QStringList{"--export", "h.pdf", "a.vmd", "--handout", "6"} << handouts << 6 << 2 << 2;
    QTest::newRow("handouts before") << QStringList{"--handout=1", "--export", "h.pdf", "a.vmd"} << handouts << 1 << 2
                                     << 2;
    QTest::newRow("exercise") << QStringList{"--export", "s.pdf", "a.vmd", "--exercise"}
                              << int(PrintForm::Kind::Exercise) << 4 << 2 << 2;
    QTest::newRow("poster") << QStringList{"--export", "p.pdf", "a.vmd", "--poster", "3x2"} << poster << 4 << 3 << 2;
    QTest::newRow("poster, Russian x") << QStringList{"--export", "p.pdf", "a.vmd", "--poster", "2х4"} << poster << 4
                                       << 2 << 4;
    QTest::newRow("picture") << QStringList{"--export", "p.png", "a.vmd"} << int(PrintForm::Kind::Outline) << 4 << 2
                             << 2;
}

void TestCommandLine::formsFollowTheirFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, kind);
    QFETCH(int, stepsPerPage);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const CommandLine line = parse(arguments);
    QVERIFY2(!line.exitNow, qPrintable(line.errors));
    QCOMPARE(line.headless.kind, HeadlessCommand::Export);
    QCOMPARE(line.headless.input, QStringLiteral("a.vmd"));
    QCOMPARE(int(line.headless.form.kind), kind);
    QCOMPARE(line.headless.form.stepsPerPage, stepsPerPage);
    QCOMPARE(line.headless.form.columns, columns);
    QCOMPARE(line.headless.form.rows, rows);

    const CommandLine steps = parse({QStringLiteral("--export-steps"), QStringLiteral("out"), QStringLiteral("a.vmd"),
                                     QStringLiteral("--scale"), QStringLiteral("2")});
    QVERIFY2(!steps.exitNow, qPrintable(steps.errors));
    QCOMPARE(steps.headless.kind, HeadlessCommand::ExportSteps);
    QCOMPARE(steps.headless.output, QStringLiteral("out"));
    QCOMPARE(steps.headless.input, QStringLiteral("a.vmd"));
    QCOMPARE(steps.headless.scale, 2.0);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
