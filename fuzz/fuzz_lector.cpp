// The payload of a scanned symbol as varelio-lector reads it: any bytes a
// barcode can carry, split into fields, made readable, checked and written as
// a CSV and a JSON Lines record.
#include "Comun.h"

#include "lector/DatosLeidos.h"
#include "lector/Salida.h"

#include <QJsonDocument>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano)
{
    if (tamano > 4096) // a symbol holds less
        return 0;
    const QByteArray contenido(reinterpret_cast<const char*>(datos), qsizetype(tamano));
    const DatosLeidos::Solicitud s = DatosLeidos::Leer(contenido);
    if (s.codigo.size() != contenido.size())
        std::abort();
    // With exactly 30 fields, the printed fields are the payload again.
    if (s.numeroCampos == CamposCodigo::Total) {
        QStringList campos(s.impresos.begin(), s.impresos.end());
        if (campos.join(QLatin1Char(CamposCodigo::Separador)) != s.codigo)
            std::abort();
    }
    for (std::size_t i = 0; i < CamposCodigo::Total; ++i)
        if (s.legibles[i].size() > s.impresos[i].size())
            std::abort();

    const Paginas::Pagina pagina{QStringLiteral("a.pdf"), 1, Paginas::Tipo::Pdf, {}, {}};
    Paginas::Lectura lectura;
    lectura.estado = DatosLeidos::EsSolicitud(contenido) ? Paginas::Estado::Solicitud : Paginas::Estado::OtroCodigo;
    lectura.contenido = contenido;
    const Salida::Registro r{&pagina, &lectura, lectura.estado == Paginas::Estado::Solicitud ? &s : nullptr, {}};
    const QByteArray csv = Salida::Linea(r, Salida::Formato::Csv, QLatin1Char(';'));
    if (!csv.endsWith("\r\n"))
        std::abort();
    const QByteArray json = Salida::Linea(r, Salida::Formato::JsonLineas, QLatin1Char(','));
    QJsonParseError error;
    QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || json.count('\n') != 1)
        std::abort();
    return 0;
}
