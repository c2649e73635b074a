// Text to codewords to painted image to BMP file: the Stelcodex control against
// libzint writing the same text as a PDF417 bitmap; and the same without the file.
#include "ToolOptions.h"

#include <stelcode/Stelcodex.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zint.h>

#include <cstring>

namespace {

QTemporaryDir* tempDir = nullptr;

// A payload like the application's: 30 fields separated by "|", about 300 characters.
QString typicalPayload()
{
    const QString fields = QStringLiteral(
        "u|12345678Z|GARCIA FERNANDEZ DE LA TORRE|MARIA JOSE|19700201|ESPANOLA|915551234|"
        "CALLE DE LOS ALMENDROS NUMERO 14 ESCALERA B|ALCALA DE HENARES|MADRID|28801|"
        "LICENCIADA EN MEDICINA Y CIRUGIA POR LA UNIVERSIDAD COMPLUTENSE DE MADRID, "
        "ESPECIALISTA EN MEDICINA FAMILIAR|1|2|3|4|5|6|7|8|9|10|11|M|S|S|N|"
        "CERTIFICADO DE SERVICIOS|MADRID|07/12/06");
    return fields;
}

QString bytePayload()
{
    QString s;
    for (int i = 0; s.size() < 1000; ++i)
        s += QChar(32 + (i * 37) % 95);
    return s;
}

ToolOptions benchCase(const QString& text, int mode, int columns)
{
    ToolOptions o;
    o.text = text;
    o.textGiven = true;
    o.mode = mode;
    o.columns = columns;
    o.barHeight = 4;
    return o;
}

ToolOptions typicalCase() { return benchCase(typicalPayload(), 1, 15); }
ToolOptions byteCase() { return benchCase(bytePayload(), 0, 30); }

void runStelcode(benchmark::State& state, const ToolOptions& c)
{
    Stelcodex control;
    applyToolOptions(c, control);
    const QSize size = control.sizeHint();
    control.setSize(size.width(), size.height());
    const QString path = tempDir->filePath(QStringLiteral("stelcode"));
    for (auto _ : state) {
        if (control.saveToBMP(path) != 0)
            state.SkipWithError("saveToBMP failed");
    }
    state.counters["rows"] = control.rowCount();
}

void runZint(benchmark::State& state, const ToolOptions& c)
{
    const QByteArray data = c.text.toLatin1();
    const QByteArray path = QFile::encodeName(tempDir->filePath(QStringLiteral("zint.bmp")));
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_PDF417;
        symbol->option_1 = c.ecLevel;   // error-correction level
        symbol->option_2 = c.columns;   // data columns
        symbol->scale = 0.5f;           // one pixel per module
        std::strncpy(symbol->outfile, path.constData(), sizeof(symbol->outfile) - 1);
        const int error = ZBarcode_Encode_and_Print(
            symbol, reinterpret_cast<const unsigned char*>(data.constData()),
            static_cast<int>(data.size()), 0);
        if (error >= ZINT_ERROR)
            state.SkipWithError(symbol->errtxt);
        state.counters["rows"] = symbol->rows;
        ZBarcode_Delete(symbol);
    }
}

// Without the file: text to codewords to the painted image in memory.
void paintStelcode(benchmark::State& state, const ToolOptions& c)
{
    Stelcodex control;
    applyToolOptions(c, control);
    const QSize size = control.sizeHint();
    control.setSize(size.width(), size.height());
    for (auto _ : state) {
        control.paintBarCode();
        benchmark::DoNotOptimize(control.drawingPosition());
    }
}

void bufferZint(benchmark::State& state, const ToolOptions& c)
{
    const QByteArray data = c.text.toLatin1();
    for (auto _ : state) {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_PDF417;
        symbol->option_1 = c.ecLevel;
        symbol->option_2 = c.columns;
        symbol->scale = 0.5f;
        if (ZBarcode_Encode_and_Buffer(symbol, reinterpret_cast<const unsigned char*>(data.constData()),
                                       static_cast<int>(data.size()), 0) >= ZINT_ERROR)
            state.SkipWithError(symbol->errtxt);
        benchmark::DoNotOptimize(symbol->bitmap);
        ZBarcode_Delete(symbol);
    }
}

void BM_Stelcode_TypicalPayload(benchmark::State& state) { runStelcode(state, typicalCase()); }
void BM_Zint_TypicalPayload(benchmark::State& state) { runZint(state, typicalCase()); }
void BM_Stelcode_Byte1000(benchmark::State& state) { runStelcode(state, byteCase()); }
void BM_Zint_Byte1000(benchmark::State& state) { runZint(state, byteCase()); }

void BM_StelcodeImage_TypicalPayload(benchmark::State& state) { paintStelcode(state, typicalCase()); }
void BM_ZintImage_TypicalPayload(benchmark::State& state) { bufferZint(state, typicalCase()); }
void BM_StelcodeImage_Byte1000(benchmark::State& state) { paintStelcode(state, byteCase()); }
void BM_ZintImage_Byte1000(benchmark::State& state) { bufferZint(state, byteCase()); }

BENCHMARK(BM_Stelcode_TypicalPayload);
BENCHMARK(BM_Zint_TypicalPayload);
BENCHMARK(BM_Stelcode_Byte1000);
BENCHMARK(BM_Zint_Byte1000);
BENCHMARK(BM_StelcodeImage_TypicalPayload);
BENCHMARK(BM_ZintImage_TypicalPayload);
BENCHMARK(BM_StelcodeImage_Byte1000);
BENCHMARK(BM_ZintImage_Byte1000);

}  // namespace

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
