#include "form/frmSolicitudes.h"
#include "ui_frmSolicitudes.h"

#include "form/Avisos.h"
#include "form/BarraMenu.h"
#include "form/CopiaRecuperacion.h"
#include "form/Pantalla.h"
#include "form/Pegado.h"
#include "form/ReglasCampos.h"

#include "form/DatosDesdeFormulario.h"
#include "form/EscrituraSolicitud.h"

#include "shell/EstadoCompartido.h"
#include "shell/Fallos.h"
#include "shell/FechaEspanola.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "shell/ValidaDNI.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <tuple>
#include <utility>

#include "applications/NombresSolicitud.h"
#include "documents/ModWord.h"
#include "platform/word/Word.h"
#include "users/Validacion.h"
#include "users/frmCreaPwd.h"

#include <stelcode/Stelcodex.h>

namespace {

QMessageBox::StandardButton Critico(const QString& texto) { return MessageBox::show(texto, {}, QMessageBox::Critical); }

// The elements of a control array are drawn with numbered names in the
// layout; at run time they share the array's name and carry their index.
template <typename Control, std::size_t N>
void TomarElementos(std::array<Control*, N>& elementos, QWidget* ventana, const QString& nombre)
{
    for (std::size_t i = 0; i < N; ++i) {
        elementos[i] = ventana->findChild<Control*>(nombre + QString::number(i));
        elementos[i]->setObjectName(nombre);
    }
}

} // namespace

frmSolicitudes::frmSolicitudes(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::frmSolicitudes>())
{
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    TomarControles();
    ConstruirMenu();
    copia_ = std::make_unique<CopiaRecuperacion>(controlesDatos_, [this] { return NombreFichero(); });
    connect(copia_.get(), &CopiaRecuperacion::Fallo, this, [this](const QString& motivo) {
        statusBar()->showMessage(QStringLiteral("No se puede guardar la copia de recuperación: ") + motivo);
    });
    PrepararAvisos();
    // On a small or scaled screen the content scrolls, following the focus.
    Pantalla::HacerDesplazable(this);
}

frmSolicitudes::~frmSolicitudes()
{
    // The controls lose the focus while they go: nothing to remember then.
    disconnect(seguirFoco_);
    copia_->Terminar();
    if (estado().frmSolicitudActual == this)
        estado().frmSolicitudActual = nullptr;
}

