// The information text as it ships and as the information window reads it.
#include "shell/EstadoCompartido.h"
#include "shell/Windows1252.h"
#include "shell/ModCargaFicheros.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class tst_ficherotexto : public QObject {
    Q_OBJECT

    QByteArray bytes_;

private slots:
    void initTestCase()
    {
        QFile f(QDir(qEnvironmentVariable("VARELIO_PROGRAM_DIR")).filePath("ficheros/FicheroTexto.txt"));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        bytes_ = f.readAll();
        QVERIFY(!bytes_.isEmpty());
    }

    // Byte for byte the file in the repository: no line-end conversion on the way.
    void igualQueElFuente()
    {
        QFile fuente(QStringLiteral(VARELIO_TEST_DATA "/../../data/ficheros/FicheroTexto.txt"));
        QVERIFY(fuente.open(QIODevice::ReadOnly));
        QCOMPARE(bytes_, fuente.readAll());
    }

    // Windows-1252 with CR LF: every line ends in CR LF, the last one too; no byte
    // is unassigned in that code page; and it is not UTF-8 by mistake.
    void codificacion()
    {
        QVERIFY(bytes_.endsWith("\r\n"));
        for (qsizetype i = 0; i < bytes_.size(); ++i) {
            const auto b = static_cast<unsigned char>(bytes_[i]);
            if (b == '\n')
                QVERIFY2(i > 0 && bytes_[i - 1] == '\r', qPrintable(QString("bare LF at %1").arg(i)));
            if (b == '\r')
                QVERIFY2(i + 1 < bytes_.size() && bytes_[i + 1] == '\n', qPrintable(QString("bare CR at %1").arg(i)));
            QVERIFY2(b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D,
                qPrintable(QString("byte 0x%1 at %2").arg(b, 2, 16).arg(i)));
        }
        QVERIFY(!Windows1252::ATexto(bytes_).contains(QChar(0x00C3)));
    }

    // Read as the information window reads it: a leading line break, then the
    // lines; short enough for a window of about 600 x 450 pixels; it tells the
    // candidate about the barcode, the signature and handing the copy in.
    void leidoPorElPrograma()
    {
        reiniciarEstado();
        estado().strRutaFicheros = QDir(qEnvironmentVariable("VARELIO_PROGRAM_DIR")).filePath("ficheros") + "/";
        const QString texto = ModCargaFicheros::LeerFicheroTexto(QStringLiteral("FicheroTexto.txt")).valor;
        QVERIFY(texto.startsWith("\r\n"));
        const QStringList lineas = texto.mid(2).split("\r\n");
        QVERIFY2(lineas.size() <= 22, qPrintable(QString::number(lineas.size())));
        for (const QString& l : lineas)
            QVERIFY2(l.size() <= 80, qPrintable(l));
        for (const char* s : {"Solicitud", "SOLICITUD", "código de barras", "Firme", "entréguela", "Áreas de salud"})
            QVERIFY2(texto.contains(QString::fromUtf8(s), Qt::CaseInsensitive), s);
    }
};

QTEST_APPLESS_MAIN(tst_ficherotexto)
#include "tst_ficherotexto.moc"
