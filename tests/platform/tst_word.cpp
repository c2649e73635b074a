// The embedded word processor driven through its object model, as the document
// writer and reader drive it.
#include "tests/support/Fixture.h"
#include "shell/MessageBox.h"
#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"
#include "platform/word/Printing.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"

#include <QAccessible>
#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QCryptographicHash>
#include <QPainter>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Word;

namespace {

QByteArray digest(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

template <typename F> int errorOf(F&& f)
{
    try {
        f();
    } catch (const Error& e) {
        return e.number();
    }
    return 0;
}

QString pdfText(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(20000))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class tst_word : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString templ;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        MessageBox::setTestMode(true);
        templ = path(QStringLiteral("Plantilla.dot"));
        fixture::writeDocx(templ, fixture::formBody());
    }
    void cleanup()
    {
        quitAllInstances();
        setPrintOutputPdf({});
        MessageBox::clear();
    }

    void fillSaveAndReadBack()
    {
        const QByteArray before = digest(templ);
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        QCOMPARE(&word->ActiveDocument(), &doc);
        QCOMPARE(doc.FormFields().Count(), 6);
        // An empty field (en spaces) reads as empty; a result split over runs reads whole.
        QCOMPARE(doc.FormFields().Item(QStringLiteral("NOMBRE")).Result(), QString());
        QCOMPARE(doc.FormFields().Item(QStringLiteral("primerapellido")).Result(), QStringLiteral("García"));
        QCOMPARE(doc.FormFields().Item(QStringLiteral("ENFERMERO")).Result(), QStringLiteral("1"));

        doc.FormFields().Item(QStringLiteral("nombre")).setResult(QStringLiteral("  María José "));
        doc.FormFields().Item(QStringLiteral("PRIMERAPELLIDO")).setResult(QStringLiteral("Núñez"));
        doc.FormFields().Item(QStringLiteral("año")).setResult(QStringLiteral("2006"));
        doc.FormFields().Item(QStringLiteral("NIF")).setResult(QString());
        doc.FormFields().Item(QStringLiteral("MEDICO")).CheckBox().setValue(true);
        doc.FormFields().Item(QStringLiteral("ENFERMERO")).CheckBox().setValue(false);
        QVERIFY(!doc.Saved());
        const QString stored = path(QStringLiteral("12345678Z.doc"));
        doc.SaveAs(stored);
        QVERIFY(doc.Saved());
        QCOMPARE(doc.FullName(), QFileInfo(stored).absoluteFilePath());
        QCOMPARE(doc.Name(), QStringLiteral("12345678Z.doc"));
        doc.Close(false);
        QCOMPARE(digest(templ), before);

        Document& back = word->Documents().Add(stored);
        QCOMPARE(back.FormFields().Item(QStringLiteral("NOMBRE")).Result(), QStringLiteral("  María José "));
        QCOMPARE(back.FormFields().Item(QStringLiteral("PRIMERAPELLIDO")).Result(), QStringLiteral("Núñez"));
        QCOMPARE(back.FormFields().Item(QStringLiteral("AÑO")).Result(), QStringLiteral("2006"));
        QCOMPARE(back.FormFields().Item(QStringLiteral("NIF")).Result(), QString());
        QVERIFY(back.FormFields().Item(QStringLiteral("MEDICO")).CheckBox().Value());
        QVERIFY(!back.FormFields().Item(QStringLiteral("ENFERMERO")).CheckBox().Value());
        QCOMPARE(back.FormFields().Item(QStringLiteral("ENFERMERO")).Result(), QStringLiteral("0"));
        // The fields stay whole legacy fields: begin, FORMTEXT, separate, result, end.
        QCOMPARE(back.FormFields().Count(), 6);
        const QString text = back.ContentText();
        QVERIFY(text.contains(QStringLiteral("Apellido: Núñez")));
        QVERIFY(text.contains(QStringLiteral("Nombre:   María José ")));
        const pugi::xml_node body = back.data().body();
        int instr = 0, separate = 0, end = 0;
        for (pugi::xml_node n = body.first_child(); n; n = detail::nextInOrder(n, body)) {
            instr += detail::is(n, "w:instrText")
                && QString::fromUtf8(n.text().get()).contains(QStringLiteral("FORMTEXT"));
            separate += detail::is(n, "w:fldChar") && !std::strcmp(n.attribute("w:fldCharType").value(), "separate");
            end += detail::is(n, "w:fldChar") && !std::strcmp(n.attribute("w:fldCharType").value(), "end");
        }
        QCOMPARE(instr, 4);
        QCOMPARE(separate, 4);
        QCOMPARE(end, 6);
        // A document made from a template is stored as a document.
        detail::Package package = detail::Package::read(stored);
        QVERIFY(package.part(QStringLiteral("[Content_Types].xml")).contains("document.main+xml"));
    }

