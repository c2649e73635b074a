#pragma once
// The PDF417 symbol on the first page of a printed PDF, rasterised at 300 dpi
// as a printer would and read with ZXing.
#include "tests/barcode/DecodeHelper.h"

#include <QProcess>

inline std::optional<QByteArray> CodigoDelPdf(const QString& pdf)
{
    const QString base = pdf + QStringLiteral("-pagina");
    QProcess::execute(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("300"), QStringLiteral("-gray"), QStringLiteral("-png"),
            QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
            QStringLiteral("-singlefile"), pdf, base});
    return decodePdf417(QImage(base + QStringLiteral(".png")));
}
