#pragma once
// A failure of a program step, with a number and a description, that the caller
// reports or passes over as its own rules say.
#include <QString>
#include <stdexcept>

class ErrorEjecucion : public std::runtime_error {
public:
    ErrorEjecucion(int numero, const QString& descripcion)
        : std::runtime_error(descripcion.toStdString()), numero_(numero), descripcion_(descripcion)
    {
    }
    int numero() const { return numero_; }
    QString descripcion() const { return descripcion_; }

    // Numbers used by the program's own routines.
    static constexpr int ArchivoNoEncontrado = 53;
    static constexpr int ErrorEntradaSalida = 57;

private:
    int numero_;
    QString descripcion_;
};
