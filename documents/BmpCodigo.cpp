#include "documents/DatosCodigo.h"
#include "documents/ModWord.h"
#include "shell/ErrorEjecucion.h"
#include "shell/EstadoCompartido.h"

#include <stelcode/Stelcodex.h>

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
    control->saveToBMP(ruta);
    return ruta;
}

} // namespace ModWord
