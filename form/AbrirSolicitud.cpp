#include "frmSolicitudes.h"

#include "documents/ModWord.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"

#include <QLabel>
#include <QLineEdit>

namespace ModGeneral {

void AbrirSolicitud()
{
    auto* formulario = new frmSolicitudes;
    estado().frmSolicitudActual = formulario;
    formulario->show(); // the form's load steps run here

    // The DNI of an application is always the signed-in one.
    formulario->txtDNI->setText(estado().strDNIActual);
    formulario->txtDNI->setEnabled(false);
    if (!estado().strFicheroPorDefecto.isEmpty())
        formulario->lblFichero->setText(estado().strFicheroPorDefecto);
    if (!estado().strFicheroSeleccionado.isEmpty()) {
        try {
            ModWord::RecuperarSolicitud(estado().strFicheroSeleccionado, estado().strRutaTemp, formulario);
        } catch (...) {
            // The reader ends quietly on its own failures; anything that escapes
            // it must not take the program down.
            MessageBox::show(QStringLiteral("No se ha podido leer la solicitud ") + estado().strFicheroSeleccionado,
                             {}, QMessageBox::Critical);
        }
        formulario->lblFichero->setText(estado().strFicheroSeleccionado);
    }
}

} // namespace ModGeneral
