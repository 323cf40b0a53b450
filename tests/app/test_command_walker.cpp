// A seeded random walk of user commands over the real main window: thousands of creations,
// selections, moves, resizes, drops, appearance and sequence commands, typing, undo, redo and the
// file commands, checking the outline after every command and its save → load round trip now and
// then.
//
// Environment:
//   VELMAR_WALK_SEED=7 or 7,8,9   the seeds to walk (default: a few fixed ones)
//   VELMAR_WALK_STEPS=5000        commands per seed
//   VELMAR_WALK_REPLAY=file       replay a command list (one command a line, as printed)
//   VELMAR_WALK_MINIMIZE=1        after a failure, shorten its command list (each try runs in a
//                                 process of its own, so crashes shorten too)
// Every walk writes its commands as it goes to velmar-walk-<seed>.txt in the temporary folder, so
// that a crash leaves the list behind for VELMAR_WALK_REPLAY.
#include "support/command_walker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <cstring>

#include <unistd.h>

extern "C" void __sanitizer_set_death_callback(void (*callback)(void)) __attribute__((weak));

namespace {

// What a crash prints: the seed, step and command being run, kept ready in a fixed buffer.
char g_crashNote[1024] = {};

void printCrashNote()
{
    if (g_crashNote[0]) [[maybe_unused]]
        auto written = ::write(STDERR_FILENO, g_crashNote, std::strlen(g_crashNote));
}

void onFatalSignal(int signal)
{
    printCrashNote();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// The offscreen platform's notes about what it cannot do (raise, grab the keyboard) are noise here.
QtMessageHandler g_testHandler = nullptr;

void quietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    if (g_testHandler)
        g_testHandler(type, context, message);
}

void installCrashNote()
{
    g_testHandler = qInstallMessageHandler(quietPlatformNotes);
    for (int s : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        std::signal(s, onFatalSignal);
    if (__sanitizer_set_death_callback)
        __sanitizer_set_death_callback(printCrashNote);
}

void setCrashNote(const QString& note)
{
    const QByteArray bytes = note.toUtf8().left(int(sizeof g_crashNote) - 1);
    std::memcpy(g_crashNote, bytes.constData(), std::size_t(bytes.size()));
    g_crashNote[bytes.size()] = 0;
}

QString logPath(const QString& name)
{
    return QDir(QDir::tempPath()).filePath(QStringLiteral("velmar-walk-%1.txt").arg(name));
}

struct WalkResult {
    int failedStep = -1;
    QString failure;
    QMap<QString, int> counts;
    QList<WalkCommand> commands;  // every command run, the failing one last
};

// Runs a walk: the script's commands when given, otherwise a New followed by generated commands.
WalkResult runWalk(quint32 seed, int steps, const QList<WalkCommand>* script, const QString& logName)
{
    WindowFixture fixture;
    QTemporaryDir folder;
    CommandWalker walker(fixture, folder.filePath(QStringLiteral("walk")));
    std::mt19937 rng(seed);
    QFile log(logPath(logName));
    log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);

    WalkResult result;
    const int count = script ? int(script->size()) : steps;
    for (int step = 0; step < count; ++step) {
        WalkCommand c;
        if (script) {
            c = script->at(step);
        } else if (step == 0) {
            c.op = QStringLiteral("action");
            c.name = QStringLiteral("NewOutline");
            c.answer = 1;
            c.text = QStringLiteral("Прогулка");
        } else {
            c = walker.generate(rng);
        }
        const QString line = c.toString();
        result.commands << c;
        log.write((line + QLatin1Char('\n')).toUtf8());
        setCrashNote(QStringLiteral("\nwalker: crash at seed %1, step %2: %3\nwalker: commands so far in %4\n")
                         .arg(seed)
                         .arg(step)
                         .arg(line, log.fileName()));
        walker.run(c);
        const QStringList violations = walker.check(c, step % 25 == 24);
        if (!violations.isEmpty()) {
            result.failedStep = step;
            result.failure = violations.join(QLatin1Char('\n'));
            break;
        }
    }
    setCrashNote(QString());
    result.counts = walker.counts();
    QStringList summary;
    for (auto it = result.counts.cbegin(); it != result.counts.cend(); ++it)
        summary << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    qInfo("walker: seed %u: %s", seed, qPrintable(summary.join(QStringLiteral(", "))));
    return result;
}

QList<WalkCommand> readScript(const QString& path)
{
    QList<WalkCommand> script;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return script;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (const auto c = WalkCommand::parse(QString::fromUtf8(line)))
            script << *c;
    return script;
}

void writeScript(const QString& path, const QList<WalkCommand>& script)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const WalkCommand& c : script)
        file.write((c.toString() + QLatin1Char('\n')).toUtf8());
}

