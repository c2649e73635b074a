// Edits of a document's XML: form fields, bookmarks, tables, typing, pictures,
// paragraph alignment, find and replace.
#include "platform/word/DocumentData.h"
#include "platform/word/Word.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <cstring>
#include <initializer_list>

namespace Word::detail {

namespace {

const QChar EnSpace(0x2002);

bool isAny(const pugi::xml_node& node, std::initializer_list<const char*> names)
{
    for (const char* n : names)
        if (is(node, n))
            return true;
    return false;
}

pugi::xml_node ancestor(pugi::xml_node node, const char* name)
{
    while (node && !is(node, name))
        node = node.parent();
    return node;
}

pugi::xml_node insertAt(Point at, const char* name)
{
    return at.before ? at.parent.insert_child_before(name, at.before) : at.parent.append_child(name);
}

// Inserts child `name` into parent ahead of the first child named in `later`,
// keeping the element order the schema asks for.
pugi::xml_node childInOrder(pugi::xml_node parent, const char* name, std::initializer_list<const char*> later)
{
    if (pugi::xml_node existing = parent.child(name))
        return existing;
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (isAny(c, later))
            return parent.insert_child_before(name, c);
    return parent.append_child(name);
}

// Run properties fit to copy onto a new run (no revision marks).
void copyRunProperties(pugi::xml_node run, const pugi::xml_node& rPr)
{
    if (!rPr)
        return;
    pugi::xml_node copy = run.prepend_child("w:rPr");
    for (pugi::xml_node c : rPr.children())
        if (c.type() == pugi::node_element && !isAny(c, {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"}))
            copy.append_copy(c);
}

// Fills a run with text: tabs become w:tab, line feeds w:br.
void fillRun(pugi::xml_node run, const QString& text)
{
    QString piece;
    auto flush = [&] {
        if (piece.isEmpty())
            return;
        pugi::xml_node t = run.append_child("w:t");
        setText(t, piece);
        piece.clear();
    };
    for (QChar c : text) {
        if (c == u'\t') {
            flush();
            run.append_child("w:tab");
        } else if (c == u'\n' || c == QChar(0x0B)) {
            flush();
            run.append_child("w:br");
        } else {
            piece += c;
        }
    }
    flush();
}

pugi::xml_node makeRun(const Point& at, const pugi::xml_node& rPr, const QString& text)
{
    pugi::xml_node run = insertAt(at, "w:r");
    copyRunProperties(run, rPr);
    fillRun(run, text);
    return run;
}

bool valueIsFalse(const char* v)
{
    return std::strcmp(v, "0") == 0 || std::strcmp(v, "false") == 0 || std::strcmp(v, "off") == 0;
}

struct FieldSpan {
    pugi::xml_node begin, separate, end; // w:fldChar nodes
};

FieldSpan fieldSpan(const pugi::xml_node& begin)
{
    FieldSpan span{begin, {}, {}};
    pugi::xml_node root = begin.root();
    int depth = 0;
    for (pugi::xml_node n = nextSkippingChildren(begin, root); n; n = nextInOrder(n, root)) {
        if (!is(n, "w:fldChar"))
            continue;
        const char* type = n.attribute("w:fldCharType").value();
        if (std::strcmp(type, "begin") == 0) {
            ++depth;
        } else if (std::strcmp(type, "separate") == 0) {
            if (depth == 0 && !span.separate)
                span.separate = n;
        } else if (std::strcmp(type, "end") == 0) {
            if (depth == 0) {
                span.end = n;
                break;
            }
            --depth;
        }
    }
    return span;
}

// The runs strictly between two runs, in document order.
std::vector<pugi::xml_node> runsBetween(const pugi::xml_node& from, const pugi::xml_node& to)
{
    std::vector<pugi::xml_node> runs;
    pugi::xml_node root = from.root();
    for (pugi::xml_node n = nextSkippingChildren(from, root); n && n != to;) {
        if (is(n, "w:r")) {
            runs.push_back(n);
            n = nextSkippingChildren(n, root);
        } else {
            n = nextInOrder(n, root);
        }
    }
    return runs;
}

pugi::xml_node runProperties(const pugi::xml_node& run)
{
    return run.child("w:rPr");
}

// Formatting for text typed at a point: that of the run before it, else the run
// after it, else the paragraph mark's.
pugi::xml_node neighbourFormatting(const Point& at)
{
    for (pugi::xml_node n = at.before ? at.before.previous_sibling() : at.parent.last_child(); n; n = n.previous_sibling())
        if (is(n, "w:r"))
            return runProperties(n);
    for (pugi::xml_node n = at.before; n; n = n.next_sibling())
        if (is(n, "w:r"))
            return runProperties(n);
    return ancestor(at.parent, "w:p").child("w:pPr").child("w:rPr");
}

pugi::xml_node firstParagraph(const pugi::xml_node& container)
{
    for (pugi::xml_node n = container.first_child(); n; n = nextInOrder(n, container))
        if (is(n, "w:p"))
            return n;
    return {};
}

// A point at the start of a paragraph's content.
Point startOf(const pugi::xml_node& p)
{
    pugi::xml_node first = p.first_child();
    while (first && (first.type() != pugi::node_element || is(first, "w:pPr")))
        first = first.next_sibling();
    return {p, first};
}

void ensurePoint(DocumentData& doc)
{
    SelectionState& sel = doc.selection;
    if (sel.point.parent || sel.cell)
        return;
    pugi::xml_node p = firstParagraph(doc.body());
    if (!p) {
        pugi::xml_node sect = doc.body().child("w:sectPr");
        p = sect ? doc.body().insert_child_before("w:p", sect) : doc.body().append_child("w:p");
    }
    sel.point = startOf(p);
}

// Removes what the selection covers, leaving an insertion point.
void clearSelected(DocumentData& doc)
{
    SelectionState& sel = doc.selection;
    if (sel.cell) {
        pugi::xml_node keep;
        for (pugi::xml_node c = sel.cell.first_child(); c;) {
            pugi::xml_node next = c.next_sibling();
            if (is(c, "w:p") && !keep)
                keep = c;
            else if (c.type() == pugi::node_element && !is(c, "w:tcPr"))
                sel.cell.remove_child(c);
            c = next;
        }
        if (!keep)
            keep = sel.cell.append_child("w:p");
        for (pugi::xml_node c = keep.first_child(); c;) {
            pugi::xml_node next = c.next_sibling();
            if (!is(c, "w:pPr"))
                keep.remove_child(c);
            c = next;
        }
        sel.point = {keep, {}};
        sel.cell = {};
        doc.dirty = true;
    }
    if (!sel.selected.empty()) {
        sel.format = std::make_shared<pugi::xml_document>();
        if (pugi::xml_node rPr = runProperties(sel.selected.front()))
            sel.format->append_copy(rPr);
    }
    for (pugi::xml_node n : sel.selected)
        if (n && n != sel.point.before)
            n.parent().remove_child(n);
    if (!sel.selected.empty())
        doc.dirty = true;
    sel.selected.clear();
}

// Ends the paragraph at the point: what follows moves into a new paragraph with
// the same paragraph properties, and the point moves to its start.
void splitParagraph(SelectionState& sel)
{
    pugi::xml_node p = ancestor(sel.point.parent, "w:p");
    if (!p)
        return;
    // The point may lie inside a hyperlink or similar: split after that child.
    pugi::xml_node from = sel.point.before;
    if (sel.point.parent != p) {
        pugi::xml_node child = sel.point.parent;
        while (child.parent() != p)
            child = child.parent();
        from = child.next_sibling();
    }
    pugi::xml_node next = p.parent().insert_child_after("w:p", p);
    if (pugi::xml_node pPr = p.child("w:pPr")) {
        pugi::xml_node copy = next.append_copy(pPr);
        copy.remove_child("w:pPrChange");
        // A section break stays at the end of the section, now the new paragraph.
        pPr.remove_child("w:sectPr");
    }
    std::vector<pugi::xml_node> moving;
    for (pugi::xml_node n = from; n; n = n.next_sibling())
        moving.push_back(n);
    for (pugi::xml_node n : moving)
        next.append_move(n);
    sel.point = startOf(next);
}

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

} // namespace

bool is(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

QString text(const pugi::xml_node& node)
{
    return QString::fromUtf8(node.text().get());
}

QString xmlText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && QChar::isLowSurrogate(value.at(i + 1).unicode())) {
            out += value.at(i);
            out += value.at(++i);
        } else if (c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD)) {
            out += value.at(i);
        }
    }
    return out;
}

void setText(pugi::xml_node node, const QString& raw)
{
    const QString value = xmlText(raw);
    node.text().set(value.toUtf8().constData());
    const bool edges = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    pugi::xml_attribute space = node.attribute("xml:space");
    if (edges && !space)
        node.append_attribute("xml:space") = "preserve";
}

bool onOff(const pugi::xml_node& element)
{
    if (!element)
        return false;
    pugi::xml_attribute v = element.attribute("w:val");
    return !v || !valueIsFalse(v.value());
}

pugi::xml_node nextInOrder(pugi::xml_node node, const pugi::xml_node& root)
{
    if (node.first_child())
        return node.first_child();
    return nextSkippingChildren(node, root);
}

pugi::xml_node nextSkippingChildren(pugi::xml_node node, const pugi::xml_node& root)
{
    while (node && node != root) {
        if (node.next_sibling())
            return node.next_sibling();
        node = node.parent();
    }
    return {};
}

std::vector<pugi::xml_node> formFields(const pugi::xml_node& root)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:fldChar") && n.child("w:ffData")
            && std::strcmp(n.attribute("w:fldCharType").value(), "begin") == 0)
            out.push_back(n);
    return out;
}

