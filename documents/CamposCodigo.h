#pragma once
// The fields of the barcode's payload, in order: the one list that both the
// form's payload builder (DatosCodigo) and the reader (lector/) use, so they
// cannot drift apart. Plain data: it needs Qt Core only.
#include <array>
#include <cstddef>

namespace CamposCodigo {

// Index of each field in the payload (0-based; the 30 fields).
enum Campo : std::size_t {
    Tipo, // the constant "u"
    Nif,
    Apellidos,
    Nombre,
    FechaNacimiento, // "YYYYMMDD", "00000000" when empty
    Nacionalidad,
    Telefono,
    Domicilio,
    Localidad,
    Provincia,
    CodigoPostal,
    Titulacion,  // at most 100 characters
    PrimeraArea, // the eleven preference numbers, in the form's order
    UltimaArea = PrimeraArea + 10,
    Categoria,    // "M" or "E"
    Especialista, // "S" or "N"
    Experiencia,
    Cursos,
    Otros, // the description when "Otros" is checked, else "N"
    Ciudad,
    FechaFirma, // "DD/MM/YY"
    Total
};
static_assert(Total == 30);

// Separates the fields; the last one has none after it.
inline constexpr char Separador = '|';
// The payload's first field.
inline constexpr char TipoSolicitud[] = "u";

struct Descripcion {
    const char* nombre;   // the form field's name (its Tag), or the payload's own
    const char* etiqueta; // UTF-8, how the form calls it, for messages
};

// Name and label of each field, by index.
extern const std::array<Descripcion, Total> Campos;

} // namespace CamposCodigo
