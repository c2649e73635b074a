#pragma once
// Helpers of the form's tests: a program folder of the test's own, a form
// opened as start-up opens it, and key strokes as they reach Qt on Linux.
#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace Prueba {

// Fresh shared state with the folders inside carpeta.
inline void PrepararEstado(const QString& carpeta, const QString& dni = QStringLiteral("12345678Z"))
{
    reiniciarEstado();
    estado().strRutaPrograma = carpeta;
    estado().strRutaFicheros = carpeta + QStringLiteral("/ficheros/");
    estado().strRutaTemp = carpeta + QStringLiteral("/ficheros/temp/");
    QDir().mkpath(estado().strRutaTemp);
    estado().strDNIActual = dni;
    MessageBox::setTestMode(true);
    MessageBox::clear();
}

// Opens a form through AbrirSolicitud and makes it the active window.
inline frmSolicitudes* Abrir()
{
    ModGeneral::AbrirSolicitud();
    frmSolicitudes* f = estado().frmSolicitudActual;
    f->activateWindow();
    if (!QTest::qWaitForWindowActive(f))
        qWarning("form window not active");
    return f;
}

// Closes the form without its prompt and waits until it is gone.
inline void Cerrar(frmSolicitudes* f)
{
    QPointer<frmSolicitudes> p(f);
    if (!p)
        return;
    p->blnCerrarSinPreguntar = true;
    p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void Enviar(QWidget* w, QEvent::Type tipo, int key, Qt::KeyboardModifiers m, const QString& texto,
                   bool repetida = false)
{
    QKeyEvent e(tipo, key, m, texto, repetida);
    QApplication::sendEvent(w, &e);
}

// AltGr+1 as the X11 group switch reports it: the bar key with its text.
inline void AltGr1(QWidget* w)
{
    Enviar(w, QEvent::KeyPress, Qt::Key_Bar, Qt::GroupSwitchModifier, QStringLiteral("|"));
    Enviar(w, QEvent::KeyRelease, Qt::Key_Bar, Qt::GroupSwitchModifier, QStringLiteral("|"));
}

inline QStringList Textos()
{
    QStringList t;
    for (const auto& m : MessageBox::shown())
        t << m.text;
    return t;
}

// Moves the focus into w, then away from it with TAB.
inline void Salir(QWidget* w)
{
    w->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w, Qt::Key_Tab);
}

} // namespace Prueba
