// Pictures put in at the selection.
#include "platform/word/DocumentData.h"
#include "platform/word/Word.h"
#include "platform/word/XmlEdit.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <set>

namespace Word::detail {

namespace {

int pngCounter(const Package& package)
{
    int n = 1;
    while (package.has(QStringLiteral("word/media/image%1.png").arg(n)))
        ++n;
    return n;
}

void ensureDeclaration(pugi::xml_node root, const char* attribute, const char* uri)
{
    if (!root.attribute(attribute))
        root.append_attribute(attribute) = uri;
}

// The picture in the file, read and converted to PNG.
QByteArray readAsPng(const QString& file, QImage& image)
{
    if (!QFileInfo(file).isFile())
        throw Error(ErrorCode::FileNotFound, QStringLiteral("No se encuentra el archivo \"%1\".").arg(file));
    QImageReader reader(file);
    image = reader.read();
    if (image.isNull())
        throw Error(ErrorCode::BadPicture,
            QStringLiteral("El archivo \"%1\" no es una imagen válida (%2).").arg(file, reader.errorString()));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw Error(ErrorCode::BadPicture, QStringLiteral("No se puede convertir la imagen \"%1\".").arg(file));
    return png;
}

// Stores the PNG as media part `number`, related from the main part; returns
// the relationship id.
QString addImagePart(DocumentData& doc, const QByteArray& png, int number)
{
    const QString partName = QStringLiteral("word/media/image%1.png").arg(number);
    doc.package.setPart(partName, png);

    // Relationship from the main part.
    pugi::xml_node rels = doc.relationships.child("Relationships");
    QString id;
    for (int n = 1;; ++n) {
        id = QStringLiteral("rIdImg%1").arg(n);
        if (doc.relationshipTarget(id).isEmpty())
            break;
    }
    pugi::xml_node rel = rels.append_child("Relationship");
    rel.append_attribute("Id") = id.toUtf8().constData();
    rel.append_attribute("Type") = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/image";
    rel.append_attribute("Target") = QStringLiteral("media/image%1.png").arg(number).toUtf8().constData();

    pugi::xml_node types = doc.contentTypes.child("Types");
    bool hasPng = false;
    for (pugi::xml_node d : types.children("Default"))
        hasPng = hasPng
            || QString::fromUtf8(d.attribute("Extension").value()).compare(QLatin1String("png"), Qt::CaseInsensitive)
                == 0;
    if (!hasPng) {
        pugi::xml_node d = types.prepend_child("Default");
        d.append_attribute("Extension") = "png";
        d.append_attribute("ContentType") = "image/png";
    }
    return id;
}

// Declares the drawing namespaces on the document and returns a drawing id
// not yet in use: one above the highest, or, when that would leave the id's
// range (an unsigned 32-bit number), the lowest free one.
qint64 nextDrawingId(DocumentData& doc)
{
    pugi::xml_node root = doc.main.child("w:document");
    ensureDeclaration(root, "xmlns:wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
    ensureDeclaration(root, "xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    constexpr qint64 MaxId = 4294967295;
    std::set<qint64> inUse;
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "wp:docPr"))
            inUse.insert(n.attribute("id").as_llong());
    const qint64 highest = inUse.empty() ? 0 : *inUse.rbegin();
    if (highest >= 0 && highest < MaxId)
        return highest + 1;
    qint64 id = 1;
    while (inUse.count(id))
        ++id;
    return id;
}

QString drawingXml(qint64 cx, qint64 cy, qint64 docPrId, int number, const QString& id)
{
    return QStringLiteral(
        "<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
        "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
        "<wp:docPr id=\"%3\" name=\"Imagen %3\"/>"
        "<wp:cNvGraphicFramePr><a:graphicFrameLocks xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
        "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
        "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:nvPicPr><pic:cNvPr id=\"0\" name=\"image%4.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
        "<pic:blipFill><a:blip r:embed=\"%5\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
        "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing>")
        .arg(cx)
        .arg(cy)
        .arg(docPrId)
        .arg(number)
        .arg(id);
}

} // namespace

InlineShape addPicture(DocumentData& doc, const QString& file)
{
    QImage image;
    const QByteArray png = readAsPng(file, image);
    // Size from the picture's own resolution; 96 dpi when it records none.
    const double dpmX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780.0;
    const double dpmY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 3780.0;
    const qint64 cx = qint64(image.width() / dpmX * 36000000.0 + 0.5); // EMU: 36 000 per millimetre
    const qint64 cy = qint64(image.height() / dpmY * 36000000.0 + 0.5);

    const int number = pngCounter(doc.package);
    const QString id = addImagePart(doc, png, number);
    const qint64 docPrId = nextDrawingId(doc);

    ensurePoint(doc);
    clearSelected(doc);
    const Point at = doc.selection.point;
    pugi::xml_node run = insertAt(at, "w:r");
    copyRunProperties(run, doc.selection.format ? doc.selection.format->first_child() : neighbourFormatting(at));
    const QString xml = drawingXml(cx, cy, docPrId, number, id);
    pugi::xml_document fragment;
    const QByteArray bytes = xml.toUtf8();
    fragment.load_buffer(bytes.constData(), size_t(bytes.size()));
    run.append_copy(fragment.first_child());
    doc.dirty = true;
    return InlineShape(static_cast<double>(cx) / 12700.0, static_cast<double>(cy) / 12700.0);
}

int pictureCount(const DocumentData& doc)
{
    int count = 0;
    pugi::xml_node body = doc.body();
    for (pugi::xml_node n = body.first_child(); n; n = nextInOrder(n, body))
        count += is(n, "wp:inline") ? 1 : 0;
    return count;
}

} // namespace Word::detail
