#pragma once
// The start-up routine. ModGeneral's shared routines are in shell/ModGeneral.h;
// AbrirSolicitud is in AbrirSolicitud.h.

namespace ModGeneral {

// Start-up routine: sign-in, then the list of applications or a new form.
void Main();

// Removes what a killed run left in the program's folders: temporary files of
// unfinished writes (also those of earlier versions), stale barcode bitmaps and
// names of new applications taken by a run that was killed before writing them.
// Part of start-up.
void LimpiarRestos();

} // namespace ModGeneral
