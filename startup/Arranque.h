#pragma once
// The start-up routine. ModGeneral's shared routines are in shell/ModGeneral.h;
// AbrirSolicitud is in AbrirSolicitud.h.

namespace ModGeneral {

// Start-up routine: sign-in, then the list of applications or a new form.
void Main();

// Removes what a killed run left in the program's folders: the temporary files
// of unfinished writes and barcode bitmaps of unfinished prints, each only once
// its lock shows that no running copy holds it. Nothing with a visible name.
// Part of start-up.
void LimpiarRestos();

} // namespace ModGeneral
