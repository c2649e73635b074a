#include "ToolOptions.h"

#include <algorithm>
#include <charconv>
#include <cstring>

using stelcode::ImageFormat;
using stelcode::Mode;

namespace {

struct IntOption
{
    const char* longName;
    char shortName;
    int min;
    int max;
    int* (*field)(ToolOptions&);
};

const IntOption kIntOptions[] = {
    {"columns", 'c', 1, 30, [](ToolOptions& o) { return &o.encode.columns; }},
    {"rows", 'r', 0, 90, [](ToolOptions& o) { return &o.encode.minRows; }},
    {"bar-width", 'w', 1, 100, [](ToolOptions& o) { return &o.render.moduleWidth; }},
    {"bar-height", 'H', 1, 1000, [](ToolOptions& o) { return &o.render.rowHeight; }},
    {"left-margin", 0, 0, 1000, [](ToolOptions& o) { return &o.render.leftMargin; }},
    {"top-margin", 0, 0, 1000, [](ToolOptions& o) { return &o.render.topMargin; }},
};

// Options that take a value, long names; short letters map onto them.
const char* const kValued[]
    = {"input", "output", "format", "mode", "ec-level", "back-color", "fore-color", "size"};

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::optional<int> toInt(const std::string& v)
{
    int n = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
    if (ec != std::errc() || end != v.data() + v.size() || v.empty())
        return std::nullopt;
    return n;
}

std::optional<Mode> parseMode(const std::string& v)
{
    const std::string m = lower(v);
    if (m == "0" || m == "byte" || m == "binario")
        return Mode::Byte;
    if (m == "1" || m == "text" || m == "texto")
        return Mode::Text;
    if (m == "2" || m == "numeric" || m == "numerico" || m == "numérico")
        return Mode::Numeric;
    if (m == "3" || m == "auto")
        return Mode::Auto;
    return std::nullopt;
}

std::optional<ImageFormat> parseFormat(const std::string& v)
{
    const std::string f = lower(v);
    if (f == "bmp")
        return ImageFormat::Bmp;
    if (f == "png")
        return ImageFormat::Png;
    if (f == "svg")
        return ImageFormat::Svg;
    return std::nullopt;
}

// "RRGGBB" or "#RRGGBB".
std::optional<uint32_t> parseColor(std::string v)
{
    if (!v.empty() && v[0] == '#')
        v.erase(0, 1);
    uint32_t rgb = 0;
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), rgb, 16);
    if (v.size() != 6 || ec != std::errc() || end != v.data() + v.size())
        return std::nullopt;
    return rgb;
}

bool parseSize(const std::string& v, ToolOptions& o)
{
    const size_t x = lower(v).find('x');
    if (x == std::string::npos)
        return false;
    const auto w = toInt(v.substr(0, x)), h = toInt(v.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > 32767 || *h > 32767)
        return false;
    o.render.width = *w;
    o.render.height = *h;
    return true;
}

std::string longNameOf(char c)
{
    switch (c) {
    case 'i':
        return "input";
    case 'o':
        return "output";
    case 'm':
        return "mode";
    case 'e':
        return "ec-level";
    case 's':
        return "size";
    case 'h':
        return "help";
    case 'V':
        return "version";
    default:
        break;
    }
    for (const IntOption& opt : kIntOptions)
        if (opt.shortName == c)
            return opt.longName;
    return {};
}

