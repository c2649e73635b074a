#pragma once
// Reading the data files that ship below the program folder. ModCargaFicheros
// continues in applications/ListaSolicitudes.h (the list of stored applications).
#include "shell/Resultado.h"

#include <QString>

namespace ModCargaFicheros {

// Reads strRutaFicheros + fichero, single-byte text (Windows-1252) with CR LF
// (or LF) line ends. Each line comes back preceded by CR LF, so the result begins
// with a line break and the file's last line break is not kept.
// Fails, with the program's error number (Resultado::ArchivoNoEncontrado or
// ErrorEntradaSalida), when the file is missing or cannot be read.
ResultadoCon<QString> LeerFicheroTexto(const QString& fichero);

} // namespace ModCargaFicheros
