// What the stelcode tool does with its parsed options.
#include "ToolOptions.h"

#include <cerrno>
#include <cstring>

using stelcode::EncodeError;
using stelcode::Mode;

std::string toolUsage()
{
    return "Uso: stelcode [opciones] [texto]\n"
           "Codifica el texto como símbolo PDF417 y lo guarda como imagen BMP, PNG o SVG.\n"
           "Sin texto en la línea de órdenes, lo lee de -i FICHERO o de la entrada estándar.\n"
           "El texto se lee como UTF-8 y se codifica en Windows-1252, un byte por carácter,\n"
           "sin el salto de línea final; con --binary se toman los bytes tal como vienen.\n"
           "\n"
           "  -i, --input FICHERO     lee los datos del fichero (- es la entrada estándar)\n"
           "      --binary            codifica los bytes tal cual, sin leerlos como UTF-8\n"
           "  -o, --output FICHERO    imagen de salida; el formato sale de la extensión\n"
           "                          .bmp, .png o .svg (sin ella se añade la de --format);\n"
           "                          - escribe en la salida estándar\n"
           "      --format FORMATO    bmp, png o svg; por omisión bmp\n"
           "      --codewords         escribe las palabras de código en la salida estándar\n"
           "  -m, --mode MODO         byte (0), text (1), numeric (2) o auto (3, el que dé\n"
           "                          menos palabras de código); por omisión byte\n"
           "  -c, --columns N         columnas de datos, de 1 a 30; por omisión 10\n"
           "  -e, --ec-level N        corrección de errores, de 0 a 8, o auto (el nivel que\n"
           "                          recomienda ISO/IEC 15438 para los datos); por omisión 0\n"
           "  -r, --rows N            filas mínimas, de 0 a 90; por omisión 0\n"
           "  -w, --bar-width N       anchura del módulo en píxeles; por omisión 1\n"
           "  -H, --bar-height N      altura de fila en píxeles; por omisión 7\n"
           "      --left-margin N     margen izquierdo (y derecho) en píxeles; por omisión 10\n"
           "      --top-margin N      margen superior (e inferior) en píxeles; por omisión 10\n"
           "      --back-color RRGGBB color de fondo; por omisión FFFFFF\n"
           "      --fore-color RRGGBB color de las barras; por omisión 000000\n"
           "  -s, --size ANCHOxALTO   tamaño de la imagen; por omisión el del símbolo con\n"
           "                          sus márgenes a ambos lados\n"
           "  -h, --help              muestra esta ayuda\n"
           "  -V, --version           muestra la versión\n"
           "\n"
           "Los valores pueden ir unidos a la opción: -c15, --columns=15.\n"
           "Avisa en la salida de error de cada carácter que el símbolo no lleva tal cual y\n"
           "de las medidas por debajo de las mínimas de ISO/IEC 15438.\n"
           "No escribe a través de enlaces simbólicos ni sustituye ficheros de solo lectura.\n"
           "\n"
           "Estado de salida: 0 correcto (con avisos o sin ellos), 1 los datos no caben o no\n"
           "se pudieron leer, o la imagen no se pudo escribir, 2 opciones no válidas.\n";
}

namespace {

std::string utf8Of(char32_t c)
{
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

std::string describe(char32_t c)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    const bool printable = c >= 0x20 && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c != 0xFFFD;
    return printable ? "«" + utf8Of(c) + "» (" + code + ")" : std::string(code);
}

// No symbol holds more than 2,710 characters: reading stops beyond this.
constexpr size_t kMaxInput = 1 << 20;

bool readAll(std::FILE* f, std::string& data)
{
    char buffer[65536];
    size_t n;
    while (data.size() <= kMaxInput && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        data.append(buffer, n);
    return !std::ferror(f);
}

// The data to encode; an error message when it cannot be read.
std::string readData(const ToolOptions& o, std::FILE* in, std::string& data)
{
    if (o.textGiven) {
        data = o.text;
        return {};
    }
    const bool useStdin = o.inputFile.empty() || o.inputFile == "-";
    std::FILE* f = useStdin ? in : std::fopen(o.inputFile.c_str(), "rb");
    if (!f)
        return "no se pudo leer «" + o.inputFile + "»: " + std::strerror(errno);
    const bool ok = readAll(f, data);
    const int error = errno;
    if (!useStdin)
        std::fclose(f);
    if (!ok)
        return "no se pudieron leer los datos: " + std::string(std::strerror(error));
    if (data.size() > kMaxInput)
        return "los datos pasan de 1 MiB: no caben en un símbolo PDF417.";
    // A text ends where its last line does; binary data is taken whole.
    if (!o.binary && !data.empty() && data.back() == '\n') {
        data.pop_back();
        if (!data.empty() && data.back() == '\r')
            data.pop_back();
    }
    return {};
}

std::string writeError(const std::string& path, int error)
{
    const std::string shown = path.empty() ? "la salida estándar" : "«" + path + "»";
    if (error == ELOOP)
        return "no se escribió " + shown + ": es un enlace simbólico.";
    return "no se pudo escribir " + shown + ": " + std::strerror(error);
}

int writeImage(const ToolOptions& o, const stelcode::Symbol& symbol, std::FILE* out, std::FILE* err)
{
    const OutputTarget target = outputTarget(o);
    const std::string bytes = stelcode::imageFile(symbol.matrix, o.render, target.format);
    if (bytes.empty()) {
        std::fprintf(err, "stelcode: la imagen sería demasiado grande (más de 32767 píxeles).\n");
        return 1;
    }
    int error = 0;
    if (target.path.empty()) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()
            || std::fflush(out) != 0)
            error = errno ? errno : EIO;
    } else {
        error = stelcode::writeFileSafely(target.path, bytes);
    }
    if (error != 0) {
        std::fprintf(err, "stelcode: %s\n", writeError(target.path, error).c_str());
        return 1;
    }
    return 0;
}

}  // namespace

