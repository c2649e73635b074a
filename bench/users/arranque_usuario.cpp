// Starts like the program up to its first window and prints "visto" once that
// window is on screen: "frmUsuario" (the sign-in dialog on the user file of the
// given program folder) or "QDialog" (a bare dialog, for comparison).
#include "shell/EstadoCompartido.h"
#include "users/frmUsuario.h"

#include <QApplication>
#include <QTest>

#include <cstdio>
#include <memory>
#include <unistd.h>

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
    dialogo->show();
    if (!QTest::qWaitForWindowExposed(dialogo.get()))
        return 1;
    std::fputs("visto\n", stdout);
    std::fflush(stdout);
    ::pause(); // ended by the benchmark
    return 0;
}
