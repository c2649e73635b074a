#pragma once
// Dates as Spanish users write them, whatever the system locale: day, month
// and year (or a four-digit year first, then month and day), separated by "/",
// "-", "." or blanks ("7 de diciembre de 2006" too), the month as a number or
// its Spanish name, two-digit years in the window 1930 to 2029.
#include <QDate>
#include <QString>
#include <optional>

namespace FechaEspanola {

// The date a text stands for, or no value when it is not a valid date
// (31/02/2000, an empty text, ...).
std::optional<QDate> LeerFecha(const QString& texto);

// A birth date: a date as LeerFecha reads it, from 1 January 1900 to hoy.
std::optional<QDate> LeerFechaNacimiento(const QString& texto, const QDate& hoy);

// Spanish name of a month, 1 "enero" to 12 "diciembre"; empty outside 1..12.
QString NombreMes(int mes);

} // namespace FechaEspanola