    void failuresCarryTheirNumbers()
    {
        auto word = CreateObject();
        QCOMPARE(errorOf([&] { word->ActiveDocument(); }), ErrorCode::NoDocument);
        QCOMPARE(errorOf([&] { word->Selection().TypeText(QStringLiteral("x")); }), ErrorCode::NoDocument);
        QCOMPARE(
            errorOf([&] { word->Documents().Add(path(QStringLiteral("no-existe.dot"))); }), ErrorCode::FileNotFound);
        QFile junk(path(QStringLiteral("roto.doc")));
        junk.open(QIODevice::WriteOnly);
        junk.write("esto no es un paquete");
        junk.close();
        QCOMPARE(errorOf([&] { word->Documents().Add(junk.fileName()); }), ErrorCode::BadDocument);

        Document& doc = word->Documents().Add(templ);
        QCOMPARE(errorOf([&] { doc.FormFields().Item(QStringLiteral("NOEXISTE")); }), ErrorCode::NoSuchMember);
        QCOMPARE(errorOf([&] { doc.Bookmarks(QStringLiteral("NOEXISTE")); }), ErrorCode::NoSuchMember);
        QCOMPARE(errorOf([&] { doc.Tables(4); }), ErrorCode::NoSuchMember);
        QCOMPARE(errorOf([&] { doc.Tables(3).Cell(7, 1); }), ErrorCode::NoSuchMember);
        QCOMPARE(errorOf([&] { doc.FormFields().Item(QStringLiteral("NOMBRE")).CheckBox(); }), ErrorCode::NotAvailable);
        QCOMPARE(errorOf([&] { doc.Save(); }), ErrorCode::CommandFailed); // never saved: needs SaveAs
        QCOMPARE(errorOf([&] { doc.SaveAs(path(QStringLiteral("no/existe/x.doc"))); }), ErrorCode::CannotSave);
        QCOMPARE(errorOf([&] { word->Selection().InlineShapes().AddPicture(path(QStringLiteral("no.bmp"))); }),
            ErrorCode::FileNotFound);
        QCOMPARE(errorOf([&] { word->Selection().InlineShapes().AddPicture(junk.fileName()); }), ErrorCode::BadPicture);
        QCOMPARE(errorOf([&] { word->Selection().ParagraphFormat().setAlignment(7); }), ErrorCode::BadParameter);
    }

