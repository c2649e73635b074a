#include "form/EscrituraSolicitud.h"

#include "applications/NombresSolicitud.h"
#include "documents/CamposDocumento.h"
#include "documents/ModWord.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

#include <memory>

namespace EscrituraSolicitud {

namespace {

bool NoGuardada(bool imprimir, const QString& motivo)
{
    MessageBox::show((imprimir ? QStringLiteral("La solicitud no se ha guardado ni impreso.\n")
                               : QStringLiteral("La solicitud no se ha guardado.\n"))
            + motivo
            + QStringLiteral("\nLos datos siguen en el formulario y el fichero guardado antes no ha cambiado."),
        {}, QMessageBox::Critical);
    return false;
}

} // namespace

ModWord::Escrito Generar(Escritor escritor, const QString& fichero, const QString& carpeta,
    FormularioDocumento& formulario, frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo,
    bool nombreNuevo)
{
    // The bar fills once the user has read what became of the printed copy.
    ModWord::Avance avance;
    bool terminado = false;
    QProgressBar* barra = progreso ? progreso->prgBar : nullptr;
    if (barra) {
        avance.total = [barra](int pasos) { barra->setMaximum(pasos); };
        avance.paso = [barra] { barra->setValue(barra->value() + 1); };
        avance.fin = [&terminado] { terminado = true; };
    }
    const ModWord::Escrito escrito
        = escritor(fichero, carpeta, &formulario, avance, codigo, imprimir, segundo, nombreNuevo);
    if (!escrito.sinCodigo.isEmpty())
        MessageBox::show(QStringLiteral("La solicitud se ha guardado, pero no se ha impreso.\n") + escrito.sinCodigo,
            QStringLiteral("Impresión"), QMessageBox::Critical);
    if (escrito.falloImpresion)
        MessageBox::show(*escrito.falloImpresion);
    if (escrito.impreso) {
        // Without a printer nothing is being printed: only where the copy went.
        if (!escrito.pdf.isEmpty())
            MessageBox::show(
                QStringLiteral("No hay ninguna impresora instalada. La copia impresa se ha guardado en el archivo:\n%1")
                    .arg(QDir::toNativeSeparators(escrito.pdf)),
                QStringLiteral("Impresión"), QMessageBox::Information);
        else
            MessageBox::show(QStringLiteral("IMPORTANTE: Espere unos momentos, se está imprimiendo la solicitud. "
                                            "Cuando estén todas las hojas impresas, pulse el botón Aceptar."),
                QStringLiteral("Impresión"), QMessageBox::Information);
        formulario.HabilitarEscritura(false);
    }
    if (terminado)
        barra->setValue(barra->maximum());
    return escrito;
}

bool PlantillaAntigua(const QString& versionWord) { return versionWord.toInt() <= 8; }

bool Escribir(FormularioDocumento& formulario, Stelcodex* codigo, QString& fichero, bool reservar,
    const QString& accion, bool imprimir, bool segundo)
{
    const QString carpeta = estado().strRutaTemp;
    auto progreso = std::make_unique<frmProgresoGeneral>();
    progreso->lblAccion->setText(accion);
    progreso->show();
    const auto escritor
        = PlantillaAntigua(estado().strVersionWord) ? &ModWord::GenerarDocumentoW97 : &ModWord::GenerarDocumentoWXP;
    const ModWord::Escrito escrito
        = Generar(escritor, fichero, carpeta, formulario, progreso.get(), codigo, imprimir, segundo, reservar);
    progreso->close();
    if (!escrito)
        return NoGuardada(imprimir, escrito.motivo);
    if (!escrito.fichero.isEmpty())
        fichero = escrito.fichero;
    return true;
}

} // namespace EscrituraSolicitud
