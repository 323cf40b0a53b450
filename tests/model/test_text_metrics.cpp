#include "model/text_metrics.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

using namespace velmar;

namespace {

const QString CR = QStringLiteral("\r");
const QString CRLF = QStringLiteral("\r\n");

int widthOf(const QString& s, const FontSpec& stored) { return QFontMetrics(toQFont(stored)).horizontalAdvance(s); }

FontSpec font10()
{
    FontSpec f;
    f.size = 10;
    return f;
}

}  // namespace

class TestTextMetrics : public QObject {
    Q_OBJECT
private slots:
    void pixelSizesAt96Dpi_data();
    void pixelSizesAt96Dpi();
    void fontRoundTrip_data();
    void fontRoundTrip();
    void missingFamiliesFallBack();
    void dialogFontsComeBackInPoints_data();
    void dialogFontsComeBackInPoints();
    void lineWalk_data();
    void lineWalk();
    void fittedSizes_data();
    void fittedSizes();
    void emptyTextKeepsItsSize();
};

void TestTextMetrics::pixelSizesAt96Dpi_data()
{
    QTest::addColumn<double>("points");
    QTest::addColumn<int>("pixels");
    QTest::newRow("8 pt") << 8.0 << 11;
    QTest::newRow("10 pt") << 10.0 << 13;
    QTest::newRow("12 pt") << 12.0 << 16;
    QTest::newRow("14 pt") << 14.0 << 19;
    QTest::newRow("1.5 pt: halves go to even") << 1.5 << 2;
    QTest::newRow("4.875 pt: 6.5 px goes to even") << 4.875 << 6;
    QTest::newRow("0 pt still gives a font") << 0.0 << 1;
    QTest::newRow("negative") << -12.0 << 1;
    QTest::newRow("absurdly large is bounded") << 1e9 << 4096;
}

void TestTextMetrics::pixelSizesAt96Dpi()
{
    QFETCH(double, points);
    QFETCH(int, pixels);
    QCOMPARE(pointsToPixels(points), pixels);
}

void TestTextMetrics::fontRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("pitch");
    QTest::newRow("default text field font") << QStringLiteral("MS Sans Serif") << 10 << 0 << 0;
    QTest::newRow("bold italic") << QStringLiteral("Times New Roman") << 14 << int(FontBold | FontItalic) << 0;
    QTest::newRow("underline strike-out, fixed pitch")
        << QStringLiteral("Courier New") << 9 << int(FontUnderline | FontStrikeOut) << 2;
    QTest::newRow("all styles, variable pitch") << QStringLiteral("Arial") << 11 << 15 << 1;
    QTest::newRow("unknown family, odd sizes") << QStringLiteral("Нет такого шрифта") << 37 << int(FontBold) << 0;
    QTest::newRow("smallest") << QStringLiteral("MS Sans Serif") << 1 << 0 << 0;
}

void TestTextMetrics::fontRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(int, size);
    QFETCH(int, style);
    QFETCH(int, pitch);
    FontSpec stored{name, size, 0x00123456, quint8(pitch), quint8(style)};

    const QFont font = toQFont(stored);
    QCOMPARE(font.families().value(0), name);
    QCOMPARE(font.pixelSize(), pointsToPixels(size));
    QCOMPARE(font.bold(), bool(style & FontBold));
    QCOMPARE(font.italic(), bool(style & FontItalic));
    QCOMPARE(font.underline(), bool(style & FontUnderline));
    QCOMPARE(font.strikeOut(), bool(style & FontStrikeOut));
    // The pixel size holds whatever the screen's resolution.
    QCOMPARE(QFontInfo(font).pixelSize(), pointsToPixels(size));

    QCOMPARE(fromQFont(font, stored.colour), stored);
    QCOMPARE(fromQFont(toDialogFont(stored), stored.colour), stored);
}

void TestTextMetrics::missingFamiliesFallBack()
{
    // Whatever the system has, the classic families map onto a font of the same kind, and the
    // stored name is what a round trip gives back.
    FontSpec sans;
    FontSpec mono{QStringLiteral("Courier New"), 10, kWindowText, 0, 0};
    const QFont sansFont = toQFont(sans);
    const QFont monoFont = toQFont(mono);
    QVERIFY(sansFont.families().size() > 1);
    QCOMPARE(sansFont.styleHint(), QFont::SansSerif);
    QCOMPARE(monoFont.styleHint(), QFont::TypeWriter);
    QVERIFY(!QFontInfo(sansFont).family().isEmpty());
    QCOMPARE(fromQFont(sansFont, kWindowText).name, QStringLiteral("MS Sans Serif"));
    // The same name in other letter case is the same family.
    FontSpec upper{QStringLiteral("ms sans serif"), 10, kWindowText, 0, 0};
    QCOMPARE(toQFont(upper).styleHint(), QFont::SansSerif);
}

