// The form and the dialogs as a keyboard user, a screen reader and a
// low-vision user meet them: names, keys, and contrast measured on the pixels.
#include "tests/form/Formulario.h"

#include "applications/frmSeleccion.h"
#include "shell/Contraste.h"
#include "shell/frmProgreso.h"
#include "users/frmCreaPwd.h"
#include "users/frmUsuario.h"

#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>

#include <map>

using namespace Prueba;

namespace {

QString Nombre(QObject* o)
{
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    return i ? i->text(QAccessible::Name) : QString();
}

// Every Alt key of a window: field labels, group titles, buttons, menu items.
std::multimap<QKeySequence, QString> TeclasDeAcceso(QWidget* ventana)
{
    std::multimap<QKeySequence, QString> teclas;
    const auto anotar = [&](const QString& texto, const QString& quien) {
        const QKeySequence k = QKeySequence::mnemonic(texto);
        if (!k.isEmpty())
            teclas.emplace(k, quien);
    };
    for (QLabel* l : ventana->findChildren<QLabel*>())
        anotar(l->text(), l->objectName());
    for (QGroupBox* g : ventana->findChildren<QGroupBox*>())
        anotar(g->title(), g->objectName());
    for (QAbstractButton* b : ventana->findChildren<QAbstractButton*>())
        anotar(b->text(), b->objectName());
    for (QMenuBar* m : ventana->findChildren<QMenuBar*>())
        for (QAction* a : m->actions())
            anotar(a->text(), a->objectName());
    return teclas;
}

// Highest contrast of any pixel of zona against fondo.
double MaxRelacion(const QImage& imagen, const QRect& zona, const QColor& fondo)
{
    double maximo = 1;
    for (int y = zona.top(); y <= zona.bottom(); ++y)
        for (int x = zona.left(); x <= zona.right(); ++x)
            maximo = std::max(maximo, Contraste::Relacion(imagen.pixelColor(x, y), fondo));
    return maximo;
}

QColor Predominante(const QImage& imagen, const QRect& zona)
{
    std::map<QRgb, int> cuenta;
    for (int y = zona.top(); y <= zona.bottom(); ++y)
        for (int x = zona.left(); x <= zona.right(); ++x)
            ++cuenta[imagen.pixel(x, y)];
    return QColor(std::max_element(cuenta.begin(), cuenta.end(), [](const auto& a, const auto& b) {
        return a.second < b.second;
    })->first);
}

QImage Imagen(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Pixels that changed between two renderings and how they stand against fondo.
struct Cambio {
    int pixeles = 0;
    double relacion = 1;
};
Cambio Diferencia(const QImage& antes, const QImage& despues, const QColor& fondo)
{
    Cambio c;
    for (int y = 0; y < std::min(antes.height(), despues.height()); ++y)
        for (int x = 0; x < std::min(antes.width(), despues.width()); ++x)
            if (antes.pixel(x, y) != despues.pixel(x, y)) {
                ++c.pixeles;
                c.relacion = std::max(c.relacion, Contraste::Relacion(despues.pixelColor(x, y), fondo));
            }
    return c;
}

// A dark desktop theme as GTK's dark variants paint it: empty boxes darker
// than the window by a shade.
QPalette PaletaOscura()
{
    QPalette p(QColor(0x38, 0x38, 0x38), QColor(0x31, 0x31, 0x31));
    for (const auto g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool inactivo = g == QPalette::Disabled;
        p.setColor(g, QPalette::Window, QColor(0x31, 0x31, 0x31));
        p.setColor(g, QPalette::Base, inactivo ? QColor(0x31, 0x31, 0x31) : QColor(0x24, 0x24, 0x24));
        p.setColor(g, QPalette::WindowText, inactivo ? QColor(0x60, 0x60, 0x60) : QColor(0xee, 0xee, 0xee));
        p.setColor(g, QPalette::Text, inactivo ? QColor(0x60, 0x60, 0x60) : QColor(0xee, 0xee, 0xee));
        p.setColor(g, QPalette::ButtonText, inactivo ? QColor(0x60, 0x60, 0x60) : QColor(0xee, 0xee, 0xee));
        p.setColor(g, QPalette::PlaceholderText, QColor(0x5c, 0x5c, 0x5c));
        p.setColor(g, QPalette::Highlight, QColor(0x15, 0x53, 0x9e));
        p.setColor(g, QPalette::HighlightedText, Qt::white);
    }
    return p;
}

} // namespace

class tst_AccesibilidadFormulario : public QObject {
    Q_OBJECT
    QTemporaryDir carpeta;
    frmSolicitudes* f = nullptr;
    QPalette inicial;

private slots:
    void initTestCase()
    {
        Contraste::Instalar(*qApp);
        inicial = QApplication::palette();
    }
    void init()
    {
        PrepararEstado(carpeta.path());
        f = Abrir();
        MessageBox::clear();
    }
    void cleanup()
    {
        Cerrar(f);
        QApplication::setPalette(inicial);
    }