void frmSolicitudes::TomarControles()
{
    const Ui::frmSolicitudes& u = *ui_;
    txtDNI = u.txtDNI;
    txtApellidos = u.txtApellidos;
    txtNombre = u.txtNombre;
    txtFechaNac = u.txtFechaNac;
    txtNacionalidad = u.txtNacionalidad;
    txtTfno = u.txtTfno;
    txtDireccion = u.txtDireccion;
    txtNum = u.txtNum;
    txtPuerta = u.txtPuerta;
    txtMunicipio = u.txtMunicipio;
    txtProvincia = u.txtProvincia;
    txtCP = u.txtCP;
    txtTitulacion = u.txtTitulacion;
    TomarElementos(txtArea, this, QStringLiteral("txtArea"));
    TomarElementos(optCategoria, this, QStringLiteral("optCategoria"));
    TomarElementos(chkDocu, this, QStringLiteral("chkDocu"));
    txtOtros = u.txtOtros;
    txtCiudad = u.txtCiudad;
    txtDia = u.txtDia;
    txtMes = u.txtMes;
    txtAño = u.txtAño;
    lblFichero = u.lblFichero;
    Stelcodex1 = u.Stelcodex1;

    // "Otros" keeps its place in the row while its box is hidden.
    QSizePolicy sp = txtOtros->sizePolicy();
    sp.setRetainSizeWhenHidden(true);
    txtOtros->setSizePolicy(sp);
    for (QCheckBox* c : chkDocu)
        connect(c, &QCheckBox::stateChanged, this, [this] { chkDocu_Click(); });

    controlesDatos_ = {txtDNI, txtApellidos, txtNombre, txtFechaNac, txtNacionalidad, txtTfno, txtDireccion, txtNum,
        txtPuerta, txtMunicipio, txtProvincia, txtCP, txtTitulacion};
    for (QLineEdit* a : txtArea)
        controlesDatos_.append(a);
    controlesDatos_ << optCategoria[0] << optCategoria[1];
    for (QCheckBox* c : chkDocu)
        controlesDatos_.append(c);
    controlesDatos_ << txtOtros << txtCiudad << txtDia << txtMes << txtAño;
    // Each section's frame, then its captions; the file name and the barcode last.
    for (QGroupBox* marco : {u.Frame7, u.Frame8, u.Frame3, u.Frame2, u.Frame4, u.Frame1}) {
        otrosControles_.append(marco);
        for (QLabel* l : marco->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            otrosControles_.append(l);
    }
    otrosControles_ << lblFichero << Stelcodex1;

    for (int i = 1; i < controlesDatos_.size(); ++i)
        QWidget::setTabOrder(controlesDatos_[i - 1], controlesDatos_[i]);
    for (QWidget* w : controlesDatos_)
        if (qobject_cast<QLineEdit*>(w))
            w->installEventFilter(this);
    ConectarPegado();
}

void frmSolicitudes::ConectarPegado()
{
    // Pasted or dropped text obeys the boxes' rules as typed text does.
    Validacion::LimpiarDNIAlEditar(txtDNI);
    for (QWidget* w : controlesDatos_) {
        auto* caja = qobject_cast<QLineEdit*>(w);
        const bool numerica = caja == txtCP || std::find(txtArea.begin(), txtArea.end(), caja) != txtArea.end();
        if (!caja || caja == txtDNI || numerica)
            continue;
        connect(caja, &QLineEdit::textEdited, this, [this, caja] {
            qint16 shift = 6, codigo = 49;
            if (caja->text().contains(QLatin1Char('|')))
                ControlarPipe(shift, codigo, caja);
        });
    }
}

void frmSolicitudes::ConstruirMenu()
{
    // Keyboard shortcuts, so that the commands are reachable without a mouse.
    // And Alt keys of their own, none shared with the form's labels.
    const std::tuple<int, const char*, QKeySequence> items[]
        = {{ComandoMenu::Imprimir, "&Imprimir", QKeySequence(Qt::CTRL | Qt::Key_P)},
            {ComandoMenu::Guardar, "&Guardar", QKeySequence(Qt::CTRL | Qt::Key_G)},
            {ComandoMenu::CargarOtra, "&Cargar otra solicitud", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {ComandoMenu::Salir, "&Salir", QKeySequence(Qt::CTRL | Qt::Key_Q)},
            {ComandoMenu::Ayuda, "A&yuda", QKeySequence(Qt::Key_F1)},
            {ComandoMenu::CambiarContrasena, "Cam&biar contraseña", QKeySequence(Qt::CTRL | Qt::Key_K)}};
    const std::map<int, const char*> descripciones = {{ComandoMenu::Imprimir, "Imprimir la solicitud"},
        {ComandoMenu::Guardar, "Guardar la solicitud"}, {ComandoMenu::CargarOtra, "Cargar otra solicitud"},
        {ComandoMenu::Salir, "Salir del programa"}, {ComandoMenu::Ayuda, "Abrir el manual de usuario"},
        {ComandoMenu::CambiarContrasena, "Cambiar la contraseña"}};
    QMenuBar* barra = menuBar();
    barra->setObjectName(QStringLiteral("mnuBarra"));
    barra->setAccessibleName(QStringLiteral("Menú"));
    for (const auto& [indice, texto, atajo] : items) {
        QAction* a = barra->addAction(QString::fromUtf8(texto));
        a->setShortcut(atajo);
        BarraMenu::PonerAyuda(a, QString::fromUtf8(descripciones.at(indice)));
        a->setObjectName(QStringLiteral("mnuP_%1").arg(indice));
        a->setProperty("Index", indice);
        connect(a, &QAction::triggered, this, [this, i = indice] { mnuP_Click(i); });
        mnuP[indice] = a;
    }
    for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
        mnuP[i]->setEnabled(false);
    BarraMenu::Resaltar(barra);
    // Shows the commands' tips and what a save did.
    statusBar()->setObjectName(QStringLiteral("sbEstado"));
    statusBar()->setAccessibleName(QStringLiteral("Barra de estado"));
}

void frmSolicitudes::PrepararAvisos()
{
    // A screen reader sees a status bar's passing message only as its name.
    QStatusBar* barra = statusBar();
    connect(barra, &QStatusBar::messageChanged, this, [barra](const QString& mensaje) {
        barra->setAccessibleName(mensaje.isEmpty() ? QStringLiteral("Barra de estado") : mensaje);
    });
    // The notice of a save is a label of its own that appears for a while:
    // it is announced as a notification when it shows (see Avisos.h).
    lblAviso_ = new EtiquetaAviso(barra);
    lblAviso_->setObjectName(QStringLiteral("lblAviso"));
    lblAviso_->hide();
    barra->addWidget(lblAviso_, 1);
    finAviso_ = new QTimer(this);
    finAviso_->setObjectName(QStringLiteral("tmrAviso"));
    finAviso_->setSingleShot(true);
    finAviso_->setInterval(8000);
    connect(finAviso_, &QTimer::timeout, lblAviso_, &QWidget::hide);

    // The control the user is in, to go back to after a menu command.
    seguirFoco_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* nuevo) {
        if (nuevo && centralWidget() && centralWidget()->isAncestorOf(nuevo))
            ultimoFoco_ = nuevo;
    });
}

