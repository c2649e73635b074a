#pragma once
// The recovery copy ("borrador") of an application being edited: what the form
// holds while it differs from the stored file, kept beside the stored
// applications under a hidden name, ".<name>.borrador", so that a crash or a
// killed session loses nothing. A small JSON file:
//   {"formato": "varelio-borrador", "version": 1, "solicitud": "12345678Z.doc",
//    "dni": "12345678Z", "fecha": "2026-12-10T15:30:01.123Z",
//    "campos": {"NOMBRE": "Ana", "MEDICO": "1", ...}}
// Check boxes and option buttons hold "1" or "0". The stored application never
// changes here; the draft is only ever read, replaced whole or removed.
#include "shell/EscrituraSegura.h"

#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Borrador {

// Values by form-field name (the controls' tags).
using Campos = QMap<QString, QString>;

struct Datos {
    QString solicitud; // name of the stored application, within strRutaTemp
    QString dni;       // the signed-in DNI that typed it
    QDateTime fecha;   // when the form held these values (UTC)
    Campos campos;
};

// ".<fichero>.borrador".
QString Nombre(const QString& fichero);

// The draft file's bytes.
QByteArray Serializar(const Datos& datos);

struct Lectura {
    enum Estado { NoHay, Valido, Danado } estado = NoHay;
    Datos datos;   // when Valido
    QString causa; // when Danado: why, in Spanish
};

// Reads and checks the draft of fichero in carpeta. Anything that is not a
// regular file, is larger than a draft can be, or does not hold a draft of
// that application is Danado. Never blocks on a FIFO or follows a link.
Lectura Leer(const QString& carpeta, const QString& fichero);

// Replaces the draft through the safe-write routine, owner-only.
ResultadoEscritura Escribir(const QString& carpeta, const Datos& datos);

// Removes the draft of fichero (a missing one is no error). False when it
// could not be removed.
bool Quitar(const QString& carpeta, const QString& fichero);

// Moves the draft of fichero out of the way under a new hidden name
// (".<fichero>.borrador-apartado-yyyyMMdd-HHmmss[-n]") that no later draft
// takes; aparte is that name. The file is kept, never removed.
ResultadoEscritura Apartar(const QString& carpeta, const QString& fichero, QString& aparte);

// Whether the draft was made after the stored file was last written (true
// when there is no stored file).
bool MasNuevo(const QString& carpeta, const Datos& datos);

// Names of stored applications of the DNI (NombresSolicitud::EsDelUsuario)
// that have a draft but no stored file: new applications never stored.
QStringList SinGuardar(const QString& carpeta, const QString& dni);

} // namespace Borrador
