// The barcode of the printed copy, printed to PDF by the embedded word processor
// and read back from the page at 300 dpi: payloads of every size the form can
// produce, a dark desktop theme, a bitmap that cannot be written, a tampered one.
#include "tests/support/CarpetaPrograma.h"
#include "tests/support/ImpresoLeido.h"
#include "tests/documents/Relleno.h"

#include "documents/CodigoImpreso.h"
#include "documents/DatosCodigo.h"
#include "documents/BmpCodigo.h"
#include "documents/ModWord.h"
#include "form/EscrituraSolicitud.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <stelcode/Stelcodex.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QRadioButton>

#include <pugixml.hpp>
#include <zip.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Pads the address so that the substituted payload is `largo` characters long,
// with the mix of cases, digits and signs of a real address.
void AjustarLargo(frmSolicitudes& f, int largo)
{
    f.txtDireccion->clear();
    const qsizetype base = DatosCodigo::SustituirCaracteres(f.GenerarDatosCodigo()).size();
    const QString trozo = QStringLiteral("avenida de la constitucion esquina con la calle mayor ");
    QString direccion;
    while (direccion.size() < largo - base)
        direccion += trozo;
    f.txtDireccion->setText(direccion.left(largo - base));
}

// Leaves the template with only its first two tables: no cell for the barcode.
bool QuitarTerceraTabla(const QString& plantilla)
{
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(plantilla).constData(), 0, &error);
    zip_stat_t info;
    if (!zip || zip_stat(zip, "word/document.xml", 0, &info) != 0)
        return false;
    std::string xml(info.size, '\0');
    zip_file_t* parte = zip_fopen(zip, "word/document.xml", 0);
    zip_fread(parte, xml.data(), info.size);
    zip_fclose(parte);
    pugi::xml_document documento;
    documento.load_string(xml.c_str());
    pugi::xml_node cuerpo = documento.child("w:document").child("w:body");
    int n = 0;
    for (pugi::xml_node tabla = cuerpo.child("w:tbl"), siguiente; tabla; tabla = siguiente) {
        siguiente = tabla.next_sibling("w:tbl");
        if (++n >= 3)
            cuerpo.remove_child(tabla);
    }
    std::ostringstream salida;
    documento.save(salida);
    const std::string nuevo = salida.str();
    void* copia = std::malloc(nuevo.size());
    std::memcpy(copia, nuevo.data(), nuevo.size());
    zip_source_t* fuente = zip_source_buffer(zip, copia, nuevo.size(), 1);
    return zip_file_add(zip, "word/document.xml", fuente, ZIP_FL_OVERWRITE) >= 0 && zip_close(zip) == 0;
}

// Every box filled up to the length it accepts.
void RellenarAlMaximo(frmSolicitudes& f)
{
    for (QWidget* c : f.Controles())
        if (auto* caja = qobject_cast<QLineEdit*>(c); caja && caja != f.txtFechaNac)
            caja->setText(QString(caja->maxLength(), QLatin1Char('W')));
}

} // namespace