void frmSolicitudes::Avisar(const QString& texto)
{
    statusBar()->clearMessage();
    lblAviso_->hide(); // shown anew, so that a second save is announced too
    lblAviso_->setText(texto);
    lblAviso_->show();
    finAviso_->start();
}

void frmSolicitudes::DevolverFoco(QWidget* control)
{
    // Not when the command closed the form or left the user in another window
    // (the manual); a busy window that has gone gives the activation back.
    QWidget* activa = QApplication::activeWindow();
    if (!control || !isVisible() || (activa && activa != this))
        return;
    if (!activa)
        activateWindow();
    if (control->isVisible() && control->isEnabled() && QApplication::focusWidget() != control)
        control->setFocus(Qt::OtherFocusReason);
}

QList<QWidget*> frmSolicitudes::Controles() const { return controlesDatos_ + otrosControles_; }

void frmSolicitudes::HabilitarEscritura(bool habilitar)
{
    for (int indice : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
        if (auto it = mnuP.find(indice); it != mnuP.end())
            it->second->setEnabled(habilitar);
}

QString frmSolicitudes::GenerarDatosCodigo() const
{
    return DatosCodigo::Generar(DatosCodigo::DatosDesdeFormulario(*this));
}

void frmSolicitudes::showEvent(QShowEvent* evento)
{
    if (!cargado_) {
        // Load steps, before the window first appears.
        cargado_ = true;
        if (!estado().blnTienePassword)
            mnuP[ComandoMenu::CambiarContrasena]->setVisible(false);
        optCategoria[0]->setChecked(true);
        // A word processor that cannot be reached at all counts as version 0: the
        // writer then reports the failure when the user saves.
        estado().strVersionWord = QString::number(ModWord::VersionWord());
        // Never larger than the screen: what does not fit scrolls.
        Pantalla::AjustarAPantalla(this, qobject_cast<QScrollArea*>(centralWidget()));
    }
    QMainWindow::showEvent(evento);
}

void frmSolicitudes::PonerFocoInicial()
{
    // New or reloaded, the first thing typed goes into APELLIDOS.
    enUso_ = true;
    txtApellidos->setFocus(Qt::OtherFocusReason);
    copia_->Vigilar();
}

void frmSolicitudes::RecuperarBorrador(const QMap<QString, QString>& campos)
{
    copia_->FijarBase();
    // The focus stays where it is while "Otros" is put back.
    const bool enUso = std::exchange(enUso_, false);
    CopiaRecuperacion::Poner(controlesDatos_, campos);
    enUso_ = enUso;
    copia_->FijarEscrito();
    // Changed and not yet stored: it can be saved at once.
    mnuP[ComandoMenu::Imprimir]->setEnabled(true);
    mnuP[ComandoMenu::Guardar]->setEnabled(true);
}

void frmSolicitudes::chkDocu_Click()
{
    const bool otros = chkDocu[3]->checkState() == Qt::Checked;
    txtOtros->setVisible(otros);
    if (!otros)
        txtOtros->setText(QString());
    else if (enUso_)
        txtOtros->setFocus(); // not while the reader fills the form
}

// ---- Field rules -----------------------------------------------------------

bool frmSolicitudes::eventFilter(QObject* objeto, QEvent* evento)
{
    auto* caja = qobject_cast<QLineEdit*>(objeto);
    if (!caja)
        return QMainWindow::eventFilter(objeto, evento);
    const bool esArea = std::find(txtArea.begin(), txtArea.end(), caja) != txtArea.end();
    if ((caja == txtCP || esArea) && Pegado::FiltrarEventoNumerico(caja, evento))
        return true;

    switch (evento->type()) {
    case QEvent::KeyPress:
        if (TeclaPulsada(caja, esArea, static_cast<QKeyEvent*>(evento)))
            return true;
        break;
    case QEvent::KeyRelease:
        TeclaSoltada(caja, esArea, static_cast<QKeyEvent*>(evento));
        break;
    case QEvent::FocusIn:
        if (caja == txtDNI || caja == txtNombre || caja == txtCP) {
            // After the click or key that brought the focus has placed the caret.
            QTimer::singleShot(0, caja, [caja] { caja->selectAll(); });
        }
        break;
    case QEvent::FocusOut:
        if (FocoPerdido(caja, esArea, static_cast<QFocusEvent*>(evento)))
            return true;
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(objeto, evento);
}

bool frmSolicitudes::TeclaPulsada(QLineEdit* caja, bool esArea, QKeyEvent* tecla)
{
    // Alt with a letter is a key to a field or a command; one that is
    // not any is not typed either.
    const Qt::KeyboardModifiers mods = tecla->modifiers();
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier) && !tecla->text().isEmpty()
        && tecla->text().at(0).isPrint())
        return true;
    if (caja == txtCP || esArea)
        return ModGeneral::FiltrarEventoTecla(caja, tecla, true);
    if (caja == txtDNI) {
        const int c = ModGeneral::CodigoTecla(tecla);
        return c == '-' || c == '.' || c == ',' || c == ' ';
    }
    // The bar never enters the box, so nothing else is lost with it; the
    // release tells the user. Remembered for the release: AltGr may be let
    // go before the key, and the key's release then no longer reads as the bar.
    if (ReglasCampos::EsTeclaBarra(tecla) || tecla->text().contains(QLatin1Char('|'))) {
        barraPendiente_ = caja;
        return true;
    }
    if (caja == txtOtros && tecla->key() == Qt::Key_Escape) {
        txtOtros->setText(QString());
        chkDocu[3]->setCheckState(Qt::Unchecked);
        return true;
    }
    return false;
}

