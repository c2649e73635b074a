#pragma once
// The start-up routine. ModGeneral's shared routines are in shell/ModGeneral.h;
// AbrirSolicitud is in AbrirSolicitud.h.
#include "shell/Resultado.h"

namespace ModGeneral {

// Start-up routine: sign-in, then the list of applications or a new form.
// Fails, having opened no window, only when the program cannot start (its data
// folder cannot be made); main shows why. Sign-in ending without access is no
// failure.
Resultado Main();

// Removes what a killed run left in the program's folders: the temporary files
// of unfinished writes and barcode bitmaps of unfinished prints, each only once
// its lock shows that no running copy holds it. Nothing with a visible name.
// Part of start-up.
void LimpiarRestos();

} // namespace ModGeneral
