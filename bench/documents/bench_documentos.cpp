// "Guardar" and "Imprimir" of a filled application, from the menu handler to
// the stored file (and, for printing, the PDF of the printed copy), and the
// part of "Imprimir" that reads the barcode bitmap back before printing.
#include "bench/ArranqueBench.h"
#include "tests/support/CarpetaPrograma.h"

#include "documents/CodigoImpreso.h"
#include "documents/BmpCodigo.h"
#include "documents/ModWord.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "users/Validacion.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <stelcode/Stelcodex.h>

#include <benchmark/benchmark.h>

namespace {

const QString kDNI = QStringLiteral("12345678Z");

// A registered user with a filled form, as after sign-in and typing.
struct Escenario {
    CarpetaPrograma carpeta;
    std::unique_ptr<frmSolicitudes> f;

    Escenario()
    {
        MessageBox::setTestMode(true);
        Validacion::CargaUsuarios(Validacion::PrepararUsuarios(estado().strRutaPrograma));
        Validacion::AltaUsuario(kDNI, QStringLiteral("SECRETO1"));
        estado().strDNIActual = kDNI;
        estado().blnTienePassword = true;
        f = std::make_unique<frmSolicitudes>();
        f->show();
        f->txtDNI->setText(kDNI);
        f->txtApellidos->setText(QStringLiteral("Muñoz Peña"));
        f->txtNombre->setText(QStringLiteral("José María"));
        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        f->txtNacionalidad->setText(QStringLiteral("Española"));
        f->txtTfno->setText(QStringLiteral("983123456"));
        f->txtDireccion->setText(QStringLiteral("C/ Mayor"));
        f->txtMunicipio->setText(QStringLiteral("Valladolid"));
        f->txtProvincia->setText(QStringLiteral("Valladolid"));
        f->txtCP->setText(QStringLiteral("47001"));
        f->txtTitulacion->setText(QStringLiteral("Licenciado en Medicina y Cirugía"));
        for (int i = 0; i < 11; ++i)
            f->txtArea[i]->setText(QString::number(i + 1));
        f->chkDocu[1]->setCheckState(Qt::Checked);
        f->txtCiudad->setText(QStringLiteral("León"));
        f->txtDia->setText(QStringLiteral("7"));
        f->txtMes->setText(QStringLiteral("diciembre"));
        f->txtAño->setText(QStringLiteral("2006"));
    }
    ~Escenario()
    {
        f->blnCerrarSinPreguntar = true;
        f.reset();
        Word::quitAllInstances();
    }
};

void Guardar(benchmark::State& state)
{
    Escenario e;
    const QString fichero = estado().strRutaTemp + kDNI + QStringLiteral(".doc");
    for (auto _ : state) {
        e.f->mnuP_Click(2000);
        if (!QFile::exists(fichero))
            state.SkipWithError("no file written");
    }
}

void Imprimir(benchmark::State& state)
{
    Escenario e;
    Word::setPrintOutputPdf(e.carpeta.ruta(QStringLiteral("impreso.pdf")));
    for (auto _ : state) {
        for (int i : {1000, 2000, 2500})
            e.f->mnuP.at(i)->setEnabled(true);
        e.f->mnuP_Click(1000);
    }
    Word::setPrintOutputPdf({});
    if (!QFile::exists(e.carpeta.ruta(QStringLiteral("impreso.pdf"))))
        state.SkipWithError("nothing printed");
}

// The cost of the safe write inside "Guardar": one stored application's bytes
// through the safe-write routine (owner-only temporary file, checked writes,
// fsync, rename, folder sync) against a plain overwrite that syncs nothing.
QByteArray BytesGuardados(Escenario& e)
{
    e.f->mnuP_Click(2000);
    QFile f(estado().strRutaTemp + kDNI + QStringLiteral(".doc"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void EscrituraSegura(benchmark::State& state)
{
    Escenario e;
    const QByteArray bytes = BytesGuardados(e);
    const QString ruta = e.carpeta.ruta(QStringLiteral("segura.doc"));
    for (auto _ : state)
        if (!EscribirFicheroSeguro(ruta, bytes))
            state.SkipWithError("not written");
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void EscrituraDirecta(benchmark::State& state)
{
    Escenario e;
    const QByteArray bytes = BytesGuardados(e);
    const QString ruta = e.carpeta.ruta(QStringLiteral("directa.doc"));
    for (auto _ : state) {
        QFile f(ruta);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            state.SkipWithError("not written");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

// The self-check alone: the bitmap of a payload of state.range(0) characters
// read back with ZXing and compared with the payload.
void ComprobarCodigo(benchmark::State& state)
{
    CarpetaPrograma carpeta;
    Stelcodex control;
    QString datos = QStringLiteral("u|12345678Z|Mu\u00f1oz Pe\u00f1a|Jos\u00e9 Mar\u00eda|19700201|");
    while (datos.size() < state.range(0))
        datos += QStringLiteral("avenida de la constitucion 27 ");
    datos.truncate(int(state.range(0)));
    qint16 alto = 2000;
    const QString bmp = ModWord::GenerarBmpCodigo(datos, &control, 6000, alto).valor + QStringLiteral(".bmp");
    const QByteArray esperado = CodigoImpreso::BytesCodificados(datos);
    for (auto _ : state) {
        if (!CodigoImpreso::Comprobar(bmp, esperado))
            state.SkipWithError("the bitmap does not read back");
    }
}

} // namespace

BENCHMARK(EscrituraSegura)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(EscrituraDirecta)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(ComprobarCodigo)
    ->Arg(300)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(Guardar)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(Imprimir)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return EjecutarBenchmarks(argc, argv, VARELIO_PROGRAM_DIR); }
