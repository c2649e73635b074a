// Spanish dates and numbers, and the preference rule.
#include "shell/FechaEspanola.h"
#include "form/Pantalla.h"
#include "form/ReglasCampos.h"

#include <QtTest>

class tst_ReglasCampos : public QObject {
    Q_OBJECT
private slots:
    void fechas()
    {
        const std::pair<const char*, QDate> casos[]
            = {{"1/2/70", QDate(1970, 2, 1)}, {"31-12-29", QDate(2029, 12, 31)}, {"1.1.30", QDate(1930, 1, 1)},
                {" 7 / DICIEMBRE / 2006 ", QDate(2006, 12, 7)}, {"13/02/2001", QDate(2001, 2, 13)}, {"31/02/2000", {}},
                {"1/13/2000", {}}, {"", {}}, {"1/2", {}}, {"1/2/197", {}}, {"1970-02-01", QDate(1970, 2, 1)},
                {"7 dic 2006", QDate(2006, 12, 7)}, {"2000/02/31", {}}, {"1/2/1970 x", {}},
                {"7 de diciembre de 2006", QDate(2006, 12, 7)}, {"7 DE DIC DEL 2006", QDate(2006, 12, 7)},
                {"7 de 12 de 2006", QDate(2006, 12, 7)}, {"de 7 diciembre 2006", {}}};
        for (const auto& [texto, fecha] : casos) {
            const auto leida = FechaEspanola::LeerFecha(QString::fromLatin1(texto));
            QVERIFY2(leida.value_or(QDate()) == fecha, texto);
        }
    }

    // Birth dates from 1900 to today; the year 1, 9999 and tomorrow are refused.
    void fechaDeNacimiento()
    {
        const QDate hoy(2026, 12, 8);
        const std::pair<const char*, QDate> casos[]
            = {{"01/01/1900", QDate(1900, 1, 1)}, {"31/12/1899", {}}, {"01/01/0001", {}}, {"31/12/9999", {}},
                {"08/12/2026", hoy}, {"09/12/2026", {}}, {"7 de diciembre de 2006", QDate(2006, 12, 7)}};
        for (const auto& [texto, fecha] : casos) {
            const auto leida = FechaEspanola::LeerFechaNacimiento(QString::fromLatin1(texto), hoy);
            QVERIFY2(leida.value_or(QDate()) == fecha, texto);
        }
    }

    void numeros()
    {
        const std::pair<const char*, std::optional<double>> casos[]
            = {{"1-", -1}, {"5-", -5}, {"-2,5", -2.5}, {" 3 ", 3}, {",5", 0.5}, {"4,", 4}, {"-1-", {}}, {"--", {}},
                {",", {}}, {"-", {}}, {"1,2,3", {}}, {"2.5", {}}};
        for (const auto& [texto, valor] : casos)
            QVERIFY2(ReglasCampos::LeerNumero(QString::fromLatin1(texto)) == valor, texto);
    }

    // Every bar goes; the caret stays between the same characters.
    void barras()
    {
        QString t = QStringLiteral("|Ana| Ma|ría");
        int cursor = 9; // before "ría"
        QCOMPARE(ReglasCampos::QuitarBarras(t, cursor), 3);
        QCOMPARE(t, QStringLiteral("Ana María"));
        QCOMPARE(cursor, 6);
        cursor = 2;
        QCOMPARE(ReglasCampos::QuitarBarras(t, cursor), 0);
        QCOMPARE(cursor, 2);
    }

    // The window inside the free area, centred, its frame included; the content
    // that is cut gets room for a scroll bar.
    void geometriaInicial()
    {
        const QMargins marco(4, 30, 4, 4);
        const QRect libre(0, 0, 1093, 582); // 1366 x 768 at 125 %, less a panel
        const QRect g = Pantalla::GeometriaInicial(QSize(1000, 700), libre, marco, 15);
        QVERIFY(libre.contains(g.marginsAdded(marco)));
        QCOMPARE(g.size(), QSize(1015, 548));
        QCOMPARE(g.marginsAdded(marco).center().x(), libre.center().x());
        // Fits: the size asked for, no bar.
        const QRect cabe = Pantalla::GeometriaInicial(QSize(800, 500), QRect(100, 50, 1024, 740), marco, 15);
        QCOMPARE(cabe.size(), QSize(800, 500));
        QVERIFY(QRect(100, 50, 1024, 740).contains(cabe.marginsAdded(marco)));
        // Too wide and too high: both cut to the area.
        QCOMPARE(Pantalla::GeometriaInicial(QSize(3000, 2000), libre, marco, 15).size(), QSize(1085, 548));
    }

    void preferencias()
    {
        using ReglasCampos::Preferencia;
        QCOMPARE(ReglasCampos::RedondearPar(2.5), 2);
        QCOMPARE(ReglasCampos::RedondearPar(3.5), 4);
        std::array<QString, 11> t = {"3", "-", ",", "2,5", " 4 ", "1,2,3", "2.5"};
        // Lone signs and malformed numbers elsewhere neither stop the check nor match.
        // In its own box an empty text or a lone hyphen is not checked; any
        // other text that is no number is no preference.
        for (int i : {1, 7})
            QCOMPARE(ReglasCampos::ComprobarPreferencia(i, t).estado, Preferencia::SinComprobar);
        for (int i : {2, 5, 6})
            QCOMPARE(ReglasCampos::ComprobarPreferencia(i, t).estado, Preferencia::FueraDeRango);
        QCOMPARE(ReglasCampos::ComprobarPreferencia(4, t).repeticiones, 0);
        t[8] = QStringLiteral("2"); // 2,5 counts as 2 in its own box, as 2,5 in others
        QCOMPARE(ReglasCampos::ComprobarPreferencia(3, t).repeticiones, 1);
        QCOMPARE(ReglasCampos::ComprobarPreferencia(8, t).repeticiones, 0);
        t[9] = QStringLiteral("3");
        t[10] = QStringLiteral("3");
        QCOMPARE(ReglasCampos::ComprobarPreferencia(10, t).repeticiones, 2);
        for (const char* fuera : {"0", "12", "0,5", "11,5", "-3", "1-", "5-", "--", "1--"}) {
            t[9] = QString::fromLatin1(fuera);
            QVERIFY2(ReglasCampos::ComprobarPreferencia(9, t).estado == Preferencia::FueraDeRango, fuera);
        }
    }
};

QTEST_GUILESS_MAIN(tst_ReglasCampos)
#include "tst_ReglasCampos.moc"
