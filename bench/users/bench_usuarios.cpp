// Sign-in lookups against a user file of 10,000 registered users.
#include "shell/EstadoCompartido.h"
#include "users/Validacion.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Usuarios = 10000;

QString dniDe(int i)
{
    const int numero = 10000000 + i;
    return QString::number(numero) + QLatin1Char("TRWAGMYFPDXBNJZSQVHLCKE"[numero % 23]);
}

// Written once per run; the last registered DNI is the worst case for a lookup.
const QString& fichero()
{
    static QTemporaryDir dir;
    static const QString ruta = [] {
        const QString r = dir.path() + QStringLiteral("/usuarios.xml");
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Usuarios>";
        for (int i = 0; i < Usuarios; ++i)
            xml += "<Usuario><DNI>" + Validacion::HuellaTexto(dniDe(i)).toLatin1() + "</DNI><Pwd>"
                + Validacion::HuellaTexto(QStringLiteral("CLAVE%1").arg(i)).toLatin1() + "</Pwd></Usuario>";
        xml += "</Usuarios>\r\n";
        QFile f(r);
        f.open(QIODevice::WriteOnly);
        f.write(xml);
        return r;
    }();
    return ruta;
}

} // namespace

static void BM_CargaUsuarios(benchmark::State& state)
{
    const QString ruta = fichero();
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::CargaUsuarios(ruta));
}
BENCHMARK(BM_CargaUsuarios)->Unit(benchmark::kMillisecond);

static void BM_ExisteUsuario(benchmark::State& state)
{
    Validacion::CargaUsuarios(fichero());
    const QString dni = dniDe(Usuarios - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::ExisteUsuario(dni));
}
BENCHMARK(BM_ExisteUsuario)->Unit(benchmark::kMillisecond);

static void BM_ExisteUsuario_NoRegistrado(benchmark::State& state)
{
    Validacion::CargaUsuarios(fichero());
    const QString dni = QStringLiteral("00000023T");
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::ExisteUsuario(dni));
}
BENCHMARK(BM_ExisteUsuario_NoRegistrado)->Unit(benchmark::kMillisecond);

static void BM_CompruebaPassword(benchmark::State& state)
{
    Validacion::CargaUsuarios(fichero());
    const QString dni = dniDe(Usuarios - 1);
    const QString clave = QStringLiteral("CLAVE%1").arg(Usuarios - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(Validacion::CompruebaPassword(dni, clave));
}
BENCHMARK(BM_CompruebaPassword)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