QString formFieldName(const pugi::xml_node& begin)
{
    return QString::fromUtf8(begin.child("w:ffData").child("w:name").attribute("w:val").value());
}

pugi::xml_node findFormField(const pugi::xml_node& root, const QString& name)
{
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:ffData") && is(n.parent(), "w:fldChar")
            && QString::fromUtf8(n.child("w:name").attribute("w:val").value()).compare(name, Qt::CaseInsensitive) == 0
            && std::strcmp(n.parent().attribute("w:fldCharType").value(), "begin") == 0)
            return n.parent();
    return {};
}

bool isCheckBoxField(const pugi::xml_node& begin)
{
    return bool(begin.child("w:ffData").child("w:checkBox"));
}

QString fieldResult(const pugi::xml_node& begin)
{
    if (isCheckBoxField(begin))
        return checkBoxValue(begin) ? QStringLiteral("1") : QStringLiteral("0");
    const FieldSpan span = fieldSpan(begin);
    if (!span.separate || !span.end)
        return {};
    QString out;
    pugi::xml_node root = begin.root();
    for (pugi::xml_node n = nextInOrder(span.separate, root); n && n != span.end; n = nextInOrder(n, root)) {
        if (is(n, "w:t"))
            out += text(n);
        else if (is(n, "w:tab"))
            out += u'\t';
        else if (is(n, "w:br") || is(n, "w:cr"))
            out += u'\n';
    }
    // Word shows an empty text field as five en spaces.
    bool placeholder = !out.isEmpty();
    for (QChar c : out)
        placeholder = placeholder && c == EnSpace;
    return placeholder ? QString() : out;
}

