#include "ModGeneral.h"

#include "EstadoCompartido.h"
#include "frmProgreso.h"
#include "applications/ListaSolicitudes.h"
#include "applications/frmSeleccion.h"
#include "users/frmUsuario.h"

#include <QApplication>
#include <QDir>

namespace ModGeneral {

void Main()
{
    auto& e = estado();
    if (e.strRutaPrograma.isEmpty())
        e.strRutaPrograma = QCoreApplication::applicationDirPath();
    e.strRutaFicheros = e.strRutaPrograma + QStringLiteral("/ficheros/");
    e.strRutaTemp = e.strRutaPrograma + QStringLiteral("/ficheros/temp/");
    // A fresh install may lack the applications folder; the listing needs it.
    QDir().mkpath(e.strRutaTemp);

    frmUsuario::Mostrar();
    if (!e.blnAccesoConcedido)
        return;

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
}

} // namespace ModGeneral
