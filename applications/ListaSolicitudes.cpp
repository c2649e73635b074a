#include "applications/ListaSolicitudes.h"

#include "applications/NombresSolicitud.h"

#include <QComboBox>
#include <QDir>

namespace ModCargaFicheros {

void CrearListaSolicitudes() { estado().rsSolicitudes = {}; }

qint16 ContarSolicitudes(const QString& dni)
{
    CrearListaSolicitudes();
    qint16 n = 0;
    const QDir carpeta(estado().strRutaTemp);
    for (const QString& fichero : carpeta.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if (!NombresSolicitud::EsDelUsuario(fichero, dni))
            continue;
        ++n;
        estado().rsSolicitudes.append({fichero, fichero.left(9)});
    }
    return n;
}

void EnlazarCombo(QComboBox* combo, const QList<RegistroSolicitud>& registros)
{
    combo->clear();
    for (const RegistroSolicitud& r : registros)
        combo->addItem(r.Fichero);
    combo->setCurrentIndex(-1);
    combo->setEnabled(true);
}

} // namespace ModCargaFicheros
