#include "users/frmUsuario.h"
#include "ui_frmUsuario.h"

#include "users/Validacion.h"
#include "applications/NombresSolicitud.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "shell/ValidaDNI.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>

frmUsuario::frmUsuario(QWidget* parent) : QDialog(parent)
{
    // The layout is frmUsuario.ui; here, what it cannot hold.
    Ui::frmUsuario ui;
    ui.setupUi(this);
    Label1 = ui.Label1;
    txtDNI = ui.txtDNI;
    cmdAceptarDNI = ui.cmdAceptarDNI;
    lblPwd = ui.lblPwd;
    txtPwd = ui.txtPwd;
    cmdAceptarPwd = ui.cmdAceptarPwd;
    cmdSalir = ui.cmdSalir;
    cmdAceptarDNI->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    cmdAceptarPwd->setIcon(style()->standardIcon(QStyle::SP_DialogOkButton));
    // In the layout: no button is auto-default, so Enter presses the current
    // stage's button, never "Salir"; and "Salir" takes no focus by click, so
    // leaving by mouse does not run the DNI check on the way out.
    // The password stage shows once the DNI is accepted.
    lblPwd->hide();
    txtPwd->hide();
    cmdAceptarPwd->hide();

    txtDNI->installEventFilter(this);
    // Pasted forms ("12.345.678-Z", a trailing line break) lose their separators too.
    Validacion::LimpiarDNIAlEditar(txtDNI);
    connect(cmdAceptarDNI, &QPushButton::clicked, this, &frmUsuario::cmdAceptarDNI_Click);
    connect(cmdAceptarPwd, &QPushButton::clicked, this, &frmUsuario::cmdAceptarPwd_Click);
    connect(cmdSalir, &QPushButton::clicked, this, &QDialog::reject);

    // Form load: the user file, from its template when it is missing. It is
    // read on another thread once the window is on screen; the DNI stage waits
    // for it.
    const auto& e = estado();
    ruta_ = Validacion::PrepararUsuarios(e.carpetaDatos(), e.strRutaPrograma);
    txtDNI->setFocus();
}

void frmUsuario::paintEvent(QPaintEvent* evento)
{
    QDialog::paintEvent(evento);
    if (!cargaIniciada_)
        QTimer::singleShot(0, this, &frmUsuario::iniciarCarga);
}

void frmUsuario::iniciarCarga()
{
    if (cargaIniciada_)
        return;
    cargaIniciada_ = true;
    carga_ = std::async(std::launch::async, [this, ruta = ruta_] {
        auto leidos = Validacion::LeerUsuarios(ruta);
        QMetaObject::invokeMethod(
            this, [this] { usuariosCargados(); }, Qt::QueuedConnection);
        return leidos;
    });
}

frmUsuario::~frmUsuario()
{
    if (carga_.valid())
        carga_.wait(); // its last step posts to this dialog
}

void frmUsuario::Mostrar()
{
    frmUsuario dialogo;
    dialogo.exec(); // closes itself when the user file cannot be loaded
}

bool frmUsuario::usuariosCargados()
{
    iniciarCarga();
    if (carga_.valid()) {
        const Resultado instalado = Validacion::InstalarUsuarios(carga_.get(), ruta_);
        cargado_ = instalado.bien;
        if (!instalado) {
            // Reading ran out of memory: say so rather than vanish.
            MessageBox::show(instalado.motivo + QStringLiteral(" El programa se cerrará."), {}, QMessageBox::Critical);
            QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        } else if (const Resultado legible = Validacion::FicheroLegible(); !legible) {
            MessageBox::show(legible.motivo, {}, QMessageBox::Warning);
        }
    }
    return cargado_;
}

