#pragma once
// Creates or replaces the password of a DNI: the same password twice, at least
// six characters. Run modally with exec(); the opener sets strDNI first.
#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class frmCreaPwd : public QDialog {
    Q_OBJECT
public:
    explicit frmCreaPwd(QWidget* parent = nullptr);

    QString strDNI;

    QLabel* Label1;
    QLabel* Label2;
    std::array<QLineEdit*, 2> txtPwd; // objectNames "txtPwd0" and "txtPwd1"
    QPushButton* cmdAceptar;
    QPushButton* cmdSalir;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void cmdAceptar_Click();
    void vaciar();
};
