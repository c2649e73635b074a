#pragma once
// The PDF417 symbol on the first page of a printed PDF, rasterised at 300 dpi
// as a printer would and read with ZXing.
#include <QByteArray>
#include <QImage>
#include <QProcess>
#include <QString>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <optional>

inline std::optional<QByteArray> CodigoDeImagen(QImage imagen)
{
    if (imagen.isNull())
        return std::nullopt;
    imagen = imagen.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView vista(imagen.constBits(), imagen.width(), imagen.height(), ZXing::ImageFormat::Lum,
                                 int(imagen.bytesPerLine()));
    ZXing::DecodeHints pistas;
    pistas.setFormats(ZXing::BarcodeFormat::PDF417);
    pistas.setTryHarder(true);
    const ZXing::Result r = ZXing::ReadBarcode(vista, pistas);
    if (!r.isValid())
        return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(r.bytes().data()), qsizetype(r.bytes().size()));
}

inline std::optional<QByteArray> CodigoDelPdf(const QString& pdf)
{
    const QString base = pdf + QStringLiteral("-pagina");
    QProcess::execute(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), QStringLiteral("-png"),
                       QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                       QStringLiteral("-singlefile"), pdf, base});
    return CodigoDeImagen(QImage(base + QStringLiteral(".png")));
}