    void typingAtBookmarkAndIntoCell()
    {
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        doc.Bookmarks(QStringLiteral("nif")).Select();
        word->Selection().TypeText(QStringLiteral("12345678Z"));
        QVERIFY(doc.ContentText().contains(QStringLiteral("NIF: 12345678Z (sin espacios)")));
        // The typed run takes the bold of the label before it.
        const pugi::xml_node mark = detail::findBookmark(doc.data().body(), QStringLiteral("NIF"));
        pugi::xml_node typed = mark.next_sibling().next_sibling();
        QCOMPARE(QString::fromUtf8(typed.child("w:t").text().get()), QStringLiteral("12345678Z"));
        QVERIFY(typed.child("w:rPr").child("w:b"));

        const QString bmp = path(QStringLiteral("codigo.bmp"));
        QVERIFY(fixture::stripes(60, 20).save(bmp, "BMP"));
        doc.Tables(3).Cell(6, 1).Select();
        TextSelection& sel = word->Selection();
        sel.TypeText(QStringLiteral("\r\n"));
        InlineShape& shape = sel.InlineShapes().AddPicture(bmp, false, true);
        QVERIFY(qAbs(shape.Width() - 45.0) < 0.1); // 60 px at 96 dpi
        sel.ParagraphFormat().setAlignment(1);
        QCOMPARE(sel.ParagraphFormat().Alignment(), 1);
        sel.TypeText(QStringLiteral("\r\n"));
        QFile::remove(bmp); // the picture lives in the document

        const QString stored = path(QStringLiteral("impreso.doc"));
        doc.SaveAs(stored);
        doc.Close(false);
        Document& back = word->Documents().Add(stored);
        QCOMPARE(word->Selection().InlineShapes().Count(), 1);
        const pugi::xml_node table = detail::topLevelTables(back.data().body())[2];
        const pugi::xml_node cell = detail::tableCell(table, 6, 1);
        std::vector<pugi::xml_node> ps;
        for (pugi::xml_node p : cell.children("w:p"))
            ps.push_back(p);
        QCOMPARE(int(ps.size()), 3); // break, picture (centred), break
        QVERIFY(ps[1].child("w:r").child("w:drawing"));
        QCOMPARE(
            QString::fromUtf8(ps[1].child("w:pPr").child("w:jc").attribute("w:val").value()), QStringLiteral("center"));
        QCOMPARE(detail::paragraphText(ps[0]), QString()); // the cell's old text was replaced
        const QString part = back.data().relationshipTarget(
            QString::fromUtf8(ps[1].select_node(".//a:blip").node().attribute("r:embed").value()));
        QVERIFY(QImage::fromData(back.data().package.part(part)).width() == 60);
    }

    void typingSplitsParagraphsWhereItStands()
    {
        // A bookmark around text: typing replaces the text. Paragraph breaks split
        // the paragraph there; the section break stays on the last paragraph.
        const QString file = path(QStringLiteral("partir.docx"));
        fixture::writeDocx(file,
            fixture::para(fixture::run(QStringLiteral("Antes "))
                    + QStringLiteral("<w:bookmarkStart w:id=\"3\" w:name=\"Sitio\"/>")
                    + fixture::run(QStringLiteral("viejo"), fixture::Bold)
                    + QStringLiteral("<w:bookmarkEnd w:id=\"3\"/>") + fixture::run(QStringLiteral(" después")),
                QStringLiteral("<w:pPr><w:jc w:val=\"right\"/><w:sectPr><w:pgSz w:w=\"11906\" "
                               "w:h=\"16838\"/></w:sectPr></w:pPr>")),
            false);
        auto word = CreateObject();
        Document& doc = word->Documents().Add(file);
        doc.Bookmarks(QStringLiteral("SITIO")).Select();
        QCOMPARE(word->Selection().Text(), QStringLiteral("viejo"));
        word->Selection().TypeText(QStringLiteral("uno\r\ndos\rtres\ncuatro\tfin"));
        QCOMPARE(doc.ContentText(), QStringLiteral("Antes uno\ndos\ntres\ncuatro\tfin después"));
        std::vector<pugi::xml_node> ps;
        for (pugi::xml_node p : doc.data().body().children("w:p"))
            ps.push_back(p);
        QCOMPARE(int(ps.size()), 4);
        for (const pugi::xml_node& p : ps)
            QCOMPARE(
                QString::fromUtf8(p.child("w:pPr").child("w:jc").attribute("w:val").value()), QStringLiteral("right"));
        QVERIFY(!ps[0].child("w:pPr").child("w:sectPr"));
        QVERIFY(ps[3].child("w:pPr").child("w:sectPr"));
        // The text typed in place of bold text is bold.
        QVERIFY(ps[1].child("w:r").child("w:rPr").child("w:b"));
    }

    void findSelectsAndReplacesOneAtATime()
    {
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        FindObject& find = word->Selection().Find();
        find.setText(QStringLiteral("-&C&-"));
        find.setWrap(0);
        QVERIFY(find.Execute());
        QVERIFY(find.Execute());  // the second one, after the first
        QVERIFY(!find.Execute()); // no more, and no wrapping
        find.setWrap(1);
        find.Replacement().setText(QStringLiteral("[C]"));
        QVERIFY(find.Execute(1)); // wraps to the first and replaces only it
        QVERIFY(doc.ContentText().contains(QStringLiteral("R&- y [C] y -&C&- fin")));
        find.setText(QStringLiteral("Marcas"));
        find.setMatchWholeWord(true);
        QVERIFY(find.Execute(0));
        QCOMPARE(word->Selection().Text(), QStringLiteral("Marcas"));
    }

