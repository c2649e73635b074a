#include "ToolOptions.h"

#include <stelcode/Stelcodex.h>

#include <QRegularExpression>

namespace {

struct IntOption {
    const char* longName;
    char shortName;
    int ToolOptions::*field;
    int min;
    int max;
};

const IntOption kIntOptions[] = {
    {"columns", 'c', &ToolOptions::columns, 1, 30},
    {"ec-level", 'e', &ToolOptions::ecLevel, 0, 8},
    {"rows", 'r', &ToolOptions::rows, 0, 90},
    {"bar-width", 'w', &ToolOptions::barWidth, 1, 100},
    {"bar-height", 'h', &ToolOptions::barHeight, 1, 1000},
    {"left-margin", 0, &ToolOptions::leftMargin, 0, 1000},
    {"top-margin", 0, &ToolOptions::topMargin, 0, 1000},
};

std::optional<int> parseMode(const QString& v)
{
    const QString m = v.toLower();
    if (m == "0" || m == "byte" || m == "binario")
        return 0;
    if (m == "1" || m == "text" || m == "texto")
        return 1;
    if (m == "2" || m == "numeric" || m == "numerico" || m == QStringLiteral("numérico"))
        return 2;
    return std::nullopt;
}

// "RRGGBB" or "#RRGGBB" to 0x00BBGGRR.
std::optional<quint32> parseColor(const QString& v)
{
    static const QRegularExpression hex(QStringLiteral("^#?([0-9A-Fa-f]{6})$"));
    const auto match = hex.match(v);
    if (!match.hasMatch())
        return std::nullopt;
    const uint rgb = match.captured(1).toUInt(nullptr, 16);
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

std::optional<QSize> parseSize(const QString& v)
{
    static const QRegularExpression wxh(QStringLiteral("^(\\d{1,5})[xX](\\d{1,5})$"));
    const auto match = wxh.match(v);
    if (!match.hasMatch())
        return std::nullopt;
    const int w = match.captured(1).toInt();
    const int h = match.captured(2).toInt();
    if (w < 1 || h < 1 || w > 32767 || h > 32767)
        return std::nullopt;
    return QSize(w, h);
}

}  // namespace

ToolParse parseToolOptions(const QStringList& args)
{
    ToolOptions o;
    auto fail = [](const QString& message) { return ToolParse{std::nullopt, message}; };

    for (qsizetype i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (arg == "--") {
            if (i + 2 < args.size() || o.textGiven)
                return fail(QStringLiteral("Sobran argumentos: ponga el texto entre comillas."));
            if (i + 1 < args.size()) {
                o.text = args[i + 1];
                o.textGiven = true;
            }
            break;
        }
        if (!arg.startsWith('-') || arg == "-") {
            if (o.textGiven)
                return fail(QStringLiteral("Sobran argumentos: ponga el texto entre comillas."));
            if (arg != "-") {
                o.text = arg;
                o.textGiven = true;
            }
            continue;
        }
        // Split "--name=value" and map short names to long ones.
        QString name;
        std::optional<QString> inlineValue;
        if (arg.startsWith("--")) {
            name = arg.mid(2);
            const qsizetype eq = name.indexOf('=');
            if (eq >= 0) {
                inlineValue = name.mid(eq + 1);
                name = name.left(eq);
            }
        } else if (arg.size() == 2) {
            static const QHash<QChar, QString> shortNames{
                {'o', "output"}, {'m', "mode"},      {'c', "columns"},   {'e', "ec-level"},
                {'r', "rows"},   {'w', "bar-width"}, {'h', "bar-height"}, {'s', "size"}};
            name = shortNames.value(arg[1]);
        }
        if (name == "help" || arg == "-?") {
            o.help = true;
            continue;
        }
        if (name == "codewords") {
            o.printCodewords = true;
            continue;
        }
        auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < args.size())
                return args[++i];
            return std::nullopt;
        };
        const auto known = [&](const char* n) { return name == QLatin1String(n); };
        const bool takesValue = known("output") || known("mode") || known("back-color")
            || known("fore-color") || known("size")
            || std::any_of(std::begin(kIntOptions), std::end(kIntOptions),
                           [&](const IntOption& opt) { return known(opt.longName); });
        if (!takesValue)
            return fail(QStringLiteral("Opción desconocida: %1").arg(arg));
        const auto v = value();
        if (!v)
            return fail(QStringLiteral("Falta el valor de la opción %1.").arg(arg));

