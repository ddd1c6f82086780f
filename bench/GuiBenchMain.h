#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>
#include <functional>

namespace kivo::bench {

// Runs the registered benchmarks inside a widget application, offscreen unless
// the caller chose a platform, since painting needs one but no display.
// `prepare` (fonts, inputs) and `finish` run outside every measurement.
inline int runGuiBenchmarks(int argc, char** argv, const std::function<void()>& prepare,
    const std::function<void()>& finish = {})
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    prepare();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (finish) {
        finish();
    }
    return 0;
}

} // namespace kivo::bench
