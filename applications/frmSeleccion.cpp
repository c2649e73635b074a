#include "applications/frmSeleccion.h"

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
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

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
    setObjectName(QStringLiteral("frmSeleccion"));
    setWindowTitle(QStringLiteral("CargarSolicitud"));
    setAttribute(Qt::WA_DeleteOnClose);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Label1 = new QLabel(QStringLiteral("&Ficheros de Solicitudes"), Frame1);
    Label1->setObjectName(QStringLiteral("Label1"));
    cboSolicitudes = new QComboBox(Frame1);
    cboSolicitudes->setObjectName(QStringLiteral("cboSolicitudes"));
    cboSolicitudes->setMinimumContentsLength(25);
    Label1->setBuddy(cboSolicitudes);
    cmdNueva = new QPushButton(QStringLiteral("Solicitud &Nueva"), Frame1);
    cmdNueva->setObjectName(QStringLiteral("cmdNueva"));
    cmdCargar = new QPushButton(QStringLiteral("&Cargar Solicitud"), Frame1);
    cmdCargar->setObjectName(QStringLiteral("cmdCargar"));
    cmdBorrar = new QPushButton(QStringLiteral("&Borrar Solicitud"), Frame1);
    cmdBorrar->setObjectName(QStringLiteral("cmdBorrar"));
    for (QPushButton* b : {cmdNueva, cmdCargar, cmdBorrar})
        b->setAutoDefault(false);
    // Enter loads the application chosen in the list.
    cmdCargar->setDefault(true);

    auto* rejilla = new QGridLayout(Frame1);
    rejilla->addWidget(Label1, 0, 0, 1, 3);
    rejilla->addWidget(cboSolicitudes, 1, 0, 1, 3);
    rejilla->addWidget(cmdNueva, 2, 0);
    rejilla->addWidget(cmdCargar, 2, 1);
    rejilla->addWidget(cmdBorrar, 2, 2);
    auto* capa = new QVBoxLayout(this);
    capa->addWidget(Frame1);

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
