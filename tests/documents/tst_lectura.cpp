// Opening stored applications from the list, as a user does: another DNI's
// application, values longer than their boxes, a document re-saved by
// LibreOffice Writer (a fixture made once with it) and one whose XML uses
// another namespace prefix.
#include "tests/support/CarpetaPrograma.h"
#include "tests/support/Piloto.h"

#include "applications/ListaSolicitudes.h"
#include "applications/frmSeleccion.h"
#include "startup/AbrirSolicitud.h"
#include "documents/ModWord.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Package.h"
#include "platform/word/Word.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "users/Validacion.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>

namespace {

const QString kDNI = QStringLiteral("12345678Z");
const QString kFichero = QStringLiteral("12345678Z.doc");
const QString kTelefono = QStringLiteral("+34 983 123 456");

QByteArray Bytes(const QString& ruta)
{
    QFile f(ruta);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool Escribir(const QString& ruta, const QByteArray& bytes)
{
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class tst_lectura : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    std::unique_ptr<Piloto> piloto;
    QPointer<frmSeleccion> lista;

    QString Ruta() const { return estado().strRutaTemp + kFichero; }

    // Stores an application written by the program itself, for the given DNI.
    void Guardar(const QString& nif, const std::function<void(frmSolicitudes&)>& rellenar)
    {
        frmSolicitudes f;
        f.txtDNI->setText(nif);
        f.txtNombre->setText(QStringLiteral("Ana"));
        f.txtArea[0]->setText(QStringLiteral("1"));
        rellenar(f);
        ModWord::GenerarDocumentoWXP(kFichero, estado().strRutaTemp, &f, {}, nullptr, false, false);
    }

    // The list of the signed-in DNI, with kFichero chosen and "Cargar Solicitud"
    // pressed. The form it opened, or nullptr.
    frmSolicitudes* Cargar()
    {
        ModCargaFicheros::ContarSolicitudes(kDNI);
        ModGeneral::EnlazarVentanas();
        lista = frmSeleccion::Mostrar();
        lista->cboSolicitudes->setCurrentIndex(lista->cboSolicitudes->findText(kFichero));
        QTest::mouseClick(lista->cmdCargar, Qt::LeftButton);
        return estado().frmSolicitudActual;
    }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrograma>();
        MessageBox::setTestMode(true);
        MessageBox::clear();
        estado().strDNIActual = kDNI;
        estado().blnTienePassword = true;
        Validacion::CargaUsuarios(Validacion::PrepararUsuarios(estado().strRutaPrograma));
        QVERIFY(Validacion::AltaUsuario(kDNI, QStringLiteral("secreto")));
        piloto = std::make_unique<Piloto>();
    }
    void cleanup()
    {
        if (frmSolicitudes* f = estado().frmSolicitudActual) {
            f->blnCerrarSinPreguntar = true;
            delete f;
        }
        delete lista;
        piloto.reset();
        carpeta.reset();
    }

    // Another DNI's application under this DNI's name is not opened as this
    // DNI's: the user is told, no form is left on it, the file is untouched.
    void otroDniNoSeAbre()
    {
        Guardar(QStringLiteral("87654321X"), [](frmSolicitudes&) {});
        const QByteArray antes = Bytes(Ruta());
        QVERIFY(!Cargar());
        QCOMPARE(MessageBox::shown().size(), 1);
        const QString texto = MessageBox::shown().first().text;
        QVERIFY2(texto.contains(QStringLiteral("es del DNI 87654321X, no del DNI 12345678Z")), qPrintable(texto));
        QVERIFY(lista && lista->isVisible());
        QCOMPARE(Bytes(Ruta()), antes);
    }

    // Values longer than a box takes when typed are read whole, and the next
    // save writes them whole. The DNI is the signed-in one.
    void valoresLargosSeLeenEnteros()
    {
        const QString titulacion = QString(150, u'T');
        Guardar(QStringLiteral(" 12345678z "), [&](frmSolicitudes& f) {
            f.txtTfno->setMaxLength(100);
            f.txtTfno->setText(kTelefono);
            f.txtTitulacion->setMaxLength(200);
            f.txtTitulacion->setText(titulacion);
        });
        frmSolicitudes* f = Cargar();
        QVERIFY(f);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(f->txtDNI->text(), kDNI);
        QCOMPARE(f->txtTfno->text(), kTelefono);
        QCOMPARE(f->txtTitulacion->text(), titulacion);

        estado().strVersionWord = QStringLiteral("12");
        f->mnuP.at(ComandoMenu::Guardar)->trigger();
        QVERIFY(MessageBox::shown().isEmpty());
        Word::DocumentsCollection docs;
        Word::Document& d = docs.Add(Ruta());
        QCOMPARE(d.FormFields().Item(QStringLiteral("TELEFONO")).Result(), kTelefono);
        QCOMPARE(d.FormFields().Item(QStringLiteral("TITULACION")).Result(), titulacion);
        QCOMPARE(d.FormFields().Item(QStringLiteral("NIF")).Result(), kDNI);
    }

    // Edited in LibreOffice Writer 7.4 and saved as Word 2007-365 under its
    // name: LibreOffice drops the names of check boxes. Everything reads back;
    // so it does when the XML binds another prefix to the same namespace.
    void reguardadaPorLibreOffice_data()
    {
        QTest::addColumn<bool>("otroPrefijo");
        QTest::newRow("as saved") << false;
        QTest::newRow("prefix ns0") << true;
    }
    void reguardadaPorLibreOffice()
    {
        QFETCH(bool, otroPrefijo);
        QByteArray bytes = Bytes(QStringLiteral(VARELIO_TEST_DATA "/datos/reguardada-libreoffice.doc"));
        QVERIFY(!bytes.isEmpty());
        if (otroPrefijo) {
            Word::detail::Package paquete = Word::detail::Package::fromBytes(bytes);
            QByteArray xml = paquete.part(QStringLiteral("word/document.xml"));
            xml.replace("<w:", "<ns0:")
                .replace("</w:", "</ns0:")
                .replace(" w:", " ns0:")
                .replace("xmlns:w=", "xmlns:ns0=");
            paquete.setPart(QStringLiteral("word/document.xml"), xml);
            bytes = paquete.toBytes();
        }
        QVERIFY(Escribir(Ruta(), bytes));
        frmSolicitudes* f = Cargar();
        QVERIFY(f);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(f->txtApellidos->text(), QStringLiteral("Muñoz Peña"));
        QCOMPARE(f->txtNombre->text(), QStringLiteral("José"));
        QCOMPARE(f->txtTfno->text(), kTelefono);
        QCOMPARE(f->txtArea[0]->text(), QStringLiteral("3"));
        QCOMPARE(f->txtArea[1]->text(), QString());
        QCOMPARE(f->txtArea[7]->text(), QStringLiteral("5"));
        QCOMPARE(f->txtArea[10]->text(), QStringLiteral("11"));
        QVERIFY(!f->optCategoria[0]->isChecked());
        QVERIFY(f->optCategoria[1]->isChecked());
        const Qt::CheckState esperadas[4] = {Qt::Checked, Qt::Unchecked, Qt::Checked, Qt::Checked};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(f->chkDocu[i]->checkState(), esperadas[i]);
        QVERIFY(f->txtOtros->isVisible());
        QCOMPARE(f->txtOtros->text(), QStringLiteral("Máster en Salud Pública"));
        QCOMPARE(f->txtAño->text(), QStringLiteral("2006"));
        QCOMPARE(f->txtDNI->text(), kDNI);
        // Reloaded with "Otros" ticked, the form still starts in APELLIDOS.
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        QCOMPARE(QApplication::focusWidget(), f->txtApellidos);
    }
};

QTEST_MAIN(tst_lectura)
#include "tst_lectura.moc"
