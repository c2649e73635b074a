#include "documents/DatosCodigo.h"
#include "documents/ModWord.h"
#include "shell/ErrorEjecucion.h"
#include "shell/EstadoCompartido.h"

#include "shell/EscrituraSegura.h"

#include <QFile>
#include <stelcode/Stelcodex.h>
#include <sys/stat.h>

namespace ModWord {

QString GenerarBmpCodigo(QString& datos, Stelcodex* control, qint16 ancho, qint16& alto)
{
    if (!control)
        throw ErrorEjecucion(91, QStringLiteral("Variable de objeto no establecida: falta el control del código de barras"));
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
    control->setSize(TwipsAPixeles(ancho), TwipsAPixeles(alto));

    const QString ruta = NombreBmp(estado().strRutaTemp, QDateTime::currentDateTime());
    // The bitmap carries personal data: created owner-only.
    const mode_t mascara = ::umask(077);
    const qint16 error = control->saveToBMP(ruta);
    ::umask(mascara);
    if (error != 0) {
        QFile::remove(ruta + QLatin1String(".bmp"));
        throw ErrorEjecucion(error, QStringLiteral("No se ha podido crear la imagen del código de barras (%1).")
                                        .arg(MotivoError(error)));
    }
    return ruta;
}

} // namespace ModWord
