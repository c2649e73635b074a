#pragma once
// What every fuzz target shares: one headless QApplication for the whole run
// and a private scratch folder for inputs that the code under test reads from
// a file.
#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace Fuzz {

// Creates the application once; call from LLVMFuzzerInitialize.
inline void IniciarQt(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "*.warning=false");
    // Never destroyed: it outlives every widget the targets leave to static
    // caches, and the process ends right after the run.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
}

// A folder of the run's own, on a memory file system where there is one, so
// that writing an input per execution costs little.
inline const QString& Carpeta()
{
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        auto d = std::make_unique<QTemporaryDir>(base + QStringLiteral("/varelio-fuzz-XXXXXX"));
        if (!d->isValid())
            std::abort();
        return d;
    }();
    static const QString ruta = dir->path() + QLatin1Char('/');
    return ruta;
}

// Writes the bytes to a file in the scratch folder and returns its path.
inline QString Escribir(const QString& nombre, const QByteArray& bytes)
{
    const QString ruta = Carpeta() + nombre;
    QFile f(ruta);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort(); // the harness itself failed, not the code under test
    return ruta;
}

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A fault the sanitizers cannot see: a broken promise of the code under test.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);                                   \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)

} // namespace Fuzz
