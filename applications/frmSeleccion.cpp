#include "applications/frmSeleccion.h"
#include "ui_frmSeleccion.h"

#include "applications/Borrador.h"
#include "applications/ListaSolicitudes.h"
#include "applications/Navegacion.h"
#include "applications/NombresSolicitud.h"

#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/frmProgreso.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPointer>
#include <QPushButton>

namespace {
QPointer<frmSeleccion> g_instancia;
}

frmSeleccion* frmSeleccion::Mostrar()
{
    if (!g_instancia)
        g_instancia = new frmSeleccion;
    g_instancia->show();
    g_instancia->raise();
    g_instancia->activateWindow();
    return g_instancia;
}

frmSeleccion::frmSeleccion(QWidget* parent) : QDialog(parent)
{
    Ui::frmSeleccion ui; // the layout; the window keeps the controls it needs
    ui.setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    Frame1 = ui.Frame1;
    Label1 = ui.Label1;
    cboSolicitudes = ui.cboSolicitudes;
    cmdNueva = ui.cmdNueva;
    cmdCargar = ui.cmdCargar;
    cmdBorrar = ui.cmdBorrar;

    connect(cmdCargar, &QPushButton::clicked, this, &frmSeleccion::cmdCargar_Click);
    connect(cmdNueva, &QPushButton::clicked, this, &frmSeleccion::cmdNueva_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmSeleccion::cmdBorrar_Click);

    if (!estado().rsSolicitudes.isEmpty())
        ModCargaFicheros::EnlazarCombo(cboSolicitudes, estado().rsSolicitudes);
    else
        cboSolicitudes->setCurrentIndex(-1);
}

bool frmSeleccion::haySeleccion()
{
    if (!cboSolicitudes->currentText().isEmpty())
        return true;
    MessageBox::show(QStringLiteral("Seleccione una Solicitud"), QStringLiteral("Solicitudes"), QMessageBox::Warning);
    return false;
}

bool frmSeleccion::NombrePorDefecto()
{
    if (!estado().frmSolicitudActual)
        return false;
    const Navegacion::Formulario& formulario = Navegacion::Registrado();
    const QString nombre = NombresSolicitud::NombrePorDefecto(formulario.dni());
    formulario.nombrar(nombre);
    return NombresSolicitud::Existe(estado().strRutaTemp, nombre);
}

void frmSeleccion::cmdCargar_Click()
{
    if (!haySeleccion())
        return;
    estado().strFicheroSeleccionado = cboSolicitudes->currentText();
    hide();
    frmProgreso::Mostrar();
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const bool abierta = Navegacion::Registrado().abrir();
    QApplication::restoreOverrideCursor();
    if (abierta) {
        close();
        return;
    }
    // Not opened (the user was told why): back to the list.
    estado().strFicheroSeleccionado.clear();
    show();
}

void frmSeleccion::cmdNueva_Click()
{
    frmProgreso::Mostrar();
    const Navegacion::Formulario& formulario = Navegacion::Registrado();
    formulario.abrir();
    if (NombrePorDefecto()) {
        // The default name is taken: a name that no stored application has.
        formulario.nombrar(NombresSolicitud::NombreNuevo(formulario.dni(), estado().strRutaTemp));
    }
    close();
}

void frmSeleccion::cmdBorrar_Click()
{
    if (!haySeleccion())
        return;
    if (MessageBox::show(QStringLiteral("¿Desea borrar esta solicitud?"), QStringLiteral("Borrar"),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    auto& e = estado();
    e.strFicheroSeleccionado = cboSolicitudes->currentText();
    // A file that is missing or cannot be deleted is passed over.
    QFile::remove(e.strRutaTemp + e.strFicheroSeleccionado);
    QFile::remove(e.strRutaTemp + NombresSolicitud::Acompanante(e.strFicheroSeleccionado));
    QFile::remove(e.strRutaTemp + NombresSolicitud::CopiaPdf(e.strFicheroSeleccionado)); // its printed copy
    Borrador::Quitar(e.strRutaTemp, e.strFicheroSeleccionado);                           // its recovery copy
    const qint16 n = ModCargaFicheros::ContarSolicitudes(e.strFicheroSeleccionado.left(9));
    if (n == 0) {
        cmdCargar->setEnabled(false);
        cmdBorrar->setEnabled(false);
        cboSolicitudes->setEnabled(false);
    }
    cboSolicitudes->clear();
    if (!e.rsSolicitudes.isEmpty())
        ModCargaFicheros::EnlazarCombo(cboSolicitudes, e.rsSolicitudes);
    e.strFicheroSeleccionado.clear();
}