class tst_CodigoImpreso : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;

    QString Pdf() const { return carpeta->ruta(QStringLiteral("impreso.pdf")); }

    // "Imprimir" through the writer, as the menu command calls it.
    void Imprimir(frmSolicitudes& f, const QString& carpetaSolicitud)
    {
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        frmProgresoGeneral progreso;
        EscrituraSolicitud::Generar(&ModWord::GenerarDocumentoWXP, QStringLiteral("12345678Z.doc"), carpetaSolicitud, f,
            &progreso, f.Stelcodex1, true, false);
    }

    // The print was stopped with a message, the application is stored all the same.
    void ComprobarDetenida(const frmSolicitudes& f, const QString& contiene)
    {
        QVERIFY(!QFile::exists(Pdf()));
        QCOMPARE(MessageBox::shown().size(), 1);
        const auto& aviso = MessageBox::shown().first();
        QVERIFY2(aviso.text.startsWith(QStringLiteral("La solicitud se ha guardado, pero no se ha impreso.")),
            qPrintable(aviso.text));
        QVERIFY2(aviso.text.contains(contiene), qPrintable(aviso.text));
        QCOMPARE(aviso.icon, QMessageBox::Critical);
        QVERIFY(f.mnuP.at(ComandoMenu::Imprimir)->isEnabled()); // the user can try again
        QCOMPARE(Word::runningInstanceCount(), 0);
        Word::DocumentsCollection docs;
        Word::Document& guardada = docs.Add(carpeta->ruta(QStringLiteral("ficheros/temp/12345678Z.doc")));
        QCOMPARE(guardada.FormFields().Item(QStringLiteral("NOMBRE")).Result(), f.txtNombre->text());
    }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrograma>();
        Word::setProvider(nullptr);
        Word::setPrintOutputPdf(Pdf());
        MessageBox::setTestMode(true);
        MessageBox::clear();
    }
    void cleanup()
    {
        Word::quitAllInstances();
        Word::setPrintOutputPdf({});
        carpeta.reset();
    }

    void everyPayloadReadsBackFromThePageOrIsRefused_data()
    {
        QTest::addColumn<int>("largo");      // 0: every box as full as it goes
        QTest::addColumn<QString>("campos"); // empty: it prints; else the fields the refusal names
        QTest::newRow("300") << 300 << QString();
        QTest::newRow("900") << 900 << QString();
        QTest::newRow("1200, well past the bitmap's first size") << 1200 << QString();
        QTest::newRow("1500") << 1500 << QStringLiteral("Dirección");
        QTest::newRow("longest the form allows")
            << 0 << QStringLiteral("NIF, Apellidos, Nombre, Nacionalidad, Dirección, Municipio, Provincia");
    }
    void everyPayloadReadsBackFromThePageOrIsRefused()
    {
        QFETCH(int, largo);
        QFETCH(QString, campos);
        frmSolicitudes f;
        Rellenar(f);
        if (largo > 0)
            AjustarLargo(f, largo);
        else
            RellenarAlMaximo(f);
        f.mnuP.at(ComandoMenu::Imprimir)->setEnabled(true);
        Imprimir(f, estado().strRutaTemp);

        if (campos.isEmpty()) {
            QCOMPARE(estado().strDatosCodigo.size(), largo);
            QCOMPARE(MessageBox::shown().size(), 1);
            QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Impresión"));
            QCOMPARE(CodigoDelPdf(Pdf()), CodigoImpreso::BytesCodificados(estado().strDatosCodigo));
        } else {
            // Short boxes and the dates are never the ones named.
            ComprobarDetenida(f,
                QStringLiteral("no caben en el código de barras. Acorte estos campos: ") + campos + QLatin1Char('.'));
        }
        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")}); // no bitmap left
    }

    void darkThemeStillPrintsBlackOnWhite()
    {
        const QPalette antes = QApplication::palette();
        QPalette oscura = antes;
        oscura.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
        oscura.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
        oscura.setColor(QPalette::Window, QColor(0x20, 0x20, 0x20));
        QApplication::setPalette(oscura);
        frmSolicitudes f;
        Rellenar(f);
        AjustarLargo(f, 300);
        const uint tinta = f.Stelcodex1->pdfforeColor();
        Imprimir(f, estado().strRutaTemp);
        QApplication::setPalette(antes);

        QCOMPARE(CodigoDelPdf(Pdf()), CodigoImpreso::BytesCodificados(estado().strDatosCodigo));
        QCOMPARE(f.Stelcodex1->pdfforeColor(), tinta); // the form's control keeps its own colour
    }

    void bitmapThatCannotBeWrittenStopsThePrint()
    {
        // The bitmaps' folder is a file: nothing can be created below it.
        const QString carpetaSolicitud = estado().strRutaTemp;
        QFile bloqueo(carpeta->ruta(QStringLiteral("no-es-carpeta")));
        QVERIFY(bloqueo.open(QIODevice::WriteOnly));
        bloqueo.close();
        estado().strRutaTemp = bloqueo.fileName() + QLatin1Char('/');
        frmSolicitudes f;
        Rellenar(f);
        f.mnuP.at(ComandoMenu::Imprimir)->setEnabled(true);
        Imprimir(f, carpetaSolicitud);
        estado().strRutaTemp = carpetaSolicitud;
        ComprobarDetenida(f, QStringLiteral("No se ha podido guardar la imagen del código de barras"));
    }

    void pictureWithNowhereToGoStopsThePrint()
    {
        QVERIFY(QuitarTerceraTabla(estado().strRutaFicheros + QStringLiteral("DOT_10101/PlantillaWXP.dot")));
        frmSolicitudes f;
        Rellenar(f);
        f.mnuP.at(ComandoMenu::Imprimir)->setEnabled(true);
        Imprimir(f, estado().strRutaTemp);
        ComprobarDetenida(f, QStringLiteral("No se ha podido poner el código de barras en la copia"));
        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")}); // bitmap removed
    }

    void fullDiskIsReportedNotIgnored()
    {
        Stelcodex control;
        QString datos = QStringLiteral("u|12345678Z|Mu\u00f1oz");
        qint16 alto = 2000;
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit antes{};
        getrlimit(RLIMIT_FSIZE, &antes);
        rlimit lleno = antes;
        lleno.rlim_cur = 512; // smaller than any bitmap
        setrlimit(RLIMIT_FSIZE, &lleno);
        const auto hecho = ModWord::GenerarBmpCodigo(datos, &control, 6000, alto);
        setrlimit(RLIMIT_FSIZE, &antes);
        QVERIFY(!hecho);
        QVERIFY(hecho.motivo.startsWith(QStringLiteral("No se ha podido guardar la imagen")));
        QCOMPARE(hecho.numero, Resultado::ErrorEntradaSalida);
        QVERIFY(carpeta->temporales().isEmpty()); // no partial bitmap left behind
    }

    // The bitmap routine's refusals carry the numbers their messages are known by.
    void bitmapFailuresCarryTheirNumber()
    {
        QString datos = QStringLiteral("u|12345678Z");
        qint16 alto = 2000;
        const auto sinControl = ModWord::GenerarBmpCodigo(datos, nullptr, 6000, alto);
        QVERIFY(!sinControl);
        QCOMPARE(sinControl.numero, Resultado::ObjetoNoEstablecido);

        Stelcodex control;
        datos = QStringLiteral("u|12345678Z|") + QString(4000, u'\u00e9');
        const auto largo = ModWord::GenerarBmpCodigo(datos, &control, 6000, alto);
        QVERIFY(!largo);
        QCOMPARE(largo.numero, ModWord::ErrorDatosDemasiadoLargos);
        QVERIFY(largo.valor.isEmpty());
        QVERIFY(carpeta->temporales().isEmpty());
    }

    void bitmapIsOwnerOnlyBlackOnWhiteAndHoldsTheWholeSymbol()
    {
        Stelcodex control;
        control.setPdfforeColor(StelcodeColor::fromRgb(200, 200, 200));
        frmSolicitudes f;
        Rellenar(f);
        AjustarLargo(f, 1200);
        QString datos = f.GenerarDatosCodigo();
        qint16 alto = 2000;
        const QString bmp = ModWord::GenerarBmpCodigo(datos, &control, 6000, alto).valor + QStringLiteral(".bmp");
        struct stat st { };
        QCOMPARE(::stat(QFile::encodeName(bmp).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0600u);
        const QImage imagen(bmp);
        QCOMPARE(imagen.width(), 400);
        QVERIFY(imagen.height() > 173); // sized to the symbol, not cut off
        // On paper it keeps the room asked for, 6000 x 2600 twips.
        QVERIFY(imagen.width() * 1440.0 / (imagen.dotsPerMeterX() * 0.0254) <= 6000.5);
        QVERIFY(imagen.height() * 1440.0 / (imagen.dotsPerMeterY() * 0.0254) <= 2600.5);
        // Drawn at whole multiples on a 1200 dpi page, a pixel is then whole dots at 300 and 600 dpi.
        for (int dpm : {imagen.dotsPerMeterX(), imagen.dotsPerMeterY()})
            QCOMPARE(int(std::floor(1200 / (dpm * 0.0254) + 0.01)) % 4, 0);
        const QImage mono = imagen.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < mono.height(); y += 3)
            for (int x = 0; x < mono.width(); ++x)
                QVERIFY(mono.pixel(x, y) == qRgb(0, 0, 0) || mono.pixel(x, y) == qRgb(255, 255, 255));
        QCOMPARE(decodePdf417(imagen), CodigoImpreso::BytesCodificados(datos));
        QCOMPARE(control.pdfforeColor(), StelcodeColor::fromRgb(200, 200, 200));
    }

    void selfCheckRefusesATamperedBitmap()
    {
        Stelcodex control;
        // Signs the code page lacks are dropped by the control, not counted as a mismatch.
        QString datos = QStringLiteral("u|12345678Z|Perez \u0141ukasz \u00df \u20ac|Ana \U0001F600|19700201");
        qint16 alto = 2000;
        const QString bmp = ModWord::GenerarBmpCodigo(datos, &control, 6000, alto).valor + QStringLiteral(".bmp");
        const QByteArray esperado = CodigoImpreso::BytesCodificados(datos);
        QVERIFY(CodigoImpreso::Comprobar(bmp, esperado));

        // Another application's symbol in its place.
        QVERIFY(CodigoImpreso::Comprobar(bmp, esperado + "X").motivo.contains(QStringLiteral("no contiene los datos")));
        // Rows wiped out.
        QImage imagen(bmp);
        {
            QPainter p(&imagen);
            p.fillRect(0, 14, imagen.width(), 8, Qt::white);
        }
        QVERIFY(imagen.save(bmp, "BMP"));
        QVERIFY(CodigoImpreso::Comprobar(bmp, esperado).motivo.contains(QStringLiteral("ningún código")));
        // Not a picture at all.
        QFile roto(bmp);
        QVERIFY(roto.open(QIODevice::WriteOnly));
        roto.write("BM nada");
        roto.close();
        QVERIFY(CodigoImpreso::Comprobar(bmp, esperado).motivo.contains(QStringLiteral("no se puede leer")));
    }
};

QTEST_MAIN(tst_CodigoImpreso)
#include "tst_CodigoImpreso.moc"
