#pragma once
// Answers the program's modal windows in a test, the way a user would: signs
// in with an unregistered DNI and presses "Continuar" in the information
// window once the bar is full. Any other modal window is left alone.
#include "shell/frmProgreso.h"
#include "users/frmUsuario.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class Piloto : public QObject {
public:
    QString dni;             // typed into frmUsuario; empty means "Salir"
    bool conEsc = false;     // leave the sign-in with Esc instead of "Salir"
    int informaciones = 0;   // times the information window was passed
    int esperasOcupadas = 0; // of them, with the busy pointer still on

    Piloto()
    {
        connect(&reloj_, &QTimer::timeout, this, &Piloto::paso);
        reloj_.start(5);
    }

private:
    void paso()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* u = qobject_cast<frmUsuario*>(modal)) {
            if (dni.isEmpty()) {
                if (conEsc)
                    QTest::keyClick(u->txtDNI, Qt::Key_Escape);
                else
                    QTest::mouseClick(u->cmdSalir, Qt::LeftButton);
            } else {
                u->txtDNI->setFocus();
                QTest::keyClicks(u->txtDNI, dni);
                QTest::mouseClick(u->cmdAceptarDNI, Qt::LeftButton);
            }
        } else if (auto* p = qobject_cast<frmProgreso*>(modal)) {
            if (p->cmdContinuar->isEnabled()) {
                ++informaciones;
                if (QApplication::overrideCursor())
                    ++esperasOcupadas;
                QTest::mouseClick(p->cmdContinuar, Qt::LeftButton);
            }
        }
    }

    QTimer reloj_;
};
