#pragma once
// Sign-in: the DNI first, then the password for a DNI that is registered in the
// user file. The outcome goes to the shared state (blnAccesoConcedido, ...).
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmUsuario : public QDialog {
    Q_OBJECT
public:
    explicit frmUsuario(QWidget* parent = nullptr);

    // Creates the dialog and runs it modally; returns when it has closed. A user
    // file that could not be loaded closes it at once.
    static void Mostrar();

    bool usuariosCargados() const { return cargado_; }

    QLabel* Label1;
    QLineEdit* txtDNI;
    QPushButton* cmdAceptarDNI;
    QLabel* lblPwd;
    QLineEdit* txtPwd;
    QPushButton* cmdAceptarPwd;
    QPushButton* cmdSalir;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void cmdAceptarDNI_Click();
    void cmdAceptarPwd_Click();
    void txtDNI_LostFocus();

    bool cargado_ = false;
    bool validando_ = false;
};
