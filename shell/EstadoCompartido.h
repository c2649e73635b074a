#pragma once
// The state that the windows share: the signed-in user, the chosen application
// file and the open form. One instance per process, reached through estado().
#include <QList>
#include <QString>
#include <memory>

namespace pugi {
class xml_document;
}
namespace Word {
class Application;
}
class frmSolicitudes;

// One record of rsSolicitudes: a stored application of the signed-in DNI.
struct RegistroSolicitud {
    QString Fichero; // file name within strRutaTemp, extension included
    QString DNI;     // first nine characters of the file name
};

struct EstadoCompartido {
    // Folder of the running program, without a trailing separator. Start-up
    // takes it from the executable; tests point it at a folder of their own.
    QString strRutaPrograma;
    // Folder of what the program writes (usuarios.xml, ficheros/temp/): the
    // program folder when it is writable, else one per user (shell/CarpetaDatos.h).
    // Empty means the program folder: carpetaDatos() gives the one in use.
    QString strRutaDatos;
    QString carpetaDatos() const { return strRutaDatos.isEmpty() ? strRutaPrograma : strRutaDatos; }
    QString strRutaFicheros; // program folder + "/ficheros/"
    QString strRutaTemp;     // data folder + "/ficheros/temp/"
    QString strDNIActual;
    bool blnTienePassword = false;
    bool blnAccesoConcedido = false;
    QList<RegistroSolicitud> rsSolicitudes;
    frmSolicitudes* frmSolicitudActual = nullptr; // cleared when that form is destroyed
    QString strFicheroSeleccionado;
    QString strFicheroPorDefecto;
    QString strVersionWord;
    QString strDatosCodigo;
    std::shared_ptr<Word::Application> objWord;
    std::shared_ptr<pugi::xml_document> objUsuariosXML;
    QString strRutaUsuarios;
};

EstadoCompartido& estado();

// Back to the start-of-run values (all texts empty, booleans false); for tests.
void reiniciarEstado();
