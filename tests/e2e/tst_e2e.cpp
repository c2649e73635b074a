// The whole program as a user meets it: sign in with a new DNI, fill in an
// application, save it, print it, sign in again, load it, start another and
// delete one. Real windows on the offscreen platform, driven by key and mouse
// events; the stored file is read back both through the word processor and
// straight from its package XML, and the printed barcode is decoded.
#include "tests/e2e/Interaccion.h"
#include "tests/support/CarpetaPrograma.h"
#include "tests/support/ImpresoLeido.h"

#include "applications/frmSeleccion.h"
#include "shell/FechaEspanola.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "startup/Arranque.h"
#include "shell/frmProgreso.h"
#include "users/frmCreaPwd.h"
#include "users/frmUsuario.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>

#include <pugixml.hpp>
#include <zip.h>

#include <map>

using namespace e2e;

namespace {

const QString kDNI = QStringLiteral("12345678Z");
const QString kPassword = QStringLiteral("secreto1");

// Every tagged control of the form with its value, by tag.
std::map<QString, QString> Valores(const frmSolicitudes& f)
{
    std::map<QString, QString> valores;
    for (QWidget* c : f.Controles()) {
        const QString tag = Tag(c);
        if (tag.isEmpty())
            continue;
        if (auto* t = qobject_cast<QLineEdit*>(c))
            valores[tag] = t->text();
        else if (auto* b = qobject_cast<QAbstractButton*>(c))
            valores[tag] = b->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
    }
    return valores;
}

QWidget* PorNombreAccesible(QWidget* ventana, const QString& nombre)
{
    for (QWidget* w : ventana->findChildren<QWidget*>())
        if (w->accessibleName() == nombre)
            return w;
    qFatal("no control named %s", qPrintable(nombre));
}

// Pictures embedded in a package.
int Imagenes(const QString& ruta)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return -1;
    int imagenes = 0;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i)
        imagenes += QByteArray(zip_get_name(zip, i, 0)).startsWith("word/media/");
    zip_close(zip);
    return imagenes;
}

// Text results of the form fields of a package, read from word/document.xml.
std::map<QString, QString> CamposDelPaquete(const QString& ruta)
{
    std::map<QString, QString> campos;
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return campos;
    QByteArray xml;
    if (zip_file_t* f = zip_fopen(zip, "word/document.xml", 0)) {
        char buffer[65536];
        zip_int64_t n;
        while ((n = zip_fread(f, buffer, sizeof buffer)) > 0)
            xml.append(buffer, n);
        zip_fclose(f);
    }
    zip_close(zip);

    pugi::xml_document doc;
    doc.load_buffer(xml.constData(), xml.size());
    // Walk the runs in order: begin (with the field's name), separate, result text, end.
    QString nombre, resultado;
    bool enResultado = false;
    pugi::xpath_node_set nodos = doc.select_nodes("//w:r/w:fldChar | //w:r/w:t");
    nodos.sort();
    for (const pugi::xpath_node& nodo : nodos) {
        const pugi::xml_node n = nodo.node();
        if (QLatin1String(n.name()) == QLatin1String("w:t")) {
            if (enResultado)
                resultado += QString::fromUtf8(n.text().get());
            continue;
        }
        const QString tipo = QString::fromUtf8(n.attribute("w:fldCharType").value());
        if (tipo == QLatin1String("begin")) {
            nombre = QString::fromUtf8(n.child("w:ffData").child("w:name").attribute("w:val").value());
            resultado.clear();
            enResultado = false;
        } else if (tipo == QLatin1String("separate")) {
            enResultado = !nombre.isEmpty();
        } else if (tipo == QLatin1String("end")) {
            if (enResultado)
                campos[nombre] = resultado;
            nombre.clear();
            enResultado = false;
        }
    }
    return campos;
}

} // namespace

