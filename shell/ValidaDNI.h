#pragma once
// The DNI check that the sign-in dialog runs on its DNI field. Validacion
// continues in users/Validacion.h (the user file).
#include <QString>

class QLineEdit;

namespace Validacion {

// A DNI as people type or paste it ("1234 5678-z", "12.345.678-Z", with a line
// break at the end) reduced to its digits and letter: blanks, points, hyphens
// and commas dropped, letters upper-cased. cursor, when given, is a position
// in texto and comes back as the same place in the result.
QString LimpiarDNI(const QString& texto, int* cursor = nullptr);

// From now on every edit of campo by the user (typing, pasting, dropping) is
// passed through LimpiarDNI, the caret kept in place.
void LimpiarDNIAlEditar(QLineEdit* campo);

// Checks the DNI in campo and normalises the field: zeros in front up to nine
// characters, the letter upper-cased when valid, the text black when valid and
// red (254, 0, 0) when not. Shows nothing: on false the window that asked says
// "DNI no válido".
bool ValidaDNI(QLineEdit* campo);

} // namespace Validacion
