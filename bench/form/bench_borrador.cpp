// The recovery copy of an open form: one draft written through the safe-write
// routine (wall and CPU time), and the time the user-interface thread spends
// per draft, taking the form's values and handing them to the writer thread
// (goal: under 1 ms).
#include "bench/ArranqueBench.h"
#include "applications/Borrador.h"
#include "form/CopiaRecuperacion.h"
#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kDNI = QStringLiteral("12345678Z");

// A whole application, as a candidate fills it in.
void Rellenar(frmSolicitudes& f)
{
    f.txtDNI->setText(kDNI);
    f.txtApellidos->setText(QStringLiteral("Muñoz Peña"));
    f.txtNombre->setText(QStringLiteral("José María"));
    f.txtFechaNac->setText(QStringLiteral("01/02/1970"));
    f.txtNacionalidad->setText(QStringLiteral("Española"));
    f.txtDireccion->setText(QStringLiteral("Calle de la Constitución"));
    f.txtMunicipio->setText(QStringLiteral("Ponferrada"));
    f.txtTitulacion->setText(QStringLiteral("Licenciado en Medicina y Cirugía"));
    for (int i = 0; i < 11; ++i)
        f.txtArea[i]->setText(QString::number(i + 1));
    f.chkDocu[1]->setCheckState(Qt::Checked);
    f.txtCiudad->setText(QStringLiteral("León"));
}

void EscribirBorrador(benchmark::State& state)
{
    QTemporaryDir dir;
    frmSolicitudes f;
    Rellenar(f);
    Borrador::Datos datos{
        kDNI + QStringLiteral(".doc"), kDNI, QDateTime::currentDateTimeUtc(), CopiaRecuperacion::Leer(f.Controles())};
    const QString carpeta = dir.path() + QLatin1Char('/');
    for (auto _ : state) {
        if (!Borrador::Escribir(carpeta, datos))
            state.SkipWithError("draft not written");
    }
    state.SetBytesProcessed(state.iterations() * Borrador::Serializar(datos).size());
}

void HiloInterfaz(benchmark::State& state)
{
    QTemporaryDir dir;
    MessageBox::setTestMode(true);
    estado().strRutaTemp = dir.path() + QLatin1Char('/');
    estado().strDNIActual = kDNI;
    frmSolicitudes f;
    f.show();
    Rellenar(f);
    f.PonerFocoInicial(); // watched from here on; what it holds counts as stored
    CopiaRecuperacion& copia = f.Recuperacion();
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        f.txtNombre->setText(QStringLiteral("José María %1").arg(++n)); // a change to write
        state.ResumeTiming();
        copia.Actualizar();
        state.PauseTiming();
        copia.Esperar(); // the write itself, off this thread
        state.ResumeTiming();
    }
    if (!QFile::exists(estado().strRutaTemp + Borrador::Nombre(kDNI + QStringLiteral(".doc"))))
        state.SkipWithError("no draft written");
    f.blnCerrarSinPreguntar = true;
}

} // namespace

BENCHMARK(EscribirBorrador)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(HiloInterfaz)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return EjecutarBenchmarks(argc, argv, VARELIO_PROGRAM_DIR); }
