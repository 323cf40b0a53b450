// Start-up beside a bare Qt window: velmar and bare_window started alternately (so both see the
// same machine load), each to its shown main window, offscreen unless QT_QPA_PLATFORM names
// another platform. Prints the median of each, their ratio and the libraries each had mapped once
// shown, and the target line of the CPU ratio.
//   bench_startup_pair [PAIRS]      (default 20)
#include "program_start.h"
#include "target_line.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <sys/resource.h>

namespace {

// CPU time (user and system) of the children this process has waited for, in milliseconds.
double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// Milliseconds from start to exit, or a negative value when the program failed; with cpu, the
// CPU time the program took.
double runOnce(const QString& program, const QProcessEnvironment& env, QByteArray* errors = nullptr,
               double* cpu = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(env);
    const double cpuBefore = childrenCpuMs();
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    const double ms = timer.nsecsElapsed() / 1e6;
    if (cpu)
        *cpu = childrenCpuMs() - cpuBefore;
    if (errors)
        *errors = process.readAllStandardError();
    return ms;
}

int libraryCount(const QString& program, QProcessEnvironment env)
{
    env.insert(QStringLiteral("VELMAR_REPORT_LIBRARIES"), QStringLiteral("1"));
    QByteArray errors;
    if (runOnce(program, env, &errors) < 0)
        return -1;
    return int(errors.count("library: "));
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int pairs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString velmar = builtProgram(QStringLiteral("../src/velmar"));
    const QString bare = builtProgram(QStringLiteral("bare_window"));
    QTemporaryDir home;
    const QProcessEnvironment env = quitWhenShownEnvironment(home);
    // The first start writes the working folders and the association; later ones are the usual.
    if (runOnce(velmar, env) < 0 || runOnce(bare, env) < 0) {
        std::fprintf(stderr, "a program did not start and quit cleanly\n");
        return 1;
    }
    std::vector<double> velmarMs, bareMs, velmarCpu(static_cast<size_t>(pairs)), bareCpu(static_cast<size_t>(pairs));
    for (int i = 0; i < pairs; ++i) {
        velmarMs.push_back(runOnce(velmar, env, nullptr, &velmarCpu[size_t(i)]));
        bareMs.push_back(runOnce(bare, env, nullptr, &bareCpu[size_t(i)]));
        if (velmarMs.back() < 0 || bareMs.back() < 0) {
            std::fprintf(stderr, "a program failed in pair %d\n", i + 1);
            return 1;
        }
    }
    const double v = median(velmarMs), b = median(bareMs);
    const double vc = median(velmarCpu), bc = median(bareCpu);
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("pairs %d (load average %.2f)\nvelmar      median %.1f ms, CPU %.1f ms  libraries %d\n"
                "bare window median %.1f ms, CPU %.1f ms  libraries %d\nratio %.2f (CPU %.2f)\n",
                pairs, load[0], v, vc, libraryCount(velmar, env), b, bc, libraryCount(bare, env), v / b, vc / bc);
    const std::string platform = env.value(QStringLiteral("QT_QPA_PLATFORM")).toStdString();
    char figure[64], baseline[64];
    std::snprintf(figure, sizeof figure, "%.0f ms CPU", vc);
    std::snprintf(baseline, sizeof baseline, "bare Qt window %.0f ms CPU", bc);
    printTarget("startup-" + platform, "start-up to the window shown (" + platform + "), process CPU", figure, baseline,
                vc / bc, TargetSense::AtMost, 1.2);
    return 0;
}