class tst_e2e : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    std::map<QString, QString> guardados;       // the form's values when it was saved
    std::map<QString, QString> camposGuardados; // the stored package's fields then

    static QString Fichero() { return estado().strRutaTemp + QStringLiteral("12345678Z.doc"); }

    frmSolicitudes* Formulario() { return estado().frmSolicitudActual; }

    // Start-up with a fresh shared state over the same program folder.
    void Arrancar(const QString& password)
    {
        const QString programa = estado().strRutaPrograma;
        reiniciarEstado();
        estado().strRutaPrograma = programa;
        AlAparecer<frmUsuario>([password](frmUsuario* d) {
            Escribir(d, QStringLiteral("txtDNI"), kDNI);
            Pulsar(d, QStringLiteral("cmdAceptarDNI"));
            if (!password.isEmpty()) {
                QTest::keyClicks(d->txtPwd, password);
                Pulsar(d, QStringLiteral("cmdAceptarPwd"));
            }
        });
        ModGeneral::Main();
    }

    void ContinuarInformacion(bool* visto)
    {
        AlAparecer<frmProgreso>(
            [visto](frmProgreso* p) {
                *visto = true;
                Pulsar(p, QStringLiteral("cmdContinuar"));
            },
            [](frmProgreso* p) { return p->cmdContinuar->isEnabled(); });
    }

    void CerrarFormularioSinGuardar()
    {
        if (!Formulario())
            return;
        MessageBox::queueAnswer(QMessageBox::No);
        Formulario()->close();
        QTRY_VERIFY(!Formulario());
    }

