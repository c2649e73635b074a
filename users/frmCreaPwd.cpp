#include "users/frmCreaPwd.h"
#include "ui_frmCreaPwd.h"

#include "users/Validacion.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmCreaPwd::frmCreaPwd(QWidget* parent) : QDialog(parent)
{
    // The layout is frmCreaPwd.ui.
    Ui::frmCreaPwd ui;
    ui.setupUi(this);
    Label1 = ui.Label1;
    Label2 = ui.Label2;
    txtPwd = {ui.txtPwd0, ui.txtPwd1};
    cmdAceptar = ui.cmdAceptar;
    cmdSalir = ui.cmdSalir;
    txtPwd[0]->setFocus();

    txtPwd[0]->installEventFilter(this);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmCreaPwd::cmdAceptar_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);
}

bool frmCreaPwd::eventFilter(QObject* objeto, QEvent* evento)
{
    // Enter in the first box goes on to the second; only there does it confirm.
    if (objeto == txtPwd[0] && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            txtPwd[1]->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void frmCreaPwd::vaciar()
{
    txtPwd[0]->clear();
    txtPwd[1]->clear();
    txtPwd[0]->setFocus();
}

void frmCreaPwd::cmdAceptar_Click()
{
    if (txtPwd[0]->text().size() < 6 || txtPwd[1]->text().size() < 6) {
        MessageBox::show(QStringLiteral("El password debe tener al menos 6 caracteres"));
        vaciar();
        return;
    }
    if (txtPwd[0]->text() != txtPwd[1]->text()) {
        MessageBox::show(QStringLiteral("Escriba la misma contraseña en las dos casillas"));
        vaciar();
        return;
    }
    Validacion::BajaUsuario(strDNI);
    if (const Resultado alta = Validacion::AltaUsuario(strDNI, Validacion::Mayusculas(txtPwd[0]->text())); !alta) {
        // Back to what the file holds, old password included.
        Validacion::CargaUsuarios(estado().strRutaUsuarios);
        MessageBox::show(
            QStringLiteral("No se ha podido guardar la contraseña en el fichero de usuarios.\n") + alta.motivo, {},
            QMessageBox::Critical);
        return;
    }
    accept();
}
