#include "lector/Lector.h"

#include "shell/EscrituraSegura.h"

#include <QHash>

#include <algorithm>
#include <cerrno>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace Lector {

namespace {

void Escribir(std::FILE* f, const QString& texto)
{
    const QByteArray bytes = texto.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), f);
}

struct Hecho {
    Paginas::Lectura lectura;
    std::optional<DatosLeidos::Solicitud> solicitud;
};

} // namespace

int Resumen::estado() const { return paginas > 0 && solicitudes == paginas && conFallos == 0 && avisos == 0 ? 0 : 1; }

QString Resumen::texto() const
{
    QString t = QStringLiteral("%1 páginas, %2 solicitudes leídas, %3 páginas sin código, "
                               "%4 solicitudes con comprobaciones fallidas")
                    .arg(paginas)
                    .arg(solicitudes)
                    .arg(sinCodigo)
                    .arg(conFallos);
    if (otroCodigo)
        t += QStringLiteral(", %1 con otro código").arg(otroCodigo);
    if (errores)
        t += QStringLiteral(", %1 no legibles").arg(errores);
    if (dniRepetidos)
        t += QStringLiteral(", %1 DNI repetidos").arg(dniRepetidos);
    return t;
}

int Ejecutar(const Opciones& o, std::FILE* salida, std::FILE* errores, Resumen* resumenFuera)
{
    Paginas::SilenciarPdf();
    const Paginas::Entradas entradas = Paginas::Enumerar(o.entradas, o.recursivo);
    Resumen resumen;
    resumen.avisos = int(entradas.avisos.size());
    for (const QString& aviso : entradas.avisos)
        Escribir(errores, QStringLiteral("varelio-lector: %1\n").arg(aviso));

    const std::vector<Paginas::Pagina>& paginas = entradas.paginas;
    const std::size_t total = paginas.size();
    std::vector<std::optional<Hecho>> hechos(total);
    std::mutex cerrojo;
    std::condition_variable listo;
    std::atomic<std::size_t> siguiente{0};

    unsigned hilos = o.hilos > 0 ? unsigned(o.hilos) : std::max(1u, std::thread::hardware_concurrency());
    hilos = unsigned(std::min<std::size_t>(hilos, std::max<std::size_t>(total, 1)));
    // The workers stay at most this many pages ahead of the writer, so that
    // memory does not grow with the number of pages.
    const std::size_t adelanto = 4 * std::size_t(hilos) + 16;
    std::size_t escritas = 0;

    auto trabajo = [&] {
        Paginas::Decodificador decodificador(o.ppp);
        for (;;) {
            const std::size_t k = siguiente.fetch_add(1);
            if (k >= total)
                return;
            {
                std::unique_lock bloqueo(cerrojo);
                listo.wait(bloqueo, [&] { return k < escritas + adelanto; });
            }
            Hecho h;
            h.lectura = decodificador.Leer(paginas[k]);
            if (h.lectura.estado == Paginas::Estado::Solicitud)
                h.solicitud = DatosLeidos::Leer(h.lectura.contenido);
            {
                std::lock_guard bloqueo(cerrojo);
                hechos[k] = std::move(h);
            }
            listo.notify_all();
        }
    };
    std::vector<std::thread> trabajadores;
    for (unsigned i = 0; i < hilos; ++i)
        trabajadores.emplace_back(trabajo);

    // Records go straight out to standard output; to a file they are collected
    // and written whole, so that a failed run never leaves half a file.
    QByteArray acumulado;
    const auto emitir = [&](const QByteArray& bytes) {
        if (o.salida.isEmpty())
            std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), salida);
        else
            acumulado += bytes;
    };
    emitir(Salida::Cabecera(o.formato, o.separador));

    QHash<QString, QString> dnis; // DNI -> where it was first read
    for (std::size_t k = 0; k < total; ++k) {
        Hecho h;
        {
            std::unique_lock bloqueo(cerrojo);
            listo.wait(bloqueo, [&] { return hechos[k].has_value(); });
            h = std::move(*hechos[k]);
            hechos[k].reset();
            escritas = k + 1;
        }
        listo.notify_all();
        const Paginas::Pagina& p = paginas[k];
        Salida::Registro r{&p, &h.lectura, h.solicitud ? &*h.solicitud : nullptr, {}};
        ++resumen.paginas;
        switch (h.lectura.estado) {
        case Paginas::Estado::Solicitud: {
            ++resumen.solicitudes;
            if (!h.solicitud->valida())
                ++resumen.conFallos;
            const QString dni = h.solicitud->legibles[CamposCodigo::Nif].trimmed().toUpper();
            if (!dni.isEmpty()) {
                const QString aqui = QStringLiteral("%1:%2").arg(p.fichero).arg(p.numero);
                if (const auto sitio = dnis.constFind(dni); sitio != dnis.constEnd()) {
                    r.dniRepetido = sitio.value();
                    ++resumen.dniRepetidos;
                } else {
                    dnis.insert(dni, aqui);
                }
            }
            break;
        }
        case Paginas::Estado::SinCodigo:
            ++resumen.sinCodigo;
            break;
        case Paginas::Estado::OtroCodigo:
            ++resumen.otroCodigo;
            break;
        case Paginas::Estado::Error:
            ++resumen.errores;
            Escribir(errores,
                QStringLiteral("%1varelio-lector: %2: %3\n")
                    .arg(o.progreso ? QStringLiteral("\r\033[K") : QString(), p.fichero, h.lectura.error));
            break;
        }
        emitir(Salida::Linea(r, o.formato, o.separador));
        if (o.progreso)
            Escribir(errores, QStringLiteral("\rPágina %1 de %2").arg(k + 1).arg(total));
    }
    for (std::thread& t : trabajadores)
        t.join();
    if (o.progreso && total > 0)
        Escribir(errores, QStringLiteral("\r\033[K"));
    int estado = resumen.estado();
    // A full disk or a closed pipe must not pass for a complete result.
    if (o.salida.isEmpty()) {
        const bool fallo = std::fflush(salida) != 0 || std::ferror(salida);
        const int error = errno ? errno : EIO;
        if (fallo) {
            Escribir(errores,
                QStringLiteral("varelio-lector: no se puede escribir la salida estándar: %1\n")
                    .arg(MotivoError(error)));
            estado = 1;
        }
    }
    if (!o.salida.isEmpty()) {
        if (const ResultadoEscritura escrito = EscribirFicheroSeguro(o.salida, acumulado); !escrito) {
            Escribir(errores,
                QStringLiteral("varelio-lector: no se puede escribir %1: %2\n").arg(o.salida, escrito.motivo()));
            estado = 1;
        }
    }
    Escribir(errores, QStringLiteral("varelio-lector: %1\n").arg(resumen.texto()));
    if (resumenFuera)
        *resumenFuera = resumen;
    return estado;
}

} // namespace Lector
