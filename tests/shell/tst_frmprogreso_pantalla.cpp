// The information window on a laptop screen at 150 % scaling (1366 x 768, so
// 911 x 512 logical pixels): it fits, and "Continuar" is on the screen, for
// the text that ships and for a much longer one.
#include "tests/support/CarpetaPrueba.h"
#include "shell/frmProgreso.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

class TstFrmProgresoPantalla : public QObject {
    Q_OBJECT
private slots:
    void caberEnLaPantalla_data()
    {
        QTest::addColumn<int>("copias");
        QTest::newRow("el texto que se distribuye") << 1;
        QTest::newRow("un texto tres veces más largo") << 3;
    }
    void caberEnLaPantalla()
    {
        QFETCH(int, copias);
        QFile distribuido(QStringLiteral(VARELIO_TEST_DATA "/../../data/ficheros/FicheroTexto.txt"));
        QVERIFY(distribuido.open(QIODevice::ReadOnly));
        CarpetaPrueba c;
        c.escribir(QStringLiteral("ficheros/FicheroTexto.txt"), distribuido.readAll().repeated(copias));
        frmProgreso ventana;
        ventana.show();
        QTRY_VERIFY(ventana.terminado());
        QVERIFY(MessageBox::shown().isEmpty());

        const QRect pantalla = ventana.screen()->availableGeometry();
        QCOMPARE(pantalla.size(), QSize(911, 512));
        QVERIFY2(pantalla.contains(ventana.geometry()),
            qPrintable(QStringLiteral("%1,%2 %3x%4")
                           .arg(ventana.x())
                           .arg(ventana.y())
                           .arg(ventana.width())
                           .arg(ventana.height())));
        const QRect boton(ventana.cmdContinuar->mapToGlobal(QPoint(0, 0)), ventana.cmdContinuar->size());
        QVERIFY(pantalla.contains(boton));
        QVERIFY(ventana.cmdContinuar->isVisible() && ventana.cmdContinuar->isEnabled());
        QCOMPARE(QApplication::focusWidget(), ventana.cmdContinuar);
        QVERIFY(ventana.lblTitulo->isVisible());
        QTest::keyClick(ventana.cmdContinuar, Qt::Key_Space);
        QVERIFY(!ventana.isVisible());
    }
};

int main(int argc, char** argv)
{
    // The screen is the platform's: set before the application exists.
    QTemporaryDir dir;
    QFile json(dir.filePath(QStringLiteral("pantalla.json")));
    if (!json.open(QIODevice::WriteOnly))
        return 2;
    json.write(R"({"screens": [{"name": "Pantalla", "x": 0, "y": 0, "width": 1366, "height": 768,
        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + json.fileName().toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", "1.5");
    QApplication app(argc, argv);
    TstFrmProgresoPantalla prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_frmprogreso_pantalla.moc"
