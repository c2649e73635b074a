// Failures that a step passes over, and the text that reports one: the
// Spanish descriptions of the word processor's errors must
// reach the message whole, whatever the locale.
#include "platform/word/Error.h"
#include "shell/Fallos.h"

#include <QTest>

#include <stdexcept>

class tst_fallos : public QObject {
    Q_OBJECT
private slots:
    void ignorandoPassesOverAFailureAndSaysSo()
    {
        int pasos = 0;
        QVERIFY(Ignorando([&] { ++pasos; }));
        QVERIFY(!Ignorando([&] {
            ++pasos;
            throw Word::Error(Word::ErrorCode::NoSuchMember, QStringLiteral("no"));
        }));
        QVERIFY(!Ignorando([] { throw std::runtime_error("x"); }));
        QCOMPARE(pasos, 2);
    }

    void textoFalloKeepsSpanishDescriptions()
    {
        const QString texto = QStringLiteral("No se encontró el archivo «añadido» — €");
        QCOMPARE(TextoFallo(Word::Error(Word::ErrorCode::FileNotFound, texto)), texto);
        QCOMPARE(TextoFallo(std::runtime_error("plain")), QStringLiteral("plain"));
    }
};

QTEST_GUILESS_MAIN(tst_fallos)
#include "tst_fallos.moc"
