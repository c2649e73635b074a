#include "shell/ModCargaFicheros.h"

#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/Windows1252.h"

#include <cerrno>

namespace ModCargaFicheros {

ResultadoCon<QString> LeerFicheroTexto(const QString& fichero)
{
    // Never waits on a FIFO; a text far beyond any real one is not read.
    constexpr qint64 TamanoMaximo = 16ll * 1024 * 1024;
    QByteArray bytes;
    const int error = LeerFicheroRegular(estado().strRutaFicheros + fichero, TamanoMaximo, bytes);
    if (error == ENOENT)
        return Resultado::Fallo(QStringLiteral("No se encontró el archivo"), Resultado::ArchivoNoEncontrado);
    if (error != 0)
        return Resultado::Fallo(QStringLiteral("Error de E/S en el archivo"), Resultado::ErrorEntradaSalida);
    QList<QByteArray> lineas = bytes.split('\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty())
        lineas.removeLast(); // the file ended with a line break
    QString resultado;
    for (QByteArray& linea : lineas) {
        if (linea.endsWith('\r'))
            linea.chop(1);
        resultado += QStringLiteral("\r\n") + Windows1252::ATexto(linea);
    }
    return resultado;
}

} // namespace ModCargaFicheros