    // A screen reader names each box for what it holds, not for the small
    // word beside it, and says what an area box expects.
    void nombresParaLectores()
    {
        const std::pair<QWidget*, const char*> esperado[] = {{f->txtApellidos, "APELLIDOS"}, {f->txtNombre, "NOMBRE"},
            {f->txtFechaNac, "FECHA DE NACIMIENTO"}, {f->txtNacionalidad, "NACIONALIDAD"}, {f->txtTfno, "TELÉFONO"},
            {f->txtDireccion, "DIRECCIÓN"}, {f->txtNum, "Número de la calle"}, {f->txtPuerta, "Piso y puerta"},
            {f->txtMunicipio, "MUNICIPIO"}, {f->txtProvincia, "PROVINCIA"}, {f->txtCP, "CÓDIGO POSTAL"},
            {f->txtTitulacion, "TITULACIÓN"}, {f->optCategoria[0], "Médico de Área"},
            {f->optCategoria[1], "Enfermero de Área"}, {f->chkDocu[1], "Certificado de experiencia profesional"},
            {f->chkDocu[3], "Otros"}, {f->txtOtros, "Otros documentos"}, {f->txtCiudad, "Ciudad de la firma"},
            {f->txtDia, "Día de la firma"}, {f->txtMes, "Mes de la firma"}, {f->txtAño, "Año de la firma"}};
        for (const auto& [w, nombre] : esperado) {
            const QString n = QString::fromUtf8(nombre);
            QCOMPARE(Nombre(w), n);
            // A label tied to the box (what Orca reads first) says the same.
            for (const auto& [etiqueta, r] : QAccessible::queryAccessibleInterface(w)->relations(QAccessible::Label))
                if (qobject_cast<QLabel*>(etiqueta->object()))
                    QCOMPARE(etiqueta->text(QAccessible::Name), n);
        }
        const char* const areas[] = {"Ávila", "Burgos", "León", "El Bierzo", "Palencia", "Salamanca", "Segovia",
            "Soria", "Valladolid Este", "Valladolid Oeste", "Zamora"};
        for (int i = 0; i < 11; ++i) {
            const QString area = QString::fromUtf8(areas[i]);
            const QString pista = QStringLiteral("Orden de preferencia de %1, de 1 a 11").arg(area);
            QAccessibleInterface* caja = QAccessible::queryAccessibleInterface(f->txtArea[i]);
            QCOMPARE(caja->text(QAccessible::Name), QStringLiteral("Preferencia de ") + area);
            QCOMPARE(caja->text(QAccessible::Description), pista);
            QCOMPARE(f->txtArea[i]->toolTip(), pista);
        }
        // Every control the focus can reach has a name.
        for (QWidget* w : f->Controles())
            if (w->focusPolicy() & Qt::TabFocus)
                QVERIFY2(!Nombre(w).isEmpty(), qPrintable(w->objectName()));
        // The file name label is read with its text, and says what it is.
        f->lblFichero->setText(QStringLiteral("12345678Z.doc"));
        QAccessibleInterface* fichero = QAccessible::queryAccessibleInterface(f->lblFichero);
        QCOMPARE(fichero->text(QAccessible::Name), QStringLiteral("12345678Z.doc"));
        QCOMPARE(fichero->text(QAccessible::Description), QStringLiteral("Fichero de la solicitud"));
    }

    // Each window's Alt keys are its own; on the form, Alt and a label's key
    // takes the focus to its box, a section's number to the section.
    void teclasDeAcceso()
    {
        frmUsuario usuario;
        frmCreaPwd pwd;
        frmSeleccion& seleccion = *frmSeleccion::Mostrar();
        frmProgreso progreso;
        for (QWidget* ventana : std::initializer_list<QWidget*>{f, &usuario, &pwd, &seleccion, &progreso}) {
            const auto teclas = TeclasDeAcceso(ventana);
            QVERIFY(!teclas.empty());
            for (auto it = teclas.begin(); it != teclas.end(); ++it)
                QVERIFY2(teclas.count(it->first) == 1,
                    qPrintable(ventana->objectName() + QLatin1Char(' ') + it->first.toString()));
        }
        seleccion.close();
        f->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f));
        for (QAction* a : f->menuBar()->actions())
            QVERIFY2(!QKeySequence::mnemonic(a->text()).isEmpty(), qPrintable(a->objectName()));
        for (QPushButton* b : {pwd.cmdAceptar, pwd.cmdSalir, usuario.cmdSalir, seleccion.cmdNueva, seleccion.cmdCargar,
                 seleccion.cmdBorrar, progreso.cmdContinuar})
            QVERIFY2(!QKeySequence::mnemonic(b->text()).isEmpty(), qPrintable(b->objectName()));