bool frmUsuario::eventFilter(QObject* objeto, QEvent* evento)
{
    if (objeto != txtDNI)
        return QDialog::eventFilter(objeto, evento);
    switch (evento->type()) {
    case QEvent::FocusIn:
        // After the click that gave the focus, so the click does not undo it.
        QTimer::singleShot(0, txtDNI, &QLineEdit::selectAll);
        break;
    case QEvent::KeyPress: {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        if (tecla->key() == Qt::Key_Escape) {
            reject();
            return true;
        }
        // Separators and blanks are never entered, so the nine characters
        // that move on are digits and the letter.
        const QString t = tecla->text();
        if (t.size() == 1 && t.at(0).isPrint() && Validacion::LimpiarDNI(t).isEmpty())
            return true;
        break;
    }
    case QEvent::KeyRelease: {
        // The ninth character typed: on to the accept button, which runs the
        // check. Moving about the field (arrows, Tab back into it) does not jump.
        auto* tecla = static_cast<QKeyEvent*>(evento);
        const bool escribe
            = (!tecla->text().isEmpty() && tecla->text().at(0).isPrint()) || tecla->matches(QKeySequence::Paste);
        if (escribe && txtDNI->text().size() == 9 && txtDNI->hasFocus())
            ModGeneral::PulsarTab();
        break;
    }
    case QEvent::FocusOut: {
        // Only a move to another control of this dialog checks the DNI, not the
        // window losing the focus (another program, a message box).
        const auto razon = static_cast<QFocusEvent*>(evento)->reason();
        if (razon != Qt::ActiveWindowFocusReason && razon != Qt::PopupFocusReason && isVisible())
            txtDNI_LostFocus();
        break;
    }
    default:
        break;
    }
    return QDialog::eventFilter(objeto, evento);
}

bool frmUsuario::validarDNI()
{
    if (Validacion::ValidaDNI(txtDNI))
        return true;
    MessageBox::show(QStringLiteral("DNI no válido"), QStringLiteral("Error en DNI"), QMessageBox::Warning);
    return false;
}

void frmUsuario::txtDNI_LostFocus()
{
    if (validando_ || !txtDNI->isEnabled())
        return;
    validando_ = true;
    if (!validarDNI()) {
        txtDNI->clear();
        txtDNI->setFocus();
    }
    validando_ = false;
}

void frmUsuario::cmdAceptarDNI_Click()
{
    if (txtDNI->text().isEmpty())
        return;
    txtDNI->setText(Validacion::Mayusculas(txtDNI->text()));
    if (!validarDNI()) {
        MessageBox::show(
            QStringLiteral("El DNI introducido no es válido"), QStringLiteral("Varelio"), QMessageBox::Warning);
        return;
    }
    if (!usuariosCargados())
        return;
    auto& e = estado();
    e.strFicheroPorDefecto.clear();
    if (Validacion::ExisteUsuario(txtDNI->text())) {
        lblPwd->show();
        txtPwd->show();
        cmdAceptarPwd->show();
        cmdAceptarPwd->setDefault(true);
        e.blnTienePassword = true;
        txtPwd->setFocus();
        txtDNI->setEnabled(false);
        return;
    }
    e.strDNIActual = txtDNI->text();
    e.blnTienePassword = false;
    e.blnAccesoConcedido = true;
    e.strFicheroPorDefecto = NombresSolicitud::NombrePorDefecto(txtDNI->text());
    accept();
}

void frmUsuario::cmdAceptarPwd_Click()
{
    if (txtDNI->text().isEmpty() || txtPwd->text().isEmpty()) {
        MessageBox::show(QStringLiteral("Es obligatorio rellenar Usuario y Password"), QStringLiteral("Varelio"),
            QMessageBox::Warning);
        return;
    }
    if (Validacion::CompruebaPassword(Validacion::Mayusculas(txtDNI->text()), Validacion::Mayusculas(txtPwd->text()))) {
        estado().strDNIActual = txtDNI->text();
        estado().blnAccesoConcedido = true;
        accept();
        return;
    }
    MessageBox::show(QStringLiteral("Usuario no válido"), QStringLiteral("Varelio"), QMessageBox::Warning);
    // The wrong password stays, selected, so that retyping replaces it.
    txtPwd->setFocus(Qt::OtherFocusReason);
    txtPwd->selectAll();
}
