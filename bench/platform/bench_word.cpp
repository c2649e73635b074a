// Speed of the embedded word processor on the program's two heavy steps: making
// a stored application (template, every form field, SaveAs) and printing a
// filled application with its barcode to PDF.
#include "tests/support/Fixture.h"
#include "shell/MessageBox.h"
#include "platform/word/DocumentData.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

const char* const TextFields[] = {"NIF", "PRIMERAPELLIDO", "NOMBRE", "FECHANACIMIENTO", "NACIONALIDAD", "TELEFONO",
    "DOMICILIO", "NUM", "PUERTA", "LOCALIDAD", "PROVINCIA", "CPOSTAL", "TITULACION", "AREAAVILA", "AREABURGOS",
    "AREALEON", "AREAELBIERZO", "AREAPALENCIA", "AREASALAMANCA", "AREASEGOVIA", "AREASORIA", "AREAVALLADOLIDESTE",
    "AREAVALLADOLIDOESTE", "AREAZAMORA", "DESCOTROS", "CIUDAD", "DIA", "MES", "AÑO"};
const char* const CheckBoxes[] = {"MEDICO", "ENFERMERO", "ESPECIALISTA", "EXPERIENCIA", "CURSOS", "OTROS"};

QTemporaryDir& work()
{
    static QTemporaryDir dir;
    return dir;
}

// The shipped template when the build has made it, else a small form of our own.
QString templatePath()
{
    const QString shipped = QStringLiteral(VARELIO_PROGRAM_DIR "/ficheros/DOT_10101/PlantillaWXP.dot");
    if (QFileInfo::exists(shipped))
        return shipped;
    const QString own = work().filePath(QStringLiteral("Plantilla.dot"));
    if (!QFileInfo::exists(own))
        fixture::writeDocx(own, fixture::formBody());
    return own;
}

void fill(Word::Document& doc)
{
    Word::FormFieldsCollection& fields = doc.FormFields();
    for (const char* name : TextFields)
        if (fields.Exists(QString::fromUtf8(name)))
            fields.Item(QString::fromUtf8(name)).setResult(QStringLiteral("Valor de %1").arg(QString::fromUtf8(name)));
    for (const char* name : CheckBoxes)
        if (fields.Exists(QString::fromUtf8(name)))
            fields.Item(QString::fromUtf8(name)).CheckBox().setValue(true);
}

void BM_AddFillSaveAs(benchmark::State& state)
{
    auto word = Word::CreateObject();
    const QString templ = templatePath();
    const QString target = work().filePath(QStringLiteral("12345678Z.doc"));
    for (auto _ : state) {
        Word::Document& doc = word->Documents().Add(templ);
        fill(doc);
        doc.SaveAs(target);
        doc.Close(false);
    }
    word->Quit(false);
}
BENCHMARK(BM_AddFillSaveAs)->Unit(benchmark::kMillisecond);

void BM_PrintOutPdf(benchmark::State& state)
{
    auto word = Word::CreateObject();
    Word::Document& doc = word->Documents().Add(templatePath());
    fill(doc);
    doc.SaveAs(work().filePath(QStringLiteral("12345678Z.doc")));
    // A barcode-sized monochrome bitmap of random bars in row 6, column 1 of the third table.
    QImage bars(420, 140, QImage::Format_Mono);
    bars.setDotsPerMeterX(3780);
    bars.setDotsPerMeterY(3780);
    QRandomGenerator random(7);
    for (int x = 0; x < bars.width(); ++x) {
        const uint bit = random.bounded(2);
        for (int y = 0; y < bars.height(); ++y)
            bars.setPixel(x, y, bit);
    }
    const QString bmp = work().filePath(QStringLiteral("codigo.bmp"));
    bars.save(bmp, "BMP");
    if (doc.TablesCount() >= 3) {
        doc.Tables(3).Cell(6, 1).Select();
        Word::TextSelection& sel = word->Selection();
        sel.TypeText(QStringLiteral("\r\n"));
        sel.InlineShapes().AddPicture(bmp, false, true);
        sel.ParagraphFormat().setAlignment(1);
        sel.TypeText(QStringLiteral("\r\n"));
    }
    Word::setPrintOutputPdf(work().filePath(QStringLiteral("copia.pdf")));
    for (auto _ : state)
        word->PrintOut(true);
    Word::setPrintOutputPdf({});
    word->Quit(false);
}
BENCHMARK(BM_PrintOutPdf)->Unit(benchmark::kMillisecond);

// Peak resident memory of the process so far, in MB. Run one case alone
// (--benchmark_filter) for its own figure.
double peakMegabytes()
{
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return double(use.ru_maxrss) / 1024.0;
}

// A stored application whose document part nests `levels` content controls,
// each declaring its own prefixes: opening it is refused (or, below the
// depth limit, done) quickly and in little memory.
void BM_OpenDeeplyNested(benchmark::State& state)
{
    const QString file = work().filePath(QStringLiteral("hondo%1.docx").arg(state.range(0)));
    fixture::writeDocx(file, fixture::nested(int(state.range(0))), false);
    state.counters["file_KB"] = double(QFileInfo(file).size()) / 1024.0;
    auto word = Word::CreateObject();
    for (auto _ : state) {
        try {
            word->Documents().Add(file).Close(false);
        } catch (const Word::Error&) {
        }
    }
    word->Quit(false);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_OpenDeeplyNested)->Arg(100)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);

// The prefix normalisation alone on such a part (past the depth check): its
// memory follows the declarations, not depth times prefixes.
void BM_NormalizeNestedPrefixes(benchmark::State& state)
{
    const QByteArray xml = QStringLiteral("<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/"
                                          "2006/main\"><w:body>%1</w:body></w:document>")
                               .arg(fixture::nested(int(state.range(0))))
                               .toUtf8();
    for (auto _ : state) {
        pugi::xml_document doc;
        doc.load_buffer(xml.constData(), size_t(xml.size()));
        Word::detail::normalizePrefixes(doc);
        benchmark::DoNotOptimize(doc.first_child());
    }
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_NormalizeNestedPrefixes)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MessageBox::setTestMode(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
