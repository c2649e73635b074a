// Tables: grid, cell widths and margins, borders and shading, rows as units.
#include "platform/word/Layouter.h"

#include <cstring>

namespace Word::detail {

pugi::xml_node Layouter::side(const pugi::xml_node& parent, const char* name, const char* alt)
{
    pugi::xml_node n = parent.child(name);
    return n || !alt ? n : parent.child(alt);
}

void Layouter::applyBorders(CellBorders& b, const pugi::xml_node& borders)
{
    if (!borders)
        return;
    auto set = [&](Border& into, const char* a, const char* alt) {
        if (pugi::xml_node n = side(borders, a, alt))
            into = border(n);
    };
    set(b.top, "w:top", nullptr);
    set(b.bottom, "w:bottom", nullptr);
    set(b.left, "w:left", "w:start");
    set(b.right, "w:right", "w:end");
    set(b.insideH, "w:insideH", nullptr);
    set(b.insideV, "w:insideV", nullptr);
}

void Layouter::applyMargins(Margins& m, const pugi::xml_node& mar)
{
    if (!mar)
        return;
    auto get = [&](double& into, const char* a, const char* alt) {
        if (pugi::xml_node n = side(mar, a, alt))
            into = capped(n.attribute("w:w").as_double(into), 0, MaxTwips);
    };
    get(m.top, "w:top", nullptr);
    get(m.bottom, "w:bottom", nullptr);
    get(m.left, "w:left", "w:start");
    get(m.right, "w:right", "w:end");
}

// The table's borders and cell margins (style, then its own), and the x of
// each grid line.
Layouter::TableFrame Layouter::tableFrame(const pugi::xml_node& tbl, double available)
{
    pugi::xml_node tblPr = tbl.child("w:tblPr");
    TableFrame frame;
    for (const pugi::xml_node& s : styles_.tableStyle(tblPr)) {
        applyBorders(frame.borders, s.child("w:tblBorders"));
        applyMargins(frame.margins, s.child("w:tblCellMar"));
    }
    applyBorders(frame.borders, tblPr.child("w:tblBorders"));
    applyMargins(frame.margins, tblPr.child("w:tblCellMar"));

    std::vector<double> grid;
    for (pugi::xml_node g : tbl.child("w:tblGrid").children("w:gridCol"))
        grid.push_back(capped(g.attribute("w:w").as_double(), 0, MaxTwips));
    size_t columns = 0;
    for (pugi::xml_node tr : tbl.children("w:tr")) {
        size_t c = 0;
        for (pugi::xml_node tc : tr.children("w:tc"))
            c += size_t(gridSpan(tc.child("w:tcPr")));
        columns = std::max(columns, c);
    }
    columns = std::min<size_t>(columns, MaxGridSpan);
    double total = 0;
    for (double g : grid)
        total += g;
    if (grid.size() < columns || total <= 0) {
        grid.assign(std::max<size_t>(columns, 1), available / double(std::max<size_t>(columns, 1)));
        total = available;
    }
    double x0 = capped(tblPr.child("w:tblInd").attribute("w:w").as_double(0), -MaxTwips, MaxTwips);
    const char* jc = tblPr.child("w:jc").attribute("w:val").value();
    if (!std::strcmp(jc, "center"))
        x0 = (available - total) / 2;
    else if (!std::strcmp(jc, "right") || !std::strcmp(jc, "end"))
        x0 = available - total;
    frame.edges.push_back(x0);
    for (double g : grid)
        frame.edges.push_back(frame.edges.back() + g);
    return frame;
}

// Whether the cell of the row starting at grid column `col` continues a vertical merge.
bool Layouter::continuesMerge(const pugi::xml_node& row, size_t col)
{
    size_t c = 0;
    for (pugi::xml_node cell : row.children("w:tc")) {
        pugi::xml_node tcPr = cell.child("w:tcPr");
        if (c == col) {
            pugi::xml_node vMerge = tcPr.child("w:vMerge");
            return vMerge && std::strcmp(vMerge.attribute("w:val").value(), "restart") != 0;
        }
        c += size_t(gridSpan(tcPr));
    }
    return false;
}

// The cells of row r, with their edges, fill, alignment and laid-out content.
std::vector<Layouter::CellBox> Layouter::rowCells(
    const std::vector<pugi::xml_node>& rows, size_t r, const TableFrame& frame)
{
    const CellBorders& tb = frame.borders;
    const size_t gridColumns = frame.edges.size() - 1;
    std::vector<CellBox> cells;
    size_t col = 0;
    for (pugi::xml_node tc : rows[r].children("w:tc")) {
        pugi::xml_node tcPr = tc.child("w:tcPr");
        const size_t span = size_t(gridSpan(tcPr));
        if (col >= gridColumns)
            break;
        const size_t endCol = std::min(gridColumns, col + span);
        CellBox cell{
            frame.edges[col], frame.edges[endCol] - frame.edges[col], {}, 0, {}, {}, 0, frame.margins, false, false};
        // Edges: the table's outer borders or its inside lines, then the cell's own.
        cell.borders.top = r == 0 ? tb.top : tb.insideH;
        cell.borders.bottom = r + 1 == rows.size() ? tb.bottom : tb.insideH;
        cell.borders.left = col == 0 ? tb.left : tb.insideV;
        cell.borders.right = endCol == gridColumns ? tb.right : tb.insideV;
        applyBorders(cell.borders, tcPr.child("w:tcBorders"));
        applyMargins(cell.m, tcPr.child("w:tcMar"));
        cell.fill = hexColor(tcPr.child("w:shd").attribute("w:fill").value(), QColor());
        const char* va = tcPr.child("w:vAlign").attribute("w:val").value();
        cell.vAlign = !std::strcmp(va, "center") ? 1 : !std::strcmp(va, "bottom") ? 2 : 0;
        pugi::xml_node vMerge = tcPr.child("w:vMerge");
        cell.mergedAbove = vMerge && std::strcmp(vMerge.attribute("w:val").value(), "restart") != 0;
        cell.mergedBelow = r + 1 < rows.size() && continuesMerge(rows[r + 1], col);
        if (!cell.mergedAbove) {
            std::vector<Unit> inner;
            blocks(tc, std::max(1.0, cell.w - cell.m.left - cell.m.right), inner);
            double y = 0;
            for (Unit& u : inner) {
                y += (&u == &inner.front()) ? 0 : u.spaceBefore;
                translate(u.ops, cell.m.left, y, cell.ops);
                y += u.height;
            }
            cell.contentHeight = y;
        }
        cells.push_back(std::move(cell));
        col = endCol;
    }
    return cells;
}

// Draws a row's cells: fill, content placed by vertical alignment, borders.
void Layouter::drawCells(std::vector<CellBox>& cells, double height, Unit& u)
{
    auto edge = [&](const Border& b, QLineF l) {
        if (!b.present)
            return;
        u.ops.push_back(LineOp{l, b.width, b.color, b.style});
        if (b.doubled) {
            const QPointF n = QLineF(l).normalVector().unitVector().p2() - l.p1();
            u.ops.push_back(LineOp{l.translated(n * b.width * 2), b.width, b.color, b.style});
        }
    };
    for (CellBox& c : cells) {
        if (c.fill.isValid())
            u.ops.push_back(FillOp{QRectF(c.x, 0, c.w, height), c.fill});
        double dy = c.m.top;
        const double free = height - c.m.top - c.m.bottom - c.contentHeight;
        if (c.vAlign == 1)
            dy += std::max(0.0, free / 2);
        else if (c.vAlign == 2)
            dy += std::max(0.0, free);
        translate(c.ops, c.x, dy, u.ops);
        if (!c.mergedAbove)
            edge(c.borders.top, QLineF(c.x, 0, c.x + c.w, 0));
        if (!c.mergedBelow)
            edge(c.borders.bottom, QLineF(c.x, height, c.x + c.w, height));
        edge(c.borders.left, QLineF(c.x, 0, c.x, height));
        edge(c.borders.right, QLineF(c.x + c.w, 0, c.x + c.w, height));
    }
}

void Layouter::table(const pugi::xml_node& tbl, double available, std::vector<Unit>& units)
{
    const TableFrame frame = tableFrame(tbl, available);
    std::vector<pugi::xml_node> rows;
    for (pugi::xml_node tr : tbl.children("w:tr"))
        rows.push_back(tr);
    const int tableId = ++tables_;
    bool heading = true; // header rows lead the table
    for (size_t r = 0; r < rows.size(); ++r) {
        pugi::xml_node trHeight = rows[r].child("w:trPr").child("w:trHeight");
        const double minHeight = capped(trHeight.attribute("w:val").as_double(0), 0, MaxTwips);
        const bool exact = !std::strcmp(trHeight.attribute("w:hRule").value(), "exact");
        std::vector<CellBox> cells = rowCells(rows, r, frame);
        double height = minHeight;
        if (!exact)
            for (const CellBox& c : cells)
                height = std::max(height, c.contentHeight + c.m.top + c.m.bottom);
        if (height <= 0)
            height = 240;

        Unit u;
        u.height = height;
        u.table = tableId;
        heading = heading && onOff(rows[r].child("w:trPr").child("w:tblHeader"));
        u.headerRow = heading;
        drawCells(cells, height, u);
        units.push_back(std::move(u));
    }
}

} // namespace Word::detail
