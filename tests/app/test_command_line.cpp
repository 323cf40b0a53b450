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

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_command_line.moc"
