// Inputs that once cost a reader gigabytes or minutes (tests/fuzz_regressions/<harness>/), fed
// through the same calls as the fuzz harnesses: each must give its expected outcome, quickly.
#include "storage/extension_block.h"
#include "storage/jpeg_codec.h"
#include "storage/old_outline_file.h"
#include "storage/outline_file.h"
#include "storage/outline_io.h"
#include "support/compact_outline.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <map>

using namespace velmar;

class TestFuzzRegressions : public QObject {
    Q_OBJECT
private slots:
    void everyKeptInputHasItsOutcome();
    void compactInputsExpandAloneAsAfterOthers();
};

namespace {

// What a kept input must give: refused with a message containing `message`, or loaded (ok) with
// a message containing it (empty: no message at all).
struct Outcome {
    bool loads = false;
    QString message;
};

const std::map<QString, Outcome>& expected()
{
    static const std::map<QString, Outcome> table = {
        {"jpeg/progressive-claims-20000x20000", {false, "недопустимый размер рисунка JPEG"}},
        {"jpeg/arithmetic-cut-claims-10000x10000", {false, "данные JPEG обрываются"}},
        {"jpeg/reduced-claims-65300x65496", {false, "недопустимый размер рисунка JPEG"}},
        {"jpeg/121-progressive-scans", {false, "слишком много проходов JPEG (больше 100)"}},
        {"outline_reader/hundred-pictures-claiming-32767x32767", {true, "рисунок 100 (нет данных рисунка)"}},
        {"old_outline/hundred-pictures-claiming-32767x32767", {true, ""}},
        // Found by fuzzing: fields of a refused record were still stored unchecked, and a left
        // edge and width beyond their ranges overflowed the picture's rectangle.
        {"outline_reader/overflowing-picture-width",
         {false, "«рисунок 30: левый край» (655360) вне допустимых пределов"}},
        // Reported as a 10-second unit while the machine was loaded; reading it is immediate.
        {"extension_block/reported-slow-under-load", {true, "контрольная сумма блока дополнений не сходится"}},
    };
    return table;
}

// The harnesses' calls (fuzz/fuzz_*.cpp).
Outcome run(const QString& harness, const QByteArray& input)
{
    Outcome outcome;
    if (harness == QLatin1String("jpeg")) {
        const QByteArray stream = input.mid(1);
        const int choice = input.isEmpty() ? 0 : uchar(input[0]) % 3;
        const QImage image =
            choice == 0   ? decodeJpeg(stream, &outcome.message)
            : choice == 1 ? decodeJpeg(stream, &outcome.message, 8)
                          : decodeJpegAtLeast(stream, QSize(uchar(input[0]), uchar(input[0]) / 2), &outcome.message);
        outcome.loads = !image.isNull();
    } else if (harness == QLatin1String("snapshot_reader")) {
        HeaderReadResult read = readOutlineHeaderWithBlock(compact::expand(input, true));
        outcome.loads = read.ok();
        if (read.ok()) {
            Outline outline = read.header.outline;
            outcome.loads = applyHeaderToOutline(read.header, outline, &outcome.message);
        } else {
            outcome.message = headerProblemMessage(read, QStringLiteral("fuzz.tm2"));
        }
    } else if (harness == QLatin1String("outline_reader")) {
        const LoadResult loaded =
            readOutline(compact::expand(input), QStringLiteral("fuzz.vmd"), defaultWindowChrome());
        outcome = {loaded.ok, loaded.message + loaded.notices.join(QLatin1Char(' '))};
    } else if (harness == QLatin1String("extension_block")) {
        const HeaderReadResult read = readOutlineHeader(compact::base().record);
        QString name = read.header.outlineName;
        Outline outline = read.header.outline;
        outcome.message = applyExtensionBlock(input, name, outline);
        outcome.loads = true;
    } else if (harness == QLatin1String("old_outline")) {
        static const QByteArray separator("\n--blc--\n");
        const qsizetype at = input.indexOf(separator);
        const QByteArray blc = at < 0 ? QByteArray() : input.mid(at + separator.size());
        const LoadResult loaded = readOldOutline(at < 0 ? input : input.left(at), at < 0 ? nullptr : &blc,
                                                 QStringLiteral("fuzz.vmc"), defaultWindowChrome());
        outcome = {loaded.ok, loaded.message};
    }
    return outcome;
}

}  // namespace