void TestTextMetrics::dialogFontsComeBackInPoints_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("size");
    QFont points(QStringLiteral("DejaVu Sans"));
    points.setPointSize(12);
    QFont fractional(QStringLiteral("DejaVu Sans"));
    fractional.setPointSizeF(10.5);  // halves go to even
    QFont pixels(QStringLiteral("DejaVu Sans"));
    pixels.setPixelSize(16);
    QFont tiny(QStringLiteral("DejaVu Sans"));
    tiny.setPixelSize(1);
    QTest::newRow("point size") << points << 12;
    QTest::newRow("fractional point size") << fractional << 10;
    QTest::newRow("pixel size at 96 dpi") << pixels << 12;
    QTest::newRow("never below 1 pt") << tiny << 1;
}

void TestTextMetrics::dialogFontsComeBackInPoints()
{
    QFETCH(QFont, font);
    QFETCH(int, size);
    const FontSpec stored = fromQFont(font, kBlack);
    QCOMPARE(stored.size, size);
    QCOMPARE(stored.name, QStringLiteral("DejaVu Sans"));
    QCOMPARE(stored.colour, kBlack);
}

void TestTextMetrics::lineWalk_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("breaks");
    QTest::addColumn<QStringList>("lines");  // as the walk collects them
    QTest::newRow("one line") << QStringLiteral("abc") << 0 << QStringList{"abc"};
    QTest::newRow("CR LF: the LF opens the next line") << "ab" + CRLF + "abcd" << 1 << QStringList{"ab", "\nabcd"};
    QTest::newRow("widest line first") << "abcdefgh" + CRLF + "a" << 1 << QStringList{"abcdefgh", "\na"};
    QTest::newRow("lone CR breaks") << "abc" + CR + "de" << 1 << QStringList{"abc", "de"};
    QTest::newRow("lone LF does not") << QStringLiteral("abc\ndefgh") << 0 << QStringList{"abc\ndefgh"};
    QTest::newRow("trailing break") << "abcd" + CRLF << 1 << QStringList{"abcd", "\n"};
    QTest::newRow("only breaks") << CRLF + CRLF + CR << 3 << QStringList{"", "\n", "\n", ""};
    QTest::newRow("Cyrillic") << "Наблюдения" + CRLF + "Опыты" << 1 << QStringList{"Наблюдения", "\nОпыты"};
}

void TestTextMetrics::lineWalk()
{
    QFETCH(QString, text);
    QFETCH(int, breaks);
    QFETCH(QStringList, lines);
    const FontSpec stored = font10();
    const QFont font = toQFont(stored);
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, widthOf(line, stored));

    const TextExtent extent = measureText(text, font);
    QCOMPARE(extent.lineBreaks, breaks);
    QCOMPARE(extent.widestLine, widest);
    QCOMPARE(extent.lineHeight, QFontMetrics(font).height());
    QVERIFY(extent.lineHeight > 0);
}

// Both sizes are built on the same walk: the auto-size adds the font size in points, fitting
// the frame adds 2; both are (breaks + 1) line heights + 1 high.
void TestTextMetrics::fittedSizes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("widestLine");
    QTest::addColumn<int>("lines");
    QTest::newRow("two lines, 10 pt") << "ab" + CRLF + "abcd" << 10 << QStringLiteral("\nabcd") << 2;
    QTest::newRow("one line, 8 pt") << QStringLiteral("Опыты") << 8 << QStringLiteral("Опыты") << 1;
    QTest::newRow("three lines, 20 pt") << "a" + CRLF + "bb" + CRLF + "c" << 20 << QStringLiteral("\nbb") << 3;
    QTest::newRow("a single CR") << CR << 12 << QString() << 2;
}

void TestTextMetrics::fittedSizes()
{
    QFETCH(QString, text);
    QFETCH(int, size);
    QFETCH(QString, widestLine);
    QFETCH(int, lines);
    FontSpec stored = font10();
    stored.size = size;
    const int lineHeight = QFontMetrics(toQFont(stored)).height();
    const int widest = widthOf(widestLine, stored);

    const auto autoSize = autoSizeTextField(text, stored);
    QVERIFY(autoSize.has_value());
    QCOMPARE(*autoSize, QSize(size + widest, lines * lineHeight + 1));

    const auto fitted = fitFrameToText(text, stored);
    QVERIFY(fitted.has_value());
    QCOMPARE(*fitted, QSize(widest + 2, lines * lineHeight + 1));
}

void TestTextMetrics::emptyTextKeepsItsSize()
{
    QVERIFY(!autoSizeTextField(QString(), font10()).has_value());
    QVERIFY(!fitFrameToText(QString(), font10()).has_value());
    const TextExtent extent = measureText(QString(), toQFont(font10()));
    QCOMPARE(extent.lineBreaks, 0);
    QCOMPARE(extent.widestLine, 0);
}

QTEST_MAIN(TestTextMetrics)
#include "test_text_metrics.moc"
