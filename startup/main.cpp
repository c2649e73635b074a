#include "startup/Arranque.h"
#include "shell/Contraste.h"
#include "shell/MessageBox.h"
#include "shell/ModGeneral.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <QWidget>

#include <csignal>

int main(int argc, char* argv[])
{
    // A file-size limit makes a write fail with EFBIG, reported like a full
    // disk, instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Varelio"));
    QApplication::setApplicationVersion(ModGeneral::VersionPrograma());
    // Borders, focus and text legible under the light and the dark themes.
    Contraste::Instalar(app);
    // Qt's own texts (context menus of the text boxes, ...) in Spanish when installed.
    QTranslator qtEnEspanol;
    if (qtEnEspanol.load(QStringLiteral("qtbase_es"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtEnEspanol);
    if (const Resultado arranque = ModGeneral::Main(); !arranque) {
        MessageBox::show(arranque.motivo, {}, QMessageBox::Critical);
        return 1;
    }
    // Start-up has returned: the program lives while one of its windows is open.
    bool abierta = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        abierta = abierta || w->isVisible();
    if (!abierta)
        return 0;
    return app.exec();
}
