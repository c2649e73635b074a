// The form on a given screen and scale (VARELIO_PANTALLA, e.g. "1366x768@1.25";
// 1024 x 768 at 100 % when unset): it opens inside the screen, its content
// scrolls, and the control with the focus is always in view.
#include "tests/form/Formulario.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>

using namespace Prueba;

namespace {

QString g_pantalla = QStringLiteral("1024x768@1");

// The control lies wholly inside the scroll area's visible part; one wider
// than it fills most of its width.
bool EnVista(QScrollArea* area, QWidget* control)
{
    const QRect r(control->mapTo(area->viewport(), QPoint(0, 0)), control->size());
    const QRect vista = area->viewport()->rect();
    const bool alto = r.top() >= vista.top() && r.bottom() <= vista.bottom();
    const bool ancho = r.width() > vista.width() ? r.intersected(vista).width() >= vista.width() * 3 / 4
                                                 : r.left() >= vista.left() && r.right() <= vista.right();
    return alto && ancho;
}

} // namespace

class tst_PantallaFormulario : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    frmSolicitudes* f = nullptr;

private slots:
    void init()
    {
        PrepararEstado(carpeta.path());
        f = Abrir();
        MessageBox::clear();
    }
    void cleanup() { Cerrar(f); }

    void caberEnLaPantalla()
    {
        const QRect libre = f->screen()->availableGeometry();
        QVERIFY2(libre.contains(f->frameGeometry()),
            qPrintable(QStringLiteral("%1: %2,%3 %4 x %5")
                           .arg(g_pantalla)
                           .arg(f->frameGeometry().x())
                           .arg(f->frameGeometry().y())
                           .arg(f->frameGeometry().width())
                           .arg(f->frameGeometry().height())));
        auto* area = f->findChild<QScrollArea*>(QStringLiteral("scrContenido"));
        QVERIFY(area);
        // Whatever the window cannot show can be scrolled to, the file name last.
        const bool cabe = area->widget()->sizeHint().height() <= area->viewport()->height();
        QCOMPARE(area->verticalScrollBar()->maximum() > 0, !cabe);
        // Down to 1366 x 768 at 150 % the content narrows instead of scrolling sideways.
        QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
        QVERIFY(EnVista(area, f->lblFichero));
        QVERIFY(
            f->lblFichero->mapTo(area->viewport(), f->lblFichero->rect().topRight()).x() < area->viewport()->width());
        // The menu and the status bar stay in the window, outside the scrolling.
        QVERIFY(f->rect().contains(f->statusBar()->geometry()));
    }

    // TAB from the top to the signing line and back: the focused box is always
    // shown, and leaving the city box enables "Guardar".
    void focoSiempreVisible()
    {
        auto* area = f->findChild<QScrollArea*>(QStringLiteral("scrContenido"));
        f->txtApellidos->setFocus(Qt::TabFocusReason);
        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        while (QApplication::focusWidget() != f->txtAño) {
            QWidget* antes = QApplication::focusWidget();
            QTest::keyClick(antes, Qt::Key_Tab);
            QVERIFY(QApplication::focusWidget() != antes);
            QVERIFY2(EnVista(area, QApplication::focusWidget()), qPrintable(QApplication::focusWidget()->objectName()));
        }
        QVERIFY(f->mnuP.at(ComandoMenu::Guardar)->isEnabled());
        // Focus moved by the program (a check putting it back) is shown as well.
        f->txtNombre->setFocus(Qt::OtherFocusReason);
        QVERIFY(EnVista(area, f->txtNombre));
        QVERIFY(MessageBox::shown().isEmpty());
    }

    // The picture for the documentation: the form filled in, scrolled to its
    // end, on the whole screen with the window's frame.
    void captura()
    {
        const std::pair<QLineEdit*, const char*> datos[]
            = {{f->txtApellidos, "García Fernández"}, {f->txtNombre, "María José"}, {f->txtFechaNac, "14/03/1975"},
                {f->txtNacionalidad, "Española"}, {f->txtTfno, "987654321"}, {f->txtDireccion, "Avenida de Madrid"},
                {f->txtNum, "25"}, {f->txtPuerta, "3ºB"}, {f->txtMunicipio, "Ponferrada"}, {f->txtProvincia, "León"},
                {f->txtCP, "24400"}, {f->txtTitulacion, "Licenciada en Medicina y Cirugía"}, {f->txtArea[3], "1"},
                {f->txtArea[2], "2"}, {f->txtArea[10], "3"}, {f->txtCiudad, "Ponferrada"}};
        for (const auto& [caja, texto] : datos)
            caja->setText(QString::fromUtf8(texto));
        f->chkDocu[1]->setChecked(true);
        f->lblFichero->setText(QStringLiteral("12345678Z.doc"));
        f->txtCiudad->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f->txtCiudad, Qt::Key_Tab);
        auto* area = f->findChild<QScrollArea*>(QStringLiteral("scrContenido"));
        area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        // The pointer on "Guardar": highlighted, its keys in the status bar.
        QMenuBar* barra = f->menuBar();
        const QRect guardar = barra->actionGeometry(f->mnuP.at(ComandoMenu::Guardar));
        QTest::mouseMove(f->windowHandle(), barra->mapTo(f, guardar.center()));
        QTRY_COMPARE(f->statusBar()->currentMessage(), QStringLiteral("Guardar la solicitud (Ctrl+G)"));
        QCoreApplication::processEvents();

        QScreen* pantalla = f->screen();
        const qreal escala = pantalla->devicePixelRatio();
        QImage imagen(pantalla->geometry().size() * escala, QImage::Format_RGB32);
        imagen.setDevicePixelRatio(escala);
        imagen.fill(QColor(0x3b, 0x5b, 0x7a));
        QPainter pintor(&imagen);
        const QRect marco = f->frameGeometry();
        pintor.fillRect(marco, QColor(0x30, 0x30, 0x30));
        pintor.drawPixmap(f->geometry().topLeft(), f->grab());
        pintor.end();
        const QString nombre
            = QStringLiteral("frmSolicitudes-%1.png").arg(g_pantalla).replace(QLatin1Char('@'), QLatin1Char('-'));
        QVERIFY(imagen.save(QCoreApplication::applicationDirPath() + QLatin1Char('/') + nombre));
    }
};

int main(int argc, char** argv)
{
    // The screen is the platform's: set before the application exists.
    if (qEnvironmentVariableIsSet("VARELIO_PANTALLA"))
        g_pantalla = qEnvironmentVariable("VARELIO_PANTALLA");
    const QStringList partes = g_pantalla.split(QRegularExpression(QStringLiteral("[x@]")));
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("pantalla.json"));
    QFile json(config);
    if (partes.size() != 3 || !json.open(QIODevice::WriteOnly))
        return 2;
    json.write(QStringLiteral(R"({"screens": [{"name": "Pantalla", "x": 0, "y": 0, "width": %1, "height": %2,
        "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(partes[0], partes[1])
                   .toUtf8());
    json.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    qputenv("QT_SCALE_FACTOR", partes[2].toLatin1());
    QApplication app(argc, argv);
    tst_PantallaFormulario prueba;
    return QTest::qExec(&prueba, argc, argv);
}

#include "tst_PantallaFormulario.moc"
