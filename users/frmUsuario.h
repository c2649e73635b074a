#pragma once
// Sign-in: the DNI first, then the password for a DNI that is registered in the
// user file. The outcome goes to the shared state (blnAccesoConcedido, ...).
#include <QDialog>

#include <future>
#include <memory>

namespace Validacion {
struct UsuariosLeidos;
}

class QLabel;
class QLineEdit;
class QPushButton;

class frmUsuario : public QDialog {
    Q_OBJECT
public:
    explicit frmUsuario(QWidget* parent = nullptr);
    ~frmUsuario() override;

    // Creates the dialog and runs it modally; returns when it has closed. A user
    // file that could not be loaded closes it at once.
    static void Mostrar();

    // Waits for the user file read at load and puts it in use; false (and the
    // dialog closes) when it could not be loaded.
    bool usuariosCargados();

    QLabel* Label1;
    QLineEdit* txtDNI;
    QPushButton* cmdAceptarDNI;
    QLabel* lblPwd;
    QLineEdit* txtPwd;
    QPushButton* cmdAceptarPwd;
    QPushButton* cmdSalir;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void paintEvent(QPaintEvent* evento) override;

private:
    void cmdAceptarDNI_Click();
    void cmdAceptarPwd_Click();
    void txtDNI_LostFocus();
    // The DNI check, with its message when the DNI is not valid.
    bool validarDNI();
    void iniciarCarga();

    QString ruta_;
    std::future<std::shared_ptr<Validacion::UsuariosLeidos>> carga_;
    bool cargaIniciada_ = false;
    bool cargado_ = false;
    bool validando_ = false;
};
