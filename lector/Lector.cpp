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

// Decodes the pages on worker threads and hands them back in input order.
// The workers stay at most `adelanto` pages ahead of the one taken last, so
// memory does not grow with the number of pages.
class Cadena {
public:
    Cadena(const std::vector<Paginas::Pagina>& paginas, int hilosPedidos, int ppp)
        : paginas_(paginas), hechos_(paginas.size())
    {
        unsigned hilos = hilosPedidos > 0 ? unsigned(hilosPedidos) : std::max(1u, std::thread::hardware_concurrency());
        hilos = unsigned(std::min<std::size_t>(hilos, std::max<std::size_t>(paginas.size(), 1)));
        adelanto_ = 4 * std::size_t(hilos) + 16;
        for (unsigned i = 0; i < hilos; ++i)
            trabajadores_.emplace_back([this, ppp] { Trabajar(ppp); });
    }
    ~Cadena()
    {
        siguiente_ = paginas_.size(); // no new page is started
        {
            std::lock_guard bloqueo(cerrojo_);
            tomadas_ = paginas_.size(); // a worker still waiting finishes its page and ends
        }
        listo_.notify_all();
        for (std::thread& t : trabajadores_)
            t.join();
    }

    // The k-th page's result, once it is ready; pages are taken in order.
    Hecho Tomar(std::size_t k)
    {
        Hecho h;
        {
            std::unique_lock bloqueo(cerrojo_);
            listo_.wait(bloqueo, [&] { return hechos_[k].has_value(); });
            h = std::move(*hechos_[k]);
            hechos_[k].reset();
            tomadas_ = k + 1;
        }
        listo_.notify_all();
        return h;
    }

private:
    void Trabajar(int ppp)
    {
        Paginas::Decodificador decodificador(ppp);
        for (;;) {
            const std::size_t k = siguiente_.fetch_add(1);
            if (k >= paginas_.size())
                return;
            {
                std::unique_lock bloqueo(cerrojo_);
                listo_.wait(bloqueo, [&] { return k < tomadas_ + adelanto_; });
            }
            Hecho h;
            h.lectura = decodificador.Leer(paginas_[k]);
            if (h.lectura.estado == Paginas::Estado::Solicitud)
                h.solicitud = DatosLeidos::Leer(h.lectura.contenido);
            {
                std::lock_guard bloqueo(cerrojo_);
                hechos_[k] = std::move(h);
            }
            listo_.notify_all();
        }
    }

    const std::vector<Paginas::Pagina>& paginas_;
    std::vector<std::optional<Hecho>> hechos_;
    std::mutex cerrojo_;
    std::condition_variable listo_;
    std::atomic<std::size_t> siguiente_{0};
    std::size_t tomadas_ = 0;
    std::size_t adelanto_ = 0;
    std::vector<std::thread> trabajadores_;
};

// Counts one page in the summary; an application's DNI seen before marks the record.
void Contar(
    const Paginas::Pagina& p, const Hecho& h, Resumen& resumen, QHash<QString, QString>& dnis, Salida::Registro& r)
{
    ++resumen.paginas;
    switch (h.lectura.estado) {
    case Paginas::Estado::Solicitud: {
        ++resumen.solicitudes;
        if (!h.solicitud->valida())
            ++resumen.conFallos;
        const QString dni = h.solicitud->legibles[CamposCodigo::Nif].trimmed().toUpper();
        if (dni.isEmpty())
            break;
        if (const auto sitio = dnis.constFind(dni); sitio != dnis.constEnd()) {
            r.dniRepetido = sitio.value();
            ++resumen.dniRepetidos;
        } else {
            dnis.insert(dni, QStringLiteral("%1:%2").arg(p.fichero).arg(p.numero));
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
        break;
    }
}

// Finishes the output; false (with the message written) when the records did not all get out.
// A full disk or a closed pipe must not pass for a complete result.
bool Terminar(const Opciones& o, std::FILE* salida, std::FILE* errores, const QByteArray& acumulado)
{
    if (o.salida.isEmpty()) {
        errno = 0;
        if (std::fflush(salida) == 0 && !std::ferror(salida))
            return true;
        const int error = errno ? errno : EIO;
        Escribir(errores,
            QStringLiteral("varelio-lector: no se puede escribir la salida estándar: %1\n").arg(MotivoError(error)));
        return false;
    }
    if (const ResultadoEscritura escrito = EscribirFicheroSeguro(o.salida, acumulado); !escrito) {
        Escribir(
            errores, QStringLiteral("varelio-lector: no se puede escribir %1: %2\n").arg(o.salida, escrito.motivo()));
        return false;
    }
    return true;
}

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
    {
        Cadena cadena(paginas, o.hilos, o.ppp);
        for (std::size_t k = 0; k < paginas.size(); ++k) {
            const Hecho h = cadena.Tomar(k);
            const Paginas::Pagina& p = paginas[k];
            Salida::Registro r{&p, &h.lectura, h.solicitud ? &*h.solicitud : nullptr, {}};
            Contar(p, h, resumen, dnis, r);
            if (h.lectura.estado == Paginas::Estado::Error)
                Escribir(errores,
                    QStringLiteral("%1varelio-lector: %2: %3\n")
                        .arg(o.progreso ? QStringLiteral("\r\033[K") : QString(), p.fichero, h.lectura.error));
            emitir(Salida::Linea(r, o.formato, o.separador));
            if (o.progreso)
                Escribir(errores, QStringLiteral("\rPágina %1 de %2").arg(k + 1).arg(paginas.size()));
        }
    }
    if (o.progreso && !paginas.empty())
        Escribir(errores, QStringLiteral("\r\033[K"));
    int estado = resumen.estado();
    if (!Terminar(o, salida, errores, acumulado))
        estado = 1;
    Escribir(errores, QStringLiteral("varelio-lector: %1\n").arg(resumen.texto()));
    if (resumenFuera)
        *resumenFuera = resumen;
    return estado;
}

} // namespace Lector
