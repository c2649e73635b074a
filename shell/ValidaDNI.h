#pragma once
// The DNI check that the sign-in dialog runs on its DNI field.
class QLineEdit;

namespace Validacion {

// Checks the DNI in campo and normalises the field: zeros in front up to nine
// characters, the letter upper-cased when valid, the text black when valid and
// red (254, 0, 0) when not. On false, "DNI no válido" is shown before returning.
bool ValidaDNI(QLineEdit* campo);

} // namespace Validacion
