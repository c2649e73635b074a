#pragma once
// What the list dialog needs from the application form, which sits above it:
// start-up registers these routines (ModGeneral::EnlazarVentanas) before the
// list is first shown.
#include <QString>

#include <functional>

namespace Navegacion {

struct Formulario {
    // AbrirSolicitud: a new form, filled from strFicheroSeleccionado when that
    // is set. False when the chosen application could not be read.
    std::function<bool()> abrir;
    // The open form's txtDNI, and setting its lblFichero.
    std::function<QString()> dni;
    std::function<void(const QString&)> nombrar;
};

void Registrar(Formulario rutinas);

// The registered routines; ends the program when none were registered.
const Formulario& Registrado();

} // namespace Navegacion