// The kind of failure a replay ends in, numbers left out, so that shortening keeps to one fault.
QString failureKind(const QString& output)
{
    static const QRegularExpression marker(QStringLiteral("WALK-(CRASH|FAILURE): ([^\n]*)"));
    static const QRegularExpression digits(QStringLiteral("[-0-9]+"));
    const QRegularExpressionMatch m = marker.match(output);
    if (!m.hasMatch())
        return output.contains(QLatin1String("walker: crash")) ? QStringLiteral("crash") : QString();
    return m.captured(1) + QLatin1Char(' ') + QString(m.captured(2)).replace(digits, QStringLiteral("#"));
}

// Replays a command list in a process of its own and tells the kind of failure it ends in.
QString replayInProcess(const QList<WalkCommand>& script)
{
    const QString path = logPath(QStringLiteral("candidate"));
    writeScript(path, script);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMAR_WALK_REPLAY"), path);
    env.remove(QStringLiteral("VELMAR_WALK_MINIMIZE"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("replay")});
    child.waitForFinished(300000);
    const QString output = QString::fromUtf8(child.readAll());
    if (child.exitStatus() == QProcess::CrashExit)
        return QStringLiteral("crash");
    return failureKind(output);
}

// Shortens a failing command list by delta debugging: drops chunks as long as the rest still
// fails the same way.
QList<WalkCommand> minimize(QList<WalkCommand> script, const QString& kind)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 budget = qEnvironmentVariableIntValue("VELMAR_WALK_MINIMIZE_SECONDS") > 0
                              ? qEnvironmentVariableIntValue("VELMAR_WALK_MINIMIZE_SECONDS") * 1000LL
                              : 900000LL;
    qsizetype parts = 2;
    while (script.size() >= 2 && clock.elapsed() < budget) {
        const qsizetype chunk = (script.size() + parts - 1) / parts;
        bool shortened = false;
        for (qsizetype start = 0; start < script.size() && clock.elapsed() < budget; start += chunk) {
            QList<WalkCommand> rest = script.mid(0, start) + script.mid(start + chunk);
            if (replayInProcess(rest) == kind) {
                script = rest;
                parts = std::max<qsizetype>(parts - 1, 2);
                shortened = true;
                qInfo("walker: shortened to %d commands", int(script.size()));
                break;
            }
        }
        if (!shortened) {
            if (parts >= script.size())
                break;
            parts = std::min(parts * 2, script.size());
        }
    }
    return script;
}

// Prints a failure so that it can be replayed, shortens it when asked, and fails the test.
void report(const QString& where, const WalkResult& result, const QString& logName)
{
    const QString first = result.failure.section(QLatin1Char('\n'), 0, 0);
    qInfo("WALK-FAILURE: %s", qPrintable(first));
    QString text =
        QStringLiteral("%1, step %2:\n%3\nlast commands:\n").arg(where).arg(result.failedStep).arg(result.failure);
    for (qsizetype i = std::max<qsizetype>(0, result.commands.size() - 12); i < result.commands.size(); ++i)
        text += QStringLiteral("  %1: %2\n").arg(i).arg(result.commands.at(i).toString());
    text += QStringLiteral("whole list: %1 (replay with VELMAR_WALK_REPLAY=that file)").arg(logPath(logName));
    if (qEnvironmentVariableIsSet("VELMAR_WALK_MINIMIZE")) {
        const QList<WalkCommand> shortest =
            minimize(result.commands, failureKind(QStringLiteral("WALK-FAILURE: ") + first));
        const QString path = logPath(QStringLiteral("minimal"));
        writeScript(path, shortest);
        text += QStringLiteral("\nshortest failing list (%1 commands, in %2):\n").arg(shortest.size()).arg(path);
        for (const WalkCommand& c : shortest)
            text += QStringLiteral("  ") + c.toString() + QLatin1Char('\n');
    }
    QFAIL(qPrintable(text));
}

}  // namespace

