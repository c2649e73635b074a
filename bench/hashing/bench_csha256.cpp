#include "hashing/CSHA256.h"
#include "users/Validacion.h"

#include <benchmark/benchmark.h>

// Digest of 1 MiB of text.
static void BM_CSHA256_1MiB(benchmark::State& state)
{
    QString texto(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < texto.size(); ++i)
        texto[i] = QLatin1Char(char('a' + i % 26));
    const CSHA256 sha;
    for (auto _ : state)
        benchmark::DoNotOptimize(sha.SHA256(texto));
    state.SetBytesProcessed(state.iterations() * texto.size());
}
BENCHMARK(BM_CSHA256_1MiB)->Unit(benchmark::kMillisecond);

// The stored form of a DNI.
static void BM_HuellaTexto_DNI(benchmark::State& state)
{
    const QString dni = QStringLiteral("12345678Z");
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::HuellaTexto(dni));
}
BENCHMARK(BM_HuellaTexto_DNI)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
