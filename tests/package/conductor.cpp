// Drives the installed program from inside its own process, as a user would:
// loaded with LD_PRELOAD, it starts with the program's QApplication and then
// acts on the real windows by their object names with key and mouse events.
// Nothing of it is in the program; the package test builds and loads it.
//
// CONDUCTOR=salir    : waits for the sign-in window, reports it, presses "Salir".
// CONDUCTOR=solicitud: signs in with a new DNI, passes the information window,
//                      fills in a few fields, saves (choosing a password on the
//                      way) and closes the form without saving again.
// Each step is reported on stderr as "conductor: ..."; after 60 s without
// finishing the process ends with status 3. CONDUCTOR_DEPURAR=1 also lists the
// visible windows every two seconds.
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <unistd.h>

namespace {

const char* const kDNI = "12345678Z";
const char* const kPassword = "secreto1";

void Informar(const QString& texto)
{
    std::fprintf(stderr, "conductor: %s\n", qPrintable(texto));
    std::fflush(stderr);
}

QWidget* Ventana(const char* clase)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qstrcmp(w->metaObject()->className(), clase) == 0)
            return w;
    return nullptr;
}

template <typename T = QWidget> T* Hijo(QWidget* ventana, const QString& nombre)
{
    T* hijo = ventana->findChild<T*>(nombre);
    if (!hijo) {
        Informar(QStringLiteral("falta %1 en %2").arg(nombre, ventana->objectName()));
        ::_exit(4);
    }
    return hijo;
}

void Escribir(QWidget* ventana, const QString& nombre, const QString& texto)
{
    auto* caja = Hijo<QLineEdit>(ventana, nombre);
    caja->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(caja, texto);
    QTest::keyClick(caja, Qt::Key_Tab);
}

void Pulsar(QWidget* ventana, const QString& nombre)
{
    QTest::mouseClick(Hijo<QPushButton>(ventana, nombre), Qt::LeftButton);
}

class Conductor : public QObject {
public:
    explicit Conductor(bool soloSalir) : soloSalir_(soloSalir)
    {
        connect(&reloj_, &QTimer::timeout, this, &Conductor::paso);
        reloj_.start(20);
        QTimer::singleShot(60000, [] {
            Informar(QStringLiteral("sin terminar a los 60 s"));
            ::_exit(3);
        });
    }

private:
    // One look at the windows; each state waits for the window it acts on.
    // What it does runs later from the event loop: an action may open a modal
    // window, and this timer does not fire again while its own call is open.
    void paso()
    {
        if (ocupado_)
            return;
        if (qEnvironmentVariableIsSet("CONDUCTOR_DEPURAR") && ++vueltas_ % 100 == 0)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible())
                    Informar(QStringLiteral("visible %1 %2")
                                 .arg(QString::fromLatin1(w->metaObject()->className()), w->windowTitle()));
        if (auto* caja = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Despues([this, caja] { contestar(caja); });
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        const char* clase = modal ? modal->metaObject()->className() : "";
        if (ultimaModal_ != clase) {
            ultimaModal_ = clase;
            if (modal)
                Informar(QStringLiteral("ventana modal %1").arg(QString::fromLatin1(clase)));
        }
        switch (estado_) {
        case 0:
            if (qstrcmp(clase, "frmUsuario") != 0)
                return;
            Informar(QStringLiteral("ventana de entrada \"%1\" visible").arg(modal->windowTitle()));
            estado_ = soloSalir_ ? 9 : 1;
            Despues([this, modal] {
                if (soloSalir_) {
                    Pulsar(modal, QStringLiteral("cmdSalir"));
                    return;
                }
                Escribir(modal, QStringLiteral("txtDNI"), QString::fromLatin1(kDNI));
                Pulsar(modal, QStringLiteral("cmdAceptarDNI"));
            });
            return;
        case 1:
            if (qstrcmp(clase, "frmProgreso") != 0
                || !Hijo<QPushButton>(modal, QStringLiteral("cmdContinuar"))->isEnabled())
                return;
            Informar(QStringLiteral("ventana de información"));
            estado_ = 2;
            Despues([modal] { Pulsar(modal, QStringLiteral("cmdContinuar")); });
            return;
        case 2:
            if (modal || !Ventana("frmSolicitudes"))
                return;
            estado_ = 3;
            Despues([this] { rellenarYGuardar(Ventana("frmSolicitudes")); });
            return;
        case 3:
            if (qstrcmp(clase, "frmCreaPwd") != 0)
                return;
            Informar(QStringLiteral("contraseña nueva"));
            estado_ = 4;
            Despues([modal] {
                Escribir(modal, QStringLiteral("txtPwd0"), QString::fromLatin1(kPassword));
                Escribir(modal, QStringLiteral("txtPwd1"), QString::fromLatin1(kPassword));
                Pulsar(modal, QStringLiteral("cmdAceptar"));
            });
            return;
        case 4:
            // Saved once the password command shows and no window is busy.
            if (QWidget* f = Ventana("frmSolicitudes"); f && !modal && !Ventana("frmProgresoGeneral")
                && Hijo<QAction>(f, QStringLiteral("mnuP_5000"))->isVisible()) {
                Informar(QStringLiteral("solicitud guardada; se cierra el formulario"));
                estado_ = 5;
                QTimer::singleShot(0, f, &QWidget::close);
            }
            return;
        default:
            return;
        }
    }

