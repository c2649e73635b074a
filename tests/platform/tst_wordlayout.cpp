// Page layout of the embedded word processor: what a printed or viewed page holds
// and where.
#include "tests/support/Fixture.h"
#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

using namespace Word::detail;
using fixture::para;
using fixture::run;

namespace {

// Page 11906 x 16838 twips, margins 1417 top and bottom, 1701 left and right.
constexpr double Left = 1701, Right = 11906 - 1701, Top = 1417, Bottom = 16838 - 1417;

QString sect(const QString& extra = {})
{
    return QStringLiteral(
        "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/>%1<w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
        "<w:pgMar w:top=\"1417\" w:right=\"1701\" w:bottom=\"1417\" w:left=\"1701\" w:header=\"708\" "
        "w:footer=\"708\"/></w:sectPr>")
        .arg(extra);
}

} // namespace

class tst_wordlayout : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    std::unique_ptr<Word::DocumentData> doc;
    // Fonts are measured in twips, so a page's text operations can be checked
    // against its margins.
    Rendering lay(const QString& body)
    {
        const QString file = dir.filePath(QStringLiteral("d.docx"));
        fixture::writeDocx(file, body, false);
        doc = Word::DocumentData::load(file);
        return Rendering::layout(*doc);
    }
    static std::vector<TextOp> texts(Rendering& r, int page)
    {
        std::vector<TextOp> out;
        for (const Op& op : r.pages()[size_t(page)].ops)
            if (const auto* t = std::get_if<TextOp>(&op))
                out.push_back(*t);
        return out;
    }
    template <typename T> static std::vector<T> all(Rendering& r)
    {
        std::vector<T> out;
        for (const Page& p : r.pages())
            for (const Op& op : p.ops)
                if (const auto* t = std::get_if<T>(&op))
                    out.push_back(*t);
        return out;
    }