void setFieldResult(const pugi::xml_node& begin, const QString& value)
{
    if (isCheckBoxField(begin)) {
        setCheckBoxValue(begin, value.trimmed() == QLatin1String("1") || value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0);
        return;
    }
    FieldSpan span = fieldSpan(begin);
    if (!span.end)
        throw Error(ErrorCode::BadDocument, QStringLiteral("El campo de formulario \"%1\" está incompleto.").arg(formFieldName(begin)));
    const pugi::xml_node beginRun = begin.parent(), endRun = span.end.parent();
    pugi::xml_node format = runProperties(beginRun);
    if (!span.separate) {
        pugi::xml_node run = endRun.parent().insert_child_before("w:r", endRun);
        copyRunProperties(run, format);
        span.separate = run.append_child("w:fldChar");
        span.separate.append_attribute("w:fldCharType") = "separate";
    }
    std::vector<pugi::xml_node> old = runsBetween(span.separate.parent(), endRun);
    for (pugi::xml_node r : old)
        if (r.child("w:t")) {
            format = runProperties(r);
            break;
        }
    pugi::xml_document keep; // the old runs' formatting must outlive their removal
    pugi::xml_node formatCopy = format ? keep.append_copy(format) : pugi::xml_node();
    for (pugi::xml_node r : old)
        r.parent().remove_child(r);
    QString shown = value;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    if (shown.isEmpty())
        shown = QString(5, EnSpace);
    makeRun({endRun.parent(), endRun}, formatCopy, shown);
}

