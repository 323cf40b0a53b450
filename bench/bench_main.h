#pragma once
// The main() of the benchmarks that need a Qt application: the application (offscreen unless
// QT_QPA_PLATFORM names another platform), Google Benchmark's run, then `afterwards`, for the
// figures a benchmark prints besides Google Benchmark's table.
//   int main(int argc, char** argv) { return runQtBenchmarks<QApplication>(argc, argv); }
#include "program_heap.h"
#include "system/heap_settings.h"

#include <QByteArray>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <vector>

template <class Application>
int runQtBenchmarks(int argc, char** argv, const std::function<void()>& afterwards = {})
{
    runWithTheProgramsHeap(argv);
    // As the program does at its start (see runApplication).
    velmar::returnLargeBlocksToTheSystem();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (afterwards)
        afterwards();
    return 0;
}

// The middle of the times measured (the upper one of an even count), 0 for none.
inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
