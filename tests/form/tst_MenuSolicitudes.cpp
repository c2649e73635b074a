// The form's menu, its checks, writing the application through the document
// writer and the close prompt.
#include "tests/form/Formulario.h"

#include "applications/frmSeleccion.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "users/Validacion.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>

using namespace Prueba;

namespace {

// Answers the password dialog when it comes up: registers the DNI or not, then
// closes it. Counts how often it came.
struct RespuestaPwd {
    int veces = 0;
    bool registrar = false;
    QTimer vigia;
    void Preparar()
    {
        // Polls, as the menu handler runs pending events before the dialog exists.
        vigia.setInterval(5);
        QObject::disconnect(&vigia, nullptr, nullptr, nullptr);
        QObject::connect(&vigia, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->objectName() != QLatin1String("frmCreaPwd"))
                return;
            vigia.stop();
            ++veces;
            if (registrar)
                Validacion::AltaUsuario(estado().strDNIActual, QStringLiteral("secreto"));
            static_cast<QDialog*>(modal)->reject();
        });
        vigia.start();
    }
};

} // namespace

class tst_MenuSolicitudes : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    frmSolicitudes* f = nullptr;

    QString Fichero(const QString& nombre) const { return estado().strRutaTemp + nombre; }

    // A form that passes the checks every menu item makes.
    void Rellenar()
    {
        f->txtArea[4]->setText(QStringLiteral("1"));
        f->txtNombre->setText(QStringLiteral("Ana"));
        f->txtApellidos->setText(QStringLiteral("Perez"));
        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        f->txtCiudad->setText(QStringLiteral("León"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(carpeta.isValid());
        Word::setPrintOutputPdf(carpeta.filePath(QStringLiteral("impreso.pdf")));
    }

    void init()
    {
        PrepararEstado(carpeta.path() + QStringLiteral("/programa"));
        // Templates and manual as they ship; applications go to the test's folder.
        const QString programa = qEnvironmentVariable("VARELIO_PROGRAM_DIR");
        estado().strRutaFicheros = programa + QStringLiteral("/ficheros/");
        estado().strRutaPrograma = programa;
        QFile::remove(carpeta.filePath(QStringLiteral("usuarios.xml")));
        QVERIFY(QFile::copy(
            programa + QStringLiteral("/usuarioslimpio.xml"), carpeta.filePath(QStringLiteral("usuarios.xml"))));
        QVERIFY(Validacion::CargaUsuarios(carpeta.filePath(QStringLiteral("usuarios.xml"))));
        Validacion::AltaUsuario(estado().strDNIActual, QStringLiteral("secreto"));
        estado().blnTienePassword = true;
        f = Abrir();
        MessageBox::clear();
    }
    void cleanup()
    {
        Cerrar(f);
        if (auto* lista = frmSeleccion::Mostrar())
            lista->close();
        QDir(estado().strRutaTemp).removeRecursively();
        Word::quitAllInstances();
    }

    void comprobacionesDeCadaOrden()
    {
        // No health area: every item, "Salir" included, only says so.
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra, ComandoMenu::Salir,
                 ComandoMenu::Ayuda, ComandoMenu::CambiarContrasena}) {
            MessageBox::clear();
            f->mnuP_Click(i);
            QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene al menos un área de salud")});
            QCOMPARE(MessageBox::shown()[0].icon, QMessageBox::Critical);
        }
        // The same through a click on the menu bar.
        MessageBox::clear();
        QTest::mouseClick(
            f->menuBar(), Qt::LeftButton, {}, f->menuBar()->actionGeometry(f->mnuP.at(ComandoMenu::Salir)).center());
        QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene al menos un área de salud")});
        QVERIFY(f->isVisible());
        // And from the keyboard: F1 is "Ayuda".
        MessageBox::clear();
        QTest::keyClick(f->txtNombre, Qt::Key_F1);
        QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene al menos un área de salud")});
        // A box holding a blank counts as filled; "Otros" without text comes first.
        f->txtArea[10]->setText(QStringLiteral(" "));
        f->chkDocu[3]->setCheckState(Qt::Checked);
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra, ComandoMenu::Salir,
                 ComandoMenu::Ayuda, ComandoMenu::CambiarContrasena}) {
            f->txtCiudad->setFocus();
            MessageBox::clear();
            f->mnuP_Click(i);
            QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene el campo Otros Documentos")});
            QCOMPARE(QApplication::focusWidget(), f->txtOtros);
        }
        QVERIFY(!QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        // The window's close box still reaches the prompt; Cancel keeps the form.
        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::Cancel);
        f->close();
        QVERIFY(f->isVisible());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("La aplicación se cerrará, ¿desea guardar los cambios?"));
        QCOMPARE(MessageBox::shown()[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    }

    void camposObligatorios()
    {
        Rellenar();
        f->txtNombre->clear();
        f->txtApellidos->clear();
        f->mnuP_Click(ComandoMenu::Imprimir);
        QCOMPARE(
            Textos(), QStringList{QStringLiteral("El campo Nombre es obligatorio. Por favor, rellene los datos.")});
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("Validación"));
        QCOMPARE(MessageBox::shown()[0].icon, QMessageBox::Warning);
        QVERIFY(!QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        // "Guardar" has no such check: an empty Nombre is written.
        f->txtNombre->clear();
        MessageBox::clear();
        f->mnuP_Click(ComandoMenu::Guardar);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        QVERIFY(f->lblFichero->text().isEmpty());
    }

    // A save says where it went, in the status bar and without a box; a
    // failed one does not claim it.
    void guardarLoDiceEnLaBarraDeEstado()
    {
        Rellenar();
        Salir(f->txtCiudad); // enables "Guardar"
        const QString ficheros = estado().strRutaFicheros;
        estado().strRutaFicheros = carpeta.filePath(QStringLiteral("vacio/")); // no template
        QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(!f->statusBar()->findChild<QLabel*>(QStringLiteral("lblAviso"))->isVisible());
        estado().strRutaFicheros = ficheros;
        MessageBox::clear();
        QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        QVERIFY(MessageBox::shown().isEmpty());
        const QString dicho = QStringLiteral("Solicitud guardada en ")
            + QDir::toNativeSeparators(Fichero(QStringLiteral("12345678Z.doc")));
        auto* aviso = f->statusBar()->findChild<QLabel*>(QStringLiteral("lblAviso"));
        QVERIFY(aviso && aviso->isVisible());
        QCOMPARE(aviso->text(), dicho);

        // A screen reader hears it: a notification that appears, for each save
        // anew. (Offscreen, Qt passes no accessibility events on, as no bridge
        // is active; what a bridge would hear is the notification's showing.)
        QAccessibleInterface* nota = QAccessible::queryAccessibleInterface(aviso);
        QVERIFY(nota);
        QCOMPARE(nota->role(), QAccessible::Notification);
        QCOMPARE(nota->text(QAccessible::Name), dicho);
        QVERIFY(!nota->state().invisible);
        struct Apariciones : QObject {
            int veces = 0;
            bool eventFilter(QObject*, QEvent* e) override
            {
                veces += e->type() == QEvent::Show;
                return false;
            }
        } apariciones;
        aviso->installEventFilter(&apariciones);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(QTest::qWaitForWindowActive(f));
            QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::ControlModifier);
        }
        QCOMPARE(apariciones.veces, 2);
        // And it goes after a while, out of the reader's way.
        auto* fin = f->findChild<QTimer*>(QStringLiteral("tmrAviso"));
        QVERIFY(fin && fin->isActive() && fin->interval() >= 5000);
        fin->start(1);
        QTRY_VERIFY(!aviso->isVisible());
        QVERIFY(nota->state().invisible);
    }

    // After a command, however chosen, the focus is back in the box the
    // user was in; the "Otros" check alone moves it, to "Otros".
    void focoTrasUnaOrden()
    {
        Rellenar();
        Salir(f->txtCiudad);
        QMenuBar* barra = f->menuBar();
        const auto enNombre = [this] {
            f->txtNombre->setFocus(Qt::OtherFocusReason);
            QCOMPARE(QApplication::focusWidget(), f->txtNombre);
        };
        enNombre();
        QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), f->txtNombre);

        enNombre();
        QTest::mouseClick(barra, Qt::LeftButton, {}, barra->actionGeometry(f->mnuP.at(ComandoMenu::Guardar)).center());
        QTRY_COMPARE(QApplication::focusWidget(), f->txtNombre);

        // Alt alone to the menu bar, on to "Guardar", Enter.
        enNombre();
        QTest::keyClick(f->txtNombre, Qt::Key_Alt);
        QTRY_COMPARE(QApplication::focusWidget(), barra);
        for (int i = 0; i < 6 && barra->activeAction() != f->mnuP.at(ComandoMenu::Guardar); ++i)
            QTest::keyClick(barra, Qt::Key_Right);
        QCOMPARE(barra->activeAction(), f->mnuP.at(ComandoMenu::Guardar));
        QTest::keyClick(barra, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget(), f->txtNombre);

        // The menu's own key: Alt+G.
        enNombre();
        QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), f->txtNombre);
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QVERIFY(MessageBox::shown().isEmpty());

        f->chkDocu[3]->setCheckState(Qt::Checked);
        f->txtOtros->setText(QStringLiteral("Tesis"));
        enNombre();
        f->txtOtros->clear();
        QTest::keyClick(f->txtNombre, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene el campo Otros Documentos")});
        QTRY_COMPARE(QApplication::focusWidget(), f->txtOtros);
    }

    void registroDeUnDNISinPassword()
    {
        Cerrar(f);
        estado().strDNIActual = QStringLiteral("87654321X");
        estado().blnTienePassword = false;
        f = Abrir();
        Rellenar();
        QVERIFY(!f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());
        RespuestaPwd pwd;
        // Left without a password: the next write asks again.
        pwd.Preparar();
        f->mnuP_Click(ComandoMenu::Guardar);
        QCOMPARE(pwd.veces, 1);
        QVERIFY(f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());
        QVERIFY(estado().blnTienePassword);
        QVERIFY(QFile::exists(Fichero(QStringLiteral("87654321X.doc"))));
        pwd.registrar = true;
        pwd.Preparar();
        f->mnuP_Click(ComandoMenu::Guardar);
        QCOMPARE(pwd.veces, 2);
        pwd.Preparar();
        f->mnuP_Click(ComandoMenu::Guardar);
        QTest::qWait(30);
        QCOMPARE(pwd.veces, 2);
        // The form remembers the DNI is registered: the user file is not asked again.
        QVERIFY(QFile::remove(estado().strRutaUsuarios));
        f->mnuP_Click(ComandoMenu::Guardar);
        QTest::qWait(30);
        QCOMPARE(pwd.veces, 2);
        pwd.vigia.stop();
    }

    void cargarOtraSolicitud()
    {
        Rellenar();
        MessageBox::queueAnswer(QMessageBox::Cancel);
        f->mnuP_Click(ComandoMenu::CargarOtra);
        QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("¿Guardar la solicitud actual?"));
        QCOMPARE(MessageBox::shown()[0].title, QStringLiteral("GUARDAR"));
        QCOMPARE(MessageBox::shown()[0].icon, QMessageBox::NoIcon);
        QVERIFY(!QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        MessageBox::queueAnswer(QMessageBox::Yes);
        f->mnuP_Click(ComandoMenu::CargarOtra);
        QVERIFY(QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        QVERIFY(f->isVisible());
        // No: the list without "Solicitud Nueva", the form closed without its prompt.
        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::No);
        QPointer<frmSolicitudes> p(f);
        f->mnuP_Click(ComandoMenu::CargarOtra);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p);
        f = nullptr;
        frmSeleccion* lista = frmSeleccion::Mostrar();
        QVERIFY(lista->isVisible());
        QVERIFY(lista->cmdNueva->isHidden());
    }

    void cerrar()
    {
        Rellenar();
        // Yes with an empty DNI: told, and the form stays.
        f->txtDNI->clear();
        MessageBox::queueAnswer(QMessageBox::Yes);
        f->mnuP_Click(ComandoMenu::Salir);
        QCOMPARE(Textos().last(),
            QStringLiteral("Es necesario rellenar el DNI para grabar los datos o imprimir el informe"));
        QCOMPARE(MessageBox::shown().last().title, QStringLiteral("Datos no válidos"));
        QVERIFY(f->isVisible());
        // A writer that fails (no template) keeps the form open and says so.
        f->txtDNI->setText(QStringLiteral("12345678Z"));
        const QString ficheros = estado().strRutaFicheros;
        estado().strRutaFicheros = carpeta.filePath(QStringLiteral("vacio/"));
        MessageBox::clear();
        MessageBox::queueAnswer(QMessageBox::Yes);
        f->close();
        QVERIFY(f->isVisible());
        QCOMPARE(MessageBox::shown().size(), 2);
        QVERIFY(MessageBox::shown()[1].text.startsWith(QStringLiteral("La solicitud no se ha guardado.")));
        // Yes writes under the default name and closes.
        estado().strRutaFicheros = ficheros;
        MessageBox::queueAnswer(QMessageBox::Yes);
        QPointer<frmSolicitudes> p(f);
        f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!p);
        f = nullptr;
        QVERIFY(QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
    }

    void imprimirYReabrir()
    {
        // "Imprimir" writes under the form's own name and prints; what it wrote
        // comes back into a new form.
        Rellenar();
        f->chkDocu[3]->setCheckState(Qt::Checked);
        f->txtOtros->setText(QStringLiteral("Tesis"));
        f->optCategoria[1]->setChecked(true);
        f->lblFichero->setText(QStringLiteral("12345678Z-0905-071206.doc"));
        f->mnuP.at(ComandoMenu::Imprimir)->setEnabled(true);
        f->mnuP_Click(ComandoMenu::Imprimir);
        QVERIFY(estado().strDatosCodigo.startsWith(QStringLiteral("u|12345678Z|Perez|Ana|19700201|")));
        QVERIFY(!QFile::exists(Fichero(QStringLiteral("12345678Z.doc"))));
        QVERIFY(QFile::exists(carpeta.filePath(QStringLiteral("impreso.pdf"))));
        QVERIFY(!f->mnuP.at(ComandoMenu::Imprimir)->isEnabled());
        Cerrar(f);
        estado().strFicheroSeleccionado = QStringLiteral("12345678Z-0905-071206.doc");
        f = Abrir();
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z-0905-071206.doc"));
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QCOMPARE(f->txtArea[4]->text(), QStringLiteral("1"));
        QVERIFY(f->txtArea[3]->text().isEmpty());
        QVERIFY(f->optCategoria[1]->isChecked());
        QVERIFY(f->txtOtros->isVisible());
        QCOMPARE(f->txtOtros->text(), QStringLiteral("Tesis"));
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(f->mnuP.at(i)->isEnabled());
    }

    void ayuda()
    {
        Rellenar();
        const int antes = Word::runningInstanceCount();
        f->mnuP_Click(ComandoMenu::Ayuda);
        QVERIFY(f->objWordAyuda);
        QVERIFY(f->objWordAyuda->Visible());
        QCOMPARE(Word::runningInstanceCount(), antes + 1);
        QVERIFY(MessageBox::shown().isEmpty());
    }
};

QTEST_MAIN(tst_MenuSolicitudes)
#include "tst_MenuSolicitudes.moc"
