#pragma once
// The list of the signed-in user's stored applications (estado().rsSolicitudes)
// and the combo box that shows it. ModCargaFicheros continues in
// shell/ModCargaFicheros.h (the data files).
#include "shell/EstadoCompartido.h"

#include <QList>
#include <QString>

class QComboBox;

namespace ModCargaFicheros {

// Replaces rsSolicitudes by a new, empty list.
void CrearListaSolicitudes();

// Lists into rsSolicitudes the files of strRutaTemp that belong to the DNI, in
// the order the file system gives them, and returns how many there are. A
// missing folder lists nothing.
qint16 ContarSolicitudes(const QString& dni);

// Shows the Fichero values of the records in the combo, with nothing selected.
void EnlazarCombo(QComboBox* combo, const QList<RegistroSolicitud>& registros);

} // namespace ModCargaFicheros
