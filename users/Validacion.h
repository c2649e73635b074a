#pragma once
// The user file: registered DNIs and their passwords, both kept only as digests.
// Every operation works on the document loaded into estado().objUsuariosXML,
// reached through an index (DNI digest to entry) built when the file is read.
// Validacion begins in shell/ValidaDNI.h (the DNI check).
// A lookup first reloads the file when another running copy has replaced it;
// a registration takes the file's lock, works on what is on disk and writes
// the whole file back through the safe-write routine (owner-only).
// What can fail returns a Resultado with the reason in Spanish, naming the file.
#include "shell/Resultado.h"
#include "shell/ValidaDNI.h"

#include <QString>

#include <memory>

namespace Validacion {

// Upper-case hexadecimal SHA-256 of the text (64 characters 0-9, A-F).
QString HuellaTexto(const QString& texto);

// Upper case one character for one character, as the Windows code page does:
// "ß" stays "ß", "ñ" becomes "Ñ", "ÿ" becomes "Ÿ"; a character whose capital
// the code page lacks ("µ", "ƒ") stays as it is. Digests are taken of this.
QString Mayusculas(const QString& texto);

// Makes sure the user file exists in the data folder (written from the empty
// template "usuarioslimpio.xml" of the program folder when missing) and returns
// its path. An empty carpetaPrograma means the template lies in the data folder.
// A copy that fails is passed over: the file is then missing, which signs
// everyone in without a password, and the first registration writes it.
QString PrepararUsuarios(const QString& carpetaDatos, const QString& carpetaPrograma = {});

// The user file as read from disk, with its index; not yet in use.
struct UsuariosLeidos;

// Reads and indexes the user file. Touches no shared state, so it may run on
// another thread. Null only when reading raised an error (out of memory).
std::shared_ptr<UsuariosLeidos> LeerUsuarios(const QString& ruta);
// Puts a file read by LeerUsuarios in place of the loaded document and
// remembers its path. Fails (and nothing changes) for a null one.
Resultado InstalarUsuarios(std::shared_ptr<UsuariosLeidos> leidos, const QString& ruta);

// Whether the loaded user file could be read; when not (a FIFO, above 64 MiB,
// no permission), why, naming it. A missing file counts as read. Nobody is
// registered while it cannot be read, and nothing is written to it.
Resultado FicheroLegible();

// Loads the user file into a new document and remembers its path. A missing,
// unreadable or broken file leaves an empty document; fails only when loading
// raised an error.
Resultado CargaUsuarios(const QString& ruta);

bool ExisteUsuario(const QString& dni);
// The stored password digest of the DNI, or empty when it is not registered.
QString PasswordGuardado(const QString& dni);
// password is compared as typed by the caller (callers pass it upper-cased).
bool CompruebaPassword(const QString& dni, const QString& password);

// Registers the DNI with the password digest: under the file's lock, reads the
// file as it is on disk, drops any earlier entry of the DNI, appends the new
// one last and saves. Fails when the file cannot be read (it is then left
// alone), is locked too long or cannot be written; the file stays as it was.
Resultado AltaUsuario(const QString& dni, const QString& password);

// Removes the DNI's first entry from the document in memory; nothing is saved.
// The removal reaches the file with the next AltaUsuario.
void BajaUsuario(const QString& dni);

// How long AltaUsuario waits for another copy's lock (milliseconds).
void FijarEsperaBloqueo(int milisegundos);

} // namespace Validacion
