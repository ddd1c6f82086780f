#pragma once

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace kivo::bench {

// Runs the registered benchmarks inside a Qt application; `prepare` makes the
// inputs once, outside every measurement.
inline int runBenchmarks(int argc, char** argv, const std::function<void()>& prepare = {})
{
    QCoreApplication app(argc, argv);
    if (prepare) {
        prepare();
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace kivo::bench
