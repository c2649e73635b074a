// varelio-lector against Debian's ZXingReader (zxing-cpp-tools) on the same
// inputs, each a whole run of the program as a user starts it: one 300-dpi PNG
// scan, ten of them in one run, and a PDF of 50 applications (against
// pdftoppm rendering it at 200 dpi followed by ZXingReader on the pages).
// Each benchmark reports pages per second.
#include "bench/ArranqueBench.h"
#include "tests/lector/LoteSolicitudes.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Entradas {
    QTemporaryDir dir;
    QString pdf;
    QStringList pngs; // pages 1 to 10 at 300 dpi

    Entradas()
    {
        // VARELIO_CONSERVAR=1 keeps the inputs, to look at them or time other tools.
        if (qEnvironmentVariableIsSet("VARELIO_CONSERVAR")) {
            dir.setAutoRemove(false);
            qInfo("entradas en %s", qPrintable(dir.path()));
        }
        pdf = dir.filePath(QStringLiteral("lote.pdf"));
        LoteSolicitudes::Escribir(pdf, 50, {}, 0, false);
        QProcess::execute(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-png"), QStringLiteral("-l"),
                QStringLiteral("10"), pdf, dir.filePath(QStringLiteral("escaneo"))});
        const QDir d(dir.path());
        for (const QString& png : d.entryList({QStringLiteral("escaneo-*.png")}, QDir::Files, QDir::Name))
            pngs << d.filePath(png);
    }
};

Entradas& entradas()
{
    static Entradas e;
    return e;
}

// Runs the program once per iteration. `paginas` must all read when `todas`;
// the symbols read are reported either way.
void Ejecutar(
    benchmark::State& estado, const QString& programa, const QStringList& argumentos, int paginas, bool todas = true)
{
    qsizetype leidas = 0;
    for (auto _ : estado) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(programa, argumentos);
        p.waitForFinished(-1);
        const QByteArray salida = p.readAllStandardOutput();
        leidas = salida.count("u|1000");
        if (p.exitStatus() != QProcess::NormalExit || (todas && leidas < paginas)) {
            estado.SkipWithError("not every page read");
            return;
        }
    }
    estado.counters["paginas/s"] = benchmark::Counter(double(paginas), benchmark::Counter::kIsIterationInvariantRate);
    estado.counters["leidas"] = double(leidas);
}

const QString kLector = QStringLiteral(VARELIO_LECTOR);
const QString kZXing = QStringLiteral("ZXingReader");

void LectorUnaImagen(benchmark::State& s)
{
    Ejecutar(s, kLector, {QStringLiteral("-f"), QStringLiteral("jsonl"), entradas().pngs.first()}, 1);
}
void ZXingReaderUnaImagen(benchmark::State& s) { Ejecutar(s, kZXing, {entradas().pngs.first()}, 1, false); }
void LectorDiezImagenes(benchmark::State& s)
{
    Ejecutar(s, kLector, QStringList{QStringLiteral("-f"), QStringLiteral("jsonl")} + entradas().pngs, 10);
}
void ZXingReaderDiezImagenes(benchmark::State& s) { Ejecutar(s, kZXing, entradas().pngs, 10, false); }
void LectorPdf50(benchmark::State& s)
{
    Ejecutar(s, kLector, {QStringLiteral("-f"), QStringLiteral("jsonl"), entradas().pdf}, 50);
}
// What an office could do without the reader: render the pages, then decode them.
void PdftoppmYZXingReader50(benchmark::State& s)
{
    const QString script = QStringLiteral("d=$(mktemp -d) && pdftoppm -r 200 -gray -png \"$1\" \"$d/p\" && ZXingReader "
                                          "\"$d\"/p-*.png; r=$?; rm -rf \"$d\"; exit $r");
    Ejecutar(s, QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral("sh"), entradas().pdf}, 50, false);
}

} // namespace

BENCHMARK(LectorUnaImagen)->Unit(benchmark::kMillisecond)->Repetitions(5)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(ZXingReaderUnaImagen)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);
BENCHMARK(LectorDiezImagenes)->Unit(benchmark::kMillisecond)->Repetitions(3)->UseRealTime()->ReportAggregatesOnly(true);
BENCHMARK(ZXingReaderDiezImagenes)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);
BENCHMARK(LectorPdf50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);
BENCHMARK(PdftoppmYZXingReader50)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3)
    ->UseRealTime()
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return EjecutarBenchmarks(argc, argv, VARELIO_PROGRAM_DIR); }