bool checkBoxValue(const pugi::xml_node& begin)
{
    pugi::xml_node box = begin.child("w:ffData").child("w:checkBox");
    if (pugi::xml_node checked = box.child("w:checked"))
        return onOff(checked);
    return onOff(box.child("w:default"));
}

void setCheckBoxValue(const pugi::xml_node& begin, bool checked)
{
    pugi::xml_node box = begin.child("w:ffData").child("w:checkBox");
    box.remove_child("w:checked");
    pugi::xml_node c = box.append_child("w:checked");
    if (!checked)
        c.append_attribute("w:val") = "0";
}

pugi::xml_node findBookmark(const pugi::xml_node& root, const QString& name)
{
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:bookmarkStart")
            && QString::fromUtf8(n.attribute("w:name").value()).compare(name, Qt::CaseInsensitive) == 0)
            return n;
    return {};
}

std::vector<pugi::xml_node> topLevelTables(const pugi::xml_node& body)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = body.first_child(); n;) {
        if (is(n, "w:tbl")) {
            out.push_back(n);
            n = nextSkippingChildren(n, body);
        } else if (isAny(n, {"w:sdt", "w:sdtContent", "w:customXml"})) {
            n = nextInOrder(n, body);
        } else {
            n = nextSkippingChildren(n, body);
        }
    }
    return out;
}

pugi::xml_node tableCell(const pugi::xml_node& table, int row, int column)
{
    int r = 0;
    for (pugi::xml_node tr : table.children("w:tr"))
        if (++r == row) {
            int c = 0;
            for (pugi::xml_node tc : tr.children("w:tc"))
                if (++c == column)
                    return tc;
        }
    return {};
}

int tableRows(const pugi::xml_node& table)
{
    int r = 0;
    for (pugi::xml_node tr : table.children("w:tr")) {
        (void)tr;
        ++r;
    }
    return r;
}

void selectBookmark(DocumentData& doc, const pugi::xml_node& start)
{
    SelectionState& sel = doc.selection;
    sel = {};
    pugi::xml_node end;
    pugi::xml_node root = start.root();
    for (pugi::xml_node n = nextInOrder(start, root); n; n = nextInOrder(n, root))
        if (is(n, "w:bookmarkEnd") && std::strcmp(n.attribute("w:id").value(), start.attribute("w:id").value()) == 0) {
            end = n;
            break;
        }
    std::vector<pugi::xml_node> runs = end ? runsBetween(start, end) : std::vector<pugi::xml_node>{};
    if (runs.empty()) {
        // A point bookmark: text goes right after it.
        const bool adjacent = end && end == start.next_sibling();
        sel.point = adjacent ? Point{end.parent(), end.next_sibling()} : Point{start.parent(), start.next_sibling()};
    } else {
        sel.selected = runs;
        sel.point = {end.parent(), end};
    }
}

void selectCell(DocumentData& doc, const pugi::xml_node& cell)
{
    doc.selection = {};
    doc.selection.cell = cell;
}

