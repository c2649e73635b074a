#pragma once
// The information window shown before an application form opens: the
// information text, a progress bar filled in fixed steps, and "Continuar" once
// the bar is full. It cannot be closed while it fills.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

class frmProgreso : public QDialog {
    Q_OBJECT
public:
    explicit frmProgreso(QWidget* parent = nullptr);

    // Runs the window modally, creating the single instance when needed.
    static void Mostrar();

    QLabel* Label1;
    QLabel* lblTitulo;
    QProgressBar* prg;
    QPushButton* cmdContinuar;

    bool terminado() const { return terminado_; }

    // Loads the text and fills the bar; runs once each time the window is shown.
    void Cargar();

    void reject() override; // Esc: refused while filling

protected:
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    // Never larger than the screen, centred on it.
    void AjustarAPantalla();
    void subir(int veces, bool mostrar);
    bool terminado_ = false;
};
