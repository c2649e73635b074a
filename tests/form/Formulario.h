#pragma once
// Helpers of the form's tests: shared state in a folder of the test's own, a
// form opened as start-up opens it, key strokes as they reach Qt on Linux.
#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"
#include "startup/AbrirSolicitud.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace Prueba {

inline void PrepararEstado(const QString& carpeta)
{
    reiniciarEstado();
    estado().strRutaPrograma = carpeta;
    estado().strRutaFicheros = carpeta + QStringLiteral("/ficheros/");
    estado().strRutaTemp = carpeta + QStringLiteral("/ficheros/temp/");
    QDir().mkpath(estado().strRutaTemp);
    estado().strDNIActual = QStringLiteral("12345678Z");
    MessageBox::setTestMode(true);
    MessageBox::clear();
}

inline frmSolicitudes* Abrir()
{
    ModGeneral::EnlazarVentanas();
    ModGeneral::AbrirSolicitud();
    frmSolicitudes* f = estado().frmSolicitudActual;
    f->activateWindow();
    if (!QTest::qWaitForWindowActive(f))
        qWarning("form window not active");
    return f;
}

// Closes the form without its prompt and lets it be destroyed.
inline void Cerrar(frmSolicitudes* f)
{
    if (!f)
        return;
    f->blnCerrarSinPreguntar = true;
    f->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

inline void Enviar(QWidget* w, QEvent::Type tipo, int key, Qt::KeyboardModifiers m, bool repetida = false)
{
    QKeyEvent e(tipo, key, m, QStringLiteral("|"), repetida);
    QApplication::sendEvent(w, &e);
}

inline QStringList Textos()
{
    QStringList t;
    for (const auto& m : MessageBox::shown())
        t << m.text;
    return t;
}

// Focus into w, then away from it with TAB.
inline void Salir(QWidget* w)
{
    w->setFocus(Qt::OtherFocusReason);
    QTest::keyClick(w, Qt::Key_Tab);
}

} // namespace Prueba
