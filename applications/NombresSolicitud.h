#pragma once
// Names and paths of stored applications: the documents in strRutaTemp named
// after the DNI, the document templates and the user manual.
#include <QDateTime>
#include <QString>

namespace NombresSolicitud {

// Base of a file name: the first nine characters of the DNI, left-filled with
// "0" to nine characters ("1234567Z" -> "01234567Z").
QString Base(const QString& dni);

// Default file name of a DNI: base + ".doc".
QString NombrePorDefecto(const QString& dni);

// Time-stamped name: base + "-" + hhmm + "-" + ddmmyy + ".doc"
// (12345678Z at 09:05 on 7 Dec 2006 -> "12345678Z-0905-071206.doc").
QString NombreConHora(const QString& dni, const QDateTime& momento);

// Name for a new application of the DNI in carpeta: the default name when no
// file has it, else the time-stamped name of the moment, else that name with a
// short suffix ("-2", "-3", ...) that names no file. Every name begins with the
// base, ends in ".doc" and has at most 30 characters, so a new application never
// takes the name of an existing file.
QString NombreNuevo(
    const QString& dni, const QString& carpeta, const QDateTime& momento = QDateTime::currentDateTime());

// The printed copy kept beside a stored application when there is no printer:
// the name with ".pdf" for its extension ("a.doc" -> "a.pdf").
QString CopiaPdf(const QString& fichero);

// Whether a file of strRutaTemp belongs to the DNI: the name ends in ".doc"
// (letter case ignored) and its first nine characters equal the DNI exactly.
bool EsDelUsuario(const QString& fichero, const QString& dni);

// Companion file of a stored application: the name without its last three
// characters + "xml" ("a.doc" -> "a.xml").
QString Acompanante(const QString& fichero);

// Whether carpeta + fichero names an existing file (or a symbolic link).
bool Existe(const QString& carpeta, const QString& fichero);

// strRutaFicheros + "/DOT_10101/" + "PlantillaW97.dot": template for a word
// processor of major version 8 or lower.
QString RutaPlantillaW97();
// strRutaFicheros + "/DOT_10101/" + "PlantillaWXP.dot": template for a higher version.
QString RutaPlantillaWXP();
// The template for a major version: W97 up to 8, WXP above.
QString RutaPlantilla(int versionMayor);
// Program folder + "/" + "Manual de Usuario.doc".
QString RutaManual();

} // namespace NombresSolicitud
