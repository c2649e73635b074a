#pragma once
// Small WordprocessingML packages built in the tests: a form with legacy form
// fields, a point bookmark, three tables and markers split across runs.
#include "platform/word/Package.h"

#include <QFile>
#include <QImage>
#include <QString>

namespace fixture {

inline QString textField(const QString& name, const QString& result, const QString& rPr = {})
{
    QString runs;
    for (const QString& piece : result.split(u'|'))
        runs += QStringLiteral("<w:r>%1<w:t xml:space=\"preserve\">%2</w:t></w:r>").arg(rPr, piece);
    return QStringLiteral("<w:r>%1<w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"%2\"/><w:enabled/>"
                          "<w:calcOnExit w:val=\"0\"/><w:textInput/></w:ffData></w:fldChar></w:r>"
                          "<w:r>%1<w:instrText xml:space=\"preserve\"> FORMTEXT </w:instrText></w:r>"
                          "<w:r>%1<w:fldChar w:fldCharType=\"separate\"/></w:r>%3"
                          "<w:r>%1<w:fldChar w:fldCharType=\"end\"/></w:r>")
        .arg(rPr, name, runs);
}

inline QString checkBox(const QString& name, bool checked)
{
    return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"><w:ffData><w:name w:val=\"%1\"/><w:enabled/>"
                          "<w:calcOnExit w:val=\"0\"/><w:checkBox><w:sizeAuto/><w:default w:val=\"%2\"/></w:checkBox>"
                          "</w:ffData></w:fldChar></w:r>"
                          "<w:r><w:instrText xml:space=\"preserve\"> FORMCHECKBOX </w:instrText></w:r>"
                          "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>")
        .arg(name, checked ? QStringLiteral("1") : QStringLiteral("0"));
}

inline QString para(const QString& content, const QString& pPr = {})
{
    return QStringLiteral("<w:p>%1%2</w:p>").arg(pPr, content);
}

inline QString run(const QString& text, const QString& rPr = {})
{
    return QStringLiteral("<w:r>%1<w:t xml:space=\"preserve\">%2</w:t></w:r>").arg(rPr, text);
}

inline QString table(int rows, int columns, const QString& firstCell = {})
{
    QString xml = QStringLiteral("<w:tbl><w:tblPr><w:tblW w:w=\"0\" w:type=\"auto\"/><w:tblBorders>"
                                 "<w:top w:val=\"single\" w:sz=\"4\"/><w:left w:val=\"single\" w:sz=\"4\"/>"
                                 "<w:bottom w:val=\"single\" w:sz=\"4\"/><w:right w:val=\"single\" w:sz=\"4\"/>"
                                 "<w:insideH w:val=\"single\" w:sz=\"4\"/><w:insideV w:val=\"single\" w:sz=\"4\"/>"
                                 "</w:tblBorders></w:tblPr><w:tblGrid>");
    for (int c = 0; c < columns; ++c)
        xml += QStringLiteral("<w:gridCol w:w=\"%1\"/>").arg(8000 / columns);
    xml += QStringLiteral("</w:tblGrid>");
    for (int r = 1; r <= rows; ++r) {
        xml += QStringLiteral("<w:tr>");
        for (int c = 1; c <= columns; ++c)
            xml += QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"%1\" w:type=\"dxa\"/></w:tcPr>%2</w:tc>")
                       .arg(8000 / columns)
                       .arg(r == 1 && c == 1 && !firstCell.isEmpty()
                               ? firstCell
                               : para(run(QStringLiteral("c%1.%2").arg(r).arg(c))));
        xml += QStringLiteral("</w:tr>");
    }
    return xml + QStringLiteral("</w:tbl>");
}

inline const QString Bold = QStringLiteral("<w:rPr><w:b/></w:rPr>");

