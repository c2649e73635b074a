#pragma once
// Reads a PDF417 symbol from a bitmap file with ZXing-C++, an independent decoder.
#include <QByteArray>
#include <QImage>
#include <QString>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <optional>

inline std::optional<QByteArray> decodePdf417(QImage image)
{
    if (image.isNull())
        return std::nullopt;
    image = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
        static_cast<int>(image.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    hints.setTryHarder(true);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    if (!result.isValid())
        return std::nullopt;
    const auto& bytes = result.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

inline std::optional<QByteArray> decodePdf417(const QString& imagePath) { return decodePdf417(QImage(imagePath)); }