void typeText(DocumentData& doc, const QString& value)
{
    ensurePoint(doc);
    clearSelected(doc);
    SelectionState& sel = doc.selection;
    QString piece;
    auto flush = [&] {
        if (!piece.isEmpty())
            makeRun(sel.point, sel.format ? sel.format->first_child() : neighbourFormatting(sel.point), piece);
        piece.clear();
    };
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == u'\r' || c == u'\n') {
            flush();
            if (c == u'\r' && i + 1 < value.size() && value.at(i + 1) == u'\n')
                ++i;
            splitParagraph(sel);
        } else {
            piece += c;
        }
    }
    flush();
    doc.dirty = true;
}

InlineShape addPicture(DocumentData& doc, const QString& file)
{
    if (!QFileInfo(file).isFile())
        throw Error(ErrorCode::FileNotFound, QStringLiteral("No se encuentra el archivo \"%1\".").arg(file));
    QImageReader reader(file);
    QImage image = reader.read();
    if (image.isNull())
        throw Error(ErrorCode::BadPicture,
                    QStringLiteral("El archivo \"%1\" no es una imagen válida (%2).").arg(file, reader.errorString()));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw Error(ErrorCode::BadPicture, QStringLiteral("No se puede convertir la imagen \"%1\".").arg(file));

    // Size from the picture's own resolution; 96 dpi when it records none.
    const double dpmX = image.dotsPerMeterX() > 0 ? image.dotsPerMeterX() : 3780.0;
    const double dpmY = image.dotsPerMeterY() > 0 ? image.dotsPerMeterY() : 3780.0;
    const qint64 cx = qint64(image.width() / dpmX * 36000000.0 + 0.5); // EMU: 36 000 per millimetre
    const qint64 cy = qint64(image.height() / dpmY * 36000000.0 + 0.5);

    const int number = pngCounter(doc.package);
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
        hasPng = hasPng || QString::fromUtf8(d.attribute("Extension").value()).compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    if (!hasPng) {
        pugi::xml_node d = types.prepend_child("Default");
        d.append_attribute("Extension") = "png";
        d.append_attribute("ContentType") = "image/png";
    }

    pugi::xml_node root = doc.main.child("w:document");
    ensureDeclaration(root, "xmlns:wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing");
    ensureDeclaration(root, "xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships");
    int docPrId = 0;
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "wp:docPr"))
            docPrId = std::max(docPrId, n.attribute("id").as_int());
    ++docPrId;

    ensurePoint(doc);
    clearSelected(doc);
    const Point at = doc.selection.point;
    pugi::xml_node run = insertAt(at, "w:r");
    copyRunProperties(run, doc.selection.format ? doc.selection.format->first_child() : neighbourFormatting(at));
    const QString xml = QStringLiteral(
        "<w:drawing><wp:inline distT=\"0\" distB=\"0\" distL=\"0\" distR=\"0\">"
        "<wp:extent cx=\"%1\" cy=\"%2\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/>"
        "<wp:docPr id=\"%3\" name=\"Imagen %3\"/>"
        "<wp:cNvGraphicFramePr><a:graphicFrameLocks xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" noChangeAspect=\"1\"/></wp:cNvGraphicFramePr>"
        "<a:graphic xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\">"
        "<a:graphicData uri=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:pic xmlns:pic=\"http://schemas.openxmlformats.org/drawingml/2006/picture\">"
        "<pic:nvPicPr><pic:cNvPr id=\"0\" name=\"image%4.png\"/><pic:cNvPicPr/></pic:nvPicPr>"
        "<pic:blipFill><a:blip r:embed=\"%5\"/><a:stretch><a:fillRect/></a:stretch></pic:blipFill>"
        "<pic:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"%1\" cy=\"%2\"/></a:xfrm>"
        "<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></pic:spPr>"
        "</pic:pic></a:graphicData></a:graphic></wp:inline></w:drawing>")
        .arg(cx).arg(cy).arg(docPrId).arg(number).arg(id);
    pugi::xml_document fragment;
    const QByteArray bytes = xml.toUtf8();
    fragment.load_buffer(bytes.constData(), size_t(bytes.size()));
    run.append_copy(fragment.first_child());
    doc.dirty = true;
    return InlineShape(cx / 12700.0, cy / 12700.0);
}

