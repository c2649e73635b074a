#pragma once
// The text that the printed barcode carries, built from the values of the
// application form, and the character substitution it undergoes before it is
// encoded. Everything here works on plain values so that it can be tested
// without a window; DatosDesdeFormulario reads them from the form.
#include <QDateTime>
#include <QString>
#include <array>

class frmSolicitudes;

namespace DatosCodigo {

// The form's values that the barcode carries, as they stand in the controls.
struct Valores {
    QString dni, apellidos, nombre, fechaNacimiento, nacionalidad, telefono, direccion,
        municipio, provincia, codigoPostal, titulacion;
    std::array<QString, 11> areas;
    bool medico = true;                // "Médico de Área" selected, else "Enfermero de Área"
    std::array<bool, 4> documentos{};  // chkDocu 0 to 3 checked
    QString otros;                     // description of the other documents
    QString ciudad, dia, mes, anio;    // place and date of signing
};

// The 30 fields joined by "|", without substitution.
QString Generar(const Valores& v);

// Reads the values from the form's controls.
Valores DatosDesdeFormulario(const frmSolicitudes& formulario);

// Birth date as "YYYYMMDD"; "00000000" when the box is empty or holds no date.
QString FechaNacimiento(const QString& texto);

// Signing date as "DD/MM/YY" from day, month (number or Spanish name) and year;
// "00/00/00" when they do not form a date.
QString FechaFirma(const QString& dia, const QString& mes, const QString& anio);

// Replaces accented letters by "&" escapes and drops or simplifies the signs the
// barcode reader does not expect; the order of the steps matters ("&" first).
QString SustituirCaracteres(QString texto);

} // namespace DatosCodigo

namespace ModWord {

// The form's unit is the twip; the barcode control is sized in pixels at 96 dpi.
int TwipsAPixeles(int twips);

// The height the barcode control gets for a requested height: × 1.3, halves to even.
qint16 AltoAmpliado(qint16 alto);

// Bitmap path without extension: carpeta + date "yyyyMMdd" + time "HHmmss" and
// the minute again, sixteen digits in all.
QString NombreBmp(const QString& carpeta, const QDateTime& momento);

// How a health-area box is written into its form field, and read back.
QString TextoArea(const QString& texto);
QString AreaLeida(const QString& resultado);

} // namespace ModWord
