#include "shell/ModCargaFicheros.h"

#include "shell/ErrorEjecucion.h"
#include "shell/EstadoCompartido.h"
#include "shell/Windows1252.h"

#include <QFile>

namespace ModCargaFicheros {

QString LeerFicheroTexto(const QString& fichero)
{
    QFile f(estado().strRutaFicheros + fichero);
    if (!f.exists())
        throw ErrorEjecucion(ErrorEjecucion::ArchivoNoEncontrado, QStringLiteral("No se encontró el archivo"));
    if (!f.open(QIODevice::ReadOnly))
        throw ErrorEjecucion(ErrorEjecucion::ErrorEntradaSalida, QStringLiteral("Error de E/S en el archivo"));
    QList<QByteArray> lineas = f.readAll().split('\n');
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
