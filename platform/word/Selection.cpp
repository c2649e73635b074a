// The selection: bookmarks and table cells to select, typing over it,
// paragraph alignment.
#include "platform/word/DocumentData.h"
#include "platform/word/Error.h"
#include "platform/word/XmlEdit.h"

#include <cstring>

namespace Word::detail {

namespace {

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

// Formatting for text typed at a point: that of the run before it, else the run
// after it, else the paragraph mark's.
pugi::xml_node neighbourFormatting(const Point& at)
{
    for (pugi::xml_node n = at.before ? at.before.previous_sibling() : at.parent.last_child(); n;
         n = n.previous_sibling())
        if (is(n, "w:r"))
            return runProperties(n);
    for (pugi::xml_node n = at.before; n; n = n.next_sibling())
        if (is(n, "w:r"))
            return runProperties(n);
    return ancestor(at.parent, "w:p").child("w:pPr").child("w:rPr");
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
            {"w:textDirection", "w:textAlignment", "w:textboxTightWrap", "w:outlineLvl", "w:divId", "w:cnfStyle",
                "w:rPr", "w:sectPr", "w:pPrChange"});
        jc.remove_attribute("w:val");
        jc.append_attribute("w:val") = names[value];
    }
    doc.dirty = true;
}
} // namespace Word::detail