// Applies one option with its value; an error message, or empty.
std::string applyValue(
    const std::string& name, const std::string& v, const std::string& arg, ToolOptions& o)
{
    if (name == "input") {
        o.inputFile = v;
    } else if (name == "output") {
        if (v.empty())
            return "El nombre del fichero de salida está vacío.";
        o.output = v;
    } else if (name == "format") {
        if (!(o.format = parseFormat(v)))
            return "Formato no válido: " + v + " (use bmp, png o svg).";
    } else if (name == "mode") {
        const auto mode = parseMode(v);
        if (!mode)
            return "Modo no válido: " + v + " (use byte, text, numeric o auto).";
        o.encode.mode = *mode;
    } else if (name == "ec-level") {
        const auto level = toInt(v);
        if (lower(v) == "auto")
            o.encode.ecLevel = stelcode::kAutoLevel;
        else if (level && *level >= 0 && *level <= 8)
            o.encode.ecLevel = *level;
        else
            return "Valor no válido para --ec-level: " + v + " (de 0 a 8, o auto).";
    } else if (name == "back-color" || name == "fore-color") {
        const auto color = parseColor(v);
        if (!color)
            return "Color no válido: " + v + " (use RRGGBB en hexadecimal).";
        (name == "back-color" ? o.render.spaceColor : o.render.barColor) = *color;
    } else if (name == "size") {
        if (!parseSize(v, o))
            return "Tamaño no válido: " + v + " (use ANCHOxALTO en píxeles).";
    } else {
        for (const IntOption& opt : kIntOptions) {
            if (name != opt.longName)
                continue;
            const auto n = toInt(v);
            if (!n || *n < opt.min || *n > opt.max)
                return "Valor no válido para --" + name + ": " + v + " (de "
                    + std::to_string(opt.min) + " a " + std::to_string(opt.max) + ").";
            *opt.field(o) = *n;
            return {};
        }
        return "Opción desconocida: " + arg;
    }
    return {};
}

bool takesValue(const std::string& name)
{
    return std::any_of(
               std::begin(kValued), std::end(kValued), [&](const char* n) { return name == n; })
        || std::any_of(std::begin(kIntOptions), std::end(kIntOptions),
            [&](const IntOption& opt) { return name == opt.longName; });
}

}  // namespace

ToolParse parseToolOptions(const std::vector<std::string>& args)
{
    ToolOptions o;
    auto fail = [](std::string message) { return ToolParse{std::nullopt, std::move(message)}; };
    const std::string tooMany = "Sobran argumentos: ponga el texto entre comillas.";
    bool onlyText = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!onlyText && arg == "--") {
            onlyText = true;
            continue;
        }
        if (onlyText || arg.empty() || arg[0] != '-' || arg == "-") {
            if (o.textGiven)
                return fail(tooMany);
            if (arg != "-" || onlyText) {
                o.text = arg;
                o.textGiven = true;
            }
            continue;
        }
        // "--name=value", "--name value", "-x value" and "-xvalue".
        std::string name;
        std::optional<std::string> inlineValue;
        if (arg.rfind("--", 0) == 0) {
            name = arg.substr(2);
            if (const size_t eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
        } else {
            name = longNameOf(arg[1]);
            if (arg.size() > 2)
                inlineValue = arg.substr(2);
        }
        if (name == "help" || name == "version" || name == "binary" || name == "codewords") {
            if (inlineValue)
                return fail("La opción " + arg + " no lleva valor.");
            (name == "help"             ? o.help
                    : name == "version" ? o.version
                    : name == "binary"  ? o.binary
                                        : o.printCodewords)
                = true;
            continue;
        }
        if (!takesValue(name))
            return fail("Opción desconocida: " + arg);
        if (!inlineValue && i + 1 >= args.size())
            return fail("Falta el valor de la opción " + arg + ".");
        const std::string value = inlineValue ? *inlineValue : args[++i];
        if (std::string error = applyValue(name, value, arg, o); !error.empty())
            return fail(error);
    }
    if (o.help || o.version)
        return {o, {}};
    if (o.textGiven && !o.inputFile.empty())
        return fail("Dé el texto como argumento o con -i, no de las dos formas.");
    if (o.output.empty() && !o.printCodewords)
        return fail(
            "Indique el fichero de salida (-o) o pida las palabras de código (--codewords).");
    if (o.output == "-" && o.printCodewords)
        return fail("Con -o - la salida estándar lleva la imagen: no pida también --codewords.");
    return {o, {}};
}

OutputTarget outputTarget(const ToolOptions& o)
{
    OutputTarget target;
    if (o.output == "-") {
        target.format = o.format.value_or(ImageFormat::Bmp);
        return target;
    }
    target.path = o.output;
    const size_t dot = o.output.find_last_of("./");
    const auto byExtension = dot != std::string::npos && o.output[dot] == '.'
        ? parseFormat(o.output.substr(dot + 1))
        : std::nullopt;
    if (byExtension) {
        target.format = *byExtension;
    } else {
        target.format = o.format.value_or(ImageFormat::Bmp);
        static const char* const extensions[] = {".bmp", ".png", ".svg"};
        target.path += extensions[static_cast<int>(target.format)];
    }
    return target;
}