void TestFuzzRegressions::everyKeptInputHasItsOutcome()
{
    // Named by the suite; run by hand from <sources>/build/tests, found in the sources beside it.
    const QString named = qEnvironmentVariable("VELMAR_FUZZ_REGRESSIONS");
    const QDir root(named.isEmpty()
                        ? QCoreApplication::applicationDirPath() + QStringLiteral("/../../tests/fuzz_regressions")
                        : named);
    QVERIFY(root.exists());
#if defined(__SANITIZE_ADDRESS__)
    const double slower = 10;  // instrumented builds
#else
    const double slower = 1;
#endif
    int seen = 0;
    QDirIterator files(root.path(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const QString name = root.relativeFilePath(path);
        // The films are read by the film module, which only the real program loads:
        // check_hostile.sh makes the same crafted films and runs them through every command, and
        // the film harness starts from these inputs.
        if (name.startsWith(QLatin1String("film_picture/")))
            continue;
        const auto want = expected().find(name);
        QVERIFY2(want != expected().end(), qPrintable(name + ": no expected outcome written down"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        QElapsedTimer timer;
        timer.start();
        const Outcome got = run(name.section(QLatin1Char('/'), 0, 0), input);
        const double seconds = timer.elapsed() / 1000.0;
        QVERIFY2(got.loads == want->second.loads, qPrintable(name + ": " + got.message));
        if (want->second.message.isEmpty())
            QVERIFY2(got.message.isEmpty(), qPrintable(name + ": " + got.message));
        else
            QVERIFY2(got.message.contains(want->second.message), qPrintable(name + ": " + got.message));
        // About a second per megabyte of input, beyond a fixed second.
        const double allowed = slower * (1.0 + input.size() / 1e6);
        QVERIFY2(seconds <= allowed, qPrintable(QStringLiteral("%1: %2 s").arg(name).arg(seconds)));
        ++seen;
    }
    QCOMPARE(seen, int(expected().size()));
}

// The harnesses reuse one buffer and put back only what the previous input changed: an input
// must stand for the same bytes whatever came before it.
void TestFuzzRegressions::compactInputsExpandAloneAsAfterOthers()
{
    const auto patch = [](int area, int slot, int offset, const QByteArray& bytes) {
        QByteArray head(5, '\0');
        head[0] = char(area);
        head[1] = char(slot);
        qToLittleEndian<quint16>(quint16(offset), head.data() + 2);
        head[4] = char(bytes.size());
        return head + bytes;
    };
    const QByteArray whole = buildOutlineImage(compact::baseDocument(), true).toBytes();
    const QList<QByteArray> inputs = {
        compact::compactOf(whole),
        // A frame's title, a text field's text across a slot's end, the outline's name, a count.
        compact::compactOf(
            whole, {patch(0, 1, 23, "\x05Title"), patch(1, 0, 2000, QByteArray(200, 'x')), patch(5, 0, 200, "\x02Hi")}),
        QByteArray("\x63\x02", 2),  // counts cut short: 99 frames, 2 text fields, the rest as based
        compact::compactOf(whole, {patch(3, 2, 1052, QByteArray(4, '\xff'))}),
    };
    // Each alone (after a whole file, which the buffer does not keep), then after every other.
    QList<QByteArray> alone;
    for (const QByteArray& input : inputs) {
        (void)compact::expand(whole);
        alone << compact::expand(input);
    }
    QCOMPARE(alone[0], whole);
    QCOMPARE(alone[1].mid(layout::kFrames + layout::kFrameRecordSize + 23, 6), QByteArray("\x05Title"));
    QCOMPARE(alone[1].size(), whole.size());
    for (bool headerOnly : {false, true})
        for (qsizetype a = 0; a < inputs.size(); ++a)
            for (qsizetype b = 0; b < inputs.size(); ++b) {
                (void)compact::expand(whole);
                const QByteArray fresh = compact::expand(inputs[b], headerOnly);
                (void)compact::expand(inputs[a], headerOnly);
                (void)compact::expand(inputs[a], !headerOnly);
                (void)compact::expand(inputs[a], headerOnly);
                QVERIFY2(
                    compact::expand(inputs[b], headerOnly) == fresh,
                    qPrintable(QStringLiteral("input %1 after %2 (header only: %3)").arg(b).arg(a).arg(headerOnly)));
            }
}

QTEST_GUILESS_MAIN(TestFuzzRegressions)
#include "test_fuzz_regressions.moc"