        f->txtFechaNac->setText(QStringLiteral("01/02/1970"));
        f->txtCiudad->setText(QStringLiteral("León"));
        int etiquetas = 0;
        for (QLabel* l : f->findChildren<QLabel*>()) {
            const QKeySequence k = QKeySequence::mnemonic(l->text());
            if (!l->buddy() || !l->buddy()->isEnabled())
                continue;
            if (k.isEmpty() && l->buddy()->objectName() == QLatin1String("txtArea"))
                continue; // the areas: Alt+3, then Tab
            if (k.isEmpty() && (l->buddy() == f->txtDia || l->buddy() == f->txtMes || l->buddy() == f->txtAño))
                continue; // filled in on leaving the city
            QVERIFY2(!k.isEmpty(), qPrintable(l->objectName()));
            QTest::keySequence(QApplication::focusWidget(), k);
            QCOMPARE(QApplication::focusWidget(), l->buddy());
            ++etiquetas;
        }
        QCOMPARE(etiquetas, 12);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_3, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), f->txtArea[0]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_4, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), f->optCategoria[0]);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_2, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), f->txtTitulacion);
        // An Alt key that belongs to nothing types nothing either.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::AltModifier);
        QVERIFY(f->txtTitulacion->text().isEmpty());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void contraste_data()
    {
        QTest::addColumn<bool>("oscuro");
        QTest::newRow("paleta por defecto") << false;
        QTest::newRow("paleta oscura") << true;
    }
    // Text 4.5:1, borders and focus 3:1 against their background, measured on
    // what the form draws.
    void contraste()
    {
        QFETCH(bool, oscuro);
        if (oscuro)
            QApplication::setPalette(PaletaOscura());
        const QPalette pal = f->palette();
        const QColor ventana = pal.color(QPalette::Window);
        QCoreApplication::processEvents();

        // The disabled NIF box and the date's placeholder are text.
        f->txtApellidos->setFocus();
        const QImage nif = Imagen(f->txtDNI);
        const QRect dentro = nif.rect().adjusted(4, 4, -4, -4);
        QVERIFY2(MaxRelacion(nif, dentro, Predominante(nif, dentro)) >= 4.5, "NIF");
        const QImage fecha = Imagen(f->txtFechaNac);
        const QRect dentroFecha = fecha.rect().adjusted(4, 4, -4, -4);
        QVERIFY2(MaxRelacion(fecha, dentroFecha, Predominante(fecha, dentroFecha)) >= 4.5, "dd/mm/aaaa");

        // Borders of an empty box, a check box and a radio button.
        const QImage caja = Imagen(f->txtNacionalidad);
        const QColor base = Predominante(caja, caja.rect().adjusted(4, 4, -4, -4));
        const QRect bordeIzquierdo(0, 3, 2, caja.height() - 6);
        QVERIFY2(MaxRelacion(caja, bordeIzquierdo, ventana) >= 3.0, "borde");
        QVERIFY2(MaxRelacion(caja, bordeIzquierdo, base) >= 3.0, "borde");
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{f->chkDocu[1], f->optCategoria[1]}) {
            QStyleOptionButton op;
            op.initFrom(b);
            const bool radio = qobject_cast<QRadioButton*>(b);
            const QRect indicador = b->style()->subElementRect(
                radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator, &op, b);
            QVERIFY2(MaxRelacion(Imagen(b), indicador, ventana) >= 3.0, qPrintable(b->objectName()));
        }

        // The focus: what changes when a control takes it stands out 3:1.
        for (QWidget* w : std::initializer_list<QWidget*>{f->txtNacionalidad, f->chkDocu[1]}) {
            f->txtApellidos->setFocus();
            const QImage sin = Imagen(w);
            w->setFocus();
            const Cambio c = Diferencia(sin, Imagen(w), ventana);
            QVERIFY2(c.relacion >= 3.0 && c.pixeles >= w->height(), qPrintable(w->objectName()));
        }
        QVERIFY(MessageBox::shown().isEmpty());

        // A focused default button does not look like an unfocused one.
        frmCreaPwd pwd;
        pwd.show();
        QVERIFY(QTest::qWaitForWindowActive(&pwd));
        pwd.txtPwd[0]->setFocus();
        const QImage predeterminado = Imagen(pwd.cmdAceptar);
        pwd.cmdAceptar->setFocus();
        const Cambio c = Diferencia(predeterminado, Imagen(pwd.cmdAceptar), pal.color(QPalette::Button));
        QVERIFY(c.relacion >= 3.0 && c.pixeles >= pwd.cmdAceptar->width());
        pwd.close();

        if (oscuro) {
            f->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(f));
            f->txtApellidos->setFocus();
            f->txtApellidos->setText(QStringLiteral("García Fernández"));
            f->txtNombre->setText(QStringLiteral("María José"));
            f->txtArea[3]->setText(QStringLiteral("1"));
            f->chkDocu[0]->setChecked(true);
            f->resize(1180, 880); // the whole form, for the record in docs/
            QVERIFY(
                Imagen(f).save(QCoreApplication::applicationDirPath() + QStringLiteral("/frmSolicitudes-oscuro.png")));
        }
    }
};

QTEST_MAIN(tst_AccesibilidadFormulario)
#include "tst_AccesibilidadFormulario.moc"
