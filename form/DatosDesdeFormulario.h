#pragma once
// The barcode's values read from the application form. DatosCodigo continues
// in documents/DatosCodigo.h.
#include "documents/DatosCodigo.h"

class frmSolicitudes;

namespace DatosCodigo {

// Reads the values from the form's controls.
Valores DatosDesdeFormulario(const frmSolicitudes& formulario);

} // namespace DatosCodigo
