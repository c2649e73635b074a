// varelio-lector on the program's own printed copies: the round trip of
// several forms, scans of them made here with Qt (resolutions, rotations,
// JPEG, noise, TIFF, BMP), a batch of 53 pages, bad input and the command line.
#include "tests/support/CarpetaPrograma.h"
#include "tests/documents/Relleno.h"
#include "tests/lector/LoteSolicitudes.h"

#include "documents/CodigoImpreso.h"
#include "documents/DatosCodigo.h"
#include "documents/ModWord.h"
#include "form/EscrituraSolicitud.h"
#include "form/frmSolicitudes.h"
#include "lector/DatosLeidos.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <stelcode/Stelcodex.h>

#include <QImageWriter>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Ejecucion {
    int estado = -1;
    QByteArray salida, errores;
    QList<QJsonObject> registros() const
    {
        QList<QJsonObject> r;
        for (const QByteArray& linea : salida.split('\n'))
            if (!linea.isEmpty())
                r << QJsonDocument::fromJson(linea).object();
        return r;
    }
};

Ejecucion Lector(const QStringList& argumentos)
{
    QProcess p;
    p.start(QStringLiteral(VARELIO_LECTOR), argumentos);
    p.waitForFinished(60000);
    Ejecucion e;
    e.estado = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    e.salida = p.readAllStandardOutput();
    e.errores = p.readAllStandardError();
    return e;
}

struct Impreso {
    QString nombre, pdf;
    QByteArray codigo; // the bytes the printed symbol carries
};

