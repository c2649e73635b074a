#pragma once
// Lays a document out: block content becomes units (lines of paragraphs,
// table rows), which are then placed on pages (inside the component).
#include "platform/word/Layout.h"
#include "platform/word/LayoutStyles.h"

#include <QFontMetricsF>
#include <map>
#include <optional>
#include <vector>

namespace Word::detail {

// ---- laid-out pieces -----------------------------------------------------------

// A piece that is placed whole on a page: a line of a paragraph or a table row.
struct Unit {
    double height = 0;
    double spaceBefore = 0;
    bool pageBreakBefore = false;
    bool keepWithNext = false; // on the same page as the unit after it
    int table = 0;             // the table a row belongs to (0: not a row)
    bool headerRow = false;    // repeated at the top of each page the table runs on
    std::vector<Op> ops;       // x from the frame's left edge, y from the unit's top
};

// Appends ops moved by (dx, dy) to `into`.
void translate(std::vector<Op>& ops, double dx, double dy, std::vector<Op>& into);

// An inline item of a paragraph before line breaking.
struct Item {
    enum Kind { Text, Tab, Break, PageBreak, Picture, Box } kind;
    explicit Item(Kind k) : kind(k) { }
    QString text;
    int font = -1;
    RunProps run;
    double width = 0;      // without trailing spaces
    double spaceWidth = 0; // of trailing spaces
    double ascent = 0, descent = 0;
    int image = -1;
    bool checked = false;
};

class Layouter {
public:
    Layouter(const DocumentData& doc, Rendering& out);

    void run();

private:
    // Block content (paragraphs, tables) of a container, as units.
    // Nesting deeper than any real document is not followed (it would only
    // exhaust the stack).
    static constexpr int MaxDepth = 40;
    struct Deeper {
        int& depth;
        explicit Deeper(int& d) : depth(++d) { }
        ~Deeper() { --depth; }
    };

    void blocks(const pugi::xml_node& container, double width, std::vector<Unit>& units);

    int font(const RunProps& r);
    const QFontMetricsF& metrics(int f) const { return *metrics_[size_t(f)]; }

    void addText(std::vector<Item>& items, const RunProps& r, QString t);

    void addSpecial(std::vector<Item>& items, Item::Kind kind, const RunProps& r);

    void addPicture(std::vector<Item>& items, const pugi::xml_node& inlineNode, const RunProps& r);

    // Inline content of a paragraph. Fields: instructions are not shown, results
    // are; a check-box form field is drawn as a box.
    void inlines(
        const pugi::xml_node& parent, const RunProps& paraRun, std::vector<Item>& items, std::vector<bool>& fields);
    static bool showing(const std::vector<bool>& fields);
    void fieldChar(const pugi::xml_node& c, const RunProps& r, std::vector<Item>& items, std::vector<bool>& fields);
    void runChild(const pugi::xml_node& c, const RunProps& r, std::vector<Item>& items);

    static QString counterText(int n, const char* format);

    // The number or bullet of a list paragraph, followed by its tab.
    void listLabel(ParaProps& pp, const pugi::xml_node& ownIndent, const RunProps& paraRun, std::vector<Item>& items);

    double tabStop(const ParaProps& p, double x, const TabStop** stop) const;

    struct Placed {
        size_t item;
        double x;
    };
    // A paragraph being broken into lines.
    struct Lines {
        const ParaProps& pp;
        std::vector<Item>& items;
        std::vector<Unit>& units;
        double right;
        int markFont;
        bool pendingPageBreak;
        std::vector<Placed> line;
        bool firstLine = true;
        double x = 0;
        double start() const { return pp.left + (firstLine ? pp.firstLine : 0); }
    };

    void paragraph(const pugi::xml_node& p, double width, std::vector<Unit>& units);
    void finishLine(Lines& s, bool last);
    void lineExtent(const Lines& s, double& ascent, double& descent) const;
    void drawLine(const Lines& s, Unit& u, double baseline, double shift, double stretch);
    void placeTab(Lines& s, size_t i);
    void breakLongWord(Lines& s, size_t i);

    // ---- tables ----

    struct CellBorders {
        Border top, bottom, left, right, insideH, insideV;
    };

    // A side of a border or margin set, under its left/right or start/end name.
    static pugi::xml_node side(const pugi::xml_node& parent, const char* name, const char* alt);

    static void applyBorders(CellBorders& b, const pugi::xml_node& borders);

    struct Margins {
        double top = 0, bottom = 0, left = 108, right = 108;
    };

    static void applyMargins(Margins& m, const pugi::xml_node& mar);

    struct TableFrame {
        CellBorders borders;
        Margins margins;
        std::vector<double> edges; // x of each grid line, left to right
    };
    struct CellBox {
        double x, w;
        std::vector<Op> ops;
        double contentHeight;
        CellBorders borders;
        QColor fill;
        int vAlign;
        Margins m;
        bool mergedAbove, mergedBelow;
    };

    void table(const pugi::xml_node& tbl, double available, std::vector<Unit>& units);
    TableFrame tableFrame(const pugi::xml_node& tbl, double available);
    static bool continuesMerge(const pugi::xml_node& row, size_t col);
    std::vector<CellBox> rowCells(const std::vector<pugi::xml_node>& rows, size_t r, const TableFrame& frame);
    static void drawCells(std::vector<CellBox>& cells, double height, Unit& u);

    // ---- pages ----

    void newPage();

    void paginate(std::vector<Unit>& units);

    // Headers and footers of the section, on every page.
    void decorate(const pugi::xml_node& sect);

    const DocumentData& doc_;
    Rendering& out_;
    Styles styles_;
    std::vector<std::optional<QFontMetricsF>> metrics_;
    std::vector<bool> checkBoxes_;
    std::map<int, std::vector<int>> counters_;
    int depth_ = 0;
    int tables_ = 0;
    double pageW_ = 11906, pageH_ = 16838, top_ = 1417, bottom_ = 1417, left_ = 1701, right_ = 1701;
    double headerY_ = 708, footerY_ = 708, width_ = 0;
};

} // namespace Word::detail
