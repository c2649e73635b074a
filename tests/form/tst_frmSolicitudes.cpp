// The application form as start-up opens it, and its field rules driven by
// key strokes and focus moves.
#include "tests/form/Formulario.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"

#include "documents/ModWord.h"
#include "form/Pegado.h"

#include <QCheckBox>
#include <stelcode/Stelcodex.h>
#include <QDate>
#include <QLabel>
#include <QMenuBar>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

using namespace Prueba;

class tst_frmSolicitudes : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    frmSolicitudes* f = nullptr;

private slots:
    void init()
    {
        PrepararEstado(carpeta.path());
        f = Abrir();
        MessageBox::clear();
    }
    void cleanup() { Cerrar(f); }

    void formularioRecienAbierto()
    {
        QCOMPARE(f->windowTitle(), QStringLiteral("Solicitud de Concurso"));
        QVERIFY(f->testAttribute(Qt::WA_DeleteOnClose));
        QCOMPARE(estado().frmSolicitudActual, f);
        QCOMPARE(f->txtDNI->text(), QStringLiteral("12345678Z"));
        QVERIFY(!f->txtDNI->isEnabled());
        QVERIFY(f->optCategoria[0]->isChecked());
        for (QCheckBox* c : f->chkDocu)
            QCOMPARE(c->checkState(), Qt::Unchecked);
        QVERIFY(!f->txtOtros->isVisible());
        QVERIFY(f->lblFichero->text().isEmpty());
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(!f->mnuP.at(i)->isEnabled());
        // No password yet: "Cambiar contraseña" is hidden.
        QVERIFY(!f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());
        QCOMPARE(estado().strVersionWord, QString::number(ModWord::VersionWord()));
        // The barcode control keeps its stored values, out of the user's way.
        QVERIFY(f->Stelcodex1 && !f->Stelcodex1->isVisible());
        QCOMPARE(f->Stelcodex1->pdfcode(), QStringLiteral("This is a PDF417 Barcode"));
        QCOMPARE(f->Stelcodex1->pdfColumns(), 10);
        QVERIFY(MessageBox::shown().isEmpty());
        // The first keystroke goes into APELLIDOS.
        QCOMPARE(QApplication::focusWidget(), f->txtApellidos);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ruiz"));
        QCOMPARE(f->txtApellidos->text(), QStringLiteral("Ruiz"));
    }

    // A whole Tab cycle stops only at named, visible controls of the form.
    void cicloDeTabulacion()
    {
        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        f->txtArea[0]->setText(QStringLiteral("1"));
        QWidget* anterior = QApplication::focusWidget();
        QCOMPARE(anterior, f->txtApellidos);
        for (int i = 0; i < 2 * f->Controles().size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* w = QApplication::focusWidget();
            QVERIFY(w && w != anterior);
            QVERIFY2(w->isVisible() && !w->accessibleName().isEmpty(), w->metaObject()->className());
            QVERIFY2(f->Controles().contains(w), qPrintable(w->objectName()));
            anterior = w;
        }
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void abrirConPasswordYFichero()
    {
        Cerrar(f);
        estado().blnTienePassword = true;
        estado().strFicheroPorDefecto = QStringLiteral("12345678Z.doc");
        f = Abrir();
        QVERIFY(f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z.doc"));
        // The destroyed form no longer counts as the open one.
        Cerrar(f);
        QVERIFY(estado().frmSolicitudActual == nullptr);
        f = nullptr;
    }

    void sinProcesadorDeTextos()
    {
        // No word processor to be had: the form still opens, with version 0.
        struct SinWord : Word::Provider {
            std::shared_ptr<Word::Application> create() override { throw Word::Error(429, QStringLiteral("no hay")); }
            std::shared_ptr<Word::Application> attach() override { throw Word::Error(429, QStringLiteral("no hay")); }
        } sinWord;
        Cerrar(f);
        Word::setProvider(&sinWord);
        f = Abrir();
        Word::setProvider(nullptr);
        QVERIFY(f->isVisible());
        QCOMPARE(estado().strVersionWord, QStringLiteral("0"));
    }

    void etiquetasYOrden()
    {
        const QList<QWidget*> c = f->Controles();
        QStringList tags;
        for (QWidget* w : c)
            if (!Tag(w).isEmpty())
                tags << Tag(w);
        const QStringList esperado = QStringLiteral(
            "NIF PRIMERAPELLIDO NOMBRE FECHANACIMIENTO NACIONALIDAD TELEFONO DOMICILIO NUM PUERTA LOCALIDAD "
            "PROVINCIA CPOSTAL TITULACION AREAAVILA AREABURGOS AREALEON AREAELBIERZO AREAPALENCIA "
            "AREASALAMANCA AREASEGOVIA AREASORIA AREAVALLADOLIDESTE AREAVALLADOLIDOESTE AREAZAMORA MEDICO "
            "ENFERMERO ESPECIALISTA EXPERIENCIA CURSOS OTROS DESCOTROS CIUDAD DIA MES AÑO")
                                         .split(QLatin1Char(' '));
        QCOMPARE(tags, esperado);
        QCOMPARE(Tag(c[esperado.size() - 1]), QStringLiteral("AÑO")); // tagged controls first
        // TAB walks the data controls in order, past the disabled DNI, the
        // unselected category and the hidden "Otros" description.
        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        f->txtApellidos->setFocus();
        for (int i = 2; i < esperado.size(); ++i) {
            if (c[i] == f->optCategoria[1] || c[i] == f->txtOtros)
                continue;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(Tag(QApplication::focusWidget()), esperado[i]);
        }
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(f->txtArea[10]->maxLength(), 3);
        // Every input carries a name for screen readers and tests.
        for (QWidget* w : c)
            if (!Tag(w).isEmpty())
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(Tag(w)));
    }

    void barraRechazada()
    {
        f->txtNombre->setFocus();
        f->txtNombre->setText(QStringLiteral("Ana"));
        // AltGr+1 as X11 reports it: the bar key with the group switch.
        Enviar(f->txtNombre, QEvent::KeyPress, Qt::Key_Bar, Qt::GroupSwitchModifier);
        Enviar(f->txtNombre, QEvent::KeyRelease, Qt::Key_Bar, Qt::GroupSwitchModifier);
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana"));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown()[0].text, QStringLiteral("Carácter incorrecto"));
        QCOMPARE(MessageBox::shown()[0].icon, QMessageBox::Critical);
        QCOMPARE(MessageBox::shown()[0].title, MessageBox::programTitle());

        // Control plus Alt with the "1" key; a full box keeps its digits, as no
        // bar got in.
        MessageBox::clear();
        f->txtTfno->setText(QStringLiteral("987654321"));
        f->txtTfno->setFocus();
        Enviar(f->txtTfno, QEvent::KeyPress, Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        Enviar(f->txtTfno, QEvent::KeyRelease, Qt::Key_1, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(f->txtTfno->text(), QStringLiteral("987654321"));
        QCOMPARE(Textos(), QStringList{QStringLiteral("Carácter incorrecto")});

        // A held key types no bar at all; its one real release tells once.
        MessageBox::clear();
        f->txtCiudad->setFocus();
        f->txtCiudad->setText(QStringLiteral("Ana"));
        const auto m = Qt::GroupSwitchModifier;
        Enviar(f->txtCiudad, QEvent::KeyPress, Qt::Key_Bar, m);
        for (int i = 0; i < 2; ++i) {
            Enviar(f->txtCiudad, QEvent::KeyRelease, Qt::Key_Bar, m, true);
            Enviar(f->txtCiudad, QEvent::KeyPress, Qt::Key_Bar, m, true);
        }
        Enviar(f->txtCiudad, QEvent::KeyRelease, Qt::Key_Bar, m);
        QCOMPARE(f->txtCiudad->text(), QStringLiteral("Ana"));
        QCOMPARE(MessageBox::shown().size(), 1);
        // AltGr let go first: the key's release no longer reads as the bar.
        Enviar(f->txtCiudad, QEvent::KeyPress, Qt::Key_Bar, m);
        Enviar(f->txtCiudad, QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier);
        QCOMPARE(f->txtCiudad->text(), QStringLiteral("Ana"));
        QCOMPARE(MessageBox::shown().size(), 2);

        // Boxes without the check, and ordinary keys, are left alone.
        MessageBox::clear();
        f->txtNombre->setFocus();
        QTest::keyClicks(f->txtNombre, QStringLiteral(" Mª1"));
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana Mª1"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The bar goes wherever it was typed or pasted; the rest stays as it was.
    void barraDondeEste()
    {
        f->txtNombre->setFocus();
        f->txtNombre->setText(QStringLiteral("Ana María"));
        f->txtNombre->setCursorPosition(3);
        QTest::keyClick(f->txtNombre, '|', Qt::GroupSwitchModifier);
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana María"));
        QCOMPARE(f->txtNombre->cursorPosition(), 3);
        // Over a selection: the selected text is not lost.
        f->txtNombre->selectAll();
        QTest::keyClick(f->txtNombre, '|', Qt::GroupSwitchModifier);
        QCOMPARE(f->txtNombre->text(), QStringLiteral("Ana María"));
        QCOMPARE(Textos(), QStringList(2, QStringLiteral("Carácter incorrecto")));

        // Pasted, with the keys or the middle of a text.
        MessageBox::clear();
        QGuiApplication::clipboard()->setText(QStringLiteral("Pérez|Gil|"));
        f->txtApellidos->setFocus();
        f->txtApellidos->setText(QStringLiteral("de "));
        QTest::keyClick(f->txtApellidos, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->txtApellidos->text(), QStringLiteral("de PérezGil"));
        QCOMPARE(f->txtApellidos->cursorPosition(), f->txtApellidos->text().size());
        QCOMPARE(Textos(), QStringList{QStringLiteral("Carácter incorrecto")});
        // A paste without a bar says nothing.
        MessageBox::clear();
        QGuiApplication::clipboard()->setText(QStringLiteral(" Sanz"));
        QTest::keyClick(f->txtApellidos, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->txtApellidos->text(), QStringLiteral("de PérezGil Sanz"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Pasted or dropped text in a numeric box keeps what typing it would have
    // entered, before the length limit cuts it; the leave check then runs.
    void pegadoEnCajasNumericas()
    {
        QClipboard* portapapeles = QGuiApplication::clipboard();
        f->txtCP->setFocus();
        portapapeles->setText(QStringLiteral("28O01"));
        QTest::keyClick(f->txtCP, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->txtCP->text(), QStringLiteral("2801"));
        f->txtCP->clear();
        portapapeles->setText(QStringLiteral("28 001"));
        QTest::keyClick(f->txtCP, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(f->txtCP->text(), QStringLiteral("28001"));

        // "28O" (a letter O) becomes 28, which the preference check then refuses.
        portapapeles->setText(QStringLiteral("28O"));
        f->txtArea[0]->setFocus();
        QTest::keyClick(f->txtArea[0], Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f->txtArea[0]->text(), QStringLiteral("28"));
        QTest::keyClick(f->txtArea[0], Qt::Key_Tab);
        QCOMPARE(Textos(), QStringList{QStringLiteral("El valor debe ser un número entero entre 1 y 11")});
        QVERIFY(f->txtArea[0]->text().isEmpty());

        // The context menu's "Paste".
        MessageBox::clear();
        portapapeles->setText(QStringLiteral("1a,5,"));
        QTimer::singleShot(0, this, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* pegar = nullptr;
            for (QAction* a : menu ? menu->actions() : QList<QAction*>())
                if (a->text().endsWith(QStringLiteral("\tCtrl+V")))
                    pegar = a;
            if (!pegar) {
                if (menu)
                    menu->close();
                return;
            }
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(pegar).center());
        });
        f->txtArea[1]->setFocus();
        QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), f->txtArea[1]->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(f->txtArea[1], &menu);
        QCOMPARE(f->txtArea[1]->text(), QStringLiteral("1,5"));

        // Dropped from elsewhere (outside a drag the application does not
        // deliver drops, so the box's handler gets it straight).
        QMimeData datos;
        datos.setText(QStringLiteral("7 x"));
        QDropEvent soltar(QPointF(5, 5), Qt::CopyAction, &datos, Qt::LeftButton, Qt::NoModifier);
        QVERIFY(Pegado::FiltrarEventoNumerico(f->txtArea[2], &soltar));
        QVERIFY(soltar.isAccepted());
        QCOMPARE(f->txtArea[2]->text(), QStringLiteral("7"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Typed signs and commas that make no preference are refused on leaving;
    // a lone hyphen still passes.
    void areaSinNumero()
    {
        for (const char* texto : {"1-", "5-", "--", ","}) {
            MessageBox::clear();
            f->txtArea[3]->setFocus();
            QTest::keyClicks(f->txtArea[3], QString::fromLatin1(texto));
            QCOMPARE(f->txtArea[3]->text(), QString::fromLatin1(texto));
            QTest::keyClick(f->txtArea[3], Qt::Key_Tab);
            QVERIFY2(Textos() == QStringList{QStringLiteral("El valor debe ser un número entero entre 1 y 11")}, texto);
            QVERIFY(f->txtArea[3]->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), f->txtArea[3]);
        }
        MessageBox::clear();
        QTest::keyClicks(f->txtArea[3], QStringLiteral("-"));
        QTest::keyClick(f->txtArea[3], Qt::Key_Tab);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void fechaNacimientoEnSuIntervalo()
    {
        const QString manana = QDate::currentDate().addDays(1).toString(QStringLiteral("dd/MM/yyyy"));
        for (const QString& fuera : {QStringLiteral("01/01/0001"), QStringLiteral("31/12/9999"), manana}) {
            MessageBox::clear();
            f->txtFechaNac->setFocus();
            QTest::keyClicks(f->txtFechaNac, fuera);
            QTest::keyClick(f->txtFechaNac, Qt::Key_Tab);
            QCOMPARE(Textos(), QStringList{QStringLiteral("Fecha no válida")});
            QVERIFY(f->txtFechaNac->text().isEmpty());
        }
        MessageBox::clear();
        QTest::keyClicks(f->txtFechaNac, QStringLiteral("7 de diciembre de 2006"));
        QTest::keyClick(f->txtFechaNac, Qt::Key_Tab);
        QCOMPARE(f->txtFechaNac->text(), QStringLiteral("07/12/2006"));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // Hover and Alt with the arrow keys highlight an item in every style; its
    // tip names the shortcut, and Enter runs the highlighted command.
    void menuResaltado_data()
    {
        QTest::addColumn<QString>("estilo");
        for (const QString& clave : QStyleFactory::keys())
            QTest::newRow(qPrintable(clave)) << clave;
    }
    void menuResaltado()
    {
        QFETCH(QString, estilo);
        const QString original = QApplication::style()->name();
        Cerrar(f);
        QApplication::setStyle(QStyleFactory::create(estilo));
        f = Abrir();
        MessageBox::clear();
        QMenuBar* barra = f->menuBar();
        QAction* salir = f->mnuP.at(ComandoMenu::Salir);
        const QRect zona = barra->actionGeometry(salir);
        const QImage reposo = barra->grab(zona).toImage();

        // Pointer moves as the window system reports them.
        QTest::mouseMove(f->windowHandle(), barra->mapTo(f, zona.center()));
        QTRY_COMPARE(barra->activeAction(), salir);
        QVERIFY(barra->grab(zona).toImage() != reposo);
        QCOMPARE(f->statusBar()->currentMessage(), QStringLiteral("Salir del programa (Ctrl+Q)"));
        QTest::mouseMove(f->windowHandle(), barra->mapTo(f, QPoint(barra->width() - 4, zona.center().y())));
        QTRY_VERIFY(barra->activeAction() == nullptr);
        QCOMPARE(barra->grab(zona).toImage(), reposo);

        f->txtNombre->setFocus();
        QTest::keyClick(f->txtNombre, Qt::Key_Alt, Qt::AltModifier);
        QVERIFY(barra->activeAction() != nullptr);
        for (int i = 0; i < 6 && barra->activeAction() != salir; ++i)
            QTest::keyClick(barra, Qt::Key_Right);
        QCOMPARE(barra->activeAction(), salir);
        QVERIFY(barra->grab(zona).toImage() != reposo);
        QSignalSpy ejecutado(salir, &QAction::triggered);
        QTest::keyClick(barra, Qt::Key_Return);
        QCOMPARE(ejecutado.count(), 1);
        QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene al menos un área de salud")});
        QApplication::setStyle(QStyleFactory::create(original));
    }

    // Each command shows its shortcut; "Cambiar contraseña" has one too.
    void atajosVisibles()
    {
        const std::pair<int, const char*> atajos[]
            = {{ComandoMenu::Imprimir, "Ctrl+P"}, {ComandoMenu::Guardar, "Ctrl+G"}, {ComandoMenu::CargarOtra, "Ctrl+O"},
                {ComandoMenu::Salir, "Ctrl+Q"}, {ComandoMenu::Ayuda, "F1"}, {ComandoMenu::CambiarContrasena, "Ctrl+K"}};
        for (const auto& [indice, atajo] : atajos) {
            QAction* a = f->mnuP.at(indice);
            QCOMPARE(a->shortcut().toString(), QString::fromLatin1(atajo));
            QVERIFY2(a->statusTip().endsWith(QStringLiteral("(%1)").arg(QString::fromLatin1(atajo))),
                qPrintable(a->statusTip()));
            QCOMPARE(a->toolTip(), a->statusTip());
        }
    }

    void filtrosDeTeclas()
    {
        f->txtCP->setFocus();
        QTest::keyClicks(f->txtCP, QStringLiteral("4a7.0b0,9"));
        QCOMPARE(f->txtCP->text(), QStringLiteral("47,00"));
        f->txtArea[0]->setFocus();
        QTest::keyClicks(f->txtArea[0], QStringLiteral("x2n5"));
        QCOMPARE(f->txtArea[0]->text(), QStringLiteral("2,5"));
        // Enter moves on and types nothing.
        QTest::keyClick(f->txtArea[0], Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), f->txtArea[1]);

        // The DNI box, where enabled, refuses separators and moves on at nine characters.
        f->txtDNI->setEnabled(true);
        f->txtDNI->clear();
        f->txtDNI->setFocus();
        QTest::keyClicks(f->txtDNI, QStringLiteral("1234-5.6 7,8"));
        QCOMPARE(f->txtDNI->text(), QStringLiteral("12345678"));
        QCOMPARE(QApplication::focusWidget(), f->txtDNI);
        QTest::keyClicks(f->txtDNI, QStringLiteral("Z"));
        QCOMPARE(f->txtDNI->text(), QStringLiteral("12345678Z"));
        QCOMPARE(QApplication::focusWidget(), f->txtApellidos);
    }

    void preferenciaAlSalir()
    {
        for (const char* fuera : {"12", "0"}) {
            MessageBox::clear();
            f->txtArea[2]->setText(QString::fromLatin1(fuera));
            Salir(f->txtArea[2]);
            QCOMPARE(Textos(), QStringList{QStringLiteral("El valor debe ser un número entero entre 1 y 11")});
            QCOMPARE(MessageBox::shown()[0].icon, QMessageBox::Critical);
            QVERIFY(f->txtArea[2]->text().isEmpty());
            QCOMPARE(QApplication::focusWidget(), f->txtArea[2]);
        }
        // Empty, or a lone hyphen: no message, even with numbers elsewhere (a
        // lone comma is no preference: see areaSinNumero).
        MessageBox::clear();
        f->txtArea[0]->setText(QStringLiteral("3"));
        for (const char* nada : {"", "-"}) {
            f->txtArea[4]->setText(QString::fromLatin1(nada));
            Salir(f->txtArea[4]);
            Salir(f->txtArea[0]);
        }
        QVERIFY(MessageBox::shown().isEmpty());
        // A repeated number is refused in the box being left; the first keeps it.
        f->txtArea[5]->setText(QStringLiteral("3"));
        Salir(f->txtArea[5]);
        QCOMPARE(Textos(), QStringList{QStringLiteral("El orden de preferencia ya ha sido utilizado")});
        QVERIFY(f->txtArea[5]->text().isEmpty());
        QCOMPARE(f->txtArea[0]->text(), QStringLiteral("3"));
        QCOMPARE(QApplication::focusWidget(), f->txtArea[5]);
    }

    void fechaNacimiento()
    {
        f->txtFechaNac->setText(QStringLiteral("1/2/70"));
        Salir(f->txtFechaNac);
        QCOMPARE(f->txtFechaNac->text(), QStringLiteral("01/02/1970"));
        QCOMPARE(QApplication::focusWidget(), f->txtNacionalidad);
        QVERIFY(MessageBox::shown().isEmpty());
        f->txtFechaNac->setText(QStringLiteral("31/02/2000"));
        Salir(f->txtFechaNac);
        QCOMPARE(Textos(), QStringList{QStringLiteral("Fecha no válida")});
        QVERIFY(f->txtFechaNac->text().isEmpty());
        QCOMPARE(QApplication::focusWidget(), f->txtFechaNac);
        // Reaching the menu bar from the keyboard is not leaving the box.
        MessageBox::clear();
        f->menuBar()->setFocus(Qt::MenuBarFocusReason);
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void otros()
    {
        // Checking "Otros" shows an empty box with the focus; another box moves it there too.
        QTest::mouseClick(f->chkDocu[3], Qt::LeftButton);
        QVERIFY(f->txtOtros->isVisible());
        QCOMPARE(QApplication::focusWidget(), f->txtOtros);
        f->txtOtros->setText(QStringLiteral("Tesis"));
        f->txtCiudad->setFocus();
        f->chkDocu[2]->setCheckState(Qt::Checked);
        QCOMPARE(QApplication::focusWidget(), f->txtOtros);
        QVERIFY(MessageBox::shown().isEmpty());
        // Leaving it empty asks for the description.
        f->txtOtros->clear();
        Salir(f->txtOtros);
        QCOMPARE(Textos(), QStringList{QStringLiteral("Por favor, rellene el campo \"Otros\".")});
        QCOMPARE(QApplication::focusWidget(), f->txtOtros);
        // Esc empties it and unchecks "Otros", which hides it.
        QTest::keyClicks(f->txtOtros, QStringLiteral("Tesis"));
        QTest::keyClick(f->txtOtros, Qt::Key_Escape);
        QVERIFY(f->txtOtros->text().isEmpty());
        QCOMPARE(f->chkDocu[3]->checkState(), Qt::Unchecked);
        QVERIFY(!f->txtOtros->isVisible());
    }

    void fechaDeFirma()
    {
        f->txtDia->setText(QStringLiteral("31"));
        f->txtMes->setText(QStringLiteral("x"));
        Salir(f->txtCiudad);
        const QDate hoy = QDate::currentDate();
        QCOMPARE(f->txtDia->text(), QString::number(hoy.day()));
        static const char* const meses[] = {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio", "agosto",
            "septiembre", "octubre", "noviembre", "diciembre"};
        QCOMPARE(f->txtMes->text(), QString::fromLatin1(meses[hoy.month() - 1]));
        QCOMPARE(f->txtAño->text(), QString::number(hoy.year()));
        QVERIFY(f->mnuP.at(ComandoMenu::Imprimir)->isEnabled());
        QVERIFY(f->mnuP.at(ComandoMenu::Guardar)->isEnabled());
        QVERIFY(!f->mnuP.at(ComandoMenu::CargarOtra)->isEnabled());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void presentacion()
    {
        // Filled as a candidate would, the form fits a 1366 x 768 screen and
        // no caption is cut.
        const std::pair<QLineEdit*, const char*> datos[]
            = {{f->txtApellidos, "García Fernández"}, {f->txtNombre, "María José"}, {f->txtFechaNac, "14/03/1975"},
                {f->txtNacionalidad, "Española"}, {f->txtTfno, "987654321"}, {f->txtDireccion, "Avenida de Madrid"},
                {f->txtNum, "25"}, {f->txtPuerta, "3ºB"}, {f->txtMunicipio, "Ponferrada"}, {f->txtProvincia, "León"},
                {f->txtCP, "24400"}, {f->txtTitulacion, "Licenciada en Medicina y Cirugía"}, {f->txtArea[3], "1"},
                {f->txtArea[2], "2"}, {f->txtArea[10], "3"}, {f->txtCiudad, "Ponferrada"}, {f->txtDia, "7"},
                {f->txtMes, "diciembre"}, {f->txtAño, "2006"}};
        for (const auto& [caja, texto] : datos)
            caja->setText(QString::fromUtf8(texto));
        f->chkDocu[0]->setChecked(true);
        f->chkDocu[3]->setChecked(true);
        f->txtOtros->setText(QStringLiteral("Tesis doctoral"));
        f->lblFichero->setText(QStringLiteral("12345678Z.doc"));
        f->resize(f->sizeHint());
        QCoreApplication::processEvents();
        QVERIFY2(f->frameGeometry().width() <= 1366 && f->frameGeometry().height() <= 740,
            qPrintable(QStringLiteral("%1 x %2").arg(f->width()).arg(f->height())));
        for (QWidget* w : f->findChildren<QWidget*>()) {
            if (!w->isVisible() || qobject_cast<QLineEdit*>(w))
                continue;
            if (qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w))
                QVERIFY2(w->width() >= w->sizeHint().width(), qPrintable(w->objectName() + w->accessibleName()));
        }
        const QString png = QCoreApplication::applicationDirPath() + QStringLiteral("/frmSolicitudes.png");
        QVERIFY(f->grab().save(png));
    }
};

QTEST_MAIN(tst_frmSolicitudes)
#include "tst_frmSolicitudes.moc"
