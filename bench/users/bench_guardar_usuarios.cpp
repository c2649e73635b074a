// "Guardar" of a registered user's application with 10 and with 100,000 users
// in the user file: the size of the user file should not show.
#include "bench/ArranqueBench.h"
#include "tests/support/CarpetaPrograma.h"
#include "bench/users/FicheroGrande.h"

#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include <benchmark/benchmark.h>

namespace {

const QString kDNI = QStringLiteral("12345678Z");

void Guardar(benchmark::State& state)
{
    CarpetaPrograma carpeta;
    MessageBox::setTestMode(true);
    {
        QFile f(estado().strRutaUsuarios);
        f.open(QIODevice::WriteOnly);
        f.write(usuariosXml(int(state.range(0))));
    }
    Validacion::CargaUsuarios(Validacion::PrepararUsuarios(estado().strRutaPrograma));
    Validacion::AltaUsuario(kDNI, QStringLiteral("SECRETO1"));
    estado().strDNIActual = kDNI;
    estado().blnTienePassword = true;
    auto f = std::make_unique<frmSolicitudes>();
    f->show();
    f->txtDNI->setText(kDNI);
    f->txtApellidos->setText(QStringLiteral("Muñoz Peña"));
    f->txtNombre->setText(QStringLiteral("José María"));
    f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
    for (int i = 0; i < 11; ++i)
        f->txtArea[i]->setText(QString::number(i + 1));
    f->chkDocu[1]->setCheckState(Qt::Checked);
    const QString fichero = estado().strRutaTemp + kDNI + QStringLiteral(".doc");
    for (auto _ : state) {
        f->mnuP_Click(2000);
        if (!QFile::exists(fichero))
            state.SkipWithError("no file written");
    }
    if (!MessageBox::shown().isEmpty())
        state.SkipWithError("a message was shown");
    f->blnCerrarSinPreguntar = true;
    f.reset();
    Word::quitAllInstances();
}

} // namespace

BENCHMARK(Guardar)->Arg(10)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) { return EjecutarBenchmarks(argc, argv, VARELIO_PROGRAM_DIR); }
