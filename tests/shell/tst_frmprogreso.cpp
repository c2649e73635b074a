#include "tests/support/CarpetaPrueba.h"
#include "shell/frmProgreso.h"
#include "shell/frmProgresoGeneral.h"
#include "shell/ModGeneral.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class tst_frmprogreso : public QObject {
    Q_OBJECT
    static QString nombreAccesible(QWidget* w)
    {
        return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
    }

private slots:
    // What both windows show before anything fills them.
    void estadoInicial()
    {
        frmProgreso ventana;
        QVERIFY(ventana.isModal());
        QCOMPARE(ventana.windowTitle(), QLatin1Char(' ') + ModGeneral::VersionPrograma());
        QCOMPARE(ventana.Label1->text(), QStringLiteral("Cargando información ..."));
        QCOMPARE(ventana.cmdContinuar->text(), QStringLiteral("&Continuar"));
        QVERIFY(!ventana.cmdContinuar->isEnabled());
        QCOMPARE(ventana.lblTitulo->textFormat(), Qt::PlainText); // the file's text is never markup
        QCOMPARE(nombreAccesible(ventana.prg), QStringLiteral("Progreso"));

        frmProgresoGeneral general;
        QVERIFY(general.windowFlags() & Qt::Dialog);
        QCOMPARE(general.windowTitle(), QStringLiteral("Varelio - Procesando"));
        QVERIFY(general.lblAccion->text().isEmpty());
        QCOMPARE(nombreAccesible(general.prgBar), QStringLiteral("Progreso"));
    }

    // While the bar fills, neither closing nor Esc nor "Continuar" ends the window.
    void noSeCierraMientrasCarga()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/FicheroTexto.txt"), "Primera l\xednea\r\nSegunda\r\n");
        frmProgreso ventana;
        QSignalSpy valores(ventana.prg, &QProgressBar::valueChanged);
        bool visibleTrasCerrar = false;
        // At the first point where the fill hands control to the event loop.
        connect(ventana.prg, &QProgressBar::valueChanged, &ventana, [&](int v) {
            if (v == 30)
                QTimer::singleShot(0, &ventana, [&] {
                    ventana.close();
                    QTest::keyClick(&ventana, Qt::Key_Escape);
                    QTest::mouseClick(ventana.cmdContinuar, Qt::LeftButton);
                    visibleTrasCerrar = ventana.isVisible();
                });
        });
        ventana.show();
        QTRY_VERIFY(ventana.terminado());

        QVERIFY(visibleTrasCerrar);
        QCOMPARE(valores.at(valores.size() - 2).first().toInt(), 542); // the last step before full
        QCOMPARE(ventana.prg->value(), ventana.prg->maximum());
        QCOMPARE(ventana.lblTitulo->text(), QStringLiteral("\nPrimera línea\nSegunda"));
        QVERIFY(!QApplication::overrideCursor());
        QTest::mouseClick(ventana.cmdContinuar, Qt::LeftButton);
        QVERIFY(!ventana.isVisible());
    }

    void sinFicheroAvisaYSeCierra()
    {
        CarpetaPrueba c;
        frmProgreso ventana;
        ventana.show();
        QTRY_VERIFY(!ventana.isVisible());
        unMensaje(QStringLiteral("Error en línea 0.No se encontró el archivo 53"), QStringLiteral("Varelio"),
            QMessageBox::NoIcon);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(tst_frmprogreso)
#include "tst_frmprogreso.moc"
