#pragma once
// The list of the signed-in user's stored applications: open one, start a new
// one or delete one. Shown non-modally; exists at most once.
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

class QFrame;
class QLabel;

class frmSeleccion : public QDialog {
    Q_OBJECT
public:
    // Shows the dialog (creating it when it does not exist) and returns it.
    static frmSeleccion* Mostrar();

    // Sets the open form's lblFichero to the default name of its DNI and
    // returns whether a file of that name already exists in strRutaTemp.
    bool NombrePorDefecto();

    QFrame* Frame1;
    QLabel* Label1;
    QComboBox* cboSolicitudes;
    QPushButton *cmdNueva, *cmdCargar, *cmdBorrar;

private:
    explicit frmSeleccion(QWidget* parent = nullptr);
    void cmdCargar_Click();
    void cmdNueva_Click();
    void cmdBorrar_Click();
    bool haySeleccion();
};
