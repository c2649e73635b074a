// Stelcode against libzint on the same symbols: same data, columns, rows,
// error-correction level and module sizes (1 pixel a module, rows 3 pixels
// high, 2-pixel quiet zones), so both images have the same size. Each case
// checks that and stops with an error when the shapes differ.
//
// Payload300 is text compaction (the control's mode 1), Payload300Auto the
// automatic mode; libzint always chooses its own compaction, into the same rows.
//
//   Image_*      encode + render to an image in memory (Stelcode: 1 bit a
//                pixel; libzint: ZBarcode_Encode_and_Buffer, 3 bytes a pixel)
//   NewEncode_*  a new encoder object plus one encode (Stelcode: a new
//                Stelcodex control, or the core's encodeBytes, which needs no
//                object; libzint: ZBarcode_Create/Encode/Delete). QWidgetOnly
//                is a bare QWidget made and deleted: the control's floor;
//                QWidgetChildOnly the same inside a window, as a form holds
//                the control.
//   File_*       encode + BMP file (CPU time; the disk's write-back is not the
//                libraries' work, so read the CPU column). WriteOnly_* writes
//                the short text's BMP bytes, made beforehand, with Stelcode's
//                safe write and with a plain open/truncate/write/close as
//                libzint does: the file system's share of the File_* cases.
// Run with --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
// for medians.
#include <stelcode/Encoder.h>
#include <stelcode/Render.h>
#include <stelcode/Stelcodex.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstdio>
#include <cstring>
#include <random>

