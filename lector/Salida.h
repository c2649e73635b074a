#pragma once
// The reader's output: one record per page, as CSV (RFC 4180, UTF-8, header
// row) or as JSON Lines.
#include "lector/DatosLeidos.h"
#include "lector/Paginas.h"

#include <QByteArray>
#include <QChar>
#include <QString>

#include <optional>

namespace Salida {

enum class Formato { Csv, JsonLineas };

// What was read on one page.
struct Registro {
    const Paginas::Pagina* pagina = nullptr;
    const Paginas::Lectura* lectura = nullptr;
    const DatosLeidos::Solicitud* solicitud = nullptr; // for an application's payload
    QString dniRepetido;                               // "file:page" where the DNI was first read
};

// The result of a page in words: "solicitud", "sin código", "otro código" or "error".
QString Resultado(const Registro& r);

// The CSV header line (with its CRLF); JSON Lines has none.
QByteArray Cabecera(Formato formato, QChar separador);

// One record, ending in its line break.
QByteArray Linea(const Registro& r, Formato formato, QChar separador);

} // namespace Salida