int pictureCount(const DocumentData& doc)
{
    int count = 0;
    pugi::xml_node body = doc.body();
    for (pugi::xml_node n = body.first_child(); n; n = nextInOrder(n, body))
        count += is(n, "wp:inline") ? 1 : 0;
    return count;
}

namespace {

std::vector<pugi::xml_node> selectedParagraphs(DocumentData& doc)
{
    std::vector<pugi::xml_node> out;
    const SelectionState& sel = doc.selection;
    if (sel.cell) {
        for (pugi::xml_node n = sel.cell.first_child(); n; n = nextInOrder(n, sel.cell))
            if (is(n, "w:p"))
                out.push_back(n);
        return out;
    }
    ensurePoint(doc);
    for (pugi::xml_node n : sel.selected) {
        pugi::xml_node p = ancestor(n, "w:p");
        if (p && (out.empty() || out.back() != p))
            out.push_back(p);
    }
    if (out.empty())
        if (pugi::xml_node p = ancestor(doc.selection.point.parent, "w:p"))
            out.push_back(p);
    return out;
}

} // namespace

int alignment(const DocumentData& doc)
{
    std::vector<pugi::xml_node> ps = selectedParagraphs(const_cast<DocumentData&>(doc));
    if (ps.empty())
        return 0;
    const char* v = ps.front().child("w:pPr").child("w:jc").attribute("w:val").value();
    if (!std::strcmp(v, "center"))
        return 1;
    if (!std::strcmp(v, "right") || !std::strcmp(v, "end"))
        return 2;
    if (!std::strcmp(v, "both") || !std::strcmp(v, "distribute"))
        return 3;
    return 0;
}

void setAlignment(DocumentData& doc, int value)
{
    static const char* const names[] = {"left", "center", "right", "both"};
    if (value < 0 || value > 3)
        throw Error(ErrorCode::BadParameter, QStringLiteral("Alineación de párrafo no válida: %1.").arg(value));
    for (pugi::xml_node p : selectedParagraphs(doc)) {
        pugi::xml_node pPr = p.child("w:pPr");
        if (!pPr)
            pPr = p.prepend_child("w:pPr");
        pugi::xml_node jc = childInOrder(pPr, "w:jc",
                                         {"w:textDirection", "w:textAlignment", "w:textboxTightWrap", "w:outlineLvl",
                                          "w:divId", "w:cnfStyle", "w:rPr", "w:sectPr", "w:pPrChange"});
        jc.remove_attribute("w:val");
        jc.append_attribute("w:val") = names[value];
    }
    doc.dirty = true;
}

namespace {

QString runsText(const std::vector<pugi::xml_node>& runs)
{
    QString out;
    for (pugi::xml_node r : runs)
        for (pugi::xml_node c : r.children()) {
            if (is(c, "w:t"))
                out += text(c);
            else if (is(c, "w:tab"))
                out += u'\t';
        }
    return out;
}

// One character of a paragraph's text and where it lives: a w:t and an offset
// in it, or a w:tab (offset -1).
struct CharLoc {
    pugi::xml_node node;
    int offset;
};

struct ParagraphMap {
    pugi::xml_node paragraph;
    QString text;
    std::vector<CharLoc> locs;
};

bool skipsInParagraph(const pugi::xml_node& n)
{
    // Nested stories (text boxes) and the fallback copy of alternate content are
    // not this paragraph's text.
    return isAny(n, {"w:drawing", "w:pict", "w:object", "mc:Fallback", "w:txbxContent"});
}

ParagraphMap mapParagraph(const pugi::xml_node& p)
{
    ParagraphMap map{p, {}, {}};
    for (pugi::xml_node n = p.first_child(); n;) {
        if (skipsInParagraph(n)) {
            n = nextSkippingChildren(n, p);
            continue;
        }
        if (is(n, "w:t")) {
            const QString t = text(n);
            for (int i = 0; i < t.size(); ++i)
                map.locs.push_back({n, i});
            map.text += t;
        } else if (is(n, "w:tab") && is(n.parent(), "w:r")) {
            map.locs.push_back({n, -1});
            map.text += u'\t';
        }
        n = nextInOrder(n, p);
    }
    return map;
}

std::vector<pugi::xml_node> paragraphsOf(const pugi::xml_node& root)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:p"))
            out.push_back(n);
    return out;
}

