#include "form/LecturaSolicitud.h"

#include "documents/CamposDocumento.h"
#include "documents/ModWord.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <QLabel>
#include <QProgressBar>

#include <memory>

namespace LecturaSolicitud {

bool Leer(const QString& fichero, const QString& carpeta, FormularioDocumento& formulario)
{
    // The busy window appears once the file looks readable and the reader starts.
    std::unique_ptr<frmProgresoGeneral> progreso;
    ModWord::Avance avance;
    avance.total = [&progreso](int pasos) {
        progreso = std::make_unique<frmProgresoGeneral>();
        progreso->lblAccion->setText(QStringLiteral("Recuperando información de la solicitud. Espere, por favor ..."));
        progreso->prgBar->setMaximum(pasos);
        progreso->show();
    };
    avance.paso = [&progreso] {
        if (progreso)
            progreso->prgBar->setValue(progreso->prgBar->value() + 1);
    };

    const Resultado leida = ModWord::RecuperarSolicitud(fichero, carpeta, &formulario, avance);
    if (progreso)
        progreso->close();
    if (!leida) {
        MessageBox::show(QStringLiteral("No se ha podido abrir la solicitud %1.\n%2El fichero no se ha modificado.")
                             .arg(fichero, leida.motivo.isEmpty() ? QString() : leida.motivo + QLatin1Char('\n')),
            {}, QMessageBox::Critical);
        return false;
    }
    formulario.HabilitarEscritura(true);
    return true;
}

} // namespace LecturaSolicitud