    // Runs accion once from the event loop; no other step starts before it has
    // begun, and the timer goes on while a window it opened waits.
    void Despues(const std::function<void()>& accion)
    {
        ocupado_ = true;
        QTimer::singleShot(0, this, [this, accion] {
            ocupado_ = false;
            accion();
        });
    }

    void rellenarYGuardar(QWidget* f)
    {
        Informar(QStringLiteral("formulario de solicitud"));
        QApplication::setActiveWindow(f);
        Escribir(f, QStringLiteral("txtApellidos"), QStringLiteral("Paquete Prueba"));
        Escribir(f, QStringLiteral("txtNombre"), QStringLiteral("Ana"));
        Escribir(f, QStringLiteral("txtFechaNac"), QStringLiteral("01/02/1970"));
        Escribir(f, QStringLiteral("txtArea"), QStringLiteral("1")); // the first health area
        // Leaving the place of signing fills in the date and enables saving.
        Escribir(f, QStringLiteral("txtCiudad"), QStringLiteral("Valladolid"));
        auto* guardar = Hijo<QAction>(f, QStringLiteral("mnuP_2000"));
        if (!guardar->isEnabled()) {
            Informar(QStringLiteral("\"Guardar\" no se ha habilitado"));
            ::_exit(5);
        }
        // Later, from the event loop: saving runs modal windows of its own.
        QTimer::singleShot(0, guardar, &QAction::trigger);
    }

    // The question when closing is answered "No" (already saved); any other box
    // is reported and accepted.
    void contestar(QMessageBox* caja)
    {
        Informar(QStringLiteral("mensaje \"%1\"").arg(caja->text()));
        QAbstractButton* boton = caja->button(QMessageBox::No);
        if (!boton || estado_ != 5)
            boton = caja->defaultButton() ? static_cast<QAbstractButton*>(caja->defaultButton())
                                          : caja->buttons().value(0);
        if (boton)
            QTest::mouseClick(boton, Qt::LeftButton);
        if (estado_ != 5)
            ++inesperados_;
    }

    QTimer reloj_;
    bool soloSalir_;
    int estado_ = 0;
    int inesperados_ = 0;
    QByteArray ultimaModal_;
    int vueltas_ = 0;
    bool ocupado_ = false;

public:
    int inesperados() const { return inesperados_; }
};

void Arrancar()
{
    const QByteArray modo = qgetenv("CONDUCTOR");
    if (modo != "salir" && modo != "solicitud")
        return;
    Informar(QStringLiteral("modo %1").arg(QString::fromLatin1(modo)));
    auto* conductor = new Conductor(modo == "salir");
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [conductor] {
        Informar(QStringLiteral("fin del programa, %1 mensajes inesperados").arg(conductor->inesperados()));
    });
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Arrancar)
