#include "documents/BmpCodigo.h"

#include "documents/CodigoImpreso.h"
#include "documents/DatosCodigo.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"

#include <QFile>
#include <QRandomGenerator>
#include <stelcode/Stelcodex.h>

#include <cerrno>
#include <cmath>
#include <unistd.h>
#include <utility>

namespace ModWord {

namespace {

// Paints the symbol black on white, whatever the control's stored bar colour
// (which follows the desktop theme and is kept for the form).
QByteArray PintarEnBlancoYNegro(Stelcodex& control, QSize caja)
{
    const uint tinta = control.pdfforeColor();
    control.setPdfforeColor(StelcodeColor::Black);
    QByteArray bmp = CodigoImpreso::BmpEnBlancoYNegro(control, caja);
    control.setPdfforeColor(tinta);
    return bmp;
}

} // namespace

ResultadoCon<QString> GenerarBmpCodigo(QString& datos, Stelcodex* control, qint16 ancho, qint16& alto, int* retenido)
{
    if (!control)
        return Resultado::Fallo(
            QStringLiteral("Variable de objeto no establecida: falta el control del código de barras"),
            Resultado::ObjetoNoEstablecido);
    // No repaint on screen while the properties change.
    control->setStandAlone(true);
    control->setPdfMode(1);
    alto = AltoAmpliado(alto);
    datos = DatosCodigo::SustituirCaracteres(datos);
    control->setPdfcode(datos);
    control->setPdfbarHeight(4);
    control->setPdfColumns(15);
    control->setPdfleftMargin(10);
    control->setPdftopMargin(10);
    control->setPdfbackColor(StelcodeColor::White);

    // A payload no symbol can hold is refused, naming what to shorten.
    if (!control->codewords()) {
        const QStringList largos = CodigoImpreso::CamposDemasiadoLargos(*control, datos);
        return Resultado::Fallo(QStringLiteral("Los datos de la solicitud no caben en el código de barras. "
                                               "Acorte estos campos: %1.")
                                    .arg(largos.join(QStringLiteral(", "))),
            ErrorDatosDemasiadoLargos);
    }
    // Never smaller than the symbol, or it would be cut off; on paper it keeps
    // the room asked for, so the page layout does not change.
    const QSize caja(TwipsAPixeles(ancho), TwipsAPixeles(alto));
    const QSize tamano = CodigoImpreso::TamanoParaSimbolo(*control, caja);
    control->setSize(tamano.width(), tamano.height());

    const QByteArray bmp = PintarEnBlancoYNegro(*control, caja);
    if (bmp.isEmpty())
        return Resultado::Fallo(
            QStringLiteral("No se ha podido dibujar el código de barras."), Resultado::ErrorEntradaSalida);
    // A name of this print only: created exclusively, never another copy's.
    QString ruta;
    int fd = -1;
    ResultadoEscritura escrito;
    for (int intento = 0; intento < 20; ++intento) {
        ruta = NombreBmpUnico(estado().strRutaTemp, QDateTime::currentDateTime());
        escrito = EscribirFicheroNuevo(ruta + QLatin1String(".bmp"), bmp, 0600, &fd);
        if (escrito.error != EEXIST)
            break;
    }
    if (!escrito)
        return Resultado::Fallo(
            QStringLiteral("No se ha podido guardar la imagen del código de barras: %1").arg(escrito.motivo()),
            Resultado::ErrorEntradaSalida);
    const QString fichero = ruta + QLatin1String(".bmp");
    if (retenido)
        *retenido = fd;
    else
        ::close(fd);

    // The program's own guarantee: the bitmap reads back as the payload.
    const Resultado leido = CodigoImpreso::Comprobar(fichero, CodigoImpreso::BytesCodificados(datos));
    if (!leido) {
        QFile::remove(fichero);
        if (retenido)
            ::close(std::exchange(*retenido, -1));
        return Resultado::Fallo(
            QStringLiteral("Comprobación del código de barras: ") + leido.motivo, ErrorCodigoIlegible);
    }
    return ruta;
}

int TwipsAPixeles(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

qint16 AltoAmpliado(qint16 alto)
{
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return static_cast<qint16>(std::nearbyint(alto * 1.3));
}

QString NombreBmp(const QString& carpeta, const QDateTime& momento)
{
    return carpeta + momento.toString(QStringLiteral("yyyyMMddHHmmssmm"));
}

QString NombreBmpUnico(const QString& carpeta, const QDateTime& momento)
{
    static const char letras[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString sufijo;
    for (int i = 0; i < 6; ++i)
        sufijo += QLatin1Char(letras[QRandomGenerator::system()->bounded(int(sizeof letras) - 1)]);
    return carpeta + QLatin1Char('.') + NombreBmp({}, momento) + QLatin1Char('-') + sufijo;
}

QString PatronBmp() { return QStringLiteral(".") + QString(16, u'?') + QStringLiteral("-??????.bmp"); }

} // namespace ModWord
