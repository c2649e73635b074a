// Spanish dates and numbers, and the preference rule.
#include "form/FechaEspanola.h"
#include "form/ReglasCampos.h"

#include <QtTest>

class tst_ReglasCampos : public QObject {
    Q_OBJECT
private slots:
    void fechas()
    {
        const std::pair<const char*, QDate> casos[] = {
            {"1/2/70", QDate(1970, 2, 1)},      {"31-12-29", QDate(2029, 12, 31)},
            {"1.1.30", QDate(1930, 1, 1)},      {" 7 / DICIEMBRE / 2006 ", QDate(2006, 12, 7)},
            {"13/02/2001", QDate(2001, 2, 13)}, {"31/02/2000", {}}, {"1/13/2000", {}}, {"", {}},
            {"1/2", {}},                        {"1/2/197", {}},
            {"1970-02-01", QDate(1970, 2, 1)},  {"7 dic 2006", QDate(2006, 12, 7)},
            {"2000/02/31", {}},                 {"1/2/1970 x", {}}};
        for (const auto& [texto, fecha] : casos) {
            const auto leida = FechaEspanola::LeerFecha(QString::fromLatin1(texto));
            QVERIFY2(leida.value_or(QDate()) == fecha, texto);
        }
    }

    void preferencias()
    {
        using ReglasCampos::Preferencia;
        QCOMPARE(ReglasCampos::RedondearPar(2.5), 2);
        QCOMPARE(ReglasCampos::RedondearPar(3.5), 4);
        std::array<QString, 11> t = {"3", "-", ",", "2,5", " 4 ", "1,2,3", "2.5"};
        // Lone signs and malformed numbers elsewhere neither stop the check nor match.
        for (int i : {1, 2, 5, 6, 7})
            QCOMPARE(ReglasCampos::ComprobarPreferencia(i, t).estado, Preferencia::SinComprobar);
        QCOMPARE(ReglasCampos::ComprobarPreferencia(4, t).repeticiones, 0);
        t[8] = QStringLiteral("2"); // 2,5 counts as 2 in its own box, as 2,5 in others
        QCOMPARE(ReglasCampos::ComprobarPreferencia(3, t).repeticiones, 1);
        QCOMPARE(ReglasCampos::ComprobarPreferencia(8, t).repeticiones, 0);
        t[9] = QStringLiteral("3");
        t[10] = QStringLiteral("3");
        QCOMPARE(ReglasCampos::ComprobarPreferencia(10, t).repeticiones, 2);
        for (const char* fuera : {"0", "12", "0,5", "11,5", "-3"}) {
            t[9] = QString::fromLatin1(fuera);
            QVERIFY2(ReglasCampos::ComprobarPreferencia(9, t).estado == Preferencia::FueraDeRango, fuera);
        }
    }

};

QTEST_GUILESS_MAIN(tst_ReglasCampos)
#include "tst_ReglasCampos.moc"
