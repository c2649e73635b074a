// The recovery copy's file: what is read back, what counts as damaged, setting
// one aside, and which drafts belong to new applications.
#include "applications/Borrador.h"
#include "applications/ListaSolicitudes.h"
#include "shell/EstadoCompartido.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
const QString kDNI = QStringLiteral("12345678Z");
const QString kFichero = QStringLiteral("12345678Z.doc");

Borrador::Datos Ejemplo()
{
    return {kFichero, kDNI, QDateTime(QDate(2026, 12, 10), QTime(15, 30, 1, 123), Qt::UTC),
        {{QStringLiteral("NOMBRE"), QStringLiteral("Ana \"la\" | Ñ\n")},
            {QStringLiteral("AÑO"), QStringLiteral("2026")}, {QStringLiteral("MEDICO"), QStringLiteral("1")},
            {QStringLiteral("DESCOTROS"), QString()}}};
}
} // namespace

class TstBorrador : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString carpeta() const { return dir.path() + QLatin1Char('/'); }
    QString ruta() const { return carpeta() + Borrador::Nombre(kFichero); }
    void poner(const QByteArray& bytes)
    {
        QFile::remove(ruta());
        QFile f(ruta());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void idaYVuelta()
    {
        QCOMPARE(Borrador::Nombre(kFichero), QStringLiteral(".12345678Z.doc.borrador"));
        QVERIFY(Borrador::Escribir(carpeta(), Ejemplo()));
        const Borrador::Lectura l = Borrador::Leer(carpeta(), kFichero);
        QCOMPARE(l.estado, Borrador::Lectura::Valido);
        QCOMPARE(l.datos.solicitud, kFichero);
        QCOMPARE(l.datos.dni, kDNI);
        QCOMPARE(l.datos.fecha, Ejemplo().fecha);
        QCOMPARE(l.datos.campos, Ejemplo().campos);
        QCOMPARE(QFile::permissions(ruta()), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(Borrador::Leer(carpeta(), QStringLiteral("otra.doc")).estado, Borrador::Lectura::NoHay);
    }

    void danados_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray bien = Borrador::Serializar(Ejemplo());
        QTest::newRow("cortado") << bien.left(bien.size() / 2);
        QTest::newRow("vacío") << QByteArray();
        QTest::newRow("lista") << QByteArray("[1, 2]");
        QTest::newRow("otro formato") << QByteArray(bien).replace("varelio-borrador", "otro");
        QTest::newRow("otra versión") << QByteArray(bien).replace("\"version\": 1", "\"version\": 2");
        QTest::newRow("otra solicitud") << QByteArray(bien).replace("\"12345678Z.doc\"", "\"12345678Z-1.doc\"");
        QTest::newRow("sin fecha") << QByteArray(bien).replace("2026-12-10T15:30:01.123Z", "ayer");
        QTest::newRow("número") << QByteArray(bien).replace("\"2026\"", "2026");
        QTest::newRow("demasiado grande") << bien + QByteArray(9 * 1024 * 1024, ' ');
    }
    void danados()
    {
        QFETCH(QByteArray, bytes);
        poner(bytes);
        const Borrador::Lectura l = Borrador::Leer(carpeta(), kFichero);
        QCOMPARE(l.estado, Borrador::Lectura::Danado);
        QVERIFY(!l.causa.isEmpty());
    }

    // A link is not followed; setting aside moves the link itself, keeps every
    // earlier copy and names none that the list shows.
    void enlaceYApartar()
    {
        QVERIFY(Borrador::Escribir(carpeta(), Ejemplo()));
        QVERIFY(QFile::rename(ruta(), carpeta() + QStringLiteral("real")));
        QCOMPARE(::symlink("real", QFile::encodeName(ruta()).constData()), 0);
        QCOMPARE(Borrador::Leer(carpeta(), kFichero).estado, Borrador::Lectura::Danado);

        QString primero, segundo;
        QVERIFY(Borrador::Apartar(carpeta(), kFichero, primero));
        QVERIFY(QFileInfo(carpeta() + primero).isSymLink());
        poner("basura");
        QVERIFY(Borrador::Apartar(carpeta(), kFichero, segundo));
        QVERIFY(primero != segundo);
        QVERIFY(primero.startsWith(QStringLiteral(".12345678Z.doc.borrador-apartado-")));
        QVERIFY(QFileInfo(carpeta() + primero).isSymLink());
        QVERIFY(QFileInfo::exists(carpeta() + QStringLiteral("real")));
        QVERIFY(!QFileInfo::exists(ruta()));
        QVERIFY(Borrador::Quitar(carpeta(), kFichero)); // nothing left to remove
    }

    // Only this DNI's drafts without a stored file are new applications; no
    // draft is ever listed as a stored application. A draft older than its file
    // is not newer.
    void nuevasYLista()
    {
        reiniciarEstado();
        estado().strRutaTemp = carpeta();
        const QString nueva = QStringLiteral("12345678Z-0905-071206.doc");
        for (const QString& f : {kFichero, nueva, QStringLiteral("87654321X.doc")}) {
            Borrador::Datos d = Ejemplo();
            d.solicitud = f;
            QVERIFY(Borrador::Escribir(carpeta(), d));
        }
        QFile guardada(carpeta() + kFichero);
        QVERIFY(guardada.open(QIODevice::WriteOnly));
        guardada.close();
        QCOMPARE(Borrador::SinGuardar(carpeta(), kDNI), QStringList{nueva});
        QCOMPARE(ModCargaFicheros::ContarSolicitudes(kDNI), qint16(1));
        QVERIFY(!Borrador::MasNuevo(carpeta(), Ejemplo()));
        Borrador::Datos reciente = Ejemplo();
        reciente.fecha = QDateTime::currentDateTimeUtc().addSecs(5);
        QVERIFY(Borrador::MasNuevo(carpeta(), reciente));
    }
};

QTEST_APPLESS_MAIN(TstBorrador)
#include "tst_borrador.moc"
