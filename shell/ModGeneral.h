#pragma once
// Small routines shared by the windows. ModGeneral continues above the windows,
// in startup/Arranque.h (Main) and startup/AbrirSolicitud.h.
#include "shell/Resultado.h"

#include <QString>

class QLineEdit;
class QKeyEvent;

namespace ModGeneral {

// Fills texto with caracter to longitud characters, on the left or on the right.
// A longer text comes back unchanged. caracter must be one character: otherwise
// it fails, saying why (a caller's mistake, so a caller
// that takes caracter from elsewhere shows the reason).
ResultadoCon<QString> Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter);

// Key filter for a typed character (KeyAscii, read and written; 0 discards it).
// Enter moves the focus on. Free text refuses quotes; a numeric field takes
// digits, backspace, a hyphen and one comma (a point or an n become a comma).
void FiltrarTecla(QLineEdit* campo, int& KeyAscii, bool numerico);

// Pasted or dropped text as the key filter would let it in, character by
// character: what a numeric field would refuse is dropped, a point or an n
// becomes a comma, a comma only while there is none yet (hayComa: the field
// already holds one). Line breaks never move the focus here.
QString FiltrarTexto(const QString& texto, bool numerico, bool hayComa = false);

// Runs FiltrarTecla for a key press on campo and applies its outcome to the event.
// Returns true when the event has been dealt with and must not reach the box.
bool FiltrarEventoTecla(QLineEdit* campo, QKeyEvent* evento, bool numerico);

// The character code that a key press types, as the key filters see it
// (Enter 13, Backspace 8, Esc 27, else the typed character), or -1 for keys that
// type nothing (arrows, shortcuts, ...).
int CodigoTecla(const QKeyEvent* evento);

// A TAB key stroke to the widget with the focus: the focus moves to the next
// control in tab order.
void PulsarTab();

// The program's version, "major.minor.revision".
QString VersionPrograma();

} // namespace ModGeneral
