// Placing the laid-out units on pages, with headers and footers.
#include "platform/word/Layouter.h"

#include <cstring>

namespace Word::detail {

void translate(std::vector<Op>& ops, double dx, double dy, std::vector<Op>& into)
{
    const QPointF d(dx, dy);
    for (Op op : ops) {
        std::visit(
            [&](auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, TextOp>)
                    o.baseline += d;
                else if constexpr (std::is_same_v<T, LineOp>)
                    o.line.translate(d);
                else
                    o.rect.translate(d);
            },
            op);
        into.push_back(std::move(op));
    }
}

Layouter::Layouter(const DocumentData& doc, Rendering& out) : doc_(doc), out_(out), styles_(doc) { }

void Layouter::run()
{
    pugi::xml_node body = doc_.body();
    pugi::xml_node sect = body.child("w:sectPr");
    pugi::xml_node pgSz = sect.child("w:pgSz"), pgMar = sect.child("w:pgMar");
    pageW_ = twips(pgSz, "w:w", 11906);
    pageH_ = twips(pgSz, "w:h", 16838);
    if (pageW_ < 1440 || pageW_ > 100000 || pageH_ < 1440 || pageH_ > 100000) {
        pageW_ = 11906;
        pageH_ = 16838;
    }
    top_ = std::abs(twips(pgMar, "w:top", 1417));
    bottom_ = std::abs(twips(pgMar, "w:bottom", 1417));
    left_ = twips(pgMar, "w:left", 1701);
    right_ = twips(pgMar, "w:right", 1701);
    headerY_ = twips(pgMar, "w:header", 708);
    footerY_ = twips(pgMar, "w:footer", 708);
    if (left_ + right_ > pageW_ - 1440)
        left_ = right_ = 1440;
    if (top_ + bottom_ > pageH_ - 1440)
        top_ = bottom_ = 1440;
    width_ = pageW_ - left_ - right_;

    std::vector<Unit> units;
    blocks(body, width_, units);
    paginate(units);
    decorate(sect);
}

void Layouter::blocks(const pugi::xml_node& container, double width, std::vector<Unit>& units)
{
    Deeper guard(depth_);
    if (depth_ > MaxDepth)
        return;
    for (pugi::xml_node n = container.first_child(); n; n = n.next_sibling()) {
        if (is(n, "w:p"))
            paragraph(n, width, units);
        else if (is(n, "w:tbl"))
            table(n, width, units);
        else if (is(n, "w:sdt"))
            blocks(n.child("w:sdtContent"), width, units);
        else if (is(n, "w:customXml"))
            blocks(n, width, units);
    }
}

void Layouter::newPage() { out_.pages().push_back(Page{QSizeF(pageW_, pageH_), {}}); }

void Layouter::paginate(std::vector<Unit>& units)
{
    newPage();
    double y = top_;
    const double limit = pageH_ - bottom_;
    bool pageEmpty = true;
    std::vector<const Unit*> headers; // header rows of the table being placed
    for (size_t i = 0; i < units.size(); ++i) {
        Unit& u = units[i];
        if (u.headerRow) {
            if (!headers.empty() && headers.front()->table != u.table)
                headers.clear();
            headers.push_back(&u);
        }
        const double before = pageEmpty ? 0 : u.spaceBefore;
        // A paragraph kept with the next one moves with it to a new page.
        double need = before + u.height;
        for (size_t j = i; j + 1 < units.size() && units[j].keepWithNext; ++j)
            need += units[j + 1].spaceBefore + units[j + 1].height;
        need = std::min(need, limit - top_);
        if (!pageEmpty && (u.pageBreakBefore || y + need > limit)) {
            newPage();
            y = top_;
            pageEmpty = true;
            if (u.table && !u.headerRow && !headers.empty() && headers.front()->table == u.table) {
                for (const Unit* h : headers) {
                    std::vector<Op> copy = h->ops;
                    translate(copy, left_, y, out_.pages().back().ops);
                    y += h->height;
                }
                pageEmpty = false;
            }
        }
        y += pageEmpty ? 0 : u.spaceBefore;
        translate(u.ops, left_, y, out_.pages().back().ops);
        y += u.height;
        pageEmpty = false;
    }
}

void Layouter::decorate(const pugi::xml_node& sect)
{
    auto story = [&](const char* reference) -> const pugi::xml_document* {
        for (pugi::xml_node ref : sect.children(reference))
            if (!ref.attribute("w:type") || !std::strcmp(ref.attribute("w:type").value(), "default"))
                return doc_.story(doc_.relationshipTarget(QString::fromUtf8(ref.attribute("r:id").value())));
        return nullptr;
    };
    auto place = [&](const pugi::xml_document* xml, bool header) {
        if (!xml)
            return;
        std::vector<Unit> units;
        blocks(xml->document_element(), width_, units);
        std::vector<Op> ops;
        double y = 0;
        for (Unit& u : units) {
            y += (&u == &units.front()) ? 0 : u.spaceBefore;
            translate(u.ops, 0, y, ops);
            y += u.height;
        }
        const double top = header ? headerY_ : pageH_ - footerY_ - y;
        for (Page& page : out_.pages())
            translate(ops, left_, top, page.ops);
    };
    place(story("w:headerReference"), true);
    place(story("w:footerReference"), false);
}

Rendering Rendering::layout(const DocumentData& document)
{
    Rendering out;
    Layouter(document, out).run();
    return out;
}

} // namespace Word::detail