// The body of a small application form.
inline QString formBody()
{
    return para(run(QStringLiteral("SOLICITUD DE CONCURSO"), Bold),
               QStringLiteral("<w:pPr><w:jc w:val=\"center\"/></w:pPr>"))
        + para(run(QStringLiteral("NIF: "), Bold)
            + QStringLiteral("<w:bookmarkStart w:id=\"0\" w:name=\"NIF\"/><w:bookmarkEnd w:id=\"0\"/>")
            + run(QStringLiteral(" (sin espacios)")))
        + table(2, 2,
            para(run(QStringLiteral("Nombre: ")) + textField(QStringLiteral("NOMBRE"), QString(5, QChar(0x2002)))))
        + para(
            run(QStringLiteral("Apellido: ")) + textField(QStringLiteral("PRIMERAPELLIDO"), QStringLiteral("Gar|cía")))
        + para(run(QStringLiteral("Año: ")) + textField(QStringLiteral("AÑO"), QString(5, QChar(0x2002)))
            + run(QStringLiteral(" NIF: ")) + textField(QStringLiteral("NIF"), QString(5, QChar(0x2002))))
        + para(checkBox(QStringLiteral("MEDICO"), false) + run(QStringLiteral(" Médico de Área "))
            + checkBox(QStringLiteral("ENFERMERO"), true) + run(QStringLiteral(" Enfermero de Área")))
        + table(2, 3)
        + para(run(QStringLiteral("Marcas: -&")) + run(QStringLiteral("R&- y -&C&- y -&C&-"), Bold)
            + run(QStringLiteral(" fin")))
        + table(6, 2)
        + QStringLiteral(
            "<w:sectPr><w:headerReference w:type=\"default\" r:id=\"rIdH\"/><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
            "<w:pgMar w:top=\"1417\" w:right=\"1701\" w:bottom=\"1417\" w:left=\"1701\" w:header=\"708\" "
            "w:footer=\"708\"/></w:sectPr>");
}

// `levels` nested content controls, each written with a prefix of its own
// ("p1:", "p2:", ...) bound to the main namespace at that level; inside, an
// element whose prefix "x" is bound to another namespace.
inline QString nested(int levels)
{
    QString open, close;
    for (int i = 1; i <= levels; ++i) {
        open += QStringLiteral("<p%1:sdt xmlns:p%1=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                               "xmlns:x=\"urn:otro:%1\"><p%1:sdtContent>")
                    .arg(i);
        close.prepend(QStringLiteral("</p%1:sdtContent></p%1:sdt>").arg(i));
    }
    return open + QStringLiteral("<x:dato/>") + close;
}

// Writes a package with the given body (and a header holding a marker) to path.
inline void writeDocx(const QString& path, const QString& body, bool asTemplate = true)
{
    Word::detail::Package package;
    package.setPart(QStringLiteral("[Content_Types].xml"),
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
            "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
            "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
            "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
            "<Override PartName=\"/word/document.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.%1.main+xml\"/>"
            "<Override PartName=\"/word/header1.xml\" "
            "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml\"/>"
            "</Types>")
            .arg(asTemplate ? QStringLiteral("template") : QStringLiteral("document"))
            .toUtf8());
    package.setPart(QStringLiteral("_rels/.rels"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rId1\" "
        "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
        "Target=\"word/document.xml\"/>"
        "</Relationships>");
    package.setPart(QStringLiteral("word/_rels/document.xml.rels"),
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rIdH\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/header\" "
        "Target=\"header1.xml\"/>"
        "</Relationships>");
    const QString ns
        = QStringLiteral("xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                         "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"");
    package.setPart(QStringLiteral("word/header1.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><w:hdr %1>%2</w:hdr>")
            .arg(ns, para(run(QStringLiteral("Cabecera -&V&-"))))
            .toUtf8());
    package.setPart(QStringLiteral("word/document.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><w:document "
                       "%1><w:body>%2</w:body></w:document>")
            .arg(ns, body)
            .toUtf8());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(package.toBytes());
}

// A barcode-like bitmap: columns alternating black and white, one pixel wide.
inline QImage stripes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    return image;
}

} // namespace fixture