void frmSolicitudes::TeclaSoltada(QLineEdit* caja, bool esArea, QKeyEvent* tecla)
{
    // A held key repeats press and release; only the real release counts.
    if (tecla->isAutoRepeat())
        return;
    if (caja == txtDNI) {
        if (txtDNI->text().size() == 9)
            ModGeneral::PulsarTab();
    } else if (caja != txtCP && !esArea) {
        qint16 shift = ReglasCampos::EstadoModificadores(tecla);
        qint16 codigo = static_cast<qint16>(tecla->key() & 0x7fff);
        if (ReglasCampos::EsTeclaBarra(tecla) || barraPendiente_ == caja) {
            shift = 6;
            codigo = 49;
        }
        barraPendiente_ = nullptr;
        ControlarPipe(shift, codigo, caja);
    }
}

bool frmSolicitudes::FocoPerdido(QLineEdit* caja, bool esArea, QFocusEvent* evento)
{
    // Losing the focus to a message box, a menu (also the menu bar reached
    // from the keyboard) or another window is not leaving the field; nor is
    // the focus moving while a check puts it back.
    const auto motivo = evento->reason();
    if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason || motivo == Qt::MenuBarFocusReason
        || enComprobacion_)
        return false;
    // Let the box finish losing the focus first, so that a check that puts
    // the focus back leaves it in a consistent state.
    static_cast<QObject*>(caja)->event(evento);
    enComprobacion_ = true;
    if (caja == txtFechaNac)
        ComprobarFechaNac();
    else if (esArea)
        ComprobarPreferencia(caja->property("Index").toInt());
    else if (caja == txtOtros)
        ComprobarOtros();
    else if (caja == txtCiudad)
        RellenarFechaFirma();
    enComprobacion_ = false;
    return true;
}

void frmSolicitudes::ControlarPipe(qint16& Shift, qint16& KeyCode, QLineEdit* ctrl)
{
    if (Shift != 6 || KeyCode != 49 || !ctrl)
        return;
    // Every bar goes, wherever it stands; the rest of the text stays as it was.
    QString texto = ctrl->text();
    int cursor = ctrl->cursorPosition();
    if (ReglasCampos::QuitarBarras(texto, cursor) > 0) {
        ctrl->setText(texto);
        ctrl->setCursorPosition(cursor);
    }
    Critico(QStringLiteral("Carácter incorrecto"));
}

