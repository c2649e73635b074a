#pragma once
// Opening an application form. ModGeneral's shared routines are in
// shell/ModGeneral.h; the start-up routine is in Arranque.h.

namespace ModGeneral {

// Opens a new application form from the shared state. False when the chosen
// stored application could not be read: the user was told and no form is left
// open on it. The form's "Cargar otra solicitud" shows the list of stored
// applications.
bool AbrirSolicitud();

// Lets the list of stored applications open and name application forms
// (applications/Navegacion.h). Start-up runs it before the list is shown.
void EnlazarVentanas();

} // namespace ModGeneral
