// Any file opened as a document by the embedded word processor: a stored
// application, a template, or whatever else lies under that name.
#include "fuzz/Documento.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::AbrirYGuardar(Fuzz::Escribir(QStringLiteral("entrada.doc"), Fuzz::Bytes(data, size)));
    return 0;
}
