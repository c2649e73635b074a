#include "tests/support/CarpetaPrueba.h"
#include "shell/frmProgreso.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

class tst_frmprogreso : public QObject {
    Q_OBJECT
private slots:
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
