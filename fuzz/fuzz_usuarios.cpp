// The user file as it may lie in the program folder: loaded, searched for a
// DNI and its password, and extended by a new registration. Once a
// registration has been saved, loading the file again must find it and keep
// every entry that was there.
#include "fuzz/Comun.h"

#include "shell/EstadoCompartido.h"
#include "users/Validacion.h"

#include <pugixml.hpp>

#include <algorithm>

namespace {

const QString Dni = QStringLiteral("12345678Z");
const QString Nuevo = QStringLiteral("87654321X");

size_t Entradas()
{
    return estado().objUsuariosXML ? estado().objUsuariosXML->select_nodes("//Usuarios/Usuario").size() : 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A folder of its own each time: an unreadable file is set aside beside it.
    QDir carpeta(Fuzz::Carpeta() + QStringLiteral("programa"));
    carpeta.removeRecursively();
    carpeta.mkpath(QStringLiteral("."));
    reiniciarEstado();
    estado().strRutaPrograma = carpeta.path();
    Fuzz::Escribir(QStringLiteral("programa/usuarios.xml"), Fuzz::Bytes(data, size));

    const QString ruta = Validacion::PrepararUsuarios(carpeta.path());
    if (!Validacion::CargaUsuarios(ruta))
        return 0;
    const bool existia = Validacion::ExisteUsuario(Dni);
    const QString guardado = Validacion::PasswordGuardado(Dni);
    (void)Validacion::CompruebaPassword(Dni, QStringLiteral("CLAVE"));
    if (Validacion::ExisteUsuario(Nuevo))
        return 0;

    const size_t antes = Entradas();
    if (!Validacion::AltaUsuario(Nuevo, QStringLiteral("CLAVE")))
        return 0;
    FUZZ_CHECK(Validacion::CargaUsuarios(ruta));
    FUZZ_CHECK(Validacion::ExisteUsuario(Nuevo));
    FUZZ_CHECK(Validacion::CompruebaPassword(Nuevo, QStringLiteral("CLAVE")));
    FUZZ_CHECK(Validacion::ExisteUsuario(Dni) == existia);
    // A digest is hexadecimal; bytes outside ASCII in a damaged file may read
    // differently once the file has been rewritten with a proper declaration.
    const bool ascii = std::all_of(guardado.begin(), guardado.end(), [](QChar c) { return c.unicode() < 0x80; });
    FUZZ_CHECK(!ascii || Validacion::PasswordGuardado(Dni) == guardado);
    FUZZ_CHECK(Entradas() == antes + 1);
    return 0;
}