private slots:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        MessageBox::setTestMode(true);
        carpeta = std::make_unique<CarpetaPrograma>();
    }
    void cleanupTestCase()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
        Word::quitAllInstances();
        Word::setPrintOutputPdf({});
    }

    void newUserSignsInAndGetsAnEmptyForm()
    {
        bool informacion = false;
        ContinuarInformacion(&informacion);
        Arrancar({});
        QVERIFY(informacion);
        frmSolicitudes* f = Formulario();
        QVERIFY(f && f->isVisible());
        QCOMPARE(f->txtDNI->text(), kDNI);
        QVERIFY(!f->txtDNI->isEnabled());
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z.doc"));
        QVERIFY(f->optCategoria[0]->isChecked());
        QVERIFY(f->txtOtros->isHidden());
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(!f->mnuP.at(i)->isEnabled());
        QVERIFY(!f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());
    }

    void fillingAndSavingAsksForAPasswordFirst()
    {
        frmSolicitudes* f = Formulario();
        QVERIFY(f);
        QApplication::setActiveWindow(f);
        Escribir(f, QStringLiteral("txtApellidos"), QStringLiteral("Muñoz Peña"));
        Escribir(f, QStringLiteral("txtNombre"), QStringLiteral("José María"));
        Escribir(f, QStringLiteral("txtFechaNac"), QStringLiteral("1/2/70"));
        QCOMPARE(f->txtFechaNac->text(), QStringLiteral("01/02/1970"));
        Escribir(f, QStringLiteral("txtNacionalidad"), QStringLiteral("Española"));
        Escribir(f, QStringLiteral("txtTfno"), QStringLiteral("983123456"));
        Escribir(f, QStringLiteral("txtDireccion"), QStringLiteral("C/ Mayor"));
        Escribir(f, QStringLiteral("txtNum"), QStringLiteral("3"));
        Escribir(f, QStringLiteral("txtPuerta"), QStringLiteral("2º"));
        Escribir(f, QStringLiteral("txtMunicipio"), QStringLiteral("Valladolid"));
        Escribir(f, QStringLiteral("txtProvincia"), QStringLiteral("Valladolid"));
        Escribir(f, QStringLiteral("txtCP"), QStringLiteral("47001"));
        Escribir(f, QStringLiteral("txtTitulacion"), QStringLiteral("Licenciado en Medicina y Cirugía"));
        f->txtArea[0]->setFocus();
        QTest::keyClicks(f->txtArea[0], QStringLiteral("3"));
        QTest::keyClick(f->txtArea[0], Qt::Key_Tab);
        f->txtArea[10]->setFocus();
        QTest::keyClicks(f->txtArea[10], QStringLiteral("11"));
        QTest::keyClick(f->txtArea[10], Qt::Key_Tab);
        for (const char* opcion : {"Enfermero de Área", "Certificado de experiencia profesional", "Otros"}) {
            QWidget* boton = PorNombreAccesible(f, QString::fromUtf8(opcion));
            boton->setFocus(Qt::TabFocusReason);
            QTest::keyClick(boton, Qt::Key_Space);
        }
        QVERIFY(f->optCategoria[1]->isChecked());
        QCOMPARE(f->chkDocu[1]->checkState(), Qt::Checked);
        QVERIFY(f->txtOtros->isVisible());
        Escribir(f, QStringLiteral("txtOtros"), QStringLiteral("Máster en Salud Pública"));
        Escribir(f, QStringLiteral("txtCiudad"), QStringLiteral("León"));
        QVERIFY(f->mnuP.at(ComandoMenu::Guardar)->isEnabled());
        QCOMPARE(f->txtDia->text(), QString::number(QDate::currentDate().day()));

        bool password = false;
        AlAparecer<frmCreaPwd>([&password](frmCreaPwd* d) {
            password = true;
            QCOMPARE(d->strDNI, kDNI);
            QTest::keyClicks(d->txtPwd[0], kPassword);
            QTest::keyClicks(d->txtPwd[1], kPassword);
            Pulsar(d, QStringLiteral("cmdAceptar"));
        });
        MessageBox::clear();
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(password);
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());

        const QString fichero = estado().strRutaTemp + QStringLiteral("12345678Z.doc");
        QVERIFY(QFile::exists(fichero));
        guardados = Valores(*f);

        // Through the word processor: every tagged control has its value.
        Word::DocumentsCollection docs;
        Word::Document& d = docs.Add(fichero);
        for (const auto& [tag, valor] : guardados) {
            Word::FormField& campo = d.FormFields().Item(tag);
            if (campo.IsCheckBox())
                QCOMPARE(campo.CheckBox().Value() ? QStringLiteral("1") : QStringLiteral("0"), valor);
            else if (tag.startsWith(QLatin1String("AREA")))
                QCOMPARE(campo.Result(),
                    valor.isEmpty()         ? QStringLiteral("__")
                        : valor.size() == 1 ? "  " + valor
                                            : valor);
            else
                QCOMPARE(campo.Result(), valor);
        }
        // Straight from the package.
        const auto xml = CamposDelPaquete(fichero);
        QCOMPARE(xml.at(QStringLiteral("PRIMERAPELLIDO")), QStringLiteral("Muñoz Peña"));
        QCOMPARE(xml.at(QStringLiteral("AREAAVILA")), QStringLiteral("  3"));
        QCOMPARE(xml.at(QStringLiteral("AREABURGOS")), QStringLiteral("__"));
        QCOMPARE(xml.at(QStringLiteral("DESCOTROS")), QStringLiteral("Máster en Salud Pública"));
        QCOMPARE(xml.at(QStringLiteral("AÑO")), QString::number(QDate::currentDate().year()));
        QCOMPARE(Imagenes(fichero), 0);
        camposGuardados = xml;
        QCOMPARE(Word::runningInstanceCount(), 1); // only the probe's idle instance
    }

    void printingDecodesToTheSubstitutedPayload()
    {
        frmSolicitudes* f = Formulario();
        const QString pdf = carpeta->ruta(QStringLiteral("impreso.pdf"));
        Word::setPrintOutputPdf(pdf);
        MessageBox::clear();
        f->mnuP.at(ComandoMenu::Imprimir)->trigger();

        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Impresión"));
        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")}); // no bitmap left
        for (int i : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(!f->mnuP.at(i)->isEnabled());
        QVERIFY(QFile::exists(pdf));

        const QDate hoy = QDate::currentDate();
        const QString esperado
            = QStringLiteral("u|12345678Z|Mu&noz Pe&na|Jos&e Mar&ia|19700201|Espa&nola|983123456|C/ Mayor|"
                             "Valladolid|Valladolid|47001|Licenciado en Medicina y Cirug&ia|3||||||||||11|E|N|S|N|"
                             "M&aster en Salud P&ublica|Le&on|")
            + hoy.toString(QStringLiteral("dd/MM/yy"));
        QCOMPARE(estado().strDatosCodigo, esperado);
        QCOMPARE(QString::fromLatin1(CodigoDelPdf(pdf).value_or(QByteArray())), esperado);
        QCOMPARE(Valores(*f), guardados);
        // The stored file was written again, as by "Guardar", without the barcode.
        QCOMPARE(CamposDelPaquete(Fichero()), camposGuardados);
        QCOMPARE(Imagenes(Fichero()), 0);
    }

    void newApplicationOfTheSameDniGetsATimeStampedName()
    {
        CerrarFormularioSinGuardar();
        Arrancar(kPassword);
        frmSeleccion* lista = Ventana<frmSeleccion>();
        QVERIFY(lista && !lista->cmdNueva->isHidden());
        bool informacion = false;
        ContinuarInformacion(&informacion);
        const QDateTime antes = QDateTime::currentDateTime();
        Pulsar(lista, QStringLiteral("cmdNueva"));
        QTRY_VERIFY(Formulario());
        QVERIFY(informacion);
        const QString nombre = Formulario()->lblFichero->text();
        const QDateTime despues = QDateTime::currentDateTime();
        QVERIFY2(nombre == QStringLiteral("12345678Z-") + antes.toString(QStringLiteral("HHmm-ddMMyy")) + ".doc"
                || nombre == QStringLiteral("12345678Z-") + despues.toString(QStringLiteral("HHmm-ddMMyy")) + ".doc",
            qPrintable(nombre));
        QCOMPARE(Formulario()->txtApellidos->text(), QString());
    }

    void secondSessionLoadsEveryControlAsStored()
    {
        CerrarFormularioSinGuardar();
        Arrancar(kPassword);
        frmSeleccion* lista = Ventana<frmSeleccion>();
        QVERIFY(lista);
        QCOMPARE(lista->cboSolicitudes->count(), 1);
        lista->cboSolicitudes->setFocus();
        QTest::keyClick(lista->cboSolicitudes, Qt::Key_Down);
        QCOMPARE(lista->cboSolicitudes->currentText(), QStringLiteral("12345678Z.doc"));
        bool informacion = false;
        ContinuarInformacion(&informacion);
        Pulsar(lista, QStringLiteral("cmdCargar"));
        QTRY_VERIFY(Formulario());
        frmSolicitudes* f = Formulario();
        QCOMPARE(f->lblFichero->text(), QStringLiteral("12345678Z.doc"));
        QCOMPARE(Valores(*f), guardados);
        QVERIFY(f->txtOtros->isVisible());
        QVERIFY(f->mnuP.at(ComandoMenu::CargarOtra)->isEnabled());
        QVERIFY(f->mnuP.at(ComandoMenu::CambiarContrasena)->isVisible());

        // "Cargar otra solicitud", not saving: back to the list without "Solicitud Nueva".
        MessageBox::queueAnswer(QMessageBox::No);
        f->mnuP.at(ComandoMenu::CargarOtra)->trigger();
        QTRY_VERIFY(!Formulario());
        lista = Ventana<frmSeleccion>();
        QVERIFY(lista && lista->cmdNueva->isHidden());
    }

    void deletingRemovesTheFileAndItsCompanion()
    {
        QFile companion(estado().strRutaTemp + QStringLiteral("12345678Z.xml"));
        QVERIFY(companion.open(QIODevice::WriteOnly));
        companion.close();
        frmSeleccion* lista = Ventana<frmSeleccion>();
        QVERIFY(lista);
        lista->cboSolicitudes->setFocus();
        QTest::keyClick(lista->cboSolicitudes, Qt::Key_Down);
        QCOMPARE(lista->cboSolicitudes->currentText(), QStringLiteral("12345678Z.doc"));
        MessageBox::queueAnswer(QMessageBox::Yes);
        Pulsar(lista, QStringLiteral("cmdBorrar"));
        QVERIFY(!QFile::exists(estado().strRutaTemp + QStringLiteral("12345678Z.doc")));
        QVERIFY(!companion.exists());
        lista->close();
    }
};

QTEST_MAIN(tst_e2e)
#include "tst_e2e.moc"
