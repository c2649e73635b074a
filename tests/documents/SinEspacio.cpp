// Preloaded into a test's child process: the disk "fills up" while the program
// writes one of its temporary files. Writes to a file whose name holds ".part-"
// stop at VARELIO_SIN_ESPACIO_BYTES bytes (0 when unset): a short write, then
// ENOSPC. Every other write goes through untouched.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

extern "C" ssize_t write(int fd, const void* datos, size_t n)
{
    using Write = ssize_t (*)(int, const void*, size_t);
    static Write real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "write"));
    char enlace[64];
    char ruta[4096];
    std::snprintf(enlace, sizeof enlace, "/proc/self/fd/%d", fd);
    const ssize_t largo = readlink(enlace, ruta, sizeof ruta - 1);
    if (largo > 0) {
        ruta[largo] = '\0';
        if (std::strstr(ruta, ".part-")) {
            const char* valor = std::getenv("VARELIO_SIN_ESPACIO_BYTES");
            const off_t limite = valor ? std::atol(valor) : 0;
            const off_t posicion = lseek(fd, 0, SEEK_CUR);
            if (posicion >= limite) {
                errno = ENOSPC;
                return -1;
            }
            if (posicion + off_t(n) > limite)
                n = size_t(limite - posicion);
        }
    }
    return real(fd, datos, n);
}
