// Start-up time of the whole program: process start to the main window shown, with no outline.
// Each iteration runs the real executable (offscreen unless a display is asked for) in a fresh
// program folder, so the working folders and association are checked as on every start.
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void runOnce(benchmark::State& state, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMAR_EXECUTABLE), {});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        state.SkipWithError("velmar did not start and quit cleanly");
}

QProcessEnvironment benchEnvironment(const QTemporaryDir& home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VELMAR_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    env.insert(QStringLiteral("VELMAR_HOME"), home.filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

void BM_StartupToWindowShown(benchmark::State& state)
{
    QTemporaryDir home;
    const QProcessEnvironment env = benchEnvironment(home);
    runOnce(state, env);  // first start writes the association; later starts are the usual case
    for (auto _ : state)
        runOnce(state, env);
}
BENCHMARK(BM_StartupToWindowShown)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(15)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