void frmSolicitudes::ComprobarFechaNac()
{
    try {
        if (const auto fecha = FechaEspanola::LeerFechaNacimiento(txtFechaNac->text(), QDate::currentDate())) {
            txtFechaNac->setText(fecha->toString(QStringLiteral("dd/MM/yyyy")));
        } else {
            Critico(QStringLiteral("Fecha no válida"));
            txtFechaNac->setText(QString());
            txtFechaNac->setFocus();
        }
    } catch (const std::exception& fallo) {
        MessageBox::show(TextoFallo(fallo));
    }
}

void frmSolicitudes::ComprobarPreferencia(int i)
{
    std::array<QString, 11> textos;
    for (int j = 0; j < 11; ++j)
        textos[j] = txtArea[j]->text();
    const auto r = ReglasCampos::ComprobarPreferencia(i, textos);
    QLineEdit* caja = txtArea[i];
    if (r.estado == ReglasCampos::Preferencia::FueraDeRango) {
        Critico(QStringLiteral("El valor debe ser un número entero entre 1 y 11"));
        caja->setText(QString());
        caja->setFocus();
        return;
    }
    for (int k = 0; k < r.repeticiones; ++k) {
        Critico(QStringLiteral("El orden de preferencia ya ha sido utilizado"));
        caja->setText(QString());
        caja->setFocus();
    }
}

void frmSolicitudes::ComprobarOtros()
{
    if (chkDocu[3]->checkState() == Qt::Checked && txtOtros->text().isEmpty()) {
        Critico(QStringLiteral("Por favor, rellene el campo \"Otros\"."));
        txtOtros->setFocus();
    }
}

void frmSolicitudes::RellenarFechaFirma()
{
    const QDate hoy = QDate::currentDate();
    txtDia->setText(QString::number(hoy.day()));
    txtMes->setText(FechaEspanola::NombreMes(hoy.month()));
    txtAño->setText(QString::number(hoy.year()));
    mnuP[ComandoMenu::Imprimir]->setEnabled(true);
    mnuP[ComandoMenu::Guardar]->setEnabled(true);
}

// ---- Menu, saving and closing ---------------------------------------------

