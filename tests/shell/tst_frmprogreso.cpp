#include "CarpetaPrueba.h"
#include "shell/frmProgreso.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

class TstFrmProgreso : public QObject {
    Q_OBJECT
private slots:
    // While the bar fills, neither closing nor Esc nor "Continuar" ends the window.
    void noSeCierraMientrasCarga()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/FicheroTexto.txt"), "Primera l\xednea\r\nSegunda\r\n");
        frmProgreso ventana;
        QSignalSpy valores(ventana.prg, &QProgressBar::valueChanged);
        bool visibleTrasCerrar = false, continuarActivo = true;
        int valorVisto = -1;
        // Once the fill has begun, at the first point where it hands control to
        // the event loop.
        auto alEmpezar = connect(ventana.prg, &QProgressBar::valueChanged, &ventana, [&](int v) {
            if (v != 30)
                return;
            QTimer::singleShot(0, &ventana, [&] {
                valorVisto = ventana.prg->value();
                continuarActivo = ventana.cmdContinuar->isEnabled();
                ventana.close();
                QTest::keyClick(&ventana, Qt::Key_Escape);
                QTest::mouseClick(ventana.cmdContinuar, Qt::LeftButton);
                visibleTrasCerrar = ventana.isVisible();
            });
        });
        ventana.show();
        QTRY_VERIFY(ventana.terminado());
        disconnect(alEmpezar);

        QCOMPARE(valorVisto, 60);
        QVERIFY(!continuarActivo);
        QVERIFY(visibleTrasCerrar);
        QCOMPARE(ventana.prg->maximum(), 660);
        QCOMPARE(ventana.prg->value(), 660);
        QCOMPARE(valores.at(valores.size() - 2).first().toInt(), 542); // the last step before full
        QVERIFY(ventana.cmdContinuar->isEnabled());
        QCOMPARE(ventana.lblTitulo->text(), QStringLiteral("\nPrimera línea\nSegunda"));
        QCOMPARE(ventana.windowTitle(), QStringLiteral(" 1.0.0"));
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(MessageBox::shown().isEmpty());

        QTest::mouseClick(ventana.cmdContinuar, Qt::LeftButton);
        QVERIFY(!ventana.isVisible());
    }

    void sinFicheroAvisaYSeCierra()
    {
        CarpetaPrueba c;
        frmProgreso ventana;
        ventana.show();
        QTRY_VERIFY(!ventana.isVisible());
        QCOMPARE(CarpetaPrueba::mensajes(), QStringList(QStringLiteral("Error en línea 0.No se encontró el archivo 53")));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Varelio"));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::NoIcon);
        QVERIFY(!QApplication::overrideCursor());
    }

    // Mostrar runs the window modally and returns once "Continuar" is pressed.
    void mostrarEsModal()
    {
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/FicheroTexto.txt"), "Texto\r\n");
        bool eraModal = false;
        QTimer pulsador;
        connect(&pulsador, &QTimer::timeout, [&] {
            auto* v = qobject_cast<frmProgreso*>(QApplication::activeModalWidget());
            if (v && v->cmdContinuar->isEnabled()) {
                eraModal = true;
                QTest::mouseClick(v->cmdContinuar, Qt::LeftButton);
            }
        });
        pulsador.start(10);
        frmProgreso::Mostrar();
        QVERIFY(eraModal);
    }
};

QTEST_MAIN(TstFrmProgreso)
#include "tst_frmprogreso.moc"
