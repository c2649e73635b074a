#include "shell/EstadoCompartido.h"

EstadoCompartido& estado()
{
    static EstadoCompartido instancia;
    return instancia;
}

void reiniciarEstado() { estado() = EstadoCompartido{}; }
