#include "export/base64_encoder.h"
#include "paint/core/cpu_features.h"

#include <QRandomGenerator>
#include <QTest>

using namespace velmar;

class TestBase64Encoder : public QObject {
    Q_OBJECT
private slots:
    void matchesQtOnEveryTail_data();
    void matchesQtOnEveryTail();
};

void TestBase64Encoder::matchesQtOnEveryTail_data()
{
    QTest::addColumn<Base64Path>("path");
    QTest::newRow("table") << Base64Path::Table;
    if (paint::processorHasAvx2())
        QTest::newRow("avx2") << Base64Path::Avx2;
}

// Every length from 0 to 100 (each tail after the 24-byte steps, and inputs shorter than one
// step), then long random inputs: the same characters as Qt's encoder, and not one byte written
// beyond them.
void TestBase64Encoder::matchesQtOnEveryTail()
{
    QFETCH(Base64Path, path);
    QRandomGenerator random(20261210);
    QList<qsizetype> lengths;
    for (qsizetype n = 0; n <= 100; ++n)
        lengths << n;
    lengths << 4096 << 100003 << 1 << 1 << 2;
    for (const qsizetype n : lengths) {
        QByteArray data(n, Qt::Uninitialized);
        for (char& c : data)
            c = char(random.bounded(256));
        // Every byte value in every position of a group, where the data is long enough.
        if (n >= 256 + 2)
            for (int i = 0; i < 256; ++i)
                data[i + (i % 3)] = char(i);
        QByteArray out(base64Length(n) + 16, '#');
        encodeBase64(data.constData(), n, out.data(), path);
        const QByteArray expected = data.toBase64();
        QCOMPARE(base64Length(n), expected.size());
        QCOMPARE(out.left(expected.size()), expected);
        QCOMPARE(out.mid(expected.size()), QByteArray(16, '#'));
    }
}

QTEST_APPLESS_MAIN(TestBase64Encoder)
#include "test_base64_encoder.moc"