namespace {

QTemporaryDir* tempDir = nullptr;

struct Case {
    std::string data;
    stelcode::Mode mode;
    int columns;
    int level;
};

// A payload like the application's: 30 fields separated by "|", about 300 characters.
std::string applicationPayload()
{
    return "U|12345678Z|GARCIA FERNANDEZ DE LA TORRE|MARIA JOSE|19700201|ESPANOLA|915551234|"
           "CALLE DE LOS ALMENDROS NUMERO 14 ESCALERA B|ALCALA DE HENARES|MADRID|28801|"
           "LICENCIADA EN MEDICINA Y CIRUGIA POR LA UNIVERSIDAD COMPLUTENSE DE MADRID, "
           "ESPECIALISTA EN MEDICINA FAMILIAR|1|2|3|4|5|6|7|8|9|10|11|M|S|S|N|"
           "CERTIFICADO DE SERVICIOS|MADRID|07/12/06";
}

std::string randomBytes(size_t n, int modulo, int base)
{
    std::mt19937 rng(20061207);
    std::string s;
    for (size_t i = 0; i < n; ++i)
        s += static_cast<char>(base + static_cast<int>(rng() % static_cast<unsigned>(modulo)));
    return s;
}

const Case& shortText()
{
    static const Case c{"This is a test", stelcode::Mode::Auto, 10, 2};
    return c;
}
const Case& payload()
{
    static const Case c{applicationPayload(), stelcode::Mode::Text, 15, 2};
    return c;
}
const Case& payloadAuto()
{
    static const Case c{applicationPayload(), stelcode::Mode::Auto, 15, 2};
    return c;
}
const Case& bytes1000()
{
    static const Case c{randomBytes(1000, 256, 0), stelcode::Mode::Byte, 30, 2};
    return c;
}
const Case& digits1800()
{
    static const Case c{randomBytes(1800, 10, '0'), stelcode::Mode::Numeric, 20, 2};
    return c;
}

std::span<const uint8_t> span(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

stelcode::RenderOptions renderOptions()
{
    stelcode::RenderOptions o;
    o.rowHeight = 3;
    o.leftMargin = o.topMargin = 2;
    return o;
}

stelcode::EncodeResult encode(const Case& c)
{
    return stelcode::encodeBytes(span(c.data), {c.mode, c.columns, c.level, 0});
}

// Stelcode's rows for the case, which libzint is asked to use as well.
int rowsOf(const Case& c) { return encode(c).symbol->rows; }

zint_symbol* zintSymbol(const Case& c, int rows)
{
    zint_symbol* s = ZBarcode_Create();
    s->symbology = BARCODE_PDF417;
    s->input_mode = DATA_MODE; // the bytes as they are
    s->option_1 = c.level;
    s->option_2 = c.columns;
    s->option_3 = rows;
    s->scale = 0.5f;                          // one pixel a module, rows 3 modules high
    s->output_options |= BARCODE_QUIET_ZONES; // 2 modules all round
    return s;
}

bool sameShape(benchmark::State& state, const Case& c, int zintWidth, int zintHeight)
{
    const auto r = encode(c);
    const auto o = renderOptions();
    const int w = stelcode::imageWidth(r.symbol->matrix, o), h = stelcode::imageHeight(r.symbol->matrix, o);
    state.counters["rows"] = r.symbol->rows;
    if (w == zintWidth && h == zintHeight)
        return true;
    state.SkipWithError(("different images: " + std::to_string(w) + "x" + std::to_string(h) + " against "
        + std::to_string(zintWidth) + "x" + std::to_string(zintHeight))
                            .c_str());
    return false;
}

void imageStelcode(benchmark::State& state, const Case& c)
{
    const auto o = renderOptions();
    for (auto _ : state) {
        const auto r = encode(c);
        benchmark::DoNotOptimize(stelcode::rasterize(r.symbol->matrix, o));
    }
    state.counters["rows"] = rowsOf(c);
}

void imageZint(benchmark::State& state, const Case& c)
{
    const int rows = rowsOf(c);
    int w = 0, h = 0;
    for (auto _ : state) {
        zint_symbol* s = zintSymbol(c, rows);
        if (ZBarcode_Encode_and_Buffer(s, span(c.data).data(), static_cast<int>(c.data.size()), 0) >= ZINT_ERROR)
            state.SkipWithError(s->errtxt);
        benchmark::DoNotOptimize(s->bitmap);
        w = s->bitmap_width;
        h = s->bitmap_height;
        ZBarcode_Delete(s);
    }
    sameShape(state, c, w, h);
}

void newEncodeStelcode(benchmark::State& state, const Case& c)
{
    const QString text = QString::fromLatin1(c.data.data(), static_cast<qsizetype>(c.data.size()));
    for (auto _ : state) {
        Stelcodex control;
        control.setPdfcode(text);
        control.setPdfMode(static_cast<int>(c.mode));
        control.setPdfColumns(c.columns);
        control.setPdfECLevel(c.level);
        benchmark::DoNotOptimize(control.codewords());
    }
}

void newEncodeZint(benchmark::State& state, const Case& c)
{
    const int rows = rowsOf(c);
    for (auto _ : state) {
        zint_symbol* s = zintSymbol(c, rows);
        if (ZBarcode_Encode(s, span(c.data).data(), static_cast<int>(c.data.size())) >= ZINT_ERROR)
            state.SkipWithError(s->errtxt);
        ZBarcode_Delete(s);
    }
}

void fileStelcode(benchmark::State& state, const Case& c)
{
    const std::string path = QFile::encodeName(tempDir->filePath("stelcode.bmp")).toStdString();
    const auto o = renderOptions();
    for (auto _ : state) {
        const auto r = encode(c);
        if (stelcode::writeFileSafely(path, stelcode::imageFile(r.symbol->matrix, o, stelcode::ImageFormat::Bmp)) != 0)
            state.SkipWithError("write failed");
    }
}

void fileZint(benchmark::State& state, const Case& c)
{
    const QByteArray path = QFile::encodeName(tempDir->filePath("zint.bmp"));
    const int rows = rowsOf(c);
    for (auto _ : state) {
        zint_symbol* s = zintSymbol(c, rows);
        std::strncpy(s->outfile, path.constData(), sizeof(s->outfile) - 1);
        if (ZBarcode_Encode_and_Print(s, span(c.data).data(), static_cast<int>(c.data.size()), 0) >= ZINT_ERROR)
            state.SkipWithError(s->errtxt);
        ZBarcode_Delete(s);
    }
}

#define STELCODE_CASES(kind)                                                                                           \
    void BM_##kind##_Stelcode_ShortText(benchmark::State& s) { kind##Stelcode(s, shortText()); }                       \
    void BM_##kind##_Zint_ShortText(benchmark::State& s) { kind##Zint(s, shortText()); }                               \
    void BM_##kind##_Stelcode_Payload300(benchmark::State& s) { kind##Stelcode(s, payload()); }                        \
    void BM_##kind##_Zint_Payload300(benchmark::State& s) { kind##Zint(s, payload()); }                                \
    void BM_##kind##_Stelcode_Bytes1000(benchmark::State& s) { kind##Stelcode(s, bytes1000()); }                       \
    void BM_##kind##_Zint_Bytes1000(benchmark::State& s) { kind##Zint(s, bytes1000()); }                               \
    void BM_##kind##_Stelcode_Digits1800(benchmark::State& s) { kind##Stelcode(s, digits1800()); }                     \
    void BM_##kind##_Zint_Digits1800(benchmark::State& s) { kind##Zint(s, digits1800()); }                             \
    BENCHMARK(BM_##kind##_Stelcode_ShortText);                                                                         \
    BENCHMARK(BM_##kind##_Zint_ShortText);                                                                             \
    BENCHMARK(BM_##kind##_Stelcode_Payload300);                                                                        \
    BENCHMARK(BM_##kind##_Zint_Payload300);                                                                            \
    BENCHMARK(BM_##kind##_Stelcode_Bytes1000);                                                                         \
    BENCHMARK(BM_##kind##_Zint_Bytes1000);                                                                             \
    BENCHMARK(BM_##kind##_Stelcode_Digits1800);                                                                        \
    BENCHMARK(BM_##kind##_Zint_Digits1800);                                                                            \
    void BM_##kind##_Stelcode_Payload300Auto(benchmark::State& s) { kind##Stelcode(s, payloadAuto()); }                \
    void BM_##kind##_Zint_Payload300Auto(benchmark::State& s) { kind##Zint(s, payloadAuto()); }                        \
    BENCHMARK(BM_##kind##_Stelcode_Payload300Auto);                                                                    \
    BENCHMARK(BM_##kind##_Zint_Payload300Auto);

STELCODE_CASES(image)
STELCODE_CASES(file)

const Case& shortTextByte()
{
    static const Case c{"This is a test", stelcode::Mode::Byte, 10, 2};
    return c;
}

void newEncodeCore(benchmark::State& state, const Case& c)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(encode(c));
}

void BM_newEncode_QWidgetOnly(benchmark::State& state)
{
    for (auto _ : state) {
        QWidget w;
        benchmark::DoNotOptimize(&w);
    }
}
BENCHMARK(BM_newEncode_QWidgetOnly);

void BM_newEncode_QWidgetChildOnly(benchmark::State& state)
{
    QWidget window;
    for (auto _ : state) {
        QWidget w(&window);
        benchmark::DoNotOptimize(&w);
    }
}
BENCHMARK(BM_newEncode_QWidgetChildOnly);

void BM_newEncode_Core_ShortText(benchmark::State& s) { newEncodeCore(s, shortText()); }
void BM_newEncode_Core_ShortTextByte(benchmark::State& s) { newEncodeCore(s, shortTextByte()); }
BENCHMARK(BM_newEncode_Core_ShortText);
BENCHMARK(BM_newEncode_Core_ShortTextByte);

std::string shortTextBmp()
{
    return stelcode::imageFile(encode(shortText()).symbol->matrix, renderOptions(), stelcode::ImageFormat::Bmp);
}

void BM_file_WriteOnly_StelcodeSafe(benchmark::State& state)
{
    const std::string path = QFile::encodeName(tempDir->filePath("safe.bmp")).toStdString();
    const std::string bytes = shortTextBmp();
    for (auto _ : state)
        if (stelcode::writeFileSafely(path, bytes) != 0)
            state.SkipWithError("write failed");
}
BENCHMARK(BM_file_WriteOnly_StelcodeSafe);

void BM_file_WriteOnly_Truncate(benchmark::State& state)
{
    const QByteArray path = QFile::encodeName(tempDir->filePath("plain.bmp"));
    const std::string bytes = shortTextBmp();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.constData(), "wb");
        if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_file_WriteOnly_Truncate);

void BM_newEncode_Stelcode_ShortText(benchmark::State& s) { newEncodeStelcode(s, shortText()); }
void BM_newEncode_Stelcode_ShortTextByte(benchmark::State& s) { newEncodeStelcode(s, shortTextByte()); }
BENCHMARK(BM_newEncode_Stelcode_ShortTextByte);
void BM_newEncode_Zint_ShortText(benchmark::State& s) { newEncodeZint(s, shortText()); }
BENCHMARK(BM_newEncode_Stelcode_ShortText);
BENCHMARK(BM_newEncode_Zint_ShortText);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    tempDir = &dir;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
