#include "documents/CodigoImpreso.h"

#include "documents/CamposCodigo.h"

#include <stelcode/Stelcodex.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

namespace CodigoImpreso {

namespace {

// The payload's fields as the form names them (the areas are never long).
QString NombreCampo(int indice)
{
    if (indice < 0 || indice >= int(CamposCodigo::Total))
        return QStringLiteral("Campo %1").arg(indice + 1);
    return QString::fromUtf8(CamposCodigo::Campos[size_t(indice)].etiqueta);
}

// Does the control hold `texto` in one symbol?
bool Cabe(Stelcodex& control, const QString& texto)
{
    control.setPdfcode(texto);
    return control.codewords().has_value();
}

// Resolution to record for `pixeles` that must fit in `caja` pixels at 96 dpi
// on paper: 96 dpi when they fit; otherwise 100, 150 or 300 dpi, so that a
// pixel stays a whole number of dots on 300, 600 and 1200 dpi printers.
int PuntosPorMetro(int pixeles, int caja)
{
    const double pulgadas = std::max(caja, 1) / 96.0;
    double dpi = 96;
    if (pixeles > caja) {
        dpi = pixeles / pulgadas; // beyond 300 dpi a pixel is less than a dot
        for (int puntos : {3, 2, 1})
            if (pixeles * puntos / 300.0 <= pulgadas) {
                dpi = 300.0 / puntos;
                break;
            }
    }
    return int(std::lround(dpi / 0.0254));
}

ZXing::Result Leer(const QImage& gris, bool aFondo)
{
    const ZXing::ImageView vista(
        gris.constBits(), gris.width(), gris.height(), ZXing::ImageFormat::Lum, int(gris.bytesPerLine()));
    ZXing::DecodeHints pistas;
    pistas.setFormats(ZXing::BarcodeFormat::PDF417);
    pistas.setTryHarder(aFondo);
    pistas.setTryRotate(aFondo);
    return ZXing::ReadBarcode(vista, pistas);
}

} // namespace

QByteArray BytesCodificados(const QString& datos)
{
    QByteArray bytes;
    bytes.reserve(datos.size());
    for (QChar c : datos)
        if (c.unicode() >= 32 && c.unicode() <= 126)
            bytes.append(char(c.unicode()));
    return bytes;
}

QStringList CamposDemasiadoLargos(Stelcodex& control, const QString& datos)
{
    const QString original = control.pdfcode();
    QStringList campos = datos.split(QLatin1Char('|'));
    QStringList nombres;
    if (!Cabe(control, datos)) {
        // Empty the longest fields, one by one, until the rest fits.
        std::vector<int> orden(size_t(campos.size()));
        std::iota(orden.begin(), orden.end(), 0);
        std::stable_sort(orden.begin(), orden.end(), [&](int a, int b) { return campos[a].size() > campos[b].size(); });
        std::vector<int> largos;
        for (int i : orden) {
            if (campos[i].isEmpty())
                break;
            campos[i].clear();
            largos.push_back(i);
            if (Cabe(control, campos.join(QLatin1Char('|'))))
                break;
        }
        std::sort(largos.begin(), largos.end());
        for (int i : largos)
            nombres << NombreCampo(i);
        nombres.removeDuplicates();
    }
    control.setPdfcode(original);
    return nombres;
}

QSize TamanoParaSimbolo(const Stelcodex& control, QSize minimo) { return minimo.expandedTo(control.sizeHint()); }

Resultado Comprobar(const QString& rutaBmp, const QByteArray& esperado)
{
    QImageReader lector(rutaBmp);
    QImage imagen = lector.read();
    if (imagen.isNull())
        return Resultado::Fallo(
            QStringLiteral("no se puede leer la imagen del código de barras (%1).").arg(lector.errorString()));
    imagen = imagen.convertToFormat(QImage::Format_Grayscale8);
    ZXing::Result leido = Leer(imagen, false);
    if (!leido.isValid())
        leido = Leer(imagen, true);
    if (!leido.isValid())
        return Resultado::Fallo(
            QStringLiteral("en la imagen del código de barras no se encuentra ningún código legible."));
    const auto& bytes = leido.bytes();
    const QByteArray decodificado(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    if (decodificado != esperado)
        return Resultado::Fallo(QStringLiteral("el código de barras no contiene los datos de la solicitud."));
    return Resultado::Correcto();
}

QByteArray BmpEnBlancoYNegro(Stelcodex& control, QSize caja)
{
    control.paintBarCode();
    const QImage superficie = control.surface();
    if (superficie.isNull())
        return {};
    QImage imagen = superficie.convertToFormat(
        QImage::Format_Mono, QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}, Qt::ThresholdDither);
    imagen.setDotsPerMeterX(PuntosPorMetro(imagen.width(), caja.width()));
    imagen.setDotsPerMeterY(PuntosPorMetro(imagen.height(), caja.height()));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!imagen.save(&buffer, "BMP"))
        return {};
    return bytes;
}

} // namespace CodigoImpreso
