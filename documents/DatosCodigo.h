#pragma once
// The text that the printed barcode carries, built from the values of the
// application form, and the character substitution it undergoes before it is
// encoded. Everything here works on plain values so that it can be tested
// without a window. DatosCodigo continues in form/DatosDesdeFormulario.h, which
// reads the values from the form.
#include <QString>
#include <array>

namespace DatosCodigo {

// The form's values that the barcode carries, as they stand in the controls.
struct Valores {
    QString dni, apellidos, nombre, fechaNacimiento, nacionalidad, telefono, direccion, municipio, provincia,
        codigoPostal, titulacion;
    std::array<QString, 11> areas;
    bool medico = true;               // "Médico de Área" selected, else "Enfermero de Área"
    std::array<bool, 4> documentos{}; // chkDocu 0 to 3 checked
    QString otros;                    // description of the other documents
    QString ciudad, dia, mes, anio;   // place and date of signing
};

// The 30 fields joined by "|", without substitution.
QString Generar(const Valores& v);

// Birth date as "YYYYMMDD"; "00000000" when the box is empty or holds no date.
QString FechaNacimiento(const QString& texto);

// Signing date as "DD/MM/YY" from day, month (number or Spanish name) and year;
// "00/00/00" when they do not form a date.
QString FechaFirma(const QString& dia, const QString& mes, const QString& anio);

// Replaces accented letters by "&" escapes and drops or simplifies the signs the
// barcode reader does not expect; the order of the steps matters ("&" first).
QString SustituirCaracteres(QString texto);

} // namespace DatosCodigo
