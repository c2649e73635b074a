#include "applications/Navegacion.h"

#include <QtGlobal>

namespace Navegacion {

namespace {
Formulario& Rutinas()
{
    static Formulario rutinas;
    return rutinas;
}
} // namespace

void Registrar(Formulario rutinas) { Rutinas() = std::move(rutinas); }

const Formulario& Registrado()
{
    const Formulario& r = Rutinas();
    if (!r.abrir || !r.dni || !r.nombrar)
        qFatal("The list of applications was shown before start-up linked it to the form");
    return r;
}

} // namespace Navegacion
