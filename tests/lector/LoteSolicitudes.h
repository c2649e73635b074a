#pragma once
// A PDF of many applications, one symbol per page as the printed copy has it,
// with blank pages and a page carrying a QR code where asked: for the reader's
// tests and its benchmark.
#include "documents/CodigoImpreso.h"
#include "documents/DatosCodigo.h"
#include "lector/DatosLeidos.h"

#include <stelcode/Stelcodex.h>

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QStringList>

#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

namespace LoteSolicitudes {

// An application's symbol as the printed copy has it: the control set up as
// for printing, black on white.
inline QImage Simbolo(const QString& datos)
{
    Stelcodex control;
    control.setPdfMode(1);
    control.setPdfcode(DatosCodigo::SustituirCaracteres(datos));
    control.setPdfbarHeight(4);
    control.setPdfColumns(15);
    control.setPdfleftMargin(10);
    control.setPdftopMargin(10);
    control.setPdfbackColor(StelcodeColor::White);
    const QSize tamano = CodigoImpreso::TamanoParaSimbolo(control, {400, 173});
    control.resize(tamano);
    return QImage::fromData(CodigoImpreso::BmpEnBlancoYNegro(control, tamano));
}

inline QImage CodigoQr(const char* texto)
{
    const ZXing::BitMatrix m = ZXing::MultiFormatWriter(ZXing::BarcodeFormat::QRCode).encode(std::string(texto), 0, 0);
    QImage imagen(m.width(), m.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            imagen.setPixel(x, y, m.get(x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    return imagen;
}

// Writes `paginas` pages to `pdf`: an application on each page except the
// `blancas` and the page `qr` (0: none). With `repetir`, the last application
// has the first one's DNI. Returns the applications' DNIs in page order.
inline QStringList Escribir(const QString& pdf, int paginas, const QSet<int>& blancas, int qr, bool repetir)
{
    QStringList dnis;
    QPdfWriter escritor(pdf);
    escritor.setPageSize(QPageSize(QPageSize::A4));
    escritor.setResolution(300);
    QPainter pintor(&escritor);
    DatosCodigo::Valores v;
    v.apellidos = QStringLiteral("Pérez");
    v.fechaNacimiento = QStringLiteral("1/2/1980");
    v.areas[0] = QStringLiteral("1");
    v.dia = QStringLiteral("3");
    v.mes = QStringLiteral("marzo");
    v.anio = QStringLiteral("2027");
    const int solicitudes = paginas - int(blancas.size()) - (qr > 0 ? 1 : 0);
    int solicitud = 0;
    for (int pagina = 1; pagina <= paginas; ++pagina) {
        if (pagina > 1)
            escritor.newPage();
        pintor.drawText(300, 300, QStringLiteral("Página %1").arg(pagina));
        if (blancas.contains(pagina))
            continue;
        if (pagina == qr) {
            pintor.drawImage(QRect(300, 600, 600, 600), CodigoQr("https://example.org/otro"));
            continue;
        }
        const int numero = ++solicitud == solicitudes && repetir ? 10000001 : 10000000 + solicitud;
        v.dni = QString::number(numero) + DatosLeidos::LetraDNI(numero);
        v.nombre = QStringLiteral("Solicitante %1").arg(solicitud);
        dnis << v.dni;
        const QImage simbolo = Simbolo(DatosCodigo::Generar(v));
        // At 96 dpi on paper, as the printed copy has it.
        pintor.drawImage(QRect(300, 600, simbolo.width() * 300 / 96, simbolo.height() * 300 / 96), simbolo);
    }
    return dnis;
}

} // namespace LoteSolicitudes
