// varelio-lector: reads the barcodes of scanned or printed applications back
// into their fields (see varelio-lector.1).
#include "lector/Lector.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <getopt.h>
#include <unistd.h>

namespace {

const char* const Ayuda = R"(Uso: varelio-lector [OPCIÓN]... FICHERO|CARPETA...
Lee el código de barras de solicitudes impresas o escaneadas (PDF, PNG, JPEG,
TIFF o BMP) y escribe sus datos, una línea por página, en CSV o JSON Lines.

  -o, --salida=FICHERO     escribe el resultado en FICHERO (por omisión, en la
                           salida estándar)
  -f, --formato=FORMATO    csv (por omisión) o jsonl
  -s, --separador=CARÁCTER separador del CSV (por omisión ','; ';' para hojas
                           de cálculo en español)
  -r, --recursivo          entra en las subcarpetas
  -d, --ppp=N              resolución a la que se dibujan las páginas de un PDF
                           (50 a 1200; por omisión 200)
  -j, --hilos=N            páginas que se leen a la vez (por omisión, una por
                           núcleo)
  -h, --help               muestra esta ayuda y termina
  -V, --version            muestra la versión y termina

Estado de salida: 0 si todas las páginas tienen una solicitud que pasa todas las
comprobaciones; 1 si alguna página no se ha podido leer, no tiene solicitud o no
pasa alguna comprobación; 2 si las opciones no son válidas.
)";

int Uso(const QString& mensaje)
{
    std::fprintf(stderr, "varelio-lector: %s\nPruebe «varelio-lector --help» para más información.\n",
        mensaje.toUtf8().constData());
    return 2;
}

bool Entero(const char* texto, int minimo, int maximo, int* valor)
{
    char* fin = nullptr;
    errno = 0;
    const long v = std::strtol(texto, &fin, 10);
    if (errno || fin == texto || *fin || v < minimo || v > maximo)
        return false;
    *valor = int(v);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    // Image plugins (JPEG, TIFF) are found through the application object; no
    // window system is needed.
    QCoreApplication aplicacion(argc, argv);
    Lector::Opciones o;
    static const option largas[]
        = {{"salida", required_argument, nullptr, 'o'}, {"formato", required_argument, nullptr, 'f'},
            {"separador", required_argument, nullptr, 's'}, {"recursivo", no_argument, nullptr, 'r'},
            {"ppp", required_argument, nullptr, 'd'}, {"hilos", required_argument, nullptr, 'j'},
            {"help", no_argument, nullptr, 'h'}, {"version", no_argument, nullptr, 'V'}, {nullptr, 0, nullptr, 0}};
    opterr = 0;
    bool formatoDado = false;
    for (int c; (c = getopt_long(argc, argv, ":o:f:s:rd:j:hV", largas, nullptr)) != -1;) {
        const QString arg = optarg ? QString::fromLocal8Bit(optarg) : QString();
        switch (c) {
        case 'o':
            o.salida = arg;
            break;
        case 'f':
            formatoDado = true;
            if (arg == u"csv")
                o.formato = Salida::Formato::Csv;
            else if (arg == u"jsonl")
                o.formato = Salida::Formato::JsonLineas;
            else
                return Uso(QStringLiteral("formato desconocido «%1» (csv o jsonl)").arg(arg));
            break;
        case 's':
            if (arg.size() != 1 || arg.at(0) == u'"' || arg.at(0) == u'\r' || arg.at(0) == u'\n')
                return Uso(QStringLiteral("el separador debe ser un solo carácter distinto de las comillas"));
            o.separador = arg.at(0);
            break;
        case 'r':
            o.recursivo = true;
            break;
        case 'd':
            if (!Entero(optarg, 50, 1200, &o.ppp))
                return Uso(QStringLiteral("resolución no válida «%1» (de 50 a 1200)").arg(arg));
            break;
        case 'j':
            if (!Entero(optarg, 1, 256, &o.hilos))
                return Uso(QStringLiteral("número de hilos no válido «%1» (de 1 a 256)").arg(arg));
            break;
        case 'h':
            std::fputs(Ayuda, stdout);
            return 0;
        case 'V':
            std::printf("varelio-lector %s\n", VARELIO_VERSION);
            return 0;
        case ':':
            return Uso(
                QStringLiteral("la opción «%1» necesita un valor").arg(QString::fromLocal8Bit(argv[optind - 1])));
        default:
            return Uso(QStringLiteral("opción no válida «%1»").arg(QString::fromLocal8Bit(argv[optind - 1])));
        }
    }
    if (formatoDado && o.formato != Salida::Formato::Csv && o.separador != u',')
        return Uso(QStringLiteral("--separador solo vale para el formato csv"));
    for (int i = optind; i < argc; ++i)
        o.entradas << QString::fromLocal8Bit(argv[i]);
    if (o.entradas.isEmpty())
        return Uso(QStringLiteral("falta algún fichero o carpeta que leer"));
    o.progreso = isatty(STDERR_FILENO);
    return Lector::Ejecutar(o, stdout, stderr);
}
