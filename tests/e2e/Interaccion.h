#pragma once
// Driving the program's real windows from a test: waiting for a window to
// appear (also inside a modal dialog's own event loop), finding controls by
// objectName and typing into them with key events.
#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <functional>

namespace e2e {

// The first visible top-level window of type T, or nullptr.
template <typename T> T* Ventana()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w); t && t->isVisible())
            return t;
    return nullptr;
}

// Runs accion on the window of type T as soon as it is visible and listo(t)
// holds; polls from the event loop, so it works while a modal dialog runs.
template <typename T> void AlAparecer(std::function<void(T*)> accion, std::function<bool(T*)> listo = {})
{
    auto* reloj = new QTimer;
    reloj->setInterval(5);
    QObject::connect(reloj, &QTimer::timeout, [reloj, accion, listo] {
        T* t = Ventana<T>();
        if (!t || (listo && !listo(t)))
            return;
        reloj->stop();
        reloj->deleteLater();
        accion(t);
    });
    reloj->start();
}

template <typename W = QWidget> W* Control(QWidget* ventana, const QString& nombre)
{
    W* w = ventana->findChild<W*>(nombre);
    if (!w)
        qFatal("control %s not found", qPrintable(nombre));
    return w;
}

// Types texto as key presses; characters beyond ASCII arrive as a key event
// that carries only their text, as from a keyboard layout that has them.
inline void Teclear(QWidget* w, const QString& texto)
{
    for (QChar c : texto) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

// Gives the box the focus, types texto as key presses and leaves it with TAB,
// so the box's own key filters and focus-leave checks run as for a user.
inline void Escribir(QWidget* ventana, const QString& nombre, const QString& texto)
{
    auto* caja = Control<QLineEdit>(ventana, nombre);
    caja->setFocus(Qt::TabFocusReason);
    QTest::keyClick(caja, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(caja, Qt::Key_Delete);
    Teclear(caja, texto);
    QTest::keyClick(caja, Qt::Key_Tab);
}

inline void Pulsar(QWidget* ventana, const QString& nombre)
{
    QTest::mouseClick(Control<QAbstractButton>(ventana, nombre), Qt::LeftButton);
}

} // namespace e2e
