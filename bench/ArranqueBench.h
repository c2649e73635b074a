#pragma once
// main() of the benchmarks that need widgets: offscreen unless a platform is
// chosen, the program folder of this build unless another is given.
#include <QApplication>
#include <benchmark/benchmark.h>

inline int EjecutarBenchmarks(int argc, char** argv, const char* carpetaPrograma)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("VARELIO_PROGRAM_DIR"))
        qputenv("VARELIO_PROGRAM_DIR", carpetaPrograma);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
