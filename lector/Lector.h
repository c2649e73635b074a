#pragma once
// One run of the reader: the pages of the inputs decoded in parallel, the
// records written in input order, the summary on standard error.
#include "lector/Salida.h"

#include <QString>
#include <QStringList>

#include <cstdio>

namespace Lector {

struct Opciones {
    QStringList entradas;
    bool recursivo = false;
    int ppp = 200; // PDF rendering resolution
    int hilos = 0; // 0: one per core
    Salida::Formato formato = Salida::Formato::Csv;
    QChar separador = QLatin1Char(',');
    QString salida; // empty: standard output
    bool progreso = false;
};

// Counts for the summary line.
struct Resumen {
    int paginas = 0, solicitudes = 0, sinCodigo = 0, otroCodigo = 0, errores = 0, conFallos = 0, dniRepetidos = 0,
        avisos = 0;
    // 0 when every page held an application that passed every check, else 1.
    int estado() const;
    QString texto() const;
};

// Runs the reader; messages go to `errores`. The exit status: 0 all read, 1 not.
int Ejecutar(const Opciones& opciones, std::FILE* salida, std::FILE* errores, Resumen* resumen = nullptr);

} // namespace Lector
