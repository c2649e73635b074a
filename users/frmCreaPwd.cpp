#include "users/frmCreaPwd.h"

#include "users/Validacion.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmCreaPwd::frmCreaPwd(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCreaPwd"));
    setWindowTitle(QStringLiteral("Contraseña"));
    setModal(true);

    Label1 = new QLabel(QStringLiteral("&Contraseña"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("&Repita la Contraseña"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (int i = 0; i < 2; ++i) {
        txtPwd[i] = new QLineEdit(this);
        txtPwd[i]->setObjectName(QStringLiteral("txtPwd%1").arg(i));
        txtPwd[i]->setEchoMode(QLineEdit::Password);
        txtPwd[i]->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // shown as "*"
    }
    Label1->setBuddy(txtPwd[0]);
    Label2->setBuddy(txtPwd[1]);
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    cmdSalir->setAutoDefault(false);

    auto* capa = new QGridLayout(this);
    capa->addWidget(Label1, 0, 0);
    capa->addWidget(txtPwd[0], 0, 1);
    capa->addWidget(Label2, 1, 0);
    capa->addWidget(txtPwd[1], 1, 1);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdSalir);
    capa->addLayout(botones, 2, 0, 1, 2);

    setTabOrder(txtPwd[0], txtPwd[1]);
    setTabOrder(txtPwd[1], cmdAceptar);
    setTabOrder(cmdAceptar, cmdSalir);
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
