#pragma once
// What a routine below the windows reports: whether it did its job and, when
// not, why, in Spanish, for the window or workflow that shows the message.
// (ResultadoEscritura is the same for the safe-write routine, with the errno.)
#include "shell/EscrituraSegura.h"

#include <QString>
#include <utility>

struct Resultado {
    bool bien = true;
    QString motivo; // why it failed; empty on success

    explicit operator bool() const { return bien; }

    static Resultado Correcto() { return {}; }
    static Resultado Fallo(QString motivo) { return {false, std::move(motivo)}; }
    static Resultado De(const ResultadoEscritura& r) { return r ? Correcto() : Fallo(r.motivo()); }
};
