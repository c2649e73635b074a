#include "shell/Fallos.h"

QString TextoFallo(const std::exception& fallo) { return QString::fromUtf8(fallo.what()); }