        if (known("output")) {
            o.output = *v;
            if (o.output.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
                o.output.chop(4);
            if (o.output.isEmpty())
                return fail(QStringLiteral("El nombre del fichero de salida está vacío."));
        } else if (known("mode")) {
            const auto mode = parseMode(*v);
            if (!mode)
                return fail(QStringLiteral("Modo no válido: %1 (use byte, text o numeric).").arg(*v));
            o.mode = *mode;
        } else if (known("back-color") || known("fore-color")) {
            const auto color = parseColor(*v);
            if (!color)
                return fail(QStringLiteral("Color no válido: %1 (use RRGGBB en hexadecimal).").arg(*v));
            (known("back-color") ? o.backColor : o.foreColor) = *color;
        } else if (known("size")) {
            const auto size = parseSize(*v);
            if (!size)
                return fail(QStringLiteral("Tamaño no válido: %1 (use ANCHOxALTO en píxeles).").arg(*v));
            o.size = *size;
        } else {
            for (const IntOption& opt : kIntOptions) {
                if (!known(opt.longName))
                    continue;
                bool ok = false;
                const int n = v->toInt(&ok);
                if (!ok || n < opt.min || n > opt.max)
                    return fail(QStringLiteral("Valor no válido para --%1: %2 (de %3 a %4).")
                                    .arg(QLatin1String(opt.longName), *v)
                                    .arg(opt.min)
                                    .arg(opt.max));
                o.*opt.field = n;
            }
        }
    }
    if (!o.help && o.output.isEmpty() && !o.printCodewords)
        return fail(QStringLiteral("Indique el fichero de salida (-o) o pida las palabras de código (--codewords)."));
    return {o, {}};
}

QString toolUsage()
{
    return QStringLiteral(
        "Uso: stelcode [opciones] [texto]\n"
        "Dibuja el texto como símbolo PDF417 en un fichero BMP. Sin texto, lo lee de la\n"
        "entrada estándar (sin el salto de línea final).\n"
        "\n"
        "  -o, --output FICHERO    fichero BMP de salida (se añade .bmp si falta)\n"
        "      --codewords         escribe las palabras de código en la salida estándar\n"
        "  -m, --mode MODO         byte (0), text (1) o numeric (2); por omisión byte\n"
        "  -c, --columns N         columnas de datos, de 1 a 30; por omisión 10\n"
        "  -e, --ec-level N        nivel de corrección de errores, de 0 a 8; por omisión 0\n"
        "  -r, --rows N            filas mínimas, de 0 a 90; por omisión 0\n"
        "  -w, --bar-width N       anchura del módulo en píxeles; por omisión 1\n"
        "  -h, --bar-height N      altura de fila en píxeles; por omisión 7\n"
        "      --left-margin N     margen izquierdo en píxeles; por omisión 10\n"
        "      --top-margin N      margen superior en píxeles; por omisión 10\n"
        "      --back-color RRGGBB color de fondo; por omisión FFFFFF\n"
        "      --fore-color RRGGBB color de las barras; por omisión 000000\n"
        "  -s, --size ANCHOxALTO   tamaño del mapa de bits; por omisión el del símbolo\n"
        "                          con sus márgenes a ambos lados\n"
        "      --help              muestra esta ayuda\n"
        "\n"
        "Estado de salida: 0 correcto, 1 el texto no cabe o no se pudo escribir,\n"
        "2 opciones no válidas.\n");
}

void applyToolOptions(const ToolOptions& o, Stelcodex& control)
{
    if (o.textGiven)
        control.setPdfcode(o.text);
    control.setPdfMode(o.mode);
    control.setPdfColumns(o.columns);
    control.setPdfECLevel(o.ecLevel);
    control.setPdfRows(o.rows);
    control.setPdfbarWidth(o.barWidth);
    control.setPdfbarHeight(o.barHeight);
    control.setPdfleftMargin(o.leftMargin);
    control.setPdftopMargin(o.topMargin);
    control.setPdfbackColor(o.backColor);
    control.setPdfforeColor(o.foreColor);
}
