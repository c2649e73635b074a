#pragma once
// The application form: the candidate's data in its own controls, the field
// rules that keep that data in shape, the menu that writes and prints it, and
// the close prompt.
//
// Other parts of the program reach into the form through its public controls.
// The document writer and reader see it as a FormularioDocumento: they walk
// Controles() in order and pair each control that carries a "Tag" property
// (read with Tag()) with the document form field of that name.
#include "documents/CamposDocumento.h"
#include "form/ComandoMenu.h"

#include <QMainWindow>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QString>
#include <array>
#include <map>
#include <memory>

class CopiaRecuperacion;
class QAction;
class QCheckBox;
class QFocusEvent;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;
class Stelcodex;
namespace Word {
class Application;
}

namespace Ui {
class frmSolicitudes;
}

class frmSolicitudes : public QMainWindow, public FormularioDocumento {
    Q_OBJECT
public:
    explicit frmSolicitudes(QWidget* parent = nullptr);
    ~frmSolicitudes() override;

    // Section 1: the applicant.
    QLineEdit *txtDNI, *txtApellidos, *txtNombre, *txtFechaNac, *txtNacionalidad, *txtTfno, *txtDireccion, *txtNum,
        *txtPuerta, *txtMunicipio, *txtProvincia, *txtCP;
    // Section 2: the degree.
    QLineEdit* txtTitulacion;
    // Section 3: preference number per health area, index order = area order.
    std::array<QLineEdit*, 11> txtArea;
    // Section 4: 0 "Médico de Área", 1 "Enfermero de Área"; exactly one selected.
    std::array<QRadioButton*, 2> optCategoria;
    // Section 5: supporting documents; 3 is "Otros", described in txtOtros.
    std::array<QCheckBox*, 4> chkDocu;
    QLineEdit* txtOtros;
    // Signing line: "En" city "a" day "de" month "de" year.
    QLineEdit *txtCiudad, *txtDia, *txtMes, *txtAño;

    // File name (within strRutaTemp) under which this application is written;
    // empty means the DNI's default file name.
    QLabel* lblFichero;
    // Barcode control handed to the document writer; not shown to the user.
    Stelcodex* Stelcodex1 = nullptr;
    // Menu items by their ComandoMenu index.
    std::map<int, QAction*> mnuP;

    // Set by "Cargar otra solicitud" so that the close that follows asks nothing.
    bool blnCerrarSinPreguntar = false;
    // Word-processor instance started by "Ayuda"; left to the user.
    std::shared_ptr<Word::Application> objWordAyuda;

    // Every control of the form in the form's own order: the data controls in
    // tab order, then the others (labels, frames, the barcode control).
    QList<QWidget*> Controles() const override;
    QLineEdit* CajaDNI() const override { return txtDNI; }
    // Enables or disables Imprimir, Guardar and Cargar otra solicitud.
    void HabilitarEscritura(bool habilitar) override;

    // Barcode payload built from the controls as they stand.
    QString GenerarDatosCodigo() const;

    // Menu handler: the checks every item makes, then the item's command.
    void mnuP_Click(int Index);

    // True when Nombre, Primer Apellido and Fecha de nacimiento are filled;
    // otherwise tells the user about the first empty one.
    bool CamposObligatorios();
    // True when txtDNI is not empty; otherwise tells the user.
    bool ComprobarDNI();
    // Writes the application (and prints it when imprimir is true).
    void GuardarSolicitud(bool imprimir, bool segundo);
    // The file name is already this application's (it was read from it): the
    // first write need not take the name first.
    void MarcarNombreReservado() { nombreReservado_ = true; }
    // Puts the focus where a candidate starts typing (APELLIDOS); from then on
    // a recovery copy is kept while the form differs from what is stored.
    void PonerFocoInicial();
    // Fills the form from a recovery copy's values: the form as changed, nothing
    // written yet.
    void RecuperarBorrador(const QMap<QString, QString>& campos);
    CopiaRecuperacion& Recuperacion() const { return *copia_; }

    // Refuses the AltGr stroke that types "|" (the payload's field separator):
    // removes every bar from ctrl, leaving the rest of its text, and tells the user.
    void ControlarPipe(qint16& Shift, qint16& KeyCode, QLineEdit* ctrl);

signals:
    // "Cargar otra solicitud" without saving: the list of stored applications
    // is wanted, before this form closes.
    void ListaSolicitada();

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;
    void showEvent(QShowEvent* evento) override;
    void closeEvent(QCloseEvent* evento) override;

private:
    // Takes the controls that the layout (frmSolicitudes.ui) built.
    void TomarControles();
    // The status bar as screen readers see it, and the notice of a save.
    void PrepararAvisos();
    // Shows texto in the status bar for a few seconds and announces it.
    void Avisar(const QString& texto);
    // After a menu command: the focus back on the control the user was in.
    void DevolverFoco(QWidget* control);
    // Pasted or dropped text goes through the boxes' rules.
    void ConectarPegado();
    void ConstruirMenu();
    void chkDocu_Click();
    // The field rules of a box's key press, key release and lost focus;
    // true when the event is taken.
    bool TeclaPulsada(QLineEdit* caja, bool esArea, QKeyEvent* tecla);
    void TeclaSoltada(QLineEdit* caja, bool esArea, QKeyEvent* tecla);
    bool FocoPerdido(QLineEdit* caja, bool esArea, QFocusEvent* evento);
    void ComprobarFechaNac();
    void ComprobarPreferencia(int i);
    void ComprobarOtros();
    void RellenarFechaFirma();
    // The registration step: a DNI without a password gets one before writing.
    void PasoRegistro();
    // Runs frmCreaPwd modally for the DNI.
    void AbrirCreaPwd(const QString& dni);
    // Name under which this application is written.
    QString NombreFichero() const;
    // Writes the application behind a busy window showing accion; false (and
    // the user told) when the writer failed.
    bool EscribirSolicitud(const QString& accion, bool imprimir, bool segundo);

    std::unique_ptr<Ui::frmSolicitudes> ui_;
    // Set once the form is handed to the user (PonerFocoInicial).
    bool enUso_ = false;
    QPointer<QWidget> ultimoFoco_; // last control of the form that had the focus
    QMetaObject::Connection seguirFoco_;
    QLabel* lblAviso_ = nullptr; // notice of a save, in the status bar
    QTimer* finAviso_ = nullptr;
    QList<QWidget*> controlesDatos_;      // tab order
    QList<QWidget*> otrosControles_;      // frames, labels, lblFichero, Stelcodex1
    bool cargado_ = false;                // load steps run once, on first show
    bool enComprobacion_ = false;         // a focus-leave check is running
    QLineEdit* barraPendiente_ = nullptr; // box whose key press typed "|"
    bool nombreReservado_ = false;        // the file name has been taken by a write or a read
    QString dniRegistrado_;               // DNI found registered by the registration step
    std::unique_ptr<CopiaRecuperacion> copia_;
};