    void picturesAndOtherPartsSurviveSaving()
    {
        const QString file = path(QStringLiteral("partes.docx"));
        fixture::writeDocx(file, fixture::para(fixture::run(QStringLiteral("x"))), false);
        detail::Package original = detail::Package::read(file);
        original.setPart(QStringLiteral("customXml/item1.xml"), "<datos>propios</datos>");
        QFile out(file);
        out.open(QIODevice::WriteOnly);
        out.write(original.toBytes());
        out.close();

        auto word = CreateObject();
        Document& doc = word->Documents().Add(file);
        const QString bmp = path(QStringLiteral("p.bmp"));
        fixture::stripes(10, 10).save(bmp, "BMP");
        word->Selection().InlineShapes().AddPicture(bmp);
        word->Selection().InlineShapes().AddPicture(bmp);
        const QString stored = path(QStringLiteral("partes.doc"));
        doc.SaveAs(stored);
        const detail::Package saved = detail::Package::read(stored);
        QCOMPARE(saved.part(QStringLiteral("customXml/item1.xml")), QByteArray("<datos>propios</datos>"));
        QVERIFY(
            saved.has(QStringLiteral("word/media/image1.png")) && saved.has(QStringLiteral("word/media/image2.png")));
        QVERIFY(saved.part(QStringLiteral("[Content_Types].xml")).contains("Extension=\"png\""));
        QCOMPARE(saved.part(QStringLiteral("[Content_Types].xml")).count("Extension=\"png\""), 1);
        QSet<QString> ids, embeds;
        const pugi::xml_node body = doc.data().body();
        for (pugi::xml_node n = body.first_child(); n; n = detail::nextInOrder(n, body)) {
            if (detail::is(n, "wp:docPr"))
                ids.insert(QString::fromUtf8(n.attribute("id").value()));
            if (detail::is(n, "a:blip"))
                embeds.insert(QString::fromUtf8(n.attribute("r:embed").value()));
        }
        QCOMPARE(ids.size(), 2);
        QCOMPARE(embeds.size(), 2);
    }