private slots:
    void textFlowsWithinTheMarginsOverPages()
    {
        QString body;
        for (int i = 0; i < 120; ++i)
            body += para(run(QStringLiteral("Párrafo %1: una frase larga que ocupa más de una línea en la página, "
                                            "con palabras suficientes para que el texto tenga que partirse.")
                                 .arg(i)));
        Rendering r = lay(body + sect());
        QVERIFY(r.pageCount() >= 3);
        for (int p = 0; p < r.pageCount(); ++p)
            for (const TextOp& t : texts(r, p)) {
                if (t.text.startsWith(QLatin1String("Cabecera")))
                    continue;
                QVERIFY2(t.baseline.x() >= Left - 1 && t.baseline.y() > Top && t.baseline.y() <= Bottom,
                    qPrintable(QStringLiteral("page %1 at %2,%3").arg(p).arg(t.baseline.x()).arg(t.baseline.y())));
            }
        // Nothing is lost between pages.
        const QString text = r.text();
        QVERIFY(text.contains(QStringLiteral("Párrafo 0:")));
        QVERIFY(text.contains(QStringLiteral("Párrafo 119:")));
        // The header is on every page.
        for (int p = 0; p < r.pageCount(); ++p) {
            bool header = false;
            for (const TextOp& t : texts(r, p))
                header = header || (t.text.startsWith(QLatin1String("Cabecera")) && t.baseline.y() < Top);
            QVERIFY(header);
        }
    }

    void alignmentPlacesLines()
    {
        const QString words
            = QStringLiteral("uno dos tres cuatro cinco seis siete ocho nueve diez once doce trece catorce quince "
                             "dieciséis diecisiete dieciocho diecinueve veinte veintiuno veintidós veintitrés");
        Rendering r = lay(para(run(QStringLiteral("Centro")), QStringLiteral("<w:pPr><w:jc w:val=\"center\"/></w:pPr>"))
            + para(run(QStringLiteral("Derecha")), QStringLiteral("<w:pPr><w:jc w:val=\"right\"/></w:pPr>"))
            + para(run(words), QStringLiteral("<w:pPr><w:jc w:val=\"both\"/></w:pPr>")) + sect());
        std::vector<TextOp> t = texts(r, 0);
        auto find = [&](const QString& s) {
            for (const TextOp& op : t)
                if (op.text.startsWith(s))
                    return op;
            return TextOp{};
        };
        const TextOp centre = find(QStringLiteral("Centro")), right = find(QStringLiteral("Derecha"));
        QVERIFY(qAbs(centre.baseline.x() - (Left + Right) / 2) < 800);
        QVERIFY(centre.baseline.x() > Left + 3000);
        QVERIFY(right.baseline.x() > centre.baseline.x());
        // Justified: the first line's words are spread, so its last word ends near the right margin.
        const TextOp first = find(QStringLiteral("uno"));
        double lastX = 0;
        for (const TextOp& op : t)
            if (qFuzzyCompare(op.baseline.y(), first.baseline.y()) && op.baseline.x() > lastX)
                lastX = op.baseline.x();
        QVERIFY(lastX > Right - 1500);
    }

    void tablesFollowTheirGrid()
    {
        const QString tbl = QStringLiteral(
            "<w:tbl><w:tblPr><w:tblBorders><w:top w:val=\"single\" w:sz=\"8\"/><w:left w:val=\"single\" w:sz=\"8\"/>"
            "<w:bottom w:val=\"single\" w:sz=\"8\"/><w:right w:val=\"single\" w:sz=\"8\"/>"
            "<w:insideH w:val=\"nil\"/><w:insideV w:val=\"single\" w:sz=\"4\"/></w:tblBorders></w:tblPr>"
            "<w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"1000\"/></w:tblGrid>"
            "<w:tr><w:trPr><w:trHeight w:val=\"900\" w:hRule=\"exact\"/></w:trPr>"
            "<w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr>%1</w:tc><w:tc>%2</w:tc></w:tr>"
            "<w:tr><w:tc>%3</w:tc><w:tc><w:tcPr><w:tcBorders><w:bottom w:val=\"none\"/></w:tcBorders>"
            "<w:shd w:val=\"clear\" w:fill=\"D9D9D9\"/></w:tcPr>%4</w:tc><w:tc>%5</w:tc></w:tr></w:tbl>")
                                .arg(para(run(QStringLiteral("ancha"))), para(run(QStringLiteral("c"))),
                                    para(run(QStringLiteral("a"))), para(run(QStringLiteral("b"))),
                                    para(run(QStringLiteral("d"))));
        Rendering r = lay(tbl + para(QString()) + sect());
        std::vector<double> verticals;
        int horizontals = 0;
        for (const LineOp& l : all<LineOp>(r)) {
            if (qFuzzyCompare(l.line.x1(), l.line.x2()))
                verticals.push_back(l.line.x1() - Left);
            else
                ++horizontals;
        }
        std::sort(verticals.begin(), verticals.end());
        verticals.erase(
            std::unique(verticals.begin(), verticals.end(), [](double a, double b) { return qAbs(a - b) < 1; }),
            verticals.end());
        QCOMPARE(verticals, (std::vector<double>{0, 2000, 5000, 6000}));
        // Top of both rows' outer cells, the bottom of two of the last row's three
        // cells; the inside horizontal lines are off.
        QCOMPARE(horizontals, 2 + 2);
        QCOMPARE(int(all<FillOp>(r).size()), 1);
        // The exact first row is 900 high: the second row's text starts below it.
        double yWide = 0, yA = 0;
        for (const TextOp& t : all<TextOp>(r)) {
            if (t.text == QLatin1String("ancha"))
                yWide = t.baseline.y();
            if (t.text == QLatin1String("a"))
                yA = t.baseline.y();
        }
        QVERIFY(yA - yWide > 850 && yA - yWide < 1100);
    }

    void fieldsShowResultsAndBoxes()
    {
        Rendering r = lay(para(fixture::textField(QStringLiteral("NOMBRE"), QStringLiteral("Ana|bel")))
            + para(
                fixture::checkBox(QStringLiteral("MEDICO"), true) + fixture::checkBox(QStringLiteral("OTROS"), false))
            + para(run(QStringLiteral("oculto"), QStringLiteral("<w:rPr><w:vanish/></w:rPr>"))) + sect());
        const QString text = r.text();
        QVERIFY(text.contains(QStringLiteral("Anabel")));
        QVERIFY(!text.contains(QStringLiteral("FORM")));
        QVERIFY(!text.contains(QStringLiteral("oculto")));
        const std::vector<BoxOp> boxes = all<BoxOp>(r);
        QCOMPARE(int(boxes.size()), 2);
        QVERIFY(boxes[0].checked);
        QVERIFY(!boxes[1].checked);
        QVERIFY(boxes[0].rect.width() > 100 && boxes[1].rect.left() > boxes[0].rect.right());
    }

    void headingsAndHeaderRowsKeptWithWhatFollows()
    {
        auto pageOf = [](Rendering& r, const QString& text) {
            for (int p = 0; p < r.pageCount(); ++p)
                for (const TextOp& t : texts(r, p))
                    if (t.text == text)
                        return p;
            return -1;
        };
        // Enough filler that a heading ends page 1 and its paragraph starts page 2;
        // kept with its paragraph, the heading goes to page 2 as well.
        auto body = [](int fill, bool keep) {
            QString b;
            for (int i = 0; i < fill; ++i)
                b += para(run(QStringLiteral("relleno %1").arg(i)));
            return b
                + para(run(QStringLiteral("Título")), keep ? QStringLiteral("<w:pPr><w:keepNext/></w:pPr>") : QString())
                + para(run(QStringLiteral("Texto del apartado"))) + sect();
        };
        int fill = 20;
        for (; fill < 200; ++fill) {
            Rendering r = lay(body(fill, false));
            if (pageOf(r, QStringLiteral("Título")) == 0 && pageOf(r, QStringLiteral("Texto del apartado")) == 1)
                break;
        }
        QVERIFY(fill < 200);
        Rendering kept = lay(body(fill, true));
        QCOMPARE(pageOf(kept, QStringLiteral("Título")), 1);
        QCOMPARE(pageOf(kept, QStringLiteral("Texto del apartado")), 1);

        // A long table repeats its header row on every page it runs on.
        QString rows = QStringLiteral("<w:tr><w:trPr><w:tblHeader/></w:trPr><w:tc>%1</w:tc></w:tr>")
                           .arg(para(run(QStringLiteral("Cabeza"))));
        for (int i = 0; i < 150; ++i)
            rows += QStringLiteral("<w:tr><w:tc>%1</w:tc></w:tr>").arg(para(run(QStringLiteral("fila %1").arg(i))));
        Rendering r = lay(QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"4000\"/></w:tblGrid>%1</w:tbl>").arg(rows)
            + para(QString()) + sect());
        QVERIFY(r.pageCount() >= 2);
        for (int p = 0; p < r.pageCount(); ++p) {
            int heads = 0, rowsHere = 0;
            for (const TextOp& t : texts(r, p)) {
                heads += t.text == QLatin1String("Cabeza");
                rowsHere += t.text.startsWith(QLatin1String("fila"));
            }
            QCOMPARE(heads, rowsHere ? 1 : 0);
        }
    }

    void listsTabsAndPageBreaks()
    {
        // numbering.xml is not in the fixture package: add one.
        const QString file = dir.filePath(QStringLiteral("lista.docx"));
        const QString item
            = QStringLiteral("<w:pPr><w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"%1\"/></w:numPr></w:pPr>");
        fixture::writeDocx(file,
            para(run(QStringLiteral("primero")), item.arg(1)) + para(run(QStringLiteral("segundo")), item.arg(1))
                + para(run(QStringLiteral("otra lista")), item.arg(2))
                + para(
                    run(QStringLiteral("Nombre")) + QStringLiteral("<w:r><w:tab/></w:r>") + run(QStringLiteral("fin")),
                    QStringLiteral(
                        "<w:pPr><w:tabs><w:tab w:val=\"right\" w:leader=\"dot\" w:pos=\"8000\"/></w:tabs></w:pPr>"))
                + para(run(QStringLiteral("antes")) + QStringLiteral("<w:r><w:br w:type=\"page\"/></w:r>")
                    + run(QStringLiteral("después")))
                + sect(),
            false);
        Word::detail::Package package = Word::detail::Package::read(file);
        package.setPart(QStringLiteral("word/numbering.xml"),
            "<w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
            "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt "
            "w:val=\"decimal\"/>"
            "<w:lvlText w:val=\"%1)\"/><w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/></w:pPr></w:lvl></w:abstractNum>"
            "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num>"
            "<w:num w:numId=\"2\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(package.toBytes());
        out.close();
        doc = Word::DocumentData::load(file);
        Rendering r = Rendering::layout(*doc);

        const std::vector<TextOp> t = all<TextOp>(r);
        QStringList labels;
        for (const TextOp& op : t)
            if (op.text.endsWith(u')'))
                labels << op.text;
        QCOMPARE(labels, (QStringList{QStringLiteral("1)"), QStringLiteral("2)"), QStringLiteral("1)")}));
        // The item's text starts at the left indent, after the hanging number.
        for (const TextOp& op : t)
            if (op.text == QLatin1String("primero"))
                QVERIFY(qAbs(op.baseline.x() - (Left + 720)) < 1);
        // A right tab with a dot leader: dots fill up to the text, which ends at the stop.
        bool dots = false;
        for (const TextOp& op : t)
            dots = dots || op.text.startsWith(QLatin1String("....."));
        QVERIFY(dots);
        for (const TextOp& op : t)
            if (op.text == QLatin1String("fin"))
                QVERIFY(op.baseline.x() > Left + 7000 && op.baseline.x() < Left + 8000);
        // The page break moves what follows to the next page.
        QCOMPARE(r.pageCount(), 2);
        bool later = false;
        for (const TextOp& op : texts(r, 1))
            later = later || op.text == QStringLiteral("después");
        QVERIFY2(later, qPrintable(r.text()));
    }

    // Numbers in a document that would size memory (a list level, a cell's grid
    // span, a font size, a row height) are capped to what a page can show: the
    // page is laid out at once instead of asking for gigabytes.
    void hugeNumbersAreCapped()
    {
        const QString file = dir.filePath(QStringLiteral("enorme.docx"));
        const QString huge = QStringLiteral("2000000000");
        fixture::writeDocx(file,
            para(run(QStringLiteral("lista")),
                QStringLiteral("<w:pPr><w:numPr><w:ilvl w:val=\"%1\"/><w:numId w:val=\"1\"/></w:numPr></w:pPr>")
                    .arg(huge))
                + QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"%1\"/></w:tblGrid><w:tr><w:trPr><w:trHeight "
                                 "w:val=\"%1\"/></w:trPr>"
                                 "<w:tc><w:tcPr><w:gridSpan w:val=\"%1\"/></w:tcPr>%2</w:tc></w:tr></w:tbl>")
                      .arg(huge,
                          para(run(QStringLiteral("celda"),
                              QStringLiteral("<w:rPr><w:sz w:val=\"%1\"/></w:rPr>").arg(huge))))
                + sect(),
            false);
        Word::detail::Package package = Word::detail::Package::read(file);
        package.setPart(QStringLiteral("word/numbering.xml"),
            QStringLiteral("<w:numbering xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
                           "<w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"%1\"><w:start w:val=\"%1\"/>"
                           "<w:numFmt w:val=\"upperRoman\"/><w:lvlText w:val=\"%%1.\"/></w:lvl></w:abstractNum>"
                           "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>")
                .arg(huge)
                .toUtf8());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(package.toBytes());
        out.close();
        doc = Word::DocumentData::load(file);
        Rendering r = Rendering::layout(*doc);
        QVERIFY(r.text().contains(QStringLiteral("lista")));
        QVERIFY2(r.text().remove(u' ').contains(QStringLiteral("celda")), qPrintable(r.text())); // a letter a line
        QVERIFY(r.pageCount() < 100);
    }
};

QTEST_MAIN(tst_wordlayout)
#include "tst_wordlayout.moc"
