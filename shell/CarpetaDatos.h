#pragma once
// Where the program keeps what it writes: the user file usuarios.xml and the
// stored applications in ficheros/temp/. Below the program folder when that
// folder is the user's own and no one else may write it (the build folder, a
// copied folder); otherwise, as in a folder shared by several users, per user in
// $XDG_DATA_HOME/Varelio, by default ~/.local/share/Varelio, as for a program
// installed in a folder the user cannot write. Templates, the manual and the
// information text are always read from the program folder.
#include <QString>

namespace CarpetaDatos {

// The data folder, without a trailing separator. xdgDataHome and home are the
// environment's values (empty when unset); a relative XDG_DATA_HOME is ignored.
QString Elegir(
    const QString& carpetaPrograma, bool programaEscribible, const QString& xdgDataHome, const QString& home);

// The same for this process: the program folder is taken when this user owns
// it, may write it, and neither group nor others may write it.
QString Elegir(const QString& carpetaPrograma);

// Makes the folder and ficheros/temp/ below it. Every folder it has to create
// (parents included) is owner-only, 0700; existing ones are left as they are.
// Returns the errno of the first failure, 0 when the folders are there.
int Preparar(const QString& carpetaDatos);

} // namespace CarpetaDatos
