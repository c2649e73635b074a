#include "ModCargaFicheros.h"

#include "ErrorEjecucion.h"
#include "EscrituraSegura.h"
#include "EstadoCompartido.h"

#include <cerrno>

namespace ModCargaFicheros {

QString DesdeWindows1252(const QByteArray& bytes)
{
    // 0x80..0x9F differ from Latin-1; unassigned codes keep their Latin-1 value.
    static const char16_t tabla80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
        0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString texto;
    texto.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        texto.append(b >= 0x80 && b <= 0x9F ? QChar(tabla80[b - 0x80]) : QChar(b));
    }
    return texto;
}

QString LeerFicheroTexto(const QString& fichero)
{
    // Never waits on a FIFO; a text far beyond any real one is not read.
    constexpr qint64 TamanoMaximo = 16ll * 1024 * 1024;
    QByteArray bytes;
    const int error = LeerFicheroRegular(estado().strRutaFicheros + fichero, TamanoMaximo, bytes);
    if (error == ENOENT)
        throw ErrorEjecucion(ErrorEjecucion::ArchivoNoEncontrado, QStringLiteral("No se encontró el archivo"));
    if (error != 0)
        throw ErrorEjecucion(ErrorEjecucion::ErrorEntradaSalida, QStringLiteral("Error de E/S en el archivo"));
    QList<QByteArray> lineas = bytes.split('\n');
    if (!lineas.isEmpty() && lineas.last().isEmpty())
        lineas.removeLast(); // the file ended with a line break
    QString resultado;
    for (QByteArray& linea : lineas) {
        if (linea.endsWith('\r'))
            linea.chop(1);
        resultado += QStringLiteral("\r\n") + DesdeWindows1252(linea);
    }
    return resultado;
}

} // namespace ModCargaFicheros
