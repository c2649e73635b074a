#include "frmSolicitudes.h"

#include "BarraMenu.h"
#include "Pantalla.h"
#include "Pegado.h"
#include "ReglasCampos.h"

#include "DatosDesdeFormulario.h"

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
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <tuple>

#include "applications/NombresSolicitud.h"
#include "documents/ModWord.h"
#include "platform/word/Word.h"
#include "shell/frmProgresoGeneral.h"
#include "users/Validacion.h"
#include "users/frmCreaPwd.h"

#include <stelcode/Stelcodex.h>

namespace {

const char* const kTag = "Tag";

QMessageBox::StandardButton Critico(const QString& texto)
{
    return MessageBox::show(texto, {}, QMessageBox::Critical);
}

QLineEdit* CrearCaja(QWidget* padre, const char* nombre, const QString& tag, const QString& accesible,
                     int maximo = 0)
{
    auto* caja = new QLineEdit(padre);
    caja->setObjectName(QString::fromUtf8(nombre));
    caja->setProperty(kTag, tag);
    caja->setAccessibleName(accesible);
    if (maximo > 0)
        caja->setMaxLength(maximo);
    return caja;
}

// An element of a control array: shared name, its index and its form field.
void NombrarElemento(QAbstractButton* boton, const char* nombre, int indice, const char* tag)
{
    boton->setObjectName(QString::fromLatin1(nombre));
    boton->setProperty("Index", indice);
    boton->setProperty(kTag, QString::fromLatin1(tag));
    boton->setAccessibleName(boton->text());
}

} // namespace

frmSolicitudes::frmSolicitudes(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmSolicitudes"));
    setWindowTitle(QStringLiteral("Solicitud de Concurso"));
    setAttribute(Qt::WA_DeleteOnClose);
    ConstruirControles();
    ConstruirMenu();
    // On a small or scaled screen the content scrolls, following the focus.
    Pantalla::HacerDesplazable(this);
}

frmSolicitudes::~frmSolicitudes()
{
    if (estado().frmSolicitudActual == this)
        estado().frmSolicitudActual = nullptr;
}