std::vector<int> matchesIn(const ParagraphMap& map, const FindOptions& o)
{
    std::vector<int> out;
    if (o.text.isEmpty())
        return out;
    const Qt::CaseSensitivity cs = o.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == u'_'; };
    for (int at = map.text.indexOf(o.text, 0, cs); at >= 0; at = map.text.indexOf(o.text, at + 1, cs)) {
        const int end = at + int(o.text.size());
        if (o.wholeWord && ((at > 0 && wordChar(map.text.at(at - 1))) || (end < map.text.size() && wordChar(map.text.at(end)))))
            continue;
        if (!out.empty() && at < out.back() + o.text.size())
            continue; // overlapping
        out.push_back(at);
    }
    return out;
}

// Replaces text[at, at+length) of a mapped paragraph. The map stays valid for
// matches to the left of this one.
void replaceAt(const ParagraphMap& map, int at, int length, const QString& replacement)
{
    bool placed = false;
    auto place = [&](const CharLoc& loc) {
        if (placed || replacement.isEmpty()) {
            placed = true;
            return;
        }
        placed = true;
        if (loc.offset >= 0) {
            QString t = text(loc.node);
            t.insert(loc.offset, replacement);
            setText(loc.node, t);
        } else {
            pugi::xml_node t = loc.node.parent().insert_child_before("w:t", loc.node);
            setText(t, replacement);
        }
    };
    // Delete from the right so that earlier offsets in the same w:t stay put.
    const int shift = int(replacement.size());
    for (int i = at + length - 1; i >= at; --i) {
        const CharLoc& loc = map.locs[size_t(i)];
        if (loc.offset < 0) {
            if (i == at)
                place(loc);
            loc.node.parent().remove_child(loc.node);
            continue;
        }
        QString t = text(loc.node);
        t.remove(loc.offset, 1);
        setText(loc.node, t);
        if (i == at)
            place(loc);
    }
    (void)shift;
}

// Splits the run holding character `loc` so that a run starts at it; returns that run.
pugi::xml_node splitRunBefore(const CharLoc& loc)
{
    pugi::xml_node run = loc.node.parent();
    pugi::xml_node first = loc.node;
    if (loc.offset > 0) {
        const QString t = text(loc.node);
        setText(loc.node, t.left(loc.offset));
        first = run.insert_child_after("w:t", loc.node);
        setText(first, t.mid(loc.offset));
    }
    bool contentBefore = false;
    for (pugi::xml_node c = run.first_child(); c && c != first; c = c.next_sibling())
        contentBefore = contentBefore || (c.type() == pugi::node_element && !is(c, "w:rPr"));
    if (!contentBefore)
        return run;
    pugi::xml_node next = run.parent().insert_child_after("w:r", run);
    copyRunProperties(next, runProperties(run));
    std::vector<pugi::xml_node> moving;
    for (pugi::xml_node c = first; c; c = c.next_sibling())
        moving.push_back(c);
    for (pugi::xml_node c : moving)
        next.append_move(c);
    return next;
}

// Where the selection begins or ends, as (paragraph index, character offset).
std::pair<int, int> selectionOffset(DocumentData& doc, const std::vector<pugi::xml_node>& paragraphs, bool atStart)
{
    ensurePoint(doc);
    const SelectionState& sel = doc.selection;
    pugi::xml_node target;
    pugi::xml_node p;
    if (sel.cell) {
        p = firstParagraph(sel.cell);
        target = startOf(p).before;
    } else if (atStart && !sel.selected.empty()) {
        target = sel.selected.front();
        p = ancestor(target, "w:p");
    } else {
        p = ancestor(sel.point.parent, "w:p");
        target = sel.point.before ? sel.point.before : nextSkippingChildren(sel.point.parent, p);
    }
    int index = 0;
    for (size_t i = 0; i < paragraphs.size(); ++i)
        if (paragraphs[i] == p)
            index = int(i);
    int offset = 0;
    for (pugi::xml_node n = p.first_child(); n && n != target; n = nextInOrder(n, p)) {
        if (skipsInParagraph(n))
            continue;
        if (is(n, "w:t"))
            offset += int(text(n).size());
        else if (is(n, "w:tab") && is(n.parent(), "w:r"))
            ++offset;
    }
    return {index, offset};
}

