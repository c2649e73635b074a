// Starts like the program up to its first window and prints "visto" once that
// window is on screen: "frmUsuario" (the sign-in dialog on the user file of the
// given program folder), or for comparison "QDialog" (a bare dialog: a label, a
// text field and a button, so that fonts load as for any window with text) or
// "vacio" (an empty dialog).
#include "shell/EstadoCompartido.h"
#include "users/frmUsuario.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    estado().strRutaPrograma = QString::fromLocal8Bit(argv[2]);
    std::unique_ptr<QDialog> dialogo;
    if (qstrcmp(argv[1], "frmUsuario") == 0)
        dialogo = std::make_unique<frmUsuario>();
    else
        dialogo = std::make_unique<QDialog>();
    if (qstrcmp(argv[1], "QDialog") == 0) {
        auto* capa = new QHBoxLayout(dialogo.get());
        capa->addWidget(new QLabel(QStringLiteral("NIF")));
        capa->addWidget(new QLineEdit);
        capa->addWidget(new QPushButton(QStringLiteral("Aceptar")));
    }
    dialogo->show();
    if (!QTest::qWaitForWindowExposed(dialogo.get()))
        return 1;
    std::fputs("visto\n", stdout);
    std::fflush(stdout);
    return app.exec(); // ended by the benchmark
}