void frmSolicitudes::mnuP_Click(int Index)
{
    // Whether chosen with the mouse, from the menu bar or by its keys, a
    // command leaves the user where they were unless it moves the focus itself.
    QPointer<QWidget> volver = ultimoFoco_;
    const auto foco = qScopeGuard([this, &volver] { DevolverFoco(volver); });
    QCoreApplication::processEvents();

    // These checks run for every item, "Salir" and "Ayuda" included.
    if (chkDocu[3]->checkState() == Qt::Checked && txtOtros->text().isEmpty()) {
        Critico(QStringLiteral("Por favor, rellene el campo Otros Documentos"));
        txtOtros->setFocus();
        volver = txtOtros;
        return;
    }
    if (std::all_of(txtArea.begin(), txtArea.end(), [](QLineEdit* a) { return a->text().isEmpty(); })) {
        Critico(QStringLiteral("Por favor, rellene al menos un área de salud"));
        return;
    }

    switch (Index) {
    case ComandoMenu::Imprimir: {
        if (!CamposObligatorios())
            return;
        // A payload that cannot be built must not print a copy with an old one.
        try {
            estado().strDatosCodigo = GenerarDatosCodigo();
        } catch (const std::exception& fallo) {
            MessageBox::show(QStringLiteral("No se ha podido preparar el código de barras: ") + TextoFallo(fallo), {},
                QMessageBox::Critical);
            break;
        }
        GuardarSolicitud(true, false);
        break;
    }
    case ComandoMenu::Guardar:
        GuardarSolicitud(false, false);
        break;
    case ComandoMenu::CargarOtra: {
        const auto r = MessageBox::show(QStringLiteral("¿Guardar la solicitud actual?"), QStringLiteral("GUARDAR"),
            QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (r == QMessageBox::Yes) {
            GuardarSolicitud(false, false);
        } else if (r == QMessageBox::No) {
            copia_->Descartar();
            emit ListaSolicitada();
            blnCerrarSinPreguntar = true;
            close();
        }
        break;
    }
    case ComandoMenu::Salir:
        close();
        break;
    case ComandoMenu::Ayuda:
        // A new, visible instance with a document based on the manual; the
        // user closes it when done. A failing step is passed over and the next one runs.
        Ignorando([this] { objWordAyuda = Word::CreateObject(); });
        if (objWordAyuda) {
            Ignorando([this] { objWordAyuda->Documents().Add(NombresSolicitud::RutaManual()); });
            Ignorando([this] { objWordAyuda->setVisible(true); });
        }
        break;
    case ComandoMenu::CambiarContrasena:
        // The menu handler skips a failing step of its own.
        Ignorando([this] { AbrirCreaPwd(txtDNI->text()); });
        break;
    default:
        break;
    }
}

bool frmSolicitudes::CamposObligatorios()
{
    const std::pair<QLineEdit*, const char*> campos[]
        = {{txtNombre, "Nombre"}, {txtApellidos, "Primer Apellido"}, {txtFechaNac, "Fecha de nacimiento"}};
    for (const auto& [caja, nombre] : campos) {
        if (caja->text().isEmpty()) {
            MessageBox::show(QStringLiteral("El campo ") + QString::fromUtf8(nombre)
                    + QStringLiteral(" es obligatorio. Por favor, rellene los datos."),
                QStringLiteral("Validación"), QMessageBox::Warning);
            return false;
        }
    }
    return true;
}

bool frmSolicitudes::ComprobarDNI()
{
    if (!txtDNI->text().isEmpty())
        return true;
    MessageBox::show(QStringLiteral("Es necesario rellenar el DNI para grabar los datos o imprimir el informe"),
        QStringLiteral("Datos no válidos"), QMessageBox::Warning);
    return false;
}

void frmSolicitudes::AbrirCreaPwd(const QString& dni)
{
    frmCreaPwd dialogo(this);
    dialogo.strDNI = dni;
    dialogo.exec();
}

void frmSolicitudes::PasoRegistro()
{
    const QString dni = txtDNI->text();
    if (dni == dniRegistrado_)
        return;
    if (Validacion::ExisteUsuario(dni)) {
        dniRegistrado_ = dni; // a password is never removed, so it need not be asked again
        return;
    }
    AbrirCreaPwd(dni);
    if (Validacion::ExisteUsuario(dni))
        dniRegistrado_ = dni;
    // Shown whatever the user did in the dialog: a DNI that is still not
    // registered gets the dialog again on its next write.
    mnuP[ComandoMenu::CambiarContrasena]->setVisible(true);
    estado().blnTienePassword = true;
}

QString frmSolicitudes::NombreFichero() const
{
    const QString nombre = lblFichero->text();
    return nombre.isEmpty() ? NombresSolicitud::NombrePorDefecto(txtDNI->text()) : nombre;
}

bool frmSolicitudes::EscribirSolicitud(const QString& accion, bool imprimir, bool segundo)
{
    // A new application takes its name for good at its first write.
    QString fichero = NombreFichero();
    const bool escrito
        = EscrituraSolicitud::Escribir(*this, Stelcodex1, fichero, !nombreReservado_, accion, imprimir, segundo);
    if (fichero != NombreFichero())
        lblFichero->setText(fichero);
    nombreReservado_ = nombreReservado_ || escrito;
    if (escrito)
        copia_->Guardada();
    return escrito;
}

void frmSolicitudes::GuardarSolicitud(bool imprimir, bool segundo)
{
    if (!ComprobarDNI())
        return;
    PasoRegistro();
    if (EscribirSolicitud(QStringLiteral("Guardando Datos. Por favor, espere... "), imprimir, segundo)) {
        // No box for this: a few seconds in the status bar say where it went.
        Avisar(QStringLiteral("Solicitud guardada en ")
            + QDir::toNativeSeparators(estado().strRutaTemp + NombreFichero()));
    }
}

void frmSolicitudes::closeEvent(QCloseEvent* evento)
{
    bool cerrar = true;
    if (!blnCerrarSinPreguntar) {
        const auto r = MessageBox::show(QStringLiteral("La aplicación se cerrará, ¿desea guardar los cambios?"),
            QStringLiteral("Solicitud"), QMessageBox::Warning,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (r == QMessageBox::Yes) {
            if (!ComprobarDNI()) {
                cerrar = false;
            } else {
                PasoRegistro();
                // A failed write keeps the form open with its data.
                cerrar = EscribirSolicitud(QStringLiteral("Guardando Datos ..."), false, false);
            }
        } else if (r == QMessageBox::No) {
            copia_->Descartar();
        } else {
            cerrar = false;
        }
    }
    blnCerrarSinPreguntar = false;
    if (cerrar)
        QMainWindow::closeEvent(evento);
    else
        evento->ignore();
}
