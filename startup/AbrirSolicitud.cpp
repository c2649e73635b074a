#include "startup/AbrirSolicitud.h"
#include "startup/RecuperacionBorrador.h"

#include "applications/Navegacion.h"
#include "applications/frmSeleccion.h"

#include "form/LecturaSolicitud.h"
#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/Fallos.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace ModGeneral {

bool AbrirSolicitud()
{
    // Changes a run ended without saving are offered before the form shows.
    const auto borrador = RecuperacionBorrador::Consultar(estado().strFicheroSeleccionado);
    auto* formulario = new frmSolicitudes;
    estado().frmSolicitudActual = formulario;
    // "Cargar otra solicitud": the list, without "Solicitud Nueva". A list that
    // cannot be shown is passed over: the menu handler skips its failing steps.
    QObject::connect(formulario, &frmSolicitudes::ListaSolicitada, formulario,
        [] { Ignorando([] { frmSeleccion::Mostrar()->cmdNueva->hide(); }); });
    formulario->show(); // the form's load steps run here

    // The DNI of an application is always the signed-in one.
    formulario->txtDNI->setText(estado().strDNIActual);
    formulario->txtDNI->setEnabled(false);
    if (!estado().strFicheroPorDefecto.isEmpty())
        formulario->lblFichero->setText(estado().strFicheroPorDefecto);
    if (estado().strFicheroSeleccionado.isEmpty()) {
        formulario->PonerFocoInicial();
        return true;
    }

    if (!LecturaSolicitud::Leer(estado().strFicheroSeleccionado, estado().strRutaTemp, *formulario)) {
        // A form left on a file it could not read would write over that file.
        // Hidden and destroyed rather than closed: closing the only window
        // would end the program before the caller shows the list again.
        formulario->hide();
        formulario->deleteLater();
        estado().frmSolicitudActual = nullptr;
        return false;
    }
    formulario->lblFichero->setText(estado().strFicheroSeleccionado);
    formulario->MarcarNombreReservado();
    if (borrador)
        formulario->RecuperarBorrador(borrador->campos);
    formulario->PonerFocoInicial();
    return true;
}

void EnlazarVentanas()
{
    Navegacion::Registrar({
        .abrir = &AbrirSolicitud,
        .dni = [] { return estado().frmSolicitudActual->txtDNI->text(); },
        .nombrar = [](const QString& nombre) { estado().frmSolicitudActual->lblFichero->setText(nombre); },
    });
}

} // namespace ModGeneral
