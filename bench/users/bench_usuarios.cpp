// The user store at 1,000, 10,000 and 100,000 registered users: loading, the
// lookups of sign-in, a registration, and the sign-in window's start against
// that of a bare dialog (both as a new process, as the user sees them).
#include "bench/users/FicheroGrande.h"

#include "shell/EstadoCompartido.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace {

QString cargar(int n)
{
    const QString ruta = carpetaConUsuarios(n) + QStringLiteral("/usuarios.xml");
    Validacion::CargaUsuarios(ruta);
    return ruta;
}

void CargaUsuarios(benchmark::State& state)
{
    const QString ruta = carpetaConUsuarios(int(state.range(0))) + QStringLiteral("/usuarios.xml");
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::CargaUsuarios(ruta));
}

// The last registered DNI, and one that is not registered.
void ExisteUsuario(benchmark::State& state)
{
    const int n = int(state.range(0));
    cargar(n);
    const QString dni = state.range(1) ? dniDe(n - 1) : QStringLiteral("00000023T");
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::ExisteUsuario(dni));
}

void CompruebaPassword(benchmark::State& state)
{
    const int n = int(state.range(0));
    cargar(n);
    const QString dni = dniDe(n - 1), clave = claveDe(n - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::CompruebaPassword(dni, clave));
}

// A new DNI each time, on a copy of the file so the others stay as they are.
void AltaUsuario(benchmark::State& state)
{
    const int n = int(state.range(0));
    QTemporaryDir dir;
    const QString ruta = dir.filePath(QStringLiteral("usuarios.xml"));
    QFile::copy(carpetaConUsuarios(n) + QStringLiteral("/usuarios.xml"), ruta);
    Validacion::CargaUsuarios(ruta);
    int i = n;
    for (auto _ : state)
        if (!Validacion::AltaUsuario(dniDe(i++), QStringLiteral("NUEVA")))
            state.SkipWithError("not registered");
}

// From starting the process to its window shown (the helper says "visto").
double segundosHastaVentana(const char* cual, const QString& carpeta)
{
    QProcess p;
    QElapsedTimer reloj;
    reloj.start();
    p.start(QStringLiteral(ARRANQUE), {QString::fromLatin1(cual), carpeta});
    while (!p.canReadLine() && p.waitForReadyRead(20000)) { }
    const double segundos = double(reloj.nsecsElapsed()) / 1e9;
    const bool visto = p.readLine().trimmed() == "visto";
    p.kill();
    p.waitForFinished();
    return visto ? segundos : -1;
}

double mediana(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// The sign-in window against a bare dialog, started in turns so that the load
// of a shared machine weighs on both alike. Time: the sign-in window; counters:
// the bare dialog's and an empty dialog's medians and the ratio of medians.
void VentanaUsuario(benchmark::State& state)
{
    const QString carpeta = carpetaConUsuarios(int(state.range(0)));
    std::vector<double> usuario, dialogo, vacio;
    for (auto _ : state) {
        usuario.push_back(segundosHastaVentana("frmUsuario", carpeta));
        dialogo.push_back(segundosHastaVentana("QDialog", carpeta));
        vacio.push_back(segundosHastaVentana("vacio", carpeta));
        if (usuario.back() < 0 || dialogo.back() < 0 || vacio.back() < 0)
            state.SkipWithError("no window");
        state.SetIterationTime(usuario.back());
    }
    state.counters["frmUsuario_ms"] = mediana(usuario) * 1e3;
    state.counters["QDialog_ms"] = mediana(dialogo) * 1e3;
    state.counters["vacio_ms"] = mediana(vacio) * 1e3;
    state.counters["relacion"] = mediana(usuario) / mediana(dialogo);
}

void ArgumentosUsuarios(benchmark::internal::Benchmark* b)
{
    for (int n : {1000, 10000, 100000})
        b->Arg(n);
}

} // namespace

BENCHMARK(CargaUsuarios)->Apply(ArgumentosUsuarios)->Unit(benchmark::kMillisecond);
BENCHMARK(ExisteUsuario)->ArgsProduct({{1000, 10000, 100000}, {1, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(CompruebaPassword)->Apply(ArgumentosUsuarios)->Unit(benchmark::kMicrosecond);
BENCHMARK(AltaUsuario)->Apply(ArgumentosUsuarios)->Unit(benchmark::kMillisecond);
BENCHMARK(VentanaUsuario)
    ->Arg(0)
    ->Apply(ArgumentosUsuarios)
    ->UseManualTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
