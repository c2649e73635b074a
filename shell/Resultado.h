#pragma once
// What a routine below the windows reports: whether it did its job and, when
// not, why, in Spanish, for the window or workflow that shows the message.
// ResultadoCon<T> adds what the routine made; the safe-write routine's
// ResultadoEscritura (shell/EscrituraSegura.h) keeps the errno and converts
// to a Resultado.
#include <QString>
#include <utility>

struct Resultado {
    bool bien = true;
    QString motivo; // why it failed; empty on success
    int numero = 0; // the failure's number where a message shows one (below), or an errno; else 0

    explicit operator bool() const { return bien; }

    static Resultado Correcto() { return {}; }
    static Resultado Fallo(QString motivo, int numero = 0) { return {false, std::move(motivo), numero}; }

    // The numbers of the program's own failures that messages show.
    static constexpr int ArchivoNoEncontrado = 53;
    static constexpr int ErrorEntradaSalida = 57;
    static constexpr int ObjetoNoEstablecido = 91;
};

// A value a routine made, or why not (then `valor` is T's default).
template <typename T> struct ResultadoCon : Resultado {
    T valor{};

    ResultadoCon() = default;
    ResultadoCon(T hecho) : valor(std::move(hecho)) { }
    ResultadoCon(Resultado fallo) : Resultado(std::move(fallo)) { }
};
