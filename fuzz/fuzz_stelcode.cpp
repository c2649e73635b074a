// The barcode control: its stored property values (a property bag as a form
// layout keeps it), the text to encode and raw bytes for each compaction mode.
// Input: "key=value" lines, an empty line, then the data. The symbol is
// painted and saved at a bounded size; its codewords, and those of the data's
// automatic-mode symbol, must lie in 0..928, and the property bag it writes
// must read back to the same bag.
#include "fuzz/Comun.h"

#include <stelcode/Encoder.h>
#include <stelcode/Stelcodex.h>

#include <algorithm>
#include <span>

namespace {

StelcodePropertyBag LeerBolsa(const QByteArray& cabecera)
{
    StelcodePropertyBag bolsa;
    for (const QByteArray& linea : cabecera.split('\n')) {
        const qsizetype igual = linea.indexOf('=');
        if (igual > 0)
            bolsa.append({QString::fromUtf8(linea.left(igual)), QString::fromUtf8(linea.mid(igual + 1))});
    }
    return bolsa;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray entrada = Fuzz::Bytes(data, size);
    qsizetype corte = entrada.indexOf("\n\n");
    const QByteArray cabecera = corte < 0 ? QByteArray() : entrada.left(corte);
    const QByteArray datos = corte < 0 ? entrada : entrada.mid(corte + 2);

    // Two controls for the whole run (building one's tables costs more than a
    // run); every property is set again from the input, so nothing carries over.
    static Stelcodex& control = *new Stelcodex;
    static Stelcodex& copia = *new Stelcodex;
    control.setStandAlone(true);
    control.setPdfbackColor(StelcodeColor::ButtonFace);
    control.setPdfforeColor(StelcodeColor::ButtonText);
    StelcodePropertyBag bolsa = LeerBolsa(cabecera);
    const bool conTexto = std::any_of(bolsa.begin(), bolsa.end(),
        [](const auto& p) { return p.first.compare(QLatin1String("pdfCode"), Qt::CaseInsensitive) == 0; });
    control.readProperties(bolsa);
    if (!conTexto)
        control.setPdfcode(QString::fromLatin1(datos));

    if (const auto palabras = control.codewords()) {
        const int columnas = control.pdfColumns() >= 1 && control.pdfColumns() <= 30 ? control.pdfColumns() : 1;
        FUZZ_CHECK(palabras->size() == qsizetype(control.rowCount()) * columnas);
        for (const qint16 p : *palabras)
            FUZZ_CHECK(p >= 0 && p <= 928);
    }
    control.setSize(300, 200);
    (void)control.saveToBMP(Fuzz::Carpeta() + QStringLiteral("simbolo"));

    // The same bytes through each compaction mode directly.
    const qint16 largo = qint16(std::min<qsizetype>(datos.size(), 32767));
    for (int modo = 0; modo < 3; ++modo) {
        qint16 columnas = qint16(control.pdfColumns());
        const auto cw = modo == 0 ? control.PDF417_compact_binary(datos, largo, columnas)
            : modo == 1           ? control.PDF417_compact_text(datos, largo, columnas)
                                  : control.PDF417_compact_numeric(datos, largo, columnas);
        if (!cw)
            continue; // a bad level or data that does not fit: no symbol
        FUZZ_CHECK(columnas >= 1 && columnas <= 30);
        for (const qint16 p : *cw)
            FUZZ_CHECK(p >= 0 && p <= 928);
    }

    // The automatic mode's search over the raw bytes, at the automatic level.
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(datos.constData()), size_t(datos.size()));
    if (const stelcode::EncodeResult r
        = stelcode::encodeBytes(bytes, {stelcode::Mode::Auto, 30, stelcode::kAutoLevel, 0}))
        for (const int16_t p : r.symbol->codewords)
            FUZZ_CHECK(p >= 0 && p <= 928);

    const StelcodePropertyBag escrita = control.writeProperties();
    copia.setStandAlone(true);
    copia.readProperties(escrita);
    FUZZ_CHECK(copia.writeProperties() == escrita);
    return 0;
}
