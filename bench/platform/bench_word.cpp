// Speed of the embedded word processor on the program's two heavy steps: making
// a stored application (template, every form field, SaveAs) and printing a
// filled application with its barcode to PDF.
#include "tests/support/Fixture.h"
#include "shell/MessageBox.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

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
