#include "hashing/CSHA256.h"

#include <QCryptographicHash>
#include <QTest>

class tst_csha256 : public QObject {
    Q_OBJECT

    static QString referencia(const QByteArray& bytes)
    {
        return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }

private slots:
    void vectoresPublicados_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QString>("digest");
        QTest::newRow("vacío") << QString() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
        QTest::newRow("abc") << "abc"
                             << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
        QTest::newRow("448 bits") << "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"
                                  << "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
        QTest::newRow("millón de a") << QString(1000000, QLatin1Char('a'))
                                     << "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0";
    }
    void vectoresPublicados()
    {
        QFETCH(QString, texto);
        QFETCH(QString, digest);
        QCOMPARE(CSHA256().SHA256(texto), digest);
    }

    // Lengths around the block boundaries, where the padding changes shape.
    void bordesDeBloque()
    {
        const CSHA256 sha;
        for (int n : {54, 55, 56, 57, 63, 64, 65, 119, 120, 128}) {
            const QByteArray bytes(n, 'x');
            QCOMPARE(sha.SHA256(QString::fromLatin1(bytes)), referencia(bytes));
        }
    }

    // One byte per character: the low byte of its code unit.
    void caracterEsSuByteBajo()
    {
        const CSHA256 sha;
        QCOMPARE(sha.SHA256(QStringLiteral("Año")), referencia(QByteArray("\x41\xF1\x6F", 3)));
        QCOMPARE(sha.SHA256(QStringLiteral("1€")), referencia(QByteArray("1\xAC", 2))); // U+20AC
        QString todos;
        QByteArray bytes;
        for (int c = 0; c < 256; ++c) {
            todos += QChar(c);
            bytes += char(c);
        }
        QCOMPARE(sha.SHA256(todos), referencia(bytes));
    }
};

QTEST_APPLESS_MAIN(tst_csha256)
#include "tst_csha256.moc"
