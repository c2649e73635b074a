// Spanish dates and numbers, the preference rule and the bar key stroke.
#include "form/FechaEspanola.h"
#include "form/ReglasCampos.h"

#include <QKeyEvent>
#include <QtTest>

class tst_ReglasCampos : public QObject {
    Q_OBJECT
private slots:
    void fechas_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QDate>("fecha"); // invalid: no value
        QTest::newRow("two-digit year, 1900s") << "1/2/70" << QDate(1970, 2, 1);
        QTest::newRow("two-digit year, 2000s") << "31-12-29" << QDate(2029, 12, 31);
        QTest::newRow("window starts at 1930") << "1.1.30" << QDate(1930, 1, 1);
        QTest::newRow("day before month") << "13/02/2001" << QDate(2001, 2, 13);
        QTest::newRow("month name any case") << "7/DICIEMBRE/2006" << QDate(2006, 12, 7);
        QTest::newRow("blanks around") << " 7 / diciembre / 2006 " << QDate(2006, 12, 7);
        QTest::newRow("no such day") << "31/02/2000" << QDate();
        QTest::newRow("month 13") << "1/13/2000" << QDate();
        QTest::newRow("empty") << "" << QDate();
        QTest::newRow("two parts") << "1/2" << QDate();
        QTest::newRow("three-digit year") << "1/2/197" << QDate();
        QTest::newRow("letters") << "a/b/c" << QDate();
    }
    void fechas()
    {
        QFETCH(QString, texto);
        QFETCH(QDate, fecha);
        const auto leida = FechaEspanola::LeerFecha(texto);
        QCOMPARE(leida.has_value(), fecha.isValid());
        if (leida)
            QCOMPARE(*leida, fecha);
    }

    void meses()
    {
        QCOMPARE(FechaEspanola::NombreMes(1), QStringLiteral("enero"));
        QCOMPARE(FechaEspanola::NombreMes(12), QStringLiteral("diciembre"));
        QVERIFY(FechaEspanola::NombreMes(0).isEmpty());
        QVERIFY(FechaEspanola::NombreMes(13).isEmpty());
    }

    void numeros()
    {
        QCOMPARE(ReglasCampos::LeerNumero(QStringLiteral("2,5")).value(), 2.5);
        QCOMPARE(ReglasCampos::LeerNumero(QStringLiteral(" 3 ")).value(), 3.0);
        QCOMPARE(ReglasCampos::LeerNumero(QStringLiteral("-3")).value(), -3.0);
        QCOMPARE(ReglasCampos::LeerNumero(QStringLiteral(",5")).value(), 0.5);
        for (const char* no : {"", "-", ",", " ", "1,2,3", "2.5", "1a"})
            QVERIFY2(!ReglasCampos::LeerNumero(QString::fromLatin1(no)), no);
        QCOMPARE(ReglasCampos::RedondearPar(2.5), 2);
        QCOMPARE(ReglasCampos::RedondearPar(3.5), 4);
        QCOMPARE(ReglasCampos::RedondearPar(2.6), 3);
    }

    void preferencias()
    {
        using ReglasCampos::Preferencia;
        std::array<QString, 11> t;
        t[0] = QStringLiteral("3");
        t[1] = QStringLiteral("-");
        t[2] = QStringLiteral(",");
        t[3] = QStringLiteral("2,5");
        // Non-numbers elsewhere neither stop the check nor match.
        t[4] = QStringLiteral("4");
        auto r = ReglasCampos::ComprobarPreferencia(4, t);
        QCOMPARE(r.estado, Preferencia::Valida);
        QCOMPARE(r.repeticiones, 0);
        // 2,5 is in range and counts as 2; a box holding 3 elsewhere is a repeat.
        t[5] = QStringLiteral("3");
        QCOMPARE(ReglasCampos::ComprobarPreferencia(5, t).repeticiones, 1);
        t[6] = QStringLiteral("3");
        QCOMPARE(ReglasCampos::ComprobarPreferencia(6, t).repeticiones, 2);
        t[7] = QStringLiteral("2");
        QCOMPARE(ReglasCampos::ComprobarPreferencia(7, t).repeticiones, 0); // 2 != 2,5
        QCOMPARE(ReglasCampos::ComprobarPreferencia(1, t).estado, Preferencia::SinComprobar);
        QCOMPARE(ReglasCampos::ComprobarPreferencia(8, t).estado, Preferencia::SinComprobar);
        for (const char* fuera : {"0", "12", "0,5", "11,5", "-3"}) {
            t[9] = QString::fromLatin1(fuera);
            QVERIFY2(ReglasCampos::ComprobarPreferencia(9, t).estado == Preferencia::FueraDeRango, fuera);
        }
    }

    void teclaBarra()
    {
        auto es = [](int key, Qt::KeyboardModifiers m) {
            QKeyEvent e(QEvent::KeyRelease, key, m, QStringLiteral("|"));
            return ReglasCampos::EsTeclaBarra(&e);
        };
        QVERIFY(es(Qt::Key_1, Qt::ControlModifier | Qt::AltModifier));
        QVERIFY(es(Qt::Key_1, Qt::GroupSwitchModifier));
        QVERIFY(es(Qt::Key_Bar, Qt::GroupSwitchModifier));
        QVERIFY(es(Qt::Key_Bar, Qt::NoModifier));
        QVERIFY(!es(Qt::Key_1, Qt::NoModifier));
        QVERIFY(!es(Qt::Key_1, Qt::AltModifier));
        QVERIFY(!es(Qt::Key_2, Qt::ControlModifier | Qt::AltModifier));
    }
};

QTEST_GUILESS_MAIN(tst_ReglasCampos)
#include "tst_ReglasCampos.moc"
