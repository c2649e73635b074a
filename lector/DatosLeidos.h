#pragma once
// The payload of a scanned application read back into its fields: the exact
// inverse of the form's payload builder (documents/DatosCodigo.h), with the
// checks an office runs on what it receives. Plain values, Qt Core only.
#include "documents/CamposCodigo.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace DatosLeidos {

// The checks, in the order they are reported.
enum Comprobacion : std::size_t {
    NumeroCampos,    // exactly 30 fields
    Caracteres,      // printable ASCII only, "&" only before a vowel or n
    LetraDni,        // eight digits and their letter
    FechaNacimiento, // "YYYYMMDD", a real date
    FechaFirma,      // "DD/MM/YY", a real date
    Preferencias,    // at least one area; numbers 1 to 11, none repeated
    Categoria,       // "M" or "E"
    Documentos,      // the three document flags "S" or "N"
    TotalComprobaciones
};

// Name of a check as the output reports it ("letra_dni", ...).
const char* NombreComprobacion(std::size_t comprobacion);

struct Solicitud {
    QString codigo;                                    // the payload as read
    qsizetype numeroCampos = 0;                        // fields found in it
    std::array<QString, CamposCodigo::Total> impresos; // fields as printed (missing ones empty)
    std::array<QString, CamposCodigo::Total> legibles; // the same with "&" escapes restored
    std::array<bool, TotalComprobaciones> correctas{}; // result of each check
    bool valida() const;
};

// Does a symbol's content look like an application's payload ("u|...")?
bool EsSolicitud(const QByteArray& contenido);

// Splits a payload into its fields and runs the checks. Extra fields beyond 30
// are kept in `codigo` only.
Solicitud Leer(const QByteArray& contenido);

// A printed field as readable text: "&n" becomes "ñ", "&a" "á" and so on. The
// payload does not keep the kind of accent, so a vowel gets the acute one, the
// commonest in Spanish.
QString Legible(const QString& impreso);

// The check letter of a DNI's eight digits.
QChar LetraDNI(int numero);

} // namespace DatosLeidos
