#pragma once
// Dates as Spanish users write them, whatever the system locale: day, month
// and year (or a four-digit year first, then month and day), separated by "/",
// "-", "." or blanks, the month as a number or its Spanish name, two-digit
// years in the window 1930 to 2029.
#include <QDate>
#include <QString>
#include <optional>

namespace FechaEspanola {

// The date a text stands for, or no value when it is not a valid date
// (31/02/2000, an empty text, ...).
std::optional<QDate> LeerFecha(const QString& texto);

// Spanish name of a month, 1 "enero" to 12 "diciembre"; empty outside 1..12.
QString NombreMes(int mes);

} // namespace FechaEspanola