void frmSolicitudes::ConstruirControles()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    auto* principal = new QVBoxLayout(central);
    central->setMinimumWidth(960);
    setCentralWidget(central);

    // A label beside its box: the label names the box for screen readers too.
    auto etiqueta = [this](QWidget* padre, const QString& texto, QWidget* buddy) {
        auto* l = new QLabel(texto, padre);
        l->setBuddy(buddy);
        otrosControles_.append(l);
        return l;
    };
    auto marco = [this](const char* nombre, const QString& titulo) {
        auto* g = new QGroupBox(titulo);
        g->setObjectName(QString::fromUtf8(nombre));
        otrosControles_.append(g);
        return g;
    };

    // 1.- Applicant.
    auto* frame7 = marco("Frame7", QStringLiteral("1.- DATOS DEL SOLICITANTE"));
    txtDNI = CrearCaja(frame7, "txtDNI", QStringLiteral("NIF"), QStringLiteral("NIF"));
    txtApellidos = CrearCaja(frame7, "txtApellidos", QStringLiteral("PRIMERAPELLIDO"), QStringLiteral("APELLIDOS"));
    txtNombre = CrearCaja(frame7, "txtNombre", QStringLiteral("NOMBRE"), QStringLiteral("NOMBRE"));
    txtFechaNac = CrearCaja(frame7, "txtFechaNac", QStringLiteral("FECHANACIMIENTO"),
                            QStringLiteral("FECHA DE NACIMIENTO"));
    txtNacionalidad = CrearCaja(frame7, "txtNacionalidad", QStringLiteral("NACIONALIDAD"),
                                QStringLiteral("NACIONALIDAD"));
    txtTfno = CrearCaja(frame7, "txtTfno", QStringLiteral("TELEFONO"), QStringLiteral("TELÉFONO"), 9);
    txtDireccion = CrearCaja(frame7, "txtDireccion", QStringLiteral("DOMICILIO"), QStringLiteral("DIRECCIÓN"));
    txtNum = CrearCaja(frame7, "txtNum", QStringLiteral("NUM"), QStringLiteral("Nº"));
    txtPuerta = CrearCaja(frame7, "txtPuerta", QStringLiteral("PUERTA"), QStringLiteral("Pª"));
    txtMunicipio = CrearCaja(frame7, "txtMunicipio", QStringLiteral("LOCALIDAD"), QStringLiteral("MUNICIPIO"));
    txtProvincia = CrearCaja(frame7, "txtProvincia", QStringLiteral("PROVINCIA"), QStringLiteral("PROVINCIA"));
    txtCP = CrearCaja(frame7, "txtCP", QStringLiteral("CPOSTAL"), QStringLiteral("CÓDIGO POSTAL"), 5);
    txtFechaNac->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    {
        // Four rows of label-box pairs; the address takes the width of two
        // pairs, with number and door beside it.
        auto* g = new QGridLayout(frame7);
        const QList<QLineEdit*> filas[] = {
            {txtDNI, txtApellidos, txtNombre},
            {txtFechaNac, txtNacionalidad, txtTfno},
            {txtMunicipio, txtProvincia, txtCP},
        };
        for (int f = 0; f < 3; ++f) {
            const int fila = f < 2 ? f : 3;
            for (int c = 0; c < filas[f].size(); ++c) {
                QLineEdit* caja = filas[f][c];
                g->addWidget(etiqueta(frame7, caja->accessibleName(), caja), fila, c * 2, Qt::AlignRight);
                g->addWidget(caja, fila, c * 2 + 1);
            }
        }
        g->addWidget(etiqueta(frame7, txtDireccion->accessibleName(), txtDireccion), 2, 0, Qt::AlignRight);
        g->addWidget(txtDireccion, 2, 1, 1, 3);
        g->addWidget(etiqueta(frame7, txtNum->accessibleName(), txtNum), 2, 4, Qt::AlignRight);
        auto* numPuerta = new QHBoxLayout;
        numPuerta->addWidget(txtNum);
        numPuerta->addWidget(etiqueta(frame7, txtPuerta->accessibleName(), txtPuerta));
        numPuerta->addWidget(txtPuerta);
        numPuerta->addStretch();
        g->addLayout(numPuerta, 2, 5);
        for (int c : {1, 3, 5})
            g->setColumnStretch(c, 1);
        txtNum->setFixedWidth(70);
        txtPuerta->setFixedWidth(70);
        txtCP->setMaximumWidth(90);
        txtTfno->setMaximumWidth(140);
        txtDNI->setMaximumWidth(140);
    }

    // 2.- Degree.
    auto* frame8 = marco("Frame8", QStringLiteral("2.- TITULACION DEL SOLICITANTE"));
    txtTitulacion = CrearCaja(frame8, "txtTitulacion", QStringLiteral("TITULACION"),
                              QStringLiteral("TITULACIÓN"), 100);
    (new QHBoxLayout(frame8))->addWidget(txtTitulacion);

    // 3.- Health areas: a preference number beside each area's name.
    auto* frame3 = marco("Frame3", QStringLiteral("3.- ÁREAS DE SALUD SOLICITADAS  PARA LA COBERTURA DE "
                                                  "VACANTES. CONSIGNAR ORDER DE PREFERENCIA"));
    {
        static const char* const areas[11] = {"Ávila",    "Burgos",    "León",    "El Bierzo",
                                              "Palencia", "Salamanca", "Segovia", "Soria",
                                              "Valladolid Este", "Valladolid Oeste", "Zamora"};
        static const char* const tags[11] = {
            "AREAAVILA",     "AREABURGOS",     "AREALEON",  "AREAELBIERZO",
            "AREAPALENCIA",  "AREASALAMANCA",  "AREASEGOVIA", "AREASORIA",
            "AREAVALLADOLIDESTE", "AREAVALLADOLIDOESTE", "AREAZAMORA"};
        auto* g = new QGridLayout(frame3);
        constexpr int porFila = 4;
        for (int i = 0; i < 11; ++i) {
            const QString nombre = QString::fromUtf8(areas[i]);
            auto* caja = CrearCaja(frame3, "txtArea", QString::fromLatin1(tags[i]),
                                   QStringLiteral("Preferencia de %1").arg(nombre), 3);
            caja->setProperty("Index", i);
            caja->setAlignment(Qt::AlignCenter);
            caja->setFixedWidth(48);
            txtArea[i] = caja;
            g->addWidget(etiqueta(frame3, nombre, caja), i / porFila, (i % porFila) * 2, Qt::AlignRight);
            g->addWidget(caja, i / porFila, (i % porFila) * 2 + 1, Qt::AlignLeft);
        }
        for (int c = 0; c < porFila; ++c)
            g->setColumnStretch(c * 2 + 1, 1);
    }

    // 4.- Category.
    auto* frame2 = marco("Frame2", QStringLiteral("4.- INDICAR LA CATEGORÍA QUE SE SOLICITA"));
    {
        auto* h = new QHBoxLayout(frame2);
        const char* const textos[2] = {"Médico de Área", "Enfermero de Área"};
        const char* const tags[2] = {"MEDICO", "ENFERMERO"};
        for (int i = 0; i < 2; ++i) {
            auto* o = new QRadioButton(QString::fromUtf8(textos[i]), frame2);
            NombrarElemento(o, "optCategoria", i, tags[i]);
            optCategoria[i] = o;
            h->addWidget(o);
        }
        h->addStretch();
    }

    // 5.- Supporting documents; "Otros" is described beside its box.
    auto* frame4 = marco("Frame4", QStringLiteral("5.- RELACIÓN DE DOCUMENTACIÓN QUE SE APORTA A EFECTOS DE BAREMO"));
    {
        auto* g = new QGridLayout(frame4);
        const char* const textos[4] = {
            "Título de Especialista en Medicina Familiar y C. Obtenido por el sistema de Residencia",
            "Certificado de experiencia profesional", "Cursos de Formación acreditada", "Otros"};
        const char* const tags[4] = {"ESPECIALISTA", "EXPERIENCIA", "CURSOS", "OTROS"};
        for (int i = 0; i < 4; ++i) {
            auto* c = new QCheckBox(QString::fromUtf8(textos[i]), frame4);
            NombrarElemento(c, "chkDocu", i, tags[i]);
            chkDocu[i] = c;
            g->addWidget(c, i, 0, 1, i == 3 ? 1 : 2);
            connect(c, &QCheckBox::stateChanged, this, [this] { chkDocu_Click(); });
        }
        txtOtros = CrearCaja(frame4, "txtOtros", QStringLiteral("DESCOTROS"), QStringLiteral("Otros documentos"), 100);
        QSizePolicy sp = txtOtros->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        txtOtros->setSizePolicy(sp);
        txtOtros->setVisible(false);
        g->addWidget(txtOtros, 3, 1);
        g->setColumnStretch(1, 1);
    }

    // Signing line: "En <city> a <day> de <month> de <year>".
    auto* frame1 = marco("Frame1", QString());
    {
        txtCiudad = CrearCaja(frame1, "txtCiudad", QStringLiteral("CIUDAD"), QStringLiteral("Ciudad de la firma"), 100);
        txtDia = CrearCaja(frame1, "txtDia", QStringLiteral("DIA"), QStringLiteral("Día de la firma"), 100);
        txtMes = CrearCaja(frame1, "txtMes", QStringLiteral("MES"), QStringLiteral("Mes de la firma"), 100);
        txtAño = CrearCaja(frame1, "txtAño", QStringLiteral("AÑO"), QStringLiteral("Año de la firma"), 100);
        auto* h = new QHBoxLayout(frame1);
        const std::pair<const char*, QLineEdit*> partes[] = {
            {"En", txtCiudad}, {"a", txtDia}, {"de", txtMes}, {"de", txtAño}};
        for (const auto& [texto, caja] : partes) {
            caja->setAlignment(Qt::AlignCenter);
            h->addWidget(etiqueta(frame1, QString::fromUtf8(texto), caja));
            h->addWidget(caja);
        }
        txtCiudad->setMinimumWidth(220);
        txtDia->setFixedWidth(60);
        txtMes->setMinimumWidth(140);
        txtAño->setFixedWidth(80);
        h->addStretch();
    }

    lblFichero = new QLabel(central);
    lblFichero->setObjectName(QStringLiteral("lblFichero"));
    lblFichero->setAccessibleName(QStringLiteral("Fichero de la solicitud"));
    lblFichero->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    for (QWidget* w : {static_cast<QWidget*>(frame7), static_cast<QWidget*>(frame8),
                       static_cast<QWidget*>(frame3), static_cast<QWidget*>(frame2),
                       static_cast<QWidget*>(frame4), static_cast<QWidget*>(frame1),
                       static_cast<QWidget*>(lblFichero)})
        principal->addWidget(w);
    principal->addStretch();
    otrosControles_.append(lblFichero);

    // The barcode control renders the printed copy's symbol; the user never sees it.
    Stelcodex1 = new Stelcodex(central);
    Stelcodex1->setObjectName(QStringLiteral("Stelcodex1"));
    Stelcodex1->setAccessibleName(QStringLiteral("Código de barras"));
    Stelcodex1->setPdfECLevel(0);
    Stelcodex1->setPdfbarWidth(1);
    Stelcodex1->setPdfRows(0);
    Stelcodex1->setPdfforeColor(0x80000012u);
    Stelcodex1->setPdfcode(QStringLiteral("This is a PDF417 Barcode"));
    Stelcodex1->setPdfMode(0);
    Stelcodex1->setPdfbarHeight(7);
    Stelcodex1->setPdfColumns(10);
    Stelcodex1->setPdfbackColor(0x8000000Fu);
    Stelcodex1->hide();
    otrosControles_.append(Stelcodex1);

    controlesDatos_ = {txtDNI,      txtApellidos, txtNombre,    txtFechaNac, txtNacionalidad,
                       txtTfno,     txtDireccion, txtNum,       txtPuerta,   txtMunicipio,
                       txtProvincia, txtCP,       txtTitulacion};
    for (QLineEdit* a : txtArea)
        controlesDatos_.append(a);
    controlesDatos_ << optCategoria[0] << optCategoria[1];
    for (QCheckBox* c : chkDocu)
        controlesDatos_.append(c);
    controlesDatos_ << txtOtros << txtCiudad << txtDia << txtMes << txtAño;

    for (int i = 1; i < controlesDatos_.size(); ++i)
        QWidget::setTabOrder(controlesDatos_[i - 1], controlesDatos_[i]);
    for (QWidget* w : controlesDatos_)
        if (qobject_cast<QLineEdit*>(w))
            w->installEventFilter(this);

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
    const std::tuple<int, const char*, QKeySequence> items[] = {
        {1000, "Imprimir", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {2000, "Guardar", QKeySequence(Qt::CTRL | Qt::Key_G)},
        {2500, "Cargar otra solicitud", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {3000, "Salir", QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {4000, "Ayuda", QKeySequence(Qt::Key_F1)},
        {5000, "Cambiar contraseña", QKeySequence(Qt::CTRL | Qt::Key_K)}};
    const std::map<int, const char*> descripciones = {
        {1000, "Imprimir la solicitud"}, {2000, "Guardar la solicitud"},
        {2500, "Cargar otra solicitud"}, {3000, "Salir del programa"},
        {4000, "Abrir el manual de usuario"}, {5000, "Cambiar la contraseña"}};
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
    for (int i : {1000, 2000, 2500})
        mnuP[i]->setEnabled(false);
    BarraMenu::Resaltar(barra);
    // Shows the commands' tips and what a save did.
    statusBar()->setObjectName(QStringLiteral("sbEstado"));
    statusBar()->setAccessibleName(QStringLiteral("Barra de estado"));
}

QList<QWidget*> frmSolicitudes::Controles() const
{
    return controlesDatos_ + otrosControles_;
}

void frmSolicitudes::HabilitarEscritura(bool habilitar)
{
    for (int indice : {1000, 2000, 2500})
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
            mnuP[5000]->setVisible(false);
        optCategoria[0]->setChecked(true);
        // A word processor that cannot be reached at all counts as version 0: the
        // writer then reports the failure when the user saves.
        qint16 version = 0;
        try {
            version = ModWord::VersionWord();
        } catch (const std::exception&) {
        }
        estado().strVersionWord = QString::number(version);
        // Never larger than the screen: what does not fit scrolls.
        Pantalla::AjustarAPantalla(this, qobject_cast<QScrollArea*>(centralWidget()));
    }
    QMainWindow::showEvent(evento);
}

void frmSolicitudes::chkDocu_Click()
{
    const bool otros = chkDocu[3]->checkState() == Qt::Checked;
    txtOtros->setVisible(otros);
    if (!otros)
        txtOtros->setText(QString());
    else
        txtOtros->setFocus();
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
    case QEvent::KeyPress: {
        auto* tecla = static_cast<QKeyEvent*>(evento);
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
        break;
    }
    case QEvent::KeyRelease: {
        auto* tecla = static_cast<QKeyEvent*>(evento);
        // A held key repeats press and release; only the real release counts.
        if (tecla->isAutoRepeat())
            break;
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
        break;
    }
    case QEvent::FocusIn:
        if (caja == txtDNI || caja == txtNombre || caja == txtCP) {
            // After the click or key that brought the focus has placed the caret.
            QTimer::singleShot(0, caja, [caja] { caja->selectAll(); });
        }
        break;
    case QEvent::FocusOut: {
        // Losing the focus to a message box, a menu (also the menu bar reached
        // from the keyboard) or another window is not leaving the field; nor is
        // the focus moving while a check puts it back.
        const auto motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo == Qt::ActiveWindowFocusReason || motivo == Qt::PopupFocusReason
            || motivo == Qt::MenuBarFocusReason || enComprobacion_)
            break;
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
    default:
        break;
    }
    return QMainWindow::eventFilter(objeto, evento);
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
    mnuP[1000]->setEnabled(true);
    mnuP[2000]->setEnabled(true);
}