// The page of a PDF as a colour image, rendered as a scanner would see it.
QImage Escanear(const QString& pdf, int ppp)
{
    const QString base = pdf + QStringLiteral("-%1").arg(ppp);
    QProcess::execute(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(ppp), QStringLiteral("-png"), QStringLiteral("-singlefile"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

QImage Girar(const QImage& imagen, qreal grados)
{
    QImage girada = imagen.convertToFormat(QImage::Format_RGB32)
                        .transformed(QTransform().rotate(grados), Qt::SmoothTransformation);
    if (std::fmod(grados, 90) != 0) { // the corners a small turn uncovers are paper
        QImage fondo(girada.size(), QImage::Format_RGB32);
        fondo.fill(Qt::white);
        QPainter(&fondo).drawImage(0, 0, girada);
        girada = fondo;
    }
    return girada;
}

QImage GrisConRuido(const QImage& imagen)
{
    QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    QRandomGenerator azar(22);
    for (int y = 0; y < gris.height(); ++y) {
        uchar* fila = gris.scanLine(y);
        for (int x = 0; x < gris.width(); ++x)
            fila[x] = uchar(std::clamp(int(fila[x]) + int(azar.bounded(81)) - 40, 0, 255));
    }
    return gris;
}

} // namespace

class tst_Lector : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    QTemporaryDir dir;
    QList<Impreso> impresos;

    QString Ruta(const QString& nombre) const { return dir.filePath(nombre); }

    // Prints the form to a PDF of its own, as "Imprimir" does.
    void Imprimir(frmSolicitudes& f, const QString& nombre)
    {
        const QString pdf = Ruta(nombre + QStringLiteral(".pdf"));
        Word::setPrintOutputPdf(pdf);
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        frmProgresoGeneral progreso;
        EscrituraSolicitud::Generar(&ModWord::GenerarDocumentoWXP, f.txtDNI->text() + QStringLiteral(".doc"),
            estado().strRutaTemp, f, &progreso, f.Stelcodex1, true, false);
        Word::quitAllInstances();
        impresos << Impreso{nombre, pdf, CodigoImpreso::BytesCodificados(estado().strDatosCodigo)};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        carpeta = std::make_unique<CarpetaPrograma>();
        Word::setProvider(nullptr);
        MessageBox::setTestMode(true);
        {
            frmSolicitudes f;
            Rellenar(f); // "ñ", accents, "ª", an empty area between blanks
            Imprimir(f, QStringLiteral("acentos"));
        }
        {
            frmSolicitudes f;
            Rellenar(f);
            f.txtDNI->setText(QStringLiteral("00000001R"));
            f.txtApellidos->setText(QStringLiteral("AT&T Núñez|Pérez"));
            f.txtNombre->setText(QStringLiteral("Ana María"));
            f.txtDireccion->setText(QStringLiteral("C/ \"Sol\" ¿1?"));
            f.optCategoria[0]->setChecked(true);
            f.chkDocu[3]->setCheckState(Qt::Unchecked);
            Imprimir(f, QStringLiteral("signos"));
        }
        {
            frmSolicitudes f; // only what printing requires
            f.txtDNI->setText(QStringLiteral("99999999R"));
            f.txtApellidos->setText(QStringLiteral("Gil"));
            f.txtNombre->setText(QStringLiteral("Eva"));
            f.txtFechaNac->setText(QStringLiteral("29/02/2000"));
            f.txtArea[5]->setText(QStringLiteral("1"));
            f.txtDia->setText(QStringLiteral("1"));
            f.txtMes->setText(QStringLiteral("1"));
            f.txtAño->setText(QStringLiteral("2027"));
            Imprimir(f, QStringLiteral("vacios"));
        }
        {
            frmSolicitudes f; // the longest payload that still prints
            Rellenar(f);
            f.txtDNI->setText(QStringLiteral("11111111H"));
            f.txtDireccion->clear();
            const qsizetype base = DatosCodigo::SustituirCaracteres(f.GenerarDatosCodigo()).size();
            QString direccion;
            while (direccion.size() < 1200 - base)
                direccion += QStringLiteral("Avenida de la Constitucion 12, esquina con calle Mayor ");
            f.txtDireccion->setText(direccion.left(1200 - base));
            Imprimir(f, QStringLiteral("largo"));
        }
        for (const Impreso& i : std::as_const(impresos))
            QVERIFY2(QFile::exists(i.pdf), qPrintable(i.nombre));
        QCOMPARE(impresos.last().codigo.size(), 1200);
    }

    void printedCopiesReadBackExactly()
    {
        QStringList pdfs;
        for (const Impreso& i : std::as_const(impresos))
            pdfs << i.pdf;
        const Ejecucion e = Lector(QStringList{QStringLiteral("-f"), QStringLiteral("jsonl")} + pdfs);
        // The longest application takes two printed pages; its second has no symbol.
        QCOMPARE(e.estado, 1);
        const QList<QJsonObject> r = e.registros();
        QCOMPARE(r.size(), impresos.size() + 1);
        for (qsizetype k = 0; k < impresos.size(); ++k) {
            QCOMPARE(r[k].value("fichero").toString(), impresos[k].pdf); // in input order
            QCOMPARE(r[k].value("pagina").toInt(), 1);
            QCOMPARE(r[k].value("codigo").toString().toLatin1(), impresos[k].codigo);
            for (const QJsonValue v : r[k].value("comprobaciones").toObject())
                QVERIFY(v.toBool());
        }
        QCOMPARE(r.last().value("pagina").toInt(), 2);
        QCOMPARE(r.last().value("resultado").toString(), QStringLiteral("sin código"));
        const auto campo = [&](int k, const char* nombre) {
            return r[k].value("campos").toObject().value(QLatin1String(nombre)).toString();
        };
        const auto impreso = [&](int k, const char* nombre) {
            return r[k].value("impresos").toObject().value(QLatin1String(nombre)).toString();
        };
        QCOMPARE(campo(0, "PRIMERAPELLIDO"), QStringLiteral("Muñoz Peña"));
        QCOMPARE(impreso(0, "PRIMERAPELLIDO"), QStringLiteral("Mu&noz Pe&na"));
        QCOMPARE(campo(0, "NOMBRE"), QStringLiteral("José"));
        QCOMPARE(campo(0, "FECHANACIMIENTO"), QStringLiteral("19700201"));
        QCOMPARE(campo(0, "AREAAVILA"), QStringLiteral("3"));
        QCOMPARE(campo(0, "AREABURGOS"), QString());
        QCOMPARE(campo(0, "AREAZAMORA"), QStringLiteral("11"));
        QCOMPARE(campo(0, "CATEGORIA"), QStringLiteral("E"));
        QCOMPARE(campo(0, "ESPECIALISTA"), QStringLiteral("S"));
        QCOMPARE(campo(0, "OTROS"), QStringLiteral("Máster"));
        QCOMPARE(campo(0, "CIUDAD"), QStringLiteral("León"));
        QCOMPARE(campo(0, "FECHAFIRMA"), QStringLiteral("07/12/06"));
        QCOMPARE(campo(1, "PRIMERAPELLIDO"), QStringLiteral("AT T Núñez Pérez")); // "&" and "|" print as blanks
        QCOMPARE(campo(1, "DOMICILIO"), QStringLiteral("C/ 'Sol'  1 "));
        QCOMPARE(campo(1, "CATEGORIA"), QStringLiteral("M"));
        QCOMPARE(campo(1, "OTROS"), QStringLiteral("N"));
        QCOMPARE(campo(2, "NACIONALIDAD"), QString());
        QCOMPARE(campo(2, "FECHANACIMIENTO"), QStringLiteral("20000229"));
        QCOMPARE(campo(2, "AREASALAMANCA"), QStringLiteral("1"));
        QCOMPARE(campo(2, "FECHAFIRMA"), QStringLiteral("01/01/27"));
        QCOMPARE(campo(3, "DOMICILIO").size(), 1200 - (impresos[3].codigo.size() - impreso(3, "DOMICILIO").size()));
        QVERIFY(e.errores.contains("5 páginas, 4 solicitudes leídas, 1 páginas sin código, 0 solicitudes con "
                                   "comprobaciones fallidas"));

        // The same as CSV: a header and one row per page, the fields in form order.
        const Ejecucion csv = Lector({QStringLiteral("-s"), QStringLiteral(";"), impresos[0].pdf});
        QCOMPARE(csv.estado, 0);
        const QList<QByteArray> lineas = csv.salida.split('\n');
        QCOMPARE(lineas.size(), 3); // header, row, nothing after the last CRLF
        QVERIFY(lineas[1].startsWith(impresos[0].pdf.toUtf8() + ";1;solicitud;;;;u;12345678Z;Muñoz Peña;José;"));
        qInfo("%s", lineas[0].trimmed().constData());
        qInfo("%s", lineas[1].trimmed().constData());
    }

    void scansReadBack_data()
    {
        QTest::addColumn<QString>("fichero");
        QTest::addColumn<QString>("condicion");
        const QImage a150 = Escanear(impresos[0].pdf, 150), a200 = Escanear(impresos[0].pdf, 200),
                     a300 = Escanear(impresos[0].pdf, 300);
        QVERIFY(!a150.isNull() && !a200.isNull() && !a300.isNull());
        const auto fila = [&](const char* nombre, const QImage& imagen, const char* formato, int calidad = -1) {
            const QString fichero
                = Ruta(QStringLiteral("escaneo-%1.%2").arg(QLatin1String(nombre), QLatin1String(formato)));
            QImageWriter escritor(fichero, formato);
            escritor.setQuality(calidad);
            QVERIFY2(escritor.write(imagen), qPrintable(escritor.errorString()));
            QTest::newRow(nombre) << fichero << QString::fromLatin1(nombre);
        };
        fila("150 dpi", a150, "png");
        fila("200 dpi", a200, "png");
        fila("300 dpi", a300, "png");
        fila("90 degrees", Girar(a200, 90), "png");
        fila("180 degrees", Girar(a200, 180), "png");
        fila("270 degrees", Girar(a200, 270), "png");
        fila("2 degrees", Girar(a200, 2), "png");
        fila("JPEG quality 40", a200, "jpg", 40);
        fila("grey with noise", GrisConRuido(a200), "png");
        fila("TIFF", a200, "tiff");
        fila("BMP one bit", a300.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither), "bmp");
    }
    void scansReadBack()
    {
        QFETCH(QString, fichero);
        QFETCH(QString, condicion);
        const Ejecucion e = Lector({QStringLiteral("-f"), QStringLiteral("jsonl"), fichero});
        const QList<QJsonObject> r = e.registros();
        QCOMPARE(r.size(), 1);
        const bool leida = r[0].value("codigo").toString().toLatin1() == impresos[0].codigo;
        qInfo("%-16s %s", qPrintable(condicion), leida ? "reads" : "does not read");
        QVERIFY2(leida, e.errores.constData());
        QCOMPARE(e.estado, 0);
    }

    void batchOfFiftyApplicationsInOrder()
    {
        // 53 pages: 50 applications, blank pages 20 and 40, a QR code on page 30;
        // the last application repeats the first one's DNI.
        const QString pdf = Ruta(QStringLiteral("lote.pdf"));
        const QStringList dnis = LoteSolicitudes::Escribir(pdf, 53, {20, 40}, 30, true);
        QCOMPARE(dnis.size(), 50);
        const Ejecucion e = Lector({QStringLiteral("-j"), QStringLiteral("2"), pdf});
        QCOMPARE(e.estado, 1);
        QList<QByteArray> lineas = e.salida.split('\n');
        QCOMPARE(lineas.takeLast(), QByteArray());
        QCOMPARE(lineas.size(), 1 + 53);
        int solicitudes = 0;
        for (int pagina = 1; pagina <= 53; ++pagina) {
            const QByteArray& l = lineas[pagina];
            QVERIFY(l.startsWith(pdf.toUtf8() + ',' + QByteArray::number(pagina) + ','));
            if (pagina == 20 || pagina == 40) {
                QVERIFY2(l.contains(",sin código,"), l.constData());
            } else if (pagina == 30) {
                QVERIFY2(l.contains(",otro código,QRCode,"), l.constData());
            } else {
                QVERIFY2(l.contains(",solicitud,,," + (solicitudes == 49 ? pdf.toUtf8() + ":1" : QByteArray()) + ",u,"
                             + dnis[solicitudes].toLatin1() + ",Pérez,Solicitante "),
                    l.constData());
                ++solicitudes;
            }
        }
        QVERIFY2(e.errores.contains("varelio-lector: 53 páginas, 50 solicitudes leídas, 2 páginas sin código, 0 "
                                    "solicitudes con comprobaciones fallidas, 1 con otro código, 1 DNI repetidos\n"),
            e.errores.constData());
        QVERIFY(!e.errores.contains("\r")); // no progress when standard error is no terminal
    }

    void badInputGivesSpanishMessages()
    {
        QFile pdf(impresos[0].pdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        const QByteArray entero = pdf.readAll();
        QFile truncado(Ruta(QStringLiteral("truncado.pdf")));
        QVERIFY(truncado.open(QIODevice::WriteOnly));
        truncado.write(entero.left(entero.size() / 3));
        truncado.close();
        QFile texto(Ruta(QStringLiteral("texto.png")));
        QVERIFY(texto.open(QIODevice::WriteOnly));
        texto.write("esto no es una imagen\n");
        texto.close();
        QFile imagenRota(Ruta(QStringLiteral("rota.png")));
        QVERIFY(imagenRota.open(QIODevice::WriteOnly));
        imagenRota.write(QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, 'x'));
        imagenRota.close();
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("vacia/sub")));
        const QString fifo = Ruta(QStringLiteral("tuberia.pdf"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

        const Ejecucion e = Lector({truncado.fileName(), texto.fileName(), imagenRota.fileName(),
            Ruta(QStringLiteral("vacia")), fifo, Ruta(QStringLiteral("no-existe.pdf")), impresos[0].pdf});
        QCOMPARE(e.estado, 1);
        const QString errores = QString::fromUtf8(e.errores);
        QVERIFY2(
            errores.contains(QStringLiteral("truncado.pdf: el PDF está dañado o incompleto")), qPrintable(errores));
        QVERIFY(errores.contains(QStringLiteral("texto.png: no es un PDF ni una imagen PNG, JPEG, TIFF o BMP")));
        QVERIFY(errores.contains(QStringLiteral("rota.png: no se puede leer la imagen")));
        QVERIFY(errores.contains(QStringLiteral("vacia: la carpeta no contiene ningún PDF ni imagen")));
        QVERIFY(errores.contains(QStringLiteral("tuberia.pdf: no es un fichero normal")));
        QVERIFY(errores.contains(QStringLiteral("no-existe.pdf: no existe")));
        QVERIFY(errores.contains(QStringLiteral("6 páginas, 1 solicitudes leídas")));
        QCOMPARE(e.salida.count("\r\n"), 1 + 6); // one row for each file that could not be read

        if (::geteuid() != 0) { // root reads anything
            QFile cerrado(Ruta(QStringLiteral("cerrado.png")));
            QVERIFY(cerrado.open(QIODevice::WriteOnly));
            cerrado.close();
            cerrado.setPermissions({});
            const Ejecucion c = Lector({cerrado.fileName()});
            QCOMPARE(c.estado, 1);
            QVERIFY2(c.errores.contains("cerrado.png: no se puede abrir: "), c.errores.constData());
        }
    }

    void commandLine()
    {
        QCOMPARE(Lector({}).estado, 2);
        for (const QStringList& malos :
            {QStringList{"-f", "xml", "a.pdf"}, QStringList{"--ppp", "10", "a.pdf"}, QStringList{"--bogus", "a.pdf"},
                QStringList{"-s", "ab", "a.pdf"}, QStringList{"-o"}, QStringList{"-f", "jsonl", "-s", ";", "a.pdf"}}) {
            const Ejecucion e = Lector(malos);
            QCOMPARE(e.estado, 2);
            QVERIFY2(e.errores.contains("varelio-lector --help"), e.errores.constData());
            QVERIFY(e.salida.isEmpty());
        }
        const Ejecucion ayuda = Lector({QStringLiteral("--help")});
        QCOMPARE(ayuda.estado, 0);
        QVERIFY(ayuda.salida.startsWith("Uso: varelio-lector"));
        QVERIFY(Lector({QStringLiteral("-V")}).salida.startsWith("varelio-lector "));

        // -o writes the whole result, owner-only; -r goes into subfolders.
        QDir(dir.path()).mkpath(QStringLiteral("lote/sub"));
        QVERIFY(QFile::copy(impresos[1].pdf, Ruta(QStringLiteral("lote/sub/b.pdf"))));
        QVERIFY(QFile::copy(impresos[0].pdf, Ruta(QStringLiteral("lote/a.PDF"))));
        const QString csv = Ruta(QStringLiteral("salida.csv"));
        const Ejecucion o = Lector({QStringLiteral("-r"), QStringLiteral("-o"), csv, Ruta(QStringLiteral("lote"))});
        QCOMPARE(o.estado, 0);
        QVERIFY(o.salida.isEmpty());
        QFile escrito(csv);
        QVERIFY(escrito.open(QIODevice::ReadOnly));
        const QList<QByteArray> lineas = escrito.readAll().split('\n');
        QCOMPARE(lineas.size(), 4);
        QVERIFY(lineas[1].contains("lote/a.PDF,1,solicitud"));
        QVERIFY(lineas[2].contains("lote/sub/b.pdf,1,solicitud"));
        QCOMPARE(escrito.permissions() & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
        const Ejecucion sinR = Lector({Ruta(QStringLiteral("lote"))});
        QCOMPARE(sinR.salida.count("\r\n"), 2); // the subfolder is not read

        const Ejecucion fallo
            = Lector({QStringLiteral("-o"), Ruta(QStringLiteral("no/hay/carpeta.csv")), impresos[0].pdf});
        QCOMPARE(fallo.estado, 1);
        QVERIFY2(fallo.errores.contains("no se puede escribir"), fallo.errores.constData());

        // Standard output on a full device.
        QProcess lleno;
        lleno.setStandardOutputFile(QStringLiteral("/dev/full"));
        lleno.start(QStringLiteral(VARELIO_LECTOR), {impresos[0].pdf});
        QVERIFY(lleno.waitForFinished(60000));
        QCOMPARE(lleno.exitCode(), 1);
        QVERIFY(lleno.readAllStandardError().contains("no se puede escribir la salida estándar"));
    }
};

QTEST_MAIN(tst_Lector)
#include "tst_Lector.moc"