std::vector<std::string> toolWarnings(const ToolOptions& o, const stelcode::EncodeResult& result)
{
    std::vector<std::string> warnings;
    for (const stelcode::Unencoded& u : result.unencoded) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(u.character & 0xFF));
        const std::string what
            = (o.binary ? "el byte " + std::string(byte) : "el carácter " + describe(u.character))
            + " en la posición " + std::to_string(u.index + 1);
        warnings.push_back(u.replaced ? what + " no existe en Windows-1252: va como byte 0"
                                      : what + " no cabe en el modo texto: se omite");
    }
    const stelcode::RenderOptions& r = o.render;
    if (r.rowHeight < 3 * r.moduleWidth)
        warnings.push_back("filas de " + std::to_string(r.rowHeight)
            + " píxeles: ISO/IEC 15438 pide al menos 3 módulos ("
            + std::to_string(3 * r.moduleWidth) + " píxeles)");
    if (r.leftMargin < 2 * r.moduleWidth || r.topMargin < 2 * r.moduleWidth)
        warnings.push_back("márgenes por debajo de 2 módulos (" + std::to_string(2 * r.moduleWidth)
            + " píxeles): ISO/IEC 15438 pide esa zona en blanco alrededor");
    if (result.symbol && (r.width > 0 || r.height > 0)) {
        stelcode::RenderOptions natural = r;
        natural.width = natural.height = 0;
        const auto& m = result.symbol->matrix;
        if (stelcode::imageWidth(m, r) < stelcode::imageWidth(m, natural)
            || stelcode::imageHeight(m, r) < stelcode::imageHeight(m, natural))
            warnings.push_back("la imagen es menor que el símbolo con sus márgenes: queda cortado");
    }
    return warnings;
}

int runTool(const std::vector<std::string>& args, std::FILE* in, std::FILE* out, std::FILE* err)
{
    const ToolParse parsed = parseToolOptions(args);
    if (!parsed.options) {
        std::fprintf(err, "stelcode: %s\nPruebe «stelcode --help».\n", parsed.error.c_str());
        return 2;
    }
    const ToolOptions& o = *parsed.options;
    if (o.help || o.version) {
        std::fputs(o.help ? toolUsage().c_str() : "", out);
        if (o.version)
            std::fprintf(out, "stelcode %s\n", stelcode::version());
        return 0;
    }
    std::string data;
    if (std::string error = readData(o, in, data); !error.empty()) {
        std::fprintf(err, "stelcode: %s\n", error.c_str());
        return 1;
    }
    const auto* raw = reinterpret_cast<const uint8_t*>(data.data());
    stelcode::EncodeResult result = o.binary ? stelcode::encodeBytes({raw, data.size()}, o.encode)
                                             : stelcode::encodeText(data, o.encode);
    if (o.binary
        && o.encode.mode == Mode::Text)  // text compaction drops what is not printable ASCII
        for (size_t i = 0; i < data.size(); ++i)
            if (raw[i] < 32 || raw[i] > 126)
                result.unencoded.push_back({i, raw[i], false});
    for (const std::string& w : toolWarnings(o, result))
        std::fprintf(err, "stelcode: aviso: %s.\n", w.c_str());
    if (!result) {
        if (result.error == EncodeError::NotNumeric)
            std::fprintf(err, "stelcode: el modo numérico solo admite los dígitos 0 a 9.\n");
        else
            std::fprintf(err,
                "stelcode: el texto no cabe en un símbolo PDF417 con estas opciones "
                "(como mucho 90 filas y 928 palabras de código).\n");
        return 1;
    }
    if (o.printCodewords) {
        std::string line;
        for (const int16_t w : result.symbol->codewords)
            line += (line.empty() ? "" : " ") + std::to_string(w);
        std::fprintf(out, "%s\n", line.c_str());
        std::fflush(out);
    }
    return o.output.empty() ? 0 : writeImage(o, *result.symbol, out, err);
}