// ---- Menu, saving and closing ---------------------------------------------

void frmSolicitudes::mnuP_Click(int Index)
{
    QCoreApplication::processEvents();

    // These checks run for every item, "Salir" and "Ayuda" included.
    if (chkDocu[3]->checkState() == Qt::Checked && txtOtros->text().isEmpty()) {
        Critico(QStringLiteral("Por favor, rellene el campo Otros Documentos"));
        txtOtros->setFocus();
        return;
    }
    if (std::all_of(txtArea.begin(), txtArea.end(), [](QLineEdit* a) { return a->text().isEmpty(); })) {
        Critico(QStringLiteral("Por favor, rellene al menos un área de salud"));
        return;
    }

    // A failing step is passed over and the next one runs.
    const auto paso = [](auto&& accion) { Ignorando(accion); };

    switch (Index) {
    case 1000: {
        if (!CamposObligatorios())
            return;
        // A payload that cannot be built must not print a copy with an old one.
        bool hayDatos = false;
        try {
            estado().strDatosCodigo = GenerarDatosCodigo();
            hayDatos = true;
        } catch (const std::exception& fallo) {
            MessageBox::show(QStringLiteral("No se ha podido preparar el código de barras: ") + TextoFallo(fallo),
                             {}, QMessageBox::Critical);
        }
        if (hayDatos)
            GuardarSolicitud(true, false);
        break;
    }
    case 2000:
        GuardarSolicitud(false, false);
        break;
    case 2500: {
        const auto r = MessageBox::show(QStringLiteral("¿Guardar la solicitud actual?"), QStringLiteral("GUARDAR"),
                                        QMessageBox::NoIcon,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (r == QMessageBox::Yes) {
            GuardarSolicitud(false, false);
        } else if (r == QMessageBox::No) {
            emit ListaSolicitada();
            blnCerrarSinPreguntar = true;
            close();
        }
        break;
    }
    case 3000:
        close();
        break;
    case 4000:
        // A new, visible instance with a document based on the manual; the
        // user closes it when done.
        paso([this] { objWordAyuda = Word::CreateObject(); });
        if (objWordAyuda) {
            paso([this] { objWordAyuda->Documents().Add(NombresSolicitud::RutaManual()); });
            paso([this] { objWordAyuda->setVisible(true); });
        }
        break;
    case 5000:
        paso([this] { AbrirCreaPwd(txtDNI->text()); });
        break;
    default:
        break;
    }
}

bool frmSolicitudes::CamposObligatorios()
{
    const std::pair<QLineEdit*, const char*> campos[] = {
        {txtNombre, "Nombre"}, {txtApellidos, "Primer Apellido"}, {txtFechaNac, "Fecha de nacimiento"}};
    for (const auto& [caja, nombre] : campos) {
        if (caja->text().isEmpty()) {
            MessageBox::show(QStringLiteral("El campo ") + QString::fromUtf8(nombre) +
                                 QStringLiteral(" es obligatorio. Por favor, rellene los datos."),
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
    mnuP[5000]->setVisible(true);
    estado().blnTienePassword = true;
}

QString frmSolicitudes::NombreFichero() const
{
    const QString nombre = lblFichero->text();
    return nombre.isEmpty() ? NombresSolicitud::NombrePorDefecto(txtDNI->text()) : nombre;
}

bool frmSolicitudes::EscribirSolicitud(const QString& accion, bool imprimir, bool segundo)
{
    QString fichero = NombreFichero();
    const auto noGuardada = [imprimir](const QString& motivo) {
        MessageBox::show((imprimir ? QStringLiteral("La solicitud no se ha guardado ni impreso.\n")
                                   : QStringLiteral("La solicitud no se ha guardado.\n"))
                             + motivo
                             + QStringLiteral("\nLos datos siguen en el formulario y el fichero guardado antes no ha cambiado."),
                         {}, QMessageBox::Critical);
        return false;
    };
    // A new application takes its name for good at its first write.
    const bool reservar = !nombreReservado_;
    if (reservar) {
        const ResultadoEscritura r = NombresSolicitud::ReservarNombreNuevo(txtDNI->text(), estado().strRutaTemp, fichero);
        if (!r)
            return noGuardada(QStringLiteral("No se puede crear el fichero %1: %2.").arg(fichero, r.motivo()));
        if (fichero != NombreFichero())
            lblFichero->setText(fichero);
    }
    auto progreso = std::make_unique<frmProgresoGeneral>();
    progreso->lblAccion->setText(accion);
    progreso->show();
    try {
        if (estado().strVersionWord.toInt() <= 8)
            ModWord::GenerarDocumentoW97(fichero, estado().strRutaTemp, this, progreso.get(), Stelcodex1,
                                         imprimir, segundo);
        else
            ModWord::GenerarDocumentoWXP(fichero, estado().strRutaTemp, this, progreso.get(), Stelcodex1,
                                         imprimir, segundo);
    } catch (const std::exception& fallo) {
        const QString motivo = TextoFallo(fallo);
        progreso->close();
        if (reservar && QFileInfo(estado().strRutaTemp + fichero).size() == 0)
            QFile::remove(estado().strRutaTemp + fichero); // the name taken above, still empty
        return noGuardada(motivo);
    }
    nombreReservado_ = true;
    progreso->close();
    return true;
}

void frmSolicitudes::GuardarSolicitud(bool imprimir, bool segundo)
{
    if (!ComprobarDNI())
        return;
    PasoRegistro();
    if (EscribirSolicitud(QStringLiteral("Guardando Datos. Por favor, espere... "), imprimir, segundo)) {
        // No box for this: a few seconds in the status bar say where it went.
        statusBar()->showMessage(QStringLiteral("Solicitud guardada en ") +
                                     QDir::toNativeSeparators(estado().strRutaTemp + NombreFichero()),
                                 8000);
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
        } else if (r != QMessageBox::No) {
            cerrar = false;
        }
    }
    blnCerrarSinPreguntar = false;
    if (cerrar)
        QMainWindow::closeEvent(evento);
    else
        evento->ignore();
}
