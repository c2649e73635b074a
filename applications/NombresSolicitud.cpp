#include "applications/NombresSolicitud.h"

#include "shell/EstadoCompartido.h"
#include "shell/ModGeneral.h"

#include <QFileInfo>

namespace NombresSolicitud {

namespace {
constexpr int LargoMaximo = 30; // the Fichero field of the application list
const QString Extension = QStringLiteral(".doc");
} // namespace

QString Base(const QString& dni) { return ModGeneral::Rellenar(dni.left(9), 9, true, QStringLiteral("0")).valor; }

QString NombrePorDefecto(const QString& dni) { return Base(dni) + Extension; }

QString NombreConHora(const QString& dni, const QDateTime& momento)
{
    return Base(dni) + QLatin1Char('-') + momento.toString(QStringLiteral("hhmm")) + QLatin1Char('-')
        + momento.toString(QStringLiteral("ddMMyy")) + Extension;
}

bool Existe(const QString& carpeta, const QString& fichero)
{
    const QFileInfo info(carpeta + fichero);
    return info.exists() || info.isSymLink(); // a link to nothing takes the name too
}

QString NombreNuevo(const QString& dni, const QString& carpeta, const QDateTime& momento)
{
    const QString porDefecto = NombrePorDefecto(dni);
    if (!Existe(carpeta, porDefecto))
        return porDefecto;
    const QString conHora = NombreConHora(dni, momento);
    if (!Existe(carpeta, conHora))
        return conHora;
    // Several applications within the same minute: number them. The suffix
    // leaves room for 9,999 of them inside the 30 characters.
    const QString raiz = conHora.chopped(Extension.size());
    for (int n = 2;; ++n) {
        const QString nombre = raiz + QLatin1Char('-') + QString::number(n) + Extension;
        if (nombre.size() > LargoMaximo)
            break;
        if (!Existe(carpeta, nombre))
            return nombre;
    }
    return conHora; // 10,000 applications within one minute: not reached in practice
}

QString CopiaPdf(const QString& fichero)
{
    const qsizetype punto = fichero.lastIndexOf(u'.');
    return (punto > 0 ? fichero.left(punto) : fichero) + QStringLiteral(".pdf");
}

bool EsDelUsuario(const QString& fichero, const QString& dni)
{
    return fichero.size() >= 4 && fichero.right(4).toUpper() == QLatin1String(".DOC") && fichero.left(9) == dni;
}

QString Acompanante(const QString& fichero) { return fichero.chopped(qMin(3, fichero.size())) + QStringLiteral("xml"); }

QString RutaPlantillaW97()
{
    return estado().strRutaFicheros + QStringLiteral("/DOT_10101/") + QStringLiteral("PlantillaW97.dot");
}
QString RutaPlantillaWXP()
{
    return estado().strRutaFicheros + QStringLiteral("/DOT_10101/") + QStringLiteral("PlantillaWXP.dot");
}
QString RutaPlantilla(int versionMayor) { return versionMayor <= 8 ? RutaPlantillaW97() : RutaPlantillaWXP(); }
QString RutaManual()
{
    return estado().strRutaPrograma + QStringLiteral("/") + QStringLiteral("Manual de Usuario.doc");
}

} // namespace NombresSolicitud
