#include "startup/Arranque.h"

#include "startup/AbrirSolicitud.h"
#include "startup/RecuperacionBorrador.h"

#include "applications/ListaSolicitudes.h"
#include "applications/frmSeleccion.h"
#include "documents/BmpCodigo.h"
#include "shell/CarpetaDatos.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/frmProgreso.h"
#include "users/frmUsuario.h"

#include <QApplication>

namespace ModGeneral {

void LimpiarRestos()
{
    const auto& e = estado();
    // Only this program's temporary files that no running copy holds: what a
    // killed run left. Barcode bitmaps are held the same way while a copy prints.
    const QString datos = e.carpetaDatos();
    for (const QString& carpeta : {datos, e.strRutaFicheros})
        if (!carpeta.isEmpty())
            LimpiarTemporales(carpeta);
    if (!e.strRutaTemp.isEmpty())
        LimpiarTemporales(e.strRutaTemp, {ModWord::PatronBmp()});
}

Resultado Main()
{
    EnlazarVentanas();
    auto& e = estado();
    if (e.strRutaPrograma.isEmpty())
        e.strRutaPrograma = QCoreApplication::applicationDirPath();
    if (e.strRutaDatos.isEmpty())
        e.strRutaDatos = CarpetaDatos::Elegir(e.strRutaPrograma);
    // Read-only files come from the program folder, what the program writes
    // goes to the data folder (the same folder unless the program is installed).
    e.strRutaFicheros = e.strRutaPrograma + QStringLiteral("/ficheros/");
    e.strRutaTemp = e.strRutaDatos + QStringLiteral("/ficheros/temp/");
    // A fresh install lacks the data folders; the listing needs them.
    if (const int error = CarpetaDatos::Preparar(e.strRutaDatos))
        return Resultado::Fallo(
            QStringLiteral("No se puede crear la carpeta de datos %1: %2.").arg(e.strRutaDatos, MotivoError(error)));
    LimpiarRestos();

    frmUsuario::Mostrar();
    if (!e.blnAccesoConcedido)
        return Resultado::Correcto();
    // A new application that a run ended without storing comes before the list.
    if (RecuperacionBorrador::OfrecerNuevas())
        return Resultado::Correcto();

    // Busy only while the program works, never while a window waits for the user.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const qint16 n = ModCargaFicheros::ContarSolicitudes(e.strDNIActual);
    QApplication::restoreOverrideCursor();
    if (n >= 1) {
        frmSeleccion::Mostrar();
    } else {
        frmProgreso::Mostrar();
        QApplication::setOverrideCursor(Qt::BusyCursor);
        AbrirSolicitud();
        QApplication::restoreOverrideCursor();
    }
    return Resultado::Correcto();
}

} // namespace ModGeneral
