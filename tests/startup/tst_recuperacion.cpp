// The recovery copy of an open form, for real: typed keys on a form as start-up
// opens it, the copy on disk, and the question at the next opening. A child
// process types and is killed with SIGKILL; another fills its disk.
#include "tests/support/CarpetaPrograma.h"

#include "applications/Borrador.h"
#include "applications/ListaSolicitudes.h"
#include "applications/frmSeleccion.h"
#include "documents/CamposDocumento.h"
#include "form/CopiaRecuperacion.h"
#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "startup/AbrirSolicitud.h"
#include "startup/RecuperacionBorrador.h"
#include "users/Validacion.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kDNI = QStringLiteral("12345678Z");
const QString kFichero = QStringLiteral("12345678Z.doc");
using Campos = Borrador::Campos;

// State for a program folder that the test (or its child) works in.
void Preparar(const QString& programa) { CarpetaPrograma::SesionEn(programa, kDNI); }

frmSolicitudes* AbrirFormulario(const QString& fichero = {})
{
    estado().strFicheroSeleccionado = fichero;
    ModGeneral::EnlazarVentanas();
    if (!ModGeneral::AbrirSolicitud())
        return nullptr;
    frmSolicitudes* f = estado().frmSolicitudActual;
    estado().strVersionWord = QStringLiteral("12");
    f->activateWindow();
    if (!QTest::qWaitForWindowActive(f))
        qWarning("form window not active");
    return f;
}