    // A drawing id at the top of the int range: the next picture still gets an
    // id of its own, within the id's unsigned 32-bit range.
    void drawingIdsPastIntMax()
    {
        const QString file = path(QStringLiteral("ids.docx"));
        fixture::writeDocx(file,
            fixture::para(QStringLiteral("<w:r><w:drawing><wp:inline xmlns:wp=\"http://schemas.openxmlformats.org/"
                                         "drawingml/2006/wordprocessingDrawing\"><wp:docPr id=\"%1\" name=\"a\"/>"
                                         "</wp:inline></w:drawing></w:r>")
                              .arg(qint64(2147483647))),
            false);
        auto word = CreateObject();
        Document& doc = word->Documents().Add(file);
        const QString bmp = path(QStringLiteral("id.bmp"));
        fixture::stripes(10, 10).save(bmp, "BMP");
        word->Selection().InlineShapes().AddPicture(bmp);
        QList<qint64> ids;
        const pugi::xml_node body = doc.data().body();
        for (pugi::xml_node n = body.first_child(); n; n = detail::nextInOrder(n, body))
            if (detail::is(n, "wp:docPr"))
                ids << n.attribute("id").as_llong();
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, (QList<qint64>{2147483647, 2147483648}));
    }

    // A part nested absurdly deep (a small file, each level declaring a prefix)
    // is refused with a message; a deep but sane one opens with its prefixes
    // bound as declared at each level.
    void deepNestingRefused_data()
    {
        QTest::addColumn<int>("levels");
        QTest::newRow("150 (300 levels)") << 150;
        QTest::newRow("8000") << 8000;
        QTest::newRow("16000") << 16000;
    }
    void deepNestingRefused()
    {
        QFETCH(int, levels);
        const QString file = path(QStringLiteral("hondo.docx"));
        fixture::writeDocx(file, fixture::nested(levels), false);
        auto word = CreateObject();
        try {
            word->Documents().Add(file);
            QFAIL("opened");
        } catch (const Error& e) {
            QCOMPARE(e.number(), ErrorCode::BadDocument);
            QVERIFY2(e.description().contains(QStringLiteral("256 niveles")), qPrintable(e.description()));
        }
    }
    void prefixesScopedPerLevel()
    {
        const QString file = path(QStringLiteral("prefijos.docx"));
        fixture::writeDocx(file, fixture::nested(100) + fixture::para(fixture::run(QStringLiteral("fin"))), false);
        auto word = CreateObject();
        Document& doc = word->Documents().Add(file);
        // Each level's element, written with its own prefix, reads as w:p; the
        // prefix bound to another namespace outside it is left alone.
        int levels = 0, others = 0;
        const pugi::xml_node body = doc.data().body();
        for (pugi::xml_node n = body.first_child(); n; n = detail::nextInOrder(n, body)) {
            levels += detail::is(n, "w:sdtContent") ? 1 : 0;
            others += QByteArray(n.name()).startsWith("x:") ? 1 : 0;
        }
        QCOMPARE(levels, 100);
        QCOMPARE(others, 1);
        QCOMPARE(QByteArray(body.last_child().name()), QByteArray("w:p"));
    }

    void markersReplacedAcrossRuns()
    {
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        FindObject& find = word->Selection().Find();
        find.ClearFormatting();
        find.setText(QStringLiteral("-&C&-"));
        find.Replacement().setText(QStringLiteral(" "));
        find.setForward(false);
        find.setWrap(1);
        QVERIFY(find.Execute()); // backward from the start wraps round to the last one
        QCOMPARE(word->Selection().Text(), QStringLiteral("-&C&-"));
        QVERIFY(find.Execute(2));
        for (const char* marker : {"-&R&-", "-&V&-"}) {
            find.setText(QString::fromLatin1(marker));
            find.setForward(true);
            QVERIFY(find.Execute(2));
        }
        QVERIFY(!find.Execute(2));
        QVERIFY(doc.ContentText().contains(QStringLiteral("Marcas:   y   y   fin")));
        QVERIFY(!doc.ContentText().contains(u'&'));
        QVERIFY(detail::paragraphText(doc.data().stories.front().xml->document_element().child("w:p"))
            == QStringLiteral("Cabecera  "));

        // Case and whole words are honoured.
        find.setText(QStringLiteral("médico"));
        find.Replacement().setText(QStringLiteral("X"));
        find.setMatchCase(true);
        QVERIFY(!find.Execute(0));
        find.setMatchCase(false);
        find.setMatchWholeWord(true);
        find.setText(QStringLiteral("Áre"));
        QVERIFY(!find.Execute(0));
        find.setMatchWildcards(true);
        QCOMPARE(errorOf([&] { find.Execute(0); }), ErrorCode::NotAvailable);
    }

    void closingSavesOnlyWhenAsked()
    {
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        const QString stored = path(QStringLiteral("guardado.doc"));
        doc.SaveAs(stored);
        doc.FormFields().Item(QStringLiteral("NOMBRE")).setResult(QStringLiteral("Primero"));
        doc.Save();
        const QByteArray saved = digest(stored);
        doc.FormFields().Item(QStringLiteral("NOMBRE")).setResult(QStringLiteral("Segundo"));
        doc.Close(false);
        QCOMPARE(word->Documents().Count(), 0);
        QCOMPARE(digest(stored), saved);
        // No temporary file is left beside it.
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("guardado*")}, QDir::Files).size(), 1);

        Document& again = word->Documents().Add(stored);
        QCOMPARE(again.FormFields().Item(QStringLiteral("NOMBRE")).Result(), QStringLiteral("Primero"));
        again.SaveAs(stored);
        again.FormFields().Item(QStringLiteral("NOMBRE")).setResult(QStringLiteral("Cerrado"));
        again.Close(true);
        Document& third = word->Documents().Add(stored);
        QCOMPARE(third.FormFields().Item(QStringLiteral("NOMBRE")).Result(), QStringLiteral("Cerrado"));
        third.SaveAs(stored);
        third.FormFields().Item(QStringLiteral("NOMBRE")).setResult(QStringLiteral("Al salir"));
        word->Quit(true);
        auto other = CreateObject();
        QCOMPARE(other->Documents().Add(stored).FormFields().Item(QStringLiteral("NOMBRE")).Result(),
            QStringLiteral("Al salir"));
    }

    void instances()
    {
        QCOMPARE(errorOf([] { GetObject(); }), ErrorCode::NoRunningInstance);
        auto first = CreateObject();
        auto second = CreateObject();
        QVERIFY(first != second);
        QCOMPARE(first->Version(), QStringLiteral("12.0"));
        first->Documents().Add(templ);
        QCOMPARE(second->Documents().Count(), 0); // independent
        QCOMPARE(GetObject(), first);             // the oldest running one
        first->Quit(false);
        QCOMPARE(errorOf([&] { first->Version(); }), ErrorCode::InstanceGone);
        QCOMPARE(GetObject(), second);
        // One the user is looking at is not taken over.
        second->Documents().Add(templ);
        second->setVisible(true);
        QCOMPARE(errorOf([] { GetObject(); }), ErrorCode::NoRunningInstance);
        second->Quit(false);
        QCOMPARE(runningInstanceCount(), 0);

        // A stand-in replaces how instances are obtained.
        struct Double : Provider {
            std::shared_ptr<Application> made = CreateObject();
            std::shared_ptr<Application> create() override { return made; }
            std::shared_ptr<Application> attach() override
            {
                throw Error(ErrorCode::NoRunningInstance, QStringLiteral("x"));
            }
        } stand;
        setProvider(&stand);
        QCOMPARE(CreateObject(), stand.made);
        QCOMPARE(errorOf([] { GetObject(); }), ErrorCode::NoRunningInstance);
        setProvider(nullptr);
    }

    void viewerShowsTheDocument()
    {
        const auto shownViewer = [] {
            QWidget* viewer = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("visorDocumento") && w->isVisible())
                    viewer = w;
            return viewer;
        };
        // Visible with nothing open: no empty window, and free to be taken over.
        auto word = CreateObject();
        word->setVisible(true);
        QVERIFY(word->Visible());
        QVERIFY(!shownViewer());
        QCOMPARE(GetObject(), word);

        word->Documents().Add(templ);
        QWidget* viewer = shownViewer();
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Plantilla.dot"));
        QWidget* pagina = viewer->findChild<QWidget*>(QStringLiteral("pagina1"));
        QVERIFY(pagina);
        // A screen reader gets each page's number and text, one stop per page.
        QAccessibleInterface* lectura = QAccessible::queryAccessibleInterface(pagina);
        QVERIFY(lectura);
        QCOMPARE(lectura->text(QAccessible::Name), QStringLiteral("Página 1 de 1"));
        QVERIFY2(lectura->text(QAccessible::Description).contains(QStringLiteral("NIF:")),
            qPrintable(lectura->text(QAccessible::Description)));
        QVERIFY(pagina->focusPolicy() & Qt::TabFocus);
        // Home and End go to the first and last page; Escape closes, and so
        // does Ctrl+W, ending the instance.
        viewer->resize(400, 300);
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        auto* barra = static_cast<QScrollArea*>(viewer)->verticalScrollBar();
        QTest::keyClick(viewer, Qt::Key_End);
        QCOMPARE(barra->value(), barra->maximum());
        QVERIFY(barra->maximum() > 0);
        QTest::keyClick(viewer, Qt::Key_PageUp);
        QVERIFY(barra->value() < barra->maximum());
        QTest::keyClick(viewer, Qt::Key_Home);
        QCOMPARE(barra->value(), 0);
        QTest::keyClick(viewer, Qt::Key_Escape);
        QVERIFY(!viewer->isVisible());
        QCOMPARE(runningInstanceCount(), 0);

        auto otra = CreateObject();
        otra->setVisible(true);
        otra->Documents().Add(templ);
        viewer = shownViewer();
        QVERIFY(viewer);
        QTest::keyClick(viewer, Qt::Key_W, Qt::ControlModifier);
        QVERIFY(!viewer->isVisible());
        QCOMPARE(runningInstanceCount(), 0);
    }

    void printOutWritesThePdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QFAIL("pdftotext (poppler-utils) is needed to read the printed copy");
        auto word = CreateObject();
        Document& doc = word->Documents().Add(templ);
        doc.FormFields().Item(QStringLiteral("NOMBRE")).setResult(QStringLiteral("Valentina"));
        doc.FormFields().Item(QStringLiteral("PRIMERAPELLIDO")).setResult(QStringLiteral("Ordóñez"));
        const QString bmp = path(QStringLiteral("barras.bmp"));
        QVERIFY(fixture::stripes(120, 30).save(bmp, "BMP"));
        doc.Tables(3).Cell(6, 1).Select();
        word->Selection().InlineShapes().AddPicture(bmp);
        const QString pdf = path(QStringLiteral("copia.pdf"));
        setPrintOutputPdf(pdf);
        QCOMPARE(word->PrintOut(true).kind, PrintResult::Kind::Printer); // the PDF stands in for the printer
        // The barcode goes in losslessly and is not smoothed by the reader.
        QProcess images;
        images.start(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
        QVERIFY(images.waitForFinished(20000));
        const QStringList rows = QString::fromUtf8(images.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 3);
        const QStringList columns = rows[2].simplified().split(u' ');
        QCOMPARE(columns.mid(3, 2), (QStringList{QStringLiteral("120"), QStringLiteral("30")}));
        QCOMPARE(columns.mid(8, 2), (QStringList{QStringLiteral("image"), QStringLiteral("no")}));
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Valentina")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Ordóñez")));
        QVERIFY(text.contains(QStringLiteral("SOLICITUD DE CONCURSO")));
        QVERIFY(text.contains(QStringLiteral("c6.2"))); // table text
        QVERIFY(MessageBox::shown().isEmpty());

        // Without a printer the copy goes beside the stored document, and the result says where.
        if (!QPrinterInfo::defaultPrinter().isNull())
            QSKIP("this machine has a printer");
        setPrintOutputPdf({});
        doc.SaveAs(path(QStringLiteral("87654321X.doc")));
        const PrintResult kept = word->PrintOut(true);
        QVERIFY(QFileInfo::exists(path(QStringLiteral("87654321X.pdf"))));
        QCOMPARE(kept.kind, PrintResult::Kind::Pdf);
        QCOMPARE(kept.pdfPath, path(QStringLiteral("87654321X.pdf")));
        QVERIFY(MessageBox::shown().isEmpty()); // the library shows nothing
    }

    void picturesScaleByWholeFactors()
    {
        // A picture 20 px wide occupying 47 device pixels is drawn 40 wide (factor 2):
        // every stripe is two pixels of pure black or white.
        const QString file = path(QStringLiteral("rayas.docx"));
        fixture::writeDocx(file, fixture::para(fixture::run(QStringLiteral("x"))), false);
        auto word = CreateObject();
        word->Documents().Add(file);
        const QString bmp = path(QStringLiteral("rayas.bmp"));
        QImage stripes = fixture::stripes(20, 4);
        stripes.setDotsPerMeterX(3780 * 20 / 47);
        stripes.save(bmp, "BMP");
        word->Selection().InlineShapes().AddPicture(bmp);
        const detail::Rendering pages = detail::Rendering::layout(word->ActiveDocument().data());
        QImage page(800, 1200, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        pages.paintPage(painter, 0, 96.0 / 1440.0);
        painter.end();
        // Find the picture's first black column on a row through it.
        int left = -1, row = -1;
        for (int y = 90; y < page.height() && left < 0; ++y) // below the header
            for (int x = 0; x + 3 < page.width(); ++x)
                if (page.pixel(x, y) == qRgb(0, 0, 0) && page.pixel(x + 1, y) == qRgb(0, 0, 0)
                    && page.pixel(x + 2, y) == qRgb(255, 255, 255) && page.pixel(x + 3, y) == qRgb(255, 255, 255)) {
                    left = x;
                    row = y;
                    break;
                }
        QVERIFY(left >= 0);
        for (int i = 0; i < 40; ++i)
            QCOMPARE(page.pixel(left + i, row), (i / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
};

QTEST_MAIN(tst_word)
#include "tst_word.moc"