void selectMatch(DocumentData& doc, const pugi::xml_node& p, int at, int length)
{
    ParagraphMap map = mapParagraph(p);
    if (at + length < map.text.size())
        splitRunBefore(map.locs[size_t(at + length)]);
    map = mapParagraph(p);
    splitRunBefore(map.locs[size_t(at)]);
    map = mapParagraph(p);
    std::vector<pugi::xml_node> runs;
    for (int i = at; i < at + length; ++i) {
        pugi::xml_node r = map.locs[size_t(i)].node.parent();
        if (runs.empty() || runs.back() != r)
            runs.push_back(r);
    }
    doc.selection = {};
    doc.selection.selected = runs;
    doc.selection.point = {runs.back().parent(), runs.back().next_sibling()};
}

} // namespace

QString selectionText(const DocumentData& doc)
{
    const SelectionState& sel = doc.selection;
    if (sel.cell) {
        QStringList lines;
        for (pugi::xml_node n = sel.cell.first_child(); n; n = nextInOrder(n, sel.cell))
            if (is(n, "w:p"))
                lines << paragraphText(n);
        return lines.join(u'\r');
    }
    return runsText(sel.selected);
}

bool find(DocumentData& doc, const FindOptions& o, int replace)
{
    if (o.text.isEmpty())
        return false;
    if (replace == 2) {
        std::vector<pugi::xml_node> roots{doc.body()};
        for (const Story& s : doc.stories)
            roots.push_back(s.xml->document_element());
        bool any = false;
        for (const pugi::xml_node& root : roots)
            for (pugi::xml_node p : paragraphsOf(root)) {
                const ParagraphMap map = mapParagraph(p);
                const std::vector<int> hits = matchesIn(map, o);
                for (auto it = hits.rbegin(); it != hits.rend(); ++it)
                    replaceAt(map, *it, int(o.text.size()), o.replacement);
                any = any || !hits.empty();
            }
        if (any) {
            doc.dirty = true;
            doc.selection = {};
        }
        return any;
    }

    const std::vector<pugi::xml_node> paragraphs = paragraphsOf(doc.body());
    if (paragraphs.empty())
        return false;
    const auto [startPara, startOffset] = selectionOffset(doc, paragraphs, !o.forward);
    const int n = int(paragraphs.size());
    // Visit paragraphs from the selection onward (or backward), then, with
    // wrapping, the rest of the document.
    for (int step = 0; step <= n; ++step) {
        int index;
        if (o.forward)
            index = startPara + step;
        else
            index = startPara - step;
        if (index >= n || index < 0) {
            if (!o.wrap)
                break;
            index = (index + n) % n;
        }
        const ParagraphMap map = mapParagraph(paragraphs[size_t(index)]);
        int hit = -1;
        for (int at : matchesIn(map, o)) {
            const bool first = step == 0, last = step == n;
            const bool after = at >= startOffset, before = at + o.text.size() <= startOffset;
            if (o.forward ? ((first && !after) || (last && after)) : ((first && !before) || (last && before)))
                continue;
            if (o.forward) {
                hit = at;
                break;
            }
            hit = at; // backward: the last one qualifying
        }
        if (hit < 0)
            continue;
        selectMatch(doc, paragraphs[size_t(index)], hit, int(o.text.size()));
        if (replace == 1)
            typeText(doc, o.replacement);
        return true;
    }
    return false;
}

QString paragraphText(const pugi::xml_node& paragraph)
{
    return mapParagraph(paragraph).text;
}

QString contentText(const DocumentData& doc)
{
    QStringList lines;
    for (pugi::xml_node p : paragraphsOf(doc.body()))
        lines << paragraphText(p);
    return lines.join(u'\n');
}

} // namespace Word::detail