// What the form's tagged controls hold, read here without the code under test.
Campos Valores(frmSolicitudes* f)
{
    Campos v;
    for (QWidget* w : f->Controles()) {
        if (Tag(w).isEmpty())
            continue;
        if (auto* c = qobject_cast<QLineEdit*>(w))
            v[Tag(w)] = c->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            v[Tag(w)] = b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return v;
}

QByteArray Json(const Campos& c)
{
    QJsonObject o;
    for (auto it = c.cbegin(); it != c.cend(); ++it)
        o.insert(it.key(), it.value());
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Campos DeJson(const QByteArray& linea)
{
    Campos c;
    const QJsonObject o = QJsonDocument::fromJson(linea).object();
    for (auto it = o.begin(); it != o.end(); ++it)
        c[it.key()] = it.value().toString();
    return c;
}

// Real key events, also for the letters QTest::keyClicks does not know (ñ, á).
void Teclas(QWidget* w, const QString& texto)
{
    for (const QChar c : texto) {
        if (c.unicode() < 0x80)
            QTest::keyClick(w, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

void Escribir(QWidget* w, const QString& texto)
{
    w->setFocus(Qt::OtherFocusReason);
    Teclas(w, texto);
}

// A whole application typed with real keys: every kind of field.
void Teclear(frmSolicitudes* f)
{
    Escribir(f->txtApellidos, QStringLiteral("Gómez"));
    Escribir(f->txtNombre, QStringLiteral("Beatriz"));
    Escribir(f->txtFechaNac, QStringLiteral("01/02/1970"));
    Escribir(f->txtTfno, QStringLiteral("987654321"));
    Escribir(f->txtArea[3], QStringLiteral("1"));
    Escribir(f->txtArea[7], QStringLiteral("2"));
    f->optCategoria[1]->setFocus();
    QTest::keyClick(f->optCategoria[1], Qt::Key_Space);
    f->chkDocu[1]->setFocus();
    QTest::keyClick(f->chkDocu[1], Qt::Key_Space);
    f->chkDocu[3]->setFocus();
    QTest::keyClick(f->chkDocu[3], Qt::Key_Space);
    Teclas(f->txtOtros, QStringLiteral("Máster"));
    Escribir(f->txtCiudad, QStringLiteral("León"));
    f->txtTitulacion->setFocus(Qt::OtherFocusReason); // leaving the city fills the date
}

unsigned Modo(const QString& ruta)
{
    struct stat st { };
    return ::lstat(QFile::encodeName(ruta).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QString RutaBorrador() { return estado().strRutaTemp + Borrador::Nombre(kFichero); }

bool Pregunto()
{
    for (const auto& m : MessageBox::shown())
        if (m.text.startsWith(QStringLiteral("Hay cambios de esta solicitud que no se guardaron (")))
            return m.text.endsWith(QStringLiteral("). ¿Desea recuperarlos?")) && m.icon == QMessageBox::Question;
    return false;
}

// Child process: types into a new application with real keys, at random,
// until it is killed. Prints "H <values>" before each draft is handed to the
// writer and "E" once it is on disk.
int HijoTeclea(int argc, char** argv)
{
    QApplication app(argc, argv);
    Preparar(qEnvironmentVariable("VARELIO_CARPETA"));
    frmSolicitudes* f = AbrirFormulario();
    if (!f)
        return 3;
    QTextStream out(stdout);
    CopiaRecuperacion& copia = f->Recuperacion();
    copia.FijarPausas(15, 80);
    QObject::connect(&copia, &CopiaRecuperacion::Entregando, [&out](const Campos& c) {
        out << "H " << Json(c) << "\n";
        out.flush();
    });
    QObject::connect(&copia, &CopiaRecuperacion::Escrita, [&out](const Campos&) {
        out << "E\n";
        out.flush();
    });
    QRandomGenerator azar(qEnvironmentVariable("VARELIO_SEMILLA").toUInt());
    Escribir(f->txtFechaNac, QStringLiteral("01/02/1970"));
    const QList<QLineEdit*> textos = {f->txtApellidos, f->txtNombre, f->txtNacionalidad, f->txtDireccion, f->txtNum,
        f->txtPuerta, f->txtMunicipio, f->txtProvincia, f->txtTitulacion, f->txtCiudad};
    const QString letras = QStringLiteral("abcñáéXYZ 'ü");
    QElapsedTimer reloj;
    reloj.start();
    while (reloj.elapsed() < 60000) {
        switch (azar.bounded(6)) {
        case 0: {
            QLineEdit* c = textos[azar.bounded(int(textos.size()))];
            if (c->text().size() > 30) {
                c->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(c, Qt::Key_A, Qt::ControlModifier);
                QTest::keyClick(c, Qt::Key_Backspace);
            }
            QString t;
            for (int i = azar.bounded(1, 4); i > 0; --i)
                t += letras[azar.bounded(int(letras.size()))];
            Escribir(c, t);
            break;
        }
        case 1:
            Escribir(azar.bounded(2) ? f->txtTfno : f->txtCP, QString::number(azar.bounded(10)));
            break;
        case 2: {
            const int i = azar.bounded(11);
            if (f->txtArea[i]->text().isEmpty())
                Escribir(f->txtArea[i], QString::number(i + 1)); // each area its own number
            else {
                f->txtArea[i]->setFocus(Qt::OtherFocusReason);
                QTest::keyClick(f->txtArea[i], Qt::Key_End);
                QTest::keyClick(f->txtArea[i], Qt::Key_Backspace);
                QTest::keyClick(f->txtArea[i], Qt::Key_Backspace);
            }
            break;
        }
        case 3: {
            QRadioButton* o = f->optCategoria[azar.bounded(2)];
            o->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(o, Qt::Key_Space);
            break;
        }
        case 4: {
            QCheckBox* c = f->chkDocu[azar.bounded(3)];
            c->setFocus(Qt::OtherFocusReason);
            QTest::keyClick(c, Qt::Key_Space);
            break;
        }
        default:
            f->chkDocu[3]->setFocus(Qt::OtherFocusReason);
            if (!f->chkDocu[3]->isChecked() || azar.bounded(4) == 0)
                QTest::keyClick(f->chkDocu[3], Qt::Key_Space);
            if (f->chkDocu[3]->isChecked())
                Escribir(f->txtOtros, QString(letras[azar.bounded(int(letras.size()))]));
            break;
        }
        QTest::qWait(azar.bounded(12));
    }
    return 0;
}

// Child process with writes to temporary files failing for lack of space:
// types, has two drafts written, and tells what the window showed.
int HijoLleno(int argc, char** argv)
{
    QApplication app(argc, argv);
    Preparar(qEnvironmentVariable("VARELIO_CARPETA"));
    frmSolicitudes* f = AbrirFormulario();
    if (!f)
        return 3;
    QTextStream out(stdout);
    int fallos = 0;
    QObject::connect(&f->Recuperacion(), &CopiaRecuperacion::Fallo, [&fallos] { ++fallos; });
    for (const auto& [caja, texto] :
        {std::pair{f->txtNombre, QStringLiteral("Ana")}, std::pair{f->txtApellidos, QStringLiteral("Pérez")}}) {
        Escribir(caja, texto);
        f->Recuperacion().Actualizar();
        f->Recuperacion().Esperar();
        QTest::qWait(20);
    }
    out << "estado: " << f->statusBar()->currentMessage() << "\n";
    out << "avisos: " << fallos << "\n";
    out << "texto: " << f->txtNombre->text() << " " << f->txtApellidos->text() << "\n";
    out << "borrador: " << (QFileInfo::exists(RutaBorrador()) ? "sí" : "no") << "\n";
    out << "mensajes: " << MessageBox::shown().size() << "\n";
    return 0;
}

} // namespace

class tst_Recuperacion : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    QPointer<frmSolicitudes> f;

    // The stored application holds `a` typed and saved; the form is closed.
    void GuardarVersion(const QString& nombre)
    {
        f = AbrirFormulario();
        QVERIFY(f);
        Escribir(f->txtNombre, nombre);
        Escribir(f->txtArea[0], QStringLiteral("1"));
        f->mnuP.at(ComandoMenu::Guardar)->setEnabled(true);
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(QFileInfo::exists(estado().strRutaTemp + kFichero));
        Cerrar();
    }

    void Cerrar()
    {
        if (f) {
            f->blnCerrarSinPreguntar = true;
            f->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    // A crash: the form goes without any close, what it typed was written.
    void Morir()
    {
        f->Recuperacion().Actualizar();
        f->Recuperacion().Esperar();
        delete f.data();
    }

    void Poner(const Borrador::Datos& d) { QVERIFY(Borrador::Escribir(estado().strRutaTemp, d)); }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrograma>();
        Preparar(estado().strRutaPrograma);
        QVERIFY(Validacion::AltaUsuario(kDNI, QStringLiteral("secreto")));
    }
    void cleanup()
    {
        Cerrar();
        carpeta.reset();
    }

    // Typing leaves a draft of the new application after the pause and when the
    // focus leaves a field; owner-only, hidden from the list; the stored file is
    // not touched. "Guardar" removes it, as does "No" at the close prompt.
    void borradorMientrasSeEscribe()
    {
        f = AbrirFormulario();
        f->Recuperacion().FijarPausas(30, 1000);
        QTest::keyClicks(f->txtApellidos, QStringLiteral("Ruiz"));
        QTRY_VERIFY(QFileInfo::exists(RutaBorrador()));
        QCOMPARE(Modo(RutaBorrador()), 0600u);
        const Borrador::Lectura l = Borrador::Leer(estado().strRutaTemp, kFichero);
        QCOMPARE(l.estado, Borrador::Lectura::Valido);
        QCOMPARE(l.datos.dni, kDNI);
        QCOMPARE(l.datos.solicitud, kFichero);
        QCOMPARE(l.datos.campos, Valores(f));
        QVERIFY(qAbs(l.datos.fecha.secsTo(QDateTime::currentDateTimeUtc())) < 10);
        QVERIFY(!QFileInfo::exists(estado().strRutaTemp + kFichero));
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(kDNI), qint16(0));

        // Leaving a field writes at once, without waiting for the pause.
        f->Recuperacion().FijarPausas(60000, 60000);
        QTest::keyClicks(f->txtApellidos, QStringLiteral(" Gil"));
        QTest::keyClick(f->txtApellidos, Qt::Key_Tab);
        f->Recuperacion().Esperar();
        QCOMPARE(Borrador::Leer(estado().strRutaTemp, kFichero).datos.campos.value(QStringLiteral("PRIMERAPELLIDO")),
            QStringLiteral("Ruiz Gil"));

        Escribir(f->txtArea[0], QStringLiteral("1"));
        f->mnuP.at(ComandoMenu::Guardar)->setEnabled(true);
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(QFileInfo::exists(estado().strRutaTemp + kFichero));
        QVERIFY(!QFileInfo::exists(RutaBorrador()));
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(kDNI), qint16(1));

        // Changed again, then thrown away at the close prompt.
        QTest::keyClicks(f->txtNombre, QStringLiteral("Eva"));
        f->Recuperacion().Actualizar();
        f->Recuperacion().Esperar();
        QVERIFY(QFileInfo::exists(RutaBorrador()));
        MessageBox::queueAnswer(QMessageBox::No);
        QVERIFY(f->close());
        QVERIFY(!QFileInfo::exists(RutaBorrador()));
        QCOMPARE(QDir(estado().strRutaTemp).entryList(QDir::Files | QDir::Hidden), QStringList{kFichero});
    }

    // After a crash the stored application opens from the list with the
    // question; "Sí" gives the typed values (every kind of field), the menu of a
    // changed form and an untouched stored file; "No" removes the draft.
    void recuperarAlAbrir()
    {
        GuardarVersion(QStringLiteral("Ana"));
        QVERIFY(!QTest::currentTestFailed());
        const QByteArray guardada = [] {
            QFile g(estado().strRutaTemp + kFichero);
            return g.open(QIODevice::ReadOnly) ? g.readAll() : QByteArray();
        }();
        f = AbrirFormulario(kFichero);
        QVERIFY(!Pregunto());
        f->txtNombre->clear();
        f->txtArea[0]->clear();
        Teclear(f);
        const Campos tecleados = Valores(f);
        QCOMPARE(tecleados.value(QStringLiteral("ENFERMERO")), QStringLiteral("1"));
        QCOMPARE(tecleados.value(QStringLiteral("DESCOTROS")), QStringLiteral("Máster"));
        Morir();

        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::Yes);
        f = AbrirFormulario(kFichero);
        QVERIFY(Pregunto());
        QCOMPARE(Valores(f), tecleados);
        QVERIFY(f->txtOtros->isVisible());
        QVERIFY(f->mnuP.at(ComandoMenu::Imprimir)->isEnabled() && f->mnuP.at(ComandoMenu::Guardar)->isEnabled());
        QCOMPARE(QApplication::focusWidget(), f->txtApellidos);
        QVERIFY(QFileInfo::exists(RutaBorrador()));
        QFile g(estado().strRutaTemp + kFichero);
        QVERIFY(g.open(QIODevice::ReadOnly));
        QCOMPARE(g.readAll(), guardada);
        Cerrar(); // no prompt answered: the draft stays

        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::No);
        f = AbrirFormulario(kFichero);
        QVERIFY(Pregunto());
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QVERIFY(!QFileInfo::exists(RutaBorrador()));
    }

    // What is not offered: a draft older than the stored file goes without a
    // word; another DNI's stays where it is; a damaged one is set aside, kept,
    // with a message, and the stored application opens. A FIFO in its place
    // does not hang the opening.
    void borradoresQueNoSeOfrecen()
    {
        GuardarVersion(QStringLiteral("Ana"));
        const QDateTime guardada = QFileInfo(estado().strRutaTemp + kFichero).lastModified();
        Poner({kFichero, kDNI, guardada.addSecs(-60), {{QStringLiteral("NOMBRE"), QStringLiteral("Vieja")}}});
        MessageBox::clear();
        f = AbrirFormulario(kFichero);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QVERIFY(!QFileInfo::exists(RutaBorrador()));
        Cerrar();

        Poner({kFichero, QStringLiteral("87654321X"), QDateTime::currentDateTimeUtc().addSecs(60),
            {{QStringLiteral("NOMBRE"), QStringLiteral("Otra")}}});
        const QByteArray ajeno = [] {
            QFile b(RutaBorrador());
            return b.open(QIODevice::ReadOnly) ? b.readAll() : QByteArray();
        }();
        f = AbrirFormulario(kFichero);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QVERIFY(!RecuperacionBorrador::OfrecerNuevas());
        // Kept out of the way of this user's own drafts, byte for byte.
        Escribir(f->txtNombre, QStringLiteral("Eva"));
        Morir();
        const QStringList apartado
            = QDir(estado().strRutaTemp)
                  .entryList({QStringLiteral(".*.borrador-apartado-*")}, QDir::Files | QDir::Hidden);
        QCOMPARE(apartado.size(), 1);
        QFile b(estado().strRutaTemp + apartado.constFirst());
        QVERIFY(b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), ajeno);
        b.close();
        QVERIFY(b.remove());
        QVERIFY(Borrador::Quitar(estado().strRutaTemp, kFichero));

        for (const QByteArray& basura : {QByteArray("{\"formato\": \"varelio-borrador\", \"vers"), QByteArray()}) {
            QFile::remove(RutaBorrador());
            if (basura.isEmpty())
                QCOMPARE(::mkfifo(QFile::encodeName(RutaBorrador()).constData(), 0600), 0);
            else
                QVERIFY(EscribirFicheroSeguro(RutaBorrador(), basura));
            MessageBox::clear();
            f = AbrirFormulario(kFichero);
            QVERIFY(f);
            QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
            QCOMPARE(MessageBox::shown().size(), 1);
            const auto aviso = MessageBox::shown().constFirst();
            QVERIFY2(aviso.text.contains(QStringLiteral("está dañada")), qPrintable(aviso.text));
            QCOMPARE(aviso.icon, QMessageBox::Warning);
            QVERIFY(!QFileInfo::exists(RutaBorrador()) && !QFileInfo(RutaBorrador()).isSymLink());
            const QStringList apartados
                = QDir(estado().strRutaTemp)
                      .entryList({QStringLiteral(".*.borrador-apartado-*")}, QDir::Files | QDir::Hidden | QDir::System);
            QCOMPARE(apartados.size(), basura.isEmpty() ? 2 : 1);
            QVERIFY(aviso.text.contains(apartados.constLast()) || aviso.text.contains(apartados.constFirst()));
            Cerrar();
        }
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(kDNI), qint16(1));
    }

    // "Borrar Solicitud" removes the application's draft with it.
    void borrarSolicitudQuitaElBorrador()
    {
        GuardarVersion(QStringLiteral("Ana"));
        Poner({kFichero, kDNI, QDateTime::currentDateTimeUtc(), {{QStringLiteral("NOMBRE"), QStringLiteral("Eva")}}});
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(kDNI), qint16(1));
        QPointer<frmSeleccion> lista = frmSeleccion::Mostrar();
        lista->cboSolicitudes->setCurrentIndex(0);
        MessageBox::queueAnswer(QMessageBox::Yes);
        QTest::mouseClick(lista->cmdBorrar, Qt::LeftButton);
        QVERIFY(!QFileInfo::exists(estado().strRutaTemp + kFichero));
        QVERIFY(!QFileInfo::exists(RutaBorrador()));
        lista->close();
    }

    // A new application never stored is offered right after sign-in: "Sí" opens
    // it under its name with the typed values, "No" removes the draft.
    void nuevaSinGuardar()
    {
        const QString nombre = QStringLiteral("12345678Z-0905-071206.doc");
        const Campos c{{QStringLiteral("NOMBRE"), QStringLiteral("Eva")},
            {QStringLiteral("AREASORIA"), QStringLiteral("1")}, {QStringLiteral("OTROS"), QStringLiteral("1")},
            {QStringLiteral("DESCOTROS"), QStringLiteral("Tesis")}};
        Poner({nombre, kDNI, QDateTime::currentDateTimeUtc(), c});
        MessageBox::queueAnswer(QMessageBox::Yes);
        QVERIFY(RecuperacionBorrador::OfrecerNuevas());
        f = estado().frmSolicitudActual;
        QVERIFY(Pregunto());
        QCOMPARE(f->lblFichero->text(), nombre);
        const Campos v = Valores(f);
        for (auto it = c.cbegin(); it != c.cend(); ++it)
            QCOMPARE(v.value(it.key()), it.value());
        QCOMPARE(f->txtDNI->text(), kDNI);
        Cerrar();

        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::No);
        QVERIFY(!RecuperacionBorrador::OfrecerNuevas());
        QVERIFY(Pregunto());
        QVERIFY(QDir(estado().strRutaTemp).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QVERIFY(!estado().frmSolicitudActual);
    }

    // The real question box: Spanish buttons, "Sí" pressed by Enter, the time
    // of the changes in the text. Drawn into the build folder
    // (recuperacion.png), as the user sees it.
    void preguntaEnPantalla()
    {
        const QString nombre = QStringLiteral("12345678Z-0905-071206.doc");
        const QDateTime cuando(QDate(2026, 12, 10), QTime(15, 30), Qt::LocalTime);
        Poner({nombre, kDNI, cuando.toUTC(), {{QStringLiteral("NOMBRE"), QStringLiteral("Eva")}}});
        MessageBox::setTestMode(false);
        QString texto, si;
        QTimer::singleShot(50, this, [&] {
            auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!caja)
                return;
            texto = caja->text();
            si = caja->defaultButton() ? caja->defaultButton()->text() : QString();
            QVERIFY(caja->grab().save(QCoreApplication::applicationDirPath() + QStringLiteral("/recuperacion.png")));
            QTest::keyClick(caja, Qt::Key_Return);
        });
        const bool abierta = RecuperacionBorrador::OfrecerNuevas();
        MessageBox::setTestMode(true);
        QCOMPARE(texto,
            QStringLiteral(
                "Hay cambios de esta solicitud que no se guardaron (10/12/2026 15:30). ¿Desea recuperarlos?"));
        QCOMPARE(si, QStringLiteral("Sí"));
        QVERIFY(abierta);
        f = estado().frmSolicitudActual;
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Eva"));
    }

    // The disk fills up while drafts are written: the status bar says so once,
    // no box appears, the typing goes on.
    void discoLleno()
    {
        QProcess hijo;
        QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
        entorno.insert(QStringLiteral("VARELIO_HIJO"), QStringLiteral("lleno"));
        entorno.insert(QStringLiteral("VARELIO_CARPETA"), estado().strRutaPrograma);
        entorno.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VARELIO_SIN_ESPACIO));
        hijo.setProcessEnvironment(entorno);
        hijo.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(hijo.waitForFinished(60000));
        const QString salida = QString::fromUtf8(hijo.readAllStandardOutput());
        QCOMPARE(hijo.exitCode(), 0);
        QVERIFY2(salida.contains(QStringLiteral(
                     "estado: No se puede guardar la copia de recuperación: no queda espacio libre en el disco\n")),
            qPrintable(salida));
        QVERIFY2(salida.contains(QStringLiteral("avisos: 1\n")), qPrintable(salida));
        QVERIFY(salida.contains(QStringLiteral("texto: Ana Pérez\n")));
        QVERIFY(salida.contains(QStringLiteral("borrador: no\n")));
        QVERIFY(salida.contains(QStringLiteral("mensajes: 0\n")));
    }

    // Killed at random moments after its first draft, the typing child leaves a
    // draft that the next start offers; "Sí" gives exactly the values of the
    // last draft it had written, or of one it was writing, never a mix.
    void muertesAlAzar()
    {
        QRandomGenerator azar(20261210);
        for (int vuelta = 0; vuelta < 50; ++vuelta) {
            QProcess hijo;
            QProcessEnvironment entorno = QProcessEnvironment::systemEnvironment();
            entorno.insert(QStringLiteral("VARELIO_HIJO"), QStringLiteral("teclea"));
            entorno.insert(QStringLiteral("VARELIO_CARPETA"), estado().strRutaPrograma);
            entorno.insert(QStringLiteral("VARELIO_SEMILLA"), QString::number(vuelta));
            hijo.setProcessEnvironment(entorno);
            hijo.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(hijo.waitForStarted());
            QByteArray salida;
            while (!salida.contains("\nE\n") && hijo.state() == QProcess::Running) {
                hijo.waitForReadyRead(100);
                salida += hijo.readAllStandardOutput();
            }
            QVERIFY2(salida.contains("\nE\n"), salida.constData());
            QTest::qWait(azar.bounded(250));
            ::kill(pid_t(hijo.processId()), SIGKILL);
            QVERIFY(hijo.waitForFinished(10000));
            salida += hijo.readAllStandardOutput();

            // The values handed over since the last one known to be on disk.
            QList<Campos> entregados;
            qsizetype ultimoEscrito = -1;
            for (const QByteArray& linea : salida.split('\n')) {
                if (linea.startsWith("H "))
                    entregados.append(DeJson(linea.mid(2)));
                else if (linea == "E")
                    ++ultimoEscrito;
            }
            QVERIFY(ultimoEscrito >= 0);
            const QList<Campos> posibles = entregados.mid(ultimoEscrito);

            MessageBox::clear();
            MessageBox::queueAnswer(QMessageBox::Yes);
            QVERIFY(RecuperacionBorrador::OfrecerNuevas());
            f = estado().frmSolicitudActual;
            QVERIFY(Pregunto());
            const Campos v = Valores(f);
            QVERIFY2(posibles.contains(v),
                qPrintable(QStringLiteral("vuelta %1: %2").arg(vuelta).arg(QString::fromUtf8(Json(v)))));
            Cerrar();
            QVERIFY(Borrador::Quitar(estado().strRutaTemp, kFichero));
            LimpiarTemporales(estado().strRutaTemp);
        }
        // Drafts only: the application itself was never stored.
        QVERIFY(!QFileInfo::exists(estado().strRutaTemp + kFichero));
    }
};

int main(int argc, char** argv)
{
    const QString hijo = qEnvironmentVariable("VARELIO_HIJO");
    if (hijo == QLatin1String("teclea"))
        return HijoTeclea(argc, argv);
    if (hijo == QLatin1String("lleno"))
        return HijoLleno(argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    tst_Recuperacion prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_recuperacion.moc"