class TestCommandWalker : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installCrashNote(); }
    void walk_data();
    void walk();
    void replay();
    void commandsReadBackAsWritten();
};

void TestCommandWalker::walk_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("steps");
    const int steps =
        qEnvironmentVariableIntValue("VELMAR_WALK_STEPS") > 0 ? qEnvironmentVariableIntValue("VELMAR_WALK_STEPS") : 700;
    QList<quint32> seeds{1, 2, 3};
    if (qEnvironmentVariableIsSet("VELMAR_WALK_SEED")) {
        seeds.clear();
        for (const QString& s : qEnvironmentVariable("VELMAR_WALK_SEED").split(QLatin1Char(',')))
            seeds << s.trimmed().toUInt();
    }
    for (quint32 seed : seeds)
        QTest::addRow("seed %u", seed) << seed << steps;
}

void TestCommandWalker::walk()
{
    if (qEnvironmentVariableIsSet("VELMAR_WALK_REPLAY"))
        QSKIP("replaying a command list instead");
    QFETCH(quint32, seed);
    QFETCH(int, steps);
    const QString logName = QString::number(seed);
    const WalkResult result = runWalk(seed, steps, nullptr, logName);
    if (result.failedStep >= 0)
        report(
            QStringLiteral("seed %1 (VELMAR_WALK_SEED=%1 VELMAR_WALK_STEPS=%2)").arg(seed).arg(result.failedStep + 1),
            result, logName);
    // A walk of some length has exercised every kind of check at least once.
    if (steps >= 500)
        for (const char* check : {"save → load round trips", "steps revisited and compared",
                                  "files saved and read back", "files reopened and compared"})
            QVERIFY2(result.counts.value(QString::fromUtf8(check)) > 0, check);
}

void TestCommandWalker::replay()
{
    const QString path = qEnvironmentVariable("VELMAR_WALK_REPLAY");
    if (path.isEmpty())
        QSKIP("no command list to replay (VELMAR_WALK_REPLAY)");
    const QList<WalkCommand> script = readScript(path);
    QVERIFY2(!script.isEmpty(), qPrintable(QStringLiteral("no commands in ") + path));
    const WalkResult result = runWalk(0, 0, &script, QStringLiteral("replay"));
    if (result.failedStep >= 0)
        report(QStringLiteral("replay of %1").arg(path), result, QStringLiteral("replay"));
}

void TestCommandWalker::commandsReadBackAsWritten()
{
    // Texts with blanks, line breaks, Cyrillic and the placeholder dash survive the printed form.
    WalkCommand c;
    c.op = QStringLiteral("rclick");
    c.name = QStringLiteral("FrameMinimalText");
    c.kind = 'F';
    c.index = 7;
    c.x = 1000;
    c.y = -3;
    c.dx = -1200;
    c.dy = 44;
    c.mods = QStringLiteral("ad");
    c.answer = 2;
    c.value = 0xFF8040;
    for (const QString& text : {QStringLiteral("два слова\r\nи -"), QStringLiteral("-"), QString()}) {
        c.text = text;
        const auto back = WalkCommand::parse(c.toString());
        QVERIFY(back);
        QCOMPARE(back->toString(), c.toString());
        QCOMPARE(back->text, text);
        QCOMPARE(back->kind, 'F');
        QCOMPARE(back->value, qint64(0xFF8040));
    }
    QVERIFY(!WalkCommand::parse(QStringLiteral("click - -")));
}

QTEST_MAIN(TestCommandWalker)
#include "test_command_walker.moc"
