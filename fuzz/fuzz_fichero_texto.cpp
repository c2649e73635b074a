// The information text in the program folder, read as Windows-1252 lines and
// laid out in the information window.
#include "fuzz/Comun.h"

#include "shell/EstadoCompartido.h"
#include "shell/ModCargaFicheros.h"
#include "shell/Windows1252.h"
#include "shell/frmProgreso.h"

#include <QLabel>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    estado().strRutaFicheros = Fuzz::Carpeta();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = Fuzz::Bytes(data, size);
    Fuzz::Escribir(QStringLiteral("FicheroTexto.txt"), bytes);
    QString texto = ModCargaFicheros::LeerFicheroTexto(QStringLiteral("FicheroTexto.txt")).valor;

    // Every line comes back after a CR LF; no other line feed is left.
    FUZZ_CHECK(texto.count(QLatin1Char('\n')) == texto.count(QStringLiteral("\r\n")));
    FUZZ_CHECK(bytes.isEmpty() == texto.isEmpty());
    FUZZ_CHECK(texto.isEmpty() || texto.startsWith(QStringLiteral("\r\n")));
    FUZZ_CHECK(Windows1252::ATexto(bytes).size() == bytes.size());

    frmProgreso ventana;
    ventana.lblTitulo->setText(texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    (void)ventana.sizeHint();
    return 0;
}
