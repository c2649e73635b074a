#pragma once
// The user file: registered DNIs and their passwords, both kept only as digests.
// Every operation works on the document loaded into estado().objUsuariosXML.
#include "shell/ValidaDNI.h"

#include <QString>

namespace Validacion {

// Upper-case hexadecimal SHA-256 of the text (64 characters 0-9, A-F).
QString HuellaTexto(const QString& texto);

// Makes sure the user file exists in the program folder (copied from the empty
// template "usuarioslimpio.xml" when missing) and returns its path.
QString PrepararUsuarios(const QString& carpetaPrograma);

// Loads the user file into a new document and remembers its path. A missing or
// unreadable file leaves an empty document; false only when loading raised an
// error.
bool CargaUsuarios(const QString& ruta);

bool ExisteUsuario(const QString& dni);
// The stored password digest of the DNI, or empty when it is not registered.
QString PasswordGuardado(const QString& dni);
// password is compared as typed by the caller (callers pass it upper-cased).
bool CompruebaPassword(const QString& dni, const QString& password);

// Appends an entry with the digests of dni and password and saves the user file.
// Returns false, and leaves both the document and the file as they were, when
// the file could not be written.
bool AltaUsuario(const QString& dni, const QString& password);

// Removes the DNI's first entry from the document in memory; nothing is saved.
void BajaUsuario(const QString& dni);

} // namespace Validacion
