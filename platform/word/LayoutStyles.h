#pragma once
// Character and paragraph properties as a document states them, and the
// styles, numbering and settings they inherit from (inside the component).
#include "platform/word/DocumentData.h"

#include <QColor>
#include <QHash>
#include <QString>
#include <algorithm>
#include <cmath>
#include <pugixml.hpp>
#include <vector>

namespace Word::detail {

constexpr double TwipsPerEmu = 1.0 / 635.0;

// Numbers read from a document are capped to what a page can show before they
// size anything: a length to the largest page (100,000 twips, about 1.76 m), a
// list to Word's nine levels, a cell to 63 grid columns, a font to 1,638 points.
constexpr double MaxTwips = 100000;
constexpr int MaxListLevel = 8;
constexpr int MaxGridSpan = 63;
constexpr double MaxFontPoints = 1638;
constexpr int MaxListNumber = 32767;

inline double capped(double v, double lo, double hi) { return std::isnan(v) ? lo : std::clamp(v, lo, hi); }

inline int gridSpan(const pugi::xml_node& tcPr)
{
    return std::clamp(tcPr.child("w:gridSpan").attribute("w:val").as_int(1), 1, MaxGridSpan);
}

// ---- properties ----------------------------------------------------------------

struct RunProps {
    QString font = QStringLiteral("Times New Roman");
    double size = 10; // points
    bool bold = false, italic = false, underline = false, strike = false, caps = false, hidden = false;
    QColor color = Qt::black;
    QColor highlight;
};

struct TabStop {
    double pos;
    int kind; // 0 left, 1 centre, 2 right
    QChar leader;
};

struct Border {
    bool present = false;
    double width = 10; // twips
    QColor color = Qt::black;
    Qt::PenStyle style = Qt::SolidLine;
    bool doubled = false;
};

struct ParaProps {
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    double before = 0, after = 0;
    double line = 240;
    int lineRule = 0; // 0 auto (240ths), 1 exact, 2 at least
    double left = 0, right = 0, firstLine = 0;
    bool pageBreakBefore = false;
    bool keepNext = false;
    std::vector<TabStop> tabs;
    Border top, bottom;
    QColor shading;
    RunProps mark;
    int numId = 0, ilvl = 0;
};

// Lengths in twips; colours as hex or "auto"; highlight colour names.
double twips(const pugi::xml_node& n, const char* attribute, double fallback);
QColor hexColor(const char* value, QColor fallback);
QColor highlightColor(const char* name);
// Apply the properties an element states over those already in place.
void applyRun(RunProps& r, const pugi::xml_node& rPr);
Border border(const pugi::xml_node& b);
void applyPara(ParaProps& p, const pugi::xml_node& pPr);

// ---- styles --------------------------------------------------------------------

class Styles {
public:
    explicit Styles(const DocumentData& doc);

    // Paragraph properties of a paragraph, with its style chain applied; the
    // run properties of its paragraph style go into `run`.
    ParaProps paragraph(const pugi::xml_node& pPr, RunProps& run) const;

    RunProps run(const RunProps& paragraphRun, const pugi::xml_node& rPr) const;

    // Table properties of the table's style chain, outermost first.
    std::vector<pugi::xml_node> tableStyle(const pugi::xml_node& tblPr) const;

    double defaultTab() const { return defaultTab_; }

    // The level definition of a list (w:lvl), and the start override of the instance.
    pugi::xml_node level(int numId, int ilvl, int* start) const;

private:
    pugi::xml_document numbering_;
    pugi::xml_document settingsXml_;
    const pugi::xml_document& settings(const DocumentData& doc);

    std::vector<pugi::xml_node> chain(QString id) const;

    pugi::xml_document xml_;
    QHash<QString, pugi::xml_node> byId_;
    QString defaultParagraph_, defaultTable_;
    RunProps baseRun_;
    ParaProps basePara_;
    double defaultTab_ = 720;
};

} // namespace Word::detail
