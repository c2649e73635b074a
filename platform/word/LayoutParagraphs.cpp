// Lays a document out on pages: styles, paragraphs broken into lines, tables,
// headers and footers; and paints the pages.
#include "platform/word/Layout.h"

#include "platform/word/DocumentData.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>

namespace Word::detail {

namespace {

constexpr double TwipsPerEmu = 1.0 / 635.0;

// Numbers read from a document are capped to what a page can show before they
// size anything: a length to the largest page (100,000 twips, about 1.76 m), a
// list to Word's nine levels, a cell to 63 grid columns, a font to 1,638 points.
constexpr double MaxTwips = 100000;
constexpr int MaxListLevel = 8;
constexpr int MaxGridSpan = 63;
constexpr double MaxFontPoints = 1638;
constexpr int MaxListNumber = 32767;

double capped(double v, double lo, double hi)
{
    return std::isnan(v) ? lo : std::clamp(v, lo, hi);
}

int gridSpan(const pugi::xml_node& tcPr)
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

double twips(const pugi::xml_node& n, const char* attribute, double fallback)
{
    pugi::xml_attribute a = n.attribute(attribute);
    return a ? capped(a.as_double(), -MaxTwips, MaxTwips) : fallback;
}

QColor hexColor(const char* value, QColor fallback)
{
    if (!*value || !std::strcmp(value, "auto"))
        return fallback;
    QColor c(QLatin1Char('#') + QString::fromLatin1(value));
    return c.isValid() ? c : fallback;
}

QColor highlightColor(const char* name)
{
    static const std::map<std::string, QColor> colors{
        {"yellow", Qt::yellow}, {"green", Qt::green}, {"cyan", Qt::cyan}, {"magenta", Qt::magenta},
        {"blue", Qt::blue}, {"red", Qt::red}, {"darkBlue", Qt::darkBlue}, {"darkCyan", Qt::darkCyan},
        {"darkGreen", Qt::darkGreen}, {"darkMagenta", Qt::darkMagenta}, {"darkRed", Qt::darkRed},
        {"darkYellow", Qt::darkYellow}, {"darkGray", Qt::darkGray}, {"lightGray", Qt::lightGray}, {"black", Qt::black}};
    auto it = colors.find(name);
    return it == colors.end() ? QColor() : it->second;
}

void applyRun(RunProps& r, const pugi::xml_node& rPr)
{
    if (!rPr)
        return;
    if (pugi::xml_node f = rPr.child("w:rFonts")) {
        if (f.attribute("w:ascii"))
            r.font = QString::fromUtf8(f.attribute("w:ascii").value());
        else if (f.attribute("w:hAnsi"))
            r.font = QString::fromUtf8(f.attribute("w:hAnsi").value());
        else if (f.attribute("w:asciiTheme"))
            r.font = std::strstr(f.attribute("w:asciiTheme").value(), "major") ? QStringLiteral("Calibri Light")
                                                                               : QStringLiteral("Calibri");
    }
    if (pugi::xml_node sz = rPr.child("w:sz"))
        r.size = capped(sz.attribute("w:val").as_double(r.size * 2) / 2, 0.5, MaxFontPoints);
    if (rPr.child("w:b"))
        r.bold = onOff(rPr.child("w:b"));
    if (rPr.child("w:i"))
        r.italic = onOff(rPr.child("w:i"));
    if (pugi::xml_node u = rPr.child("w:u"))
        r.underline = std::strcmp(u.attribute("w:val").value(), "none") != 0;
    if (rPr.child("w:strike"))
        r.strike = onOff(rPr.child("w:strike"));
    if (rPr.child("w:caps"))
        r.caps = onOff(rPr.child("w:caps"));
    if (rPr.child("w:vanish"))
        r.hidden = onOff(rPr.child("w:vanish"));
    if (pugi::xml_node c = rPr.child("w:color"))
        r.color = hexColor(c.attribute("w:val").value(), Qt::black);
    if (pugi::xml_node h = rPr.child("w:highlight"))
        r.highlight = highlightColor(h.attribute("w:val").value());
}

Border border(const pugi::xml_node& b)
{
    Border out;
    if (!b)
        return out;
    const char* v = b.attribute("w:val").value();
    if (!std::strcmp(v, "nil") || !std::strcmp(v, "none") || !*v)
        return out;
    out.present = true;
    out.width = capped(b.attribute("w:sz").as_double(4) * 2.5, 2.5, 1000); // eighths of a point
    out.color = hexColor(b.attribute("w:color").value(), Qt::black);
    if (std::strstr(v, "dash"))
        out.style = Qt::DashLine;
    else if (std::strstr(v, "dot"))
        out.style = Qt::DotLine;
    out.doubled = !std::strcmp(v, "double");
    return out;
}

void applyPara(ParaProps& p, const pugi::xml_node& pPr)
{
    if (!pPr)
        return;
    if (pugi::xml_node jc = pPr.child("w:jc")) {
        const char* v = jc.attribute("w:val").value();
        p.align = !std::strcmp(v, "center")                           ? 1
            : (!std::strcmp(v, "right") || !std::strcmp(v, "end"))    ? 2
            : (!std::strcmp(v, "both") || !std::strcmp(v, "distribute")) ? 3
                                                                      : 0;
    }
    if (pugi::xml_node s = pPr.child("w:spacing")) {
        p.before = twips(s, "w:before", p.before);
        p.after = twips(s, "w:after", p.after);
        if (s.attribute("w:line")) {
            p.line = capped(s.attribute("w:line").as_double(), -MaxTwips, MaxTwips);
            const char* rule = s.attribute("w:lineRule").value();
            p.lineRule = !std::strcmp(rule, "exact") ? 1 : !std::strcmp(rule, "atLeast") ? 2 : 0;
        }
    }
    if (pugi::xml_node num = pPr.child("w:numPr")) {
        if (num.child("w:numId"))
            p.numId = num.child("w:numId").attribute("w:val").as_int();
        if (num.child("w:ilvl"))
            p.ilvl = std::clamp(num.child("w:ilvl").attribute("w:val").as_int(), 0, MaxListLevel);
    }
    if (pugi::xml_node ind = pPr.child("w:ind")) {
        p.left = twips(ind, "w:left", twips(ind, "w:start", p.left));
        p.right = twips(ind, "w:right", twips(ind, "w:end", p.right));
        if (ind.attribute("w:hanging"))
            p.firstLine = -twips(ind, "w:hanging", 0);
        else if (ind.attribute("w:firstLine"))
            p.firstLine = twips(ind, "w:firstLine", 0);
    }
    if (pPr.child("w:pageBreakBefore"))
        p.pageBreakBefore = onOff(pPr.child("w:pageBreakBefore"));
    if (pPr.child("w:keepNext"))
        p.keepNext = onOff(pPr.child("w:keepNext"));
    if (pugi::xml_node tabs = pPr.child("w:tabs")) {
        for (pugi::xml_node t : tabs.children("w:tab")) {
            const char* v = t.attribute("w:val").value();
            const double pos = twips(t, "w:pos", 0);
            p.tabs.erase(std::remove_if(p.tabs.begin(), p.tabs.end(), [&](const TabStop& s) { return s.pos == pos; }),
                         p.tabs.end());
            if (!std::strcmp(v, "clear"))
                continue;
            const char* l = t.attribute("w:leader").value();
            const QChar leader = !std::strcmp(l, "dot") ? QChar(u'.')
                : !std::strcmp(l, "hyphen")             ? QChar(u'-')
                : (!std::strcmp(l, "underscore") || !std::strcmp(l, "heavy")) ? QChar(u'_')
                                                                               : QChar();
            const int kind = !std::strcmp(v, "center") ? 1 : (!std::strcmp(v, "right") || !std::strcmp(v, "end")) ? 2 : 0;
            p.tabs.push_back({pos, kind, leader});
        }
        std::sort(p.tabs.begin(), p.tabs.end(), [](const TabStop& a, const TabStop& b) { return a.pos < b.pos; });
    }
    if (pugi::xml_node b = pPr.child("w:pBdr")) {
        if (b.child("w:top"))
            p.top = border(b.child("w:top"));
        if (b.child("w:bottom"))
            p.bottom = border(b.child("w:bottom"));
    }
    if (pugi::xml_node shd = pPr.child("w:shd"))
        p.shading = hexColor(shd.attribute("w:fill").value(), QColor());
    applyRun(p.mark, pPr.child("w:rPr"));
}

// ---- styles --------------------------------------------------------------------

class Styles {
public:
    explicit Styles(const DocumentData& doc)
    {
        const QByteArray bytes = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("styles.xml"));
        if (!bytes.isEmpty() && xml_.load_buffer(bytes.constData(), size_t(bytes.size())))
            normalizePrefixes(xml_);
        pugi::xml_node styles = xml_.child("w:styles");
        pugi::xml_node defaults = styles.child("w:docDefaults");
        applyRun(baseRun_, defaults.child("w:rPrDefault").child("w:rPr"));
        applyPara(basePara_, defaults.child("w:pPrDefault").child("w:pPr"));
        for (pugi::xml_node s : styles.children("w:style")) {
            const QString id = QString::fromUtf8(s.attribute("w:styleId").value());
            byId_.insert(id, s);
            if (s.attribute("w:default").as_bool()) {
                const char* type = s.attribute("w:type").value();
                if (!std::strcmp(type, "paragraph"))
                    defaultParagraph_ = id;
                else if (!std::strcmp(type, "table"))
                    defaultTable_ = id;
            }
        }
        const QByteArray numbering = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("numbering.xml"));
        if (!numbering.isEmpty() && numbering_.load_buffer(numbering.constData(), size_t(numbering.size())))
            normalizePrefixes(numbering_);
        const pugi::xml_node settingsTab = settings(doc).child("w:settings").child("w:defaultTabStop");
        defaultTab_ = settingsTab ? capped(settingsTab.attribute("w:val").as_double(720), 0, MaxTwips) : 720;
        if (defaultTab_ <= 0)
            defaultTab_ = 720;
    }

    // Paragraph properties of a paragraph, with its style chain applied; the
    // run properties of its paragraph style go into `run`.
    ParaProps paragraph(const pugi::xml_node& pPr, RunProps& run) const
    {
        ParaProps p = basePara_;
        run = baseRun_;
        QString id = QString::fromUtf8(pPr.child("w:pStyle").attribute("w:val").value());
        if (id.isEmpty())
            id = defaultParagraph_;
        for (const pugi::xml_node& s : chain(id)) {
            applyPara(p, s.child("w:pPr"));
            applyRun(run, s.child("w:rPr"));
        }
        p.mark = run;
        applyPara(p, pPr);
        return p;
    }

    RunProps run(const RunProps& paragraphRun, const pugi::xml_node& rPr) const
    {
        RunProps r = paragraphRun;
        const QString id = QString::fromUtf8(rPr.child("w:rStyle").attribute("w:val").value());
        if (!id.isEmpty())
            for (const pugi::xml_node& s : chain(id))
                applyRun(r, s.child("w:rPr"));
        applyRun(r, rPr);
        return r;
    }

    // Table properties of the table's style chain, outermost first.
    std::vector<pugi::xml_node> tableStyle(const pugi::xml_node& tblPr) const
    {
        QString id = QString::fromUtf8(tblPr.child("w:tblStyle").attribute("w:val").value());
        if (id.isEmpty())
            id = defaultTable_;
        std::vector<pugi::xml_node> out;
        for (const pugi::xml_node& s : chain(id))
            out.push_back(s.child("w:tblPr"));
        return out;
    }

    double defaultTab() const { return defaultTab_; }

    // The level definition of a list (w:lvl), and the start override of the instance.
    pugi::xml_node level(int numId, int ilvl, int* start) const
    {
        pugi::xml_node root = numbering_.child("w:numbering");
        for (pugi::xml_node num : root.children("w:num")) {
            if (num.attribute("w:numId").as_int() != numId)
                continue;
            *start = -1;
            for (pugi::xml_node o : num.children("w:lvlOverride"))
                if (o.attribute("w:ilvl").as_int() == ilvl && o.child("w:startOverride"))
                    *start = std::clamp(o.child("w:startOverride").attribute("w:val").as_int(), 0, MaxListNumber);
            const int abstractId = num.child("w:abstractNumId").attribute("w:val").as_int();
            for (pugi::xml_node a : root.children("w:abstractNum"))
                if (a.attribute("w:abstractNumId").as_int() == abstractId)
                    for (pugi::xml_node l : a.children("w:lvl"))
                        if (l.attribute("w:ilvl").as_int() == ilvl)
                            return l;
        }
        return {};
    }

private:
    pugi::xml_document numbering_;
    pugi::xml_document settingsXml_;
    const pugi::xml_document& settings(const DocumentData& doc)
    {
        const QByteArray bytes = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("settings.xml"));
        if (!bytes.isEmpty() && settingsXml_.load_buffer(bytes.constData(), size_t(bytes.size())))
            normalizePrefixes(settingsXml_);
        return settingsXml_;
    }

    std::vector<pugi::xml_node> chain(QString id) const
    {
        std::vector<pugi::xml_node> out;
        for (int guard = 0; guard < 20 && !id.isEmpty(); ++guard) {
            auto it = byId_.find(id);
            if (it == byId_.end())
                break;
            out.insert(out.begin(), it.value());
            id = QString::fromUtf8(it.value().child("w:basedOn").attribute("w:val").value());
        }
        return out;
    }

    pugi::xml_document xml_;
    QHash<QString, pugi::xml_node> byId_;
    QString defaultParagraph_, defaultTable_;
    RunProps baseRun_;
    ParaProps basePara_;
    double defaultTab_ = 720;
};

// ---- laid-out pieces -----------------------------------------------------------

// A piece that is placed whole on a page: a line of a paragraph or a table row.
struct Unit {
    double height = 0;
    double spaceBefore = 0;
    bool pageBreakBefore = false;
    bool keepWithNext = false; // on the same page as the unit after it
    int table = 0;             // the table a row belongs to (0: not a row)
    bool headerRow = false;    // repeated at the top of each page the table runs on
    std::vector<Op> ops; // x from the frame's left edge, y from the unit's top
};

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

// An inline item of a paragraph before line breaking.
struct Item {
    enum Kind { Text, Tab, Break, PageBreak, Picture, Box } kind;
    explicit Item(Kind k) : kind(k) {}
    QString text;
    int font = -1;
    RunProps run;
    double width = 0;       // without trailing spaces
    double spaceWidth = 0;  // of trailing spaces
    double ascent = 0, descent = 0;
    int image = -1;
    bool checked = false;
};

class Layouter {
public:
    Layouter(const DocumentData& doc, Rendering& out)
        : doc_(doc), out_(out), styles_(doc)
    {
    }

    void run()
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

private:
    // Block content (paragraphs, tables) of a container, as units.
    // Nesting deeper than any real document is not followed (it would only
    // exhaust the stack).
    static constexpr int MaxDepth = 40;
    struct Deeper {
        int& depth;
        explicit Deeper(int& d) : depth(++d) {}
        ~Deeper() { --depth; }
    };

    void blocks(const pugi::xml_node& container, double width, std::vector<Unit>& units)
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

    int font(const RunProps& r)
    {
        QFont f(r.font);
        f.setPixelSize(std::max(1, int(std::lround(r.size * 20))));
        f.setBold(r.bold);
        f.setItalic(r.italic);
        f.setUnderline(r.underline);
        f.setStrikeOut(r.strike);
        f.setKerning(false);
        f.setHintingPreference(QFont::PreferNoHinting);
        const int index = out_.fontIndex(f);
        if (size_t(index) >= metrics_.size())
            metrics_.resize(size_t(index) + 1);
        if (!metrics_[size_t(index)])
            metrics_[size_t(index)].emplace(f);
        return index;
    }
    const QFontMetricsF& metrics(int f) const { return *metrics_[size_t(f)]; }

    void addText(std::vector<Item>& items, const RunProps& r, QString t)
    {
        if (r.hidden || t.isEmpty())
            return;
        if (r.caps)
            t = t.toUpper();
        const int f = font(r);
        const QFontMetricsF& m = metrics(f);
        // Split into words, each keeping its trailing blanks.
        int i = 0;
        while (i < t.size()) {
            int j = i;
            while (j < t.size() && t.at(j) != u' ')
                ++j;
            int k = j;
            while (k < t.size() && t.at(k) == u' ')
                ++k;
            Item item{Item::Text};
            item.text = t.mid(i, k - i);
            item.font = f;
            item.run = r;
            item.width = m.horizontalAdvance(t.mid(i, j - i));
            item.spaceWidth = m.horizontalAdvance(item.text) - item.width;
            item.ascent = m.ascent();
            item.descent = m.descent();
            items.push_back(std::move(item));
            i = k;
        }
    }

    void addSpecial(std::vector<Item>& items, Item::Kind kind, const RunProps& r)
    {
        Item item{kind};
        item.run = r;
        item.font = font(r);
        item.ascent = metrics(item.font).ascent();
        item.descent = metrics(item.font).descent();
        items.push_back(std::move(item));
    }

    void addPicture(std::vector<Item>& items, const pugi::xml_node& inlineNode, const RunProps& r)
    {
        pugi::xml_node extent = inlineNode.child("wp:extent");
        const double w = capped(extent.attribute("cx").as_double() * TwipsPerEmu, 0, MaxTwips);
        const double h = capped(extent.attribute("cy").as_double() * TwipsPerEmu, 0, MaxTwips);
        pugi::xml_node blip;
        for (pugi::xml_node n = inlineNode.first_child(); n && !blip; n = nextInOrder(n, inlineNode))
            if (is(n, "a:blip"))
                blip = n;
        const QString part = doc_.relationshipTarget(QString::fromUtf8(blip.attribute("r:embed").value()));
        QImage image;
        if (!part.isEmpty())
            image = QImage::fromData(doc_.package.part(part));
        if (w <= 0 || h <= 0)
            return;
        Item item{Item::Picture};
        item.run = r;
        item.width = w;
        item.ascent = h;
        item.image = image.isNull() ? -1 : out_.imageIndex(image);
        items.push_back(std::move(item));
    }

    // Inline content of a paragraph. Fields: instructions are not shown, results
    // are; a check-box form field is drawn as a box.
    void inlines(const pugi::xml_node& parent, const RunProps& paraRun, std::vector<Item>& items, std::vector<bool>& fields)
    {
        Deeper guard(depth_);
        if (depth_ > MaxDepth)
            return;
        auto showing = [&] {
            for (bool inResult : fields)
                if (!inResult)
                    return false;
            return true;
        };
        for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
            if (is(n, "w:r")) {
                const RunProps r = styles_.run(paraRun, n.child("w:rPr"));
                for (pugi::xml_node c : n.children()) {
                    if (is(c, "w:fldChar")) {
                        const char* type = c.attribute("w:fldCharType").value();
                        if (!std::strcmp(type, "begin")) {
                            pugi::xml_node box = c.child("w:ffData").child("w:checkBox");
                            if (box && showing() && !r.hidden) {
                                RunProps boxRun = r;
                                if (pugi::xml_node sz = box.child("w:size"))
                                    boxRun.size = capped(sz.attribute("w:val").as_double(r.size * 2) / 2, 0.5, MaxFontPoints);
                                addSpecial(items, Item::Box, boxRun);
                                Item& b = items.back();
                                b.width = boxRun.size * 20;
                                b.ascent = std::max(b.ascent * 0.8, b.width * 0.9);
                                b.checked = checkBoxValue(c);
                            }
                            // A check box shows no result runs.
                            fields.push_back(false);
                            checkBoxes_.push_back(bool(box));
                        } else if (!std::strcmp(type, "separate")) {
                            if (!fields.empty() && !checkBoxes_.back())
                                fields.back() = true;
                        } else if (!std::strcmp(type, "end") && !fields.empty()) {
                            fields.pop_back();
                            checkBoxes_.pop_back();
                        }
                        continue;
                    }
                    if (!showing())
                        continue;
                    if (is(c, "w:t"))
                        addText(items, r, text(c));
                    else if (is(c, "w:tab") && !r.hidden)
                        addSpecial(items, Item::Tab, r);
                    else if ((is(c, "w:br") || is(c, "w:cr")) && !r.hidden)
                        addSpecial(items, std::strcmp(c.attribute("w:type").value(), "page") == 0 ? Item::PageBreak : Item::Break, r);
                    else if (is(c, "w:noBreakHyphen"))
                        addText(items, r, QStringLiteral("-"));
                    else if (is(c, "w:sym"))
                        addText(items, r, QString(QChar(char16_t(QString::fromLatin1(c.attribute("w:char").value()).toUInt(nullptr, 16) & 0xFFF))));
                    else if (is(c, "w:drawing") && c.child("wp:inline"))
                        addPicture(items, c.child("wp:inline"), r);
                    else if (is(c, "mc:AlternateContent")) {
                        pugi::xml_node drawing = c.child("mc:Choice").child("w:drawing");
                        if (drawing.child("wp:inline"))
                            addPicture(items, drawing.child("wp:inline"), r);
                    }
                }
            } else if (is(n, "w:hyperlink") || is(n, "w:smartTag") || is(n, "w:ins") || is(n, "w:customXml")
                       || is(n, "w:fldSimple") || is(n, "w:moveTo")) {
                inlines(n, paraRun, items, fields);
            } else if (is(n, "w:sdt")) {
                inlines(n.child("w:sdtContent"), paraRun, items, fields);
            }
        }
    }

    static QString counterText(int n, const char* format)
    {
        if (!std::strcmp(format, "lowerLetter") || !std::strcmp(format, "upperLetter")) {
            QString t(QChar(u'a' + (n - 1) % 26));
            return !std::strcmp(format, "upperLetter") ? t.toUpper() : t;
        }
        if (!std::strcmp(format, "lowerRoman") || !std::strcmp(format, "upperRoman")) {
            static const std::pair<int, const char*> romans[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"},
                                                                 {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
            QString t;
            for (const auto& [value, letters] : romans)
                for (; n >= value; n -= value)
                    t += QLatin1String(letters);
            return !std::strcmp(format, "upperRoman") ? t.toUpper() : t;
        }
        return QString::number(n);
    }

    // The number or bullet of a list paragraph, followed by its tab.
    void listLabel(ParaProps& pp, const pugi::xml_node& ownIndent, const RunProps& paraRun, std::vector<Item>& items)
    {
        if (pp.numId <= 0)
            return;
        int start = -1;
        pugi::xml_node lvl = styles_.level(pp.numId, pp.ilvl, &start);
        if (!lvl)
            return;
        if (!ownIndent) {
            ParaProps fromList = pp;
            applyPara(fromList, lvl.child("w:pPr"));
            pp.left = fromList.left;
            pp.firstLine = fromList.firstLine;
        }
        std::vector<int>& counters = counters_[pp.numId];
        if (counters.size() <= size_t(pp.ilvl))
            counters.resize(size_t(pp.ilvl) + 1, 0);
        if (counters[size_t(pp.ilvl)] == 0)
            counters[size_t(pp.ilvl)] = (start >= 0 ? start : std::clamp(lvl.child("w:start").attribute("w:val").as_int(1), 0, MaxListNumber)) - 1;
        counters[size_t(pp.ilvl)] = std::min(counters[size_t(pp.ilvl)] + 1, MaxListNumber);
        for (size_t deeper = size_t(pp.ilvl) + 1; deeper < counters.size(); ++deeper)
            counters[deeper] = 0;

        const char* format = lvl.child("w:numFmt").attribute("w:val").value();
        QString label = QString::fromUtf8(lvl.child("w:lvlText").attribute("w:val").value());
        RunProps r = paraRun;
        applyRun(r, lvl.child("w:rPr"));
        r.underline = false;
        if (!std::strcmp(format, "bullet")) {
            // Symbol-font bullets have no meaning in an ordinary font.
            if (label.isEmpty() || label.at(0).unicode() >= 0xF000 || r.font.contains(QLatin1String("Symbol")) || r.font.contains(QLatin1String("Wingdings")))
                label = QStringLiteral("•");
            r.font = paraRun.font;
        } else {
            for (int level = 0; level < 9; ++level)
                label.replace(QStringLiteral("%%1").arg(level + 1),
                              counterText(level < int(counters.size()) ? std::max(1, counters[size_t(level)]) : 1, format));
        }
        addText(items, r, label);
        const char* suffix = lvl.child("w:suff").attribute("w:val").value();
        if (!std::strcmp(suffix, "space"))
            addText(items, r, QStringLiteral(" "));
        else if (std::strcmp(suffix, "nothing") != 0)
            addSpecial(items, Item::Tab, r);
    }

    double tabStop(const ParaProps& p, double x, const TabStop** stop) const
    {
        // A hanging indent is a tab stop of its own.
        if (p.firstLine < 0 && x + 1 < p.left) {
            *stop = nullptr;
            for (const TabStop& t : p.tabs)
                if (t.pos > x + 1 && t.pos < p.left) {
                    *stop = &t;
                    return t.pos;
                }
            return p.left;
        }
        for (const TabStop& t : p.tabs)
            if (t.pos > x + 1) {
                *stop = &t;
                return t.pos;
            }
        *stop = nullptr;
        const double tab = styles_.defaultTab();
        return (std::floor((x + 1) / tab) + 1) * tab;
    }

    struct Placed {
        size_t item;
        double x;
    };

    void paragraph(const pugi::xml_node& p, double width, std::vector<Unit>& units)
    {
        RunProps paraRun;
        ParaProps pp = styles_.paragraph(p.child("w:pPr"), paraRun);
        std::vector<Item> items;
        std::vector<bool> fields;
        checkBoxes_.clear();
        listLabel(pp, p.child("w:pPr").child("w:ind"), paraRun, items);
        inlines(p, paraRun, items, fields);
        const int markFont = font(pp.mark);

        const size_t firstUnit = units.size();
        std::vector<Placed> line;
        bool firstLine = true;
        bool pendingPageBreak = pp.pageBreakBefore;
        double x = 0;
        const double right = width - pp.right;

        auto lineStart = [&] { return pp.left + (firstLine ? pp.firstLine : 0); };
        auto finish = [&](bool last) {
            double ascent = 0, descent = 0;
            for (const Placed& pl : line) {
                ascent = std::max(ascent, items[pl.item].ascent);
                descent = std::max(descent, items[pl.item].descent);
            }
            if (line.empty() || ascent == 0) {
                ascent = std::max(ascent, metrics(markFont).ascent());
                descent = std::max(descent, metrics(markFont).descent());
            }
            double height = ascent + descent;
            if (pp.lineRule == 0)
                height *= pp.line / 240.0;
            else if (pp.lineRule == 1)
                height = pp.line;
            else
                height = std::max(height, pp.line);
            // Alignment: the line's end is its last item without trailing blanks.
            double end = lineStart();
            int gaps = 0;
            for (size_t i = 0; i < line.size(); ++i) {
                const Item& it = items[line[i].item];
                end = line[i].x + it.width;
                if (i + 1 < line.size() && it.kind == Item::Text && it.spaceWidth > 0)
                    ++gaps;
            }
            double shift = 0, stretch = 0;
            const double slack = std::max(0.0, right - end);
            if (pp.align == 1)
                shift = slack / 2;
            else if (pp.align == 2)
                shift = slack;
            else if (pp.align == 3 && !last && gaps > 0)
                stretch = slack / gaps;

            Unit u;
            u.height = height;
            u.pageBreakBefore = pendingPageBreak;
            pendingPageBreak = false;
            const double baseline = pp.lineRule == 1 ? height - descent : ascent;
            if (pp.shading.isValid())
                u.ops.push_back(FillOp{QRectF(pp.left, 0, right - pp.left, height), pp.shading});
            double extra = 0;
            for (size_t i = 0; i < line.size(); ++i) {
                const Item& it = items[line[i].item];
                const double ix = line[i].x + shift + extra;
                if (it.kind == Item::Text) {
                    if (it.run.highlight.isValid())
                        u.ops.push_back(FillOp{QRectF(ix, baseline - it.ascent, it.width + it.spaceWidth, it.ascent + it.descent), it.run.highlight});
                    // Runs of the same font continue the previous text operation.
                    TextOp* prev = u.ops.empty() ? nullptr : std::get_if<TextOp>(&u.ops.back());
                    if (prev && stretch == 0 && prev->font == it.font && prev->color == it.run.color && i > 0
                        && items[line[i - 1].item].kind == Item::Text)
                        prev->text += it.text;
                    else
                        u.ops.push_back(TextOp{QPointF(ix, baseline), it.font, it.run.color, it.text});
                    if (it.spaceWidth > 0)
                        extra += stretch;
                } else if (it.kind == Item::Picture) {
                    if (it.image >= 0)
                        u.ops.push_back(ImageOp{QRectF(ix, baseline - it.ascent, it.width, it.ascent), it.image});
                } else if (it.kind == Item::Box) {
                    const double s = it.width * 0.8;
                    u.ops.push_back(BoxOp{QRectF(ix + it.width * 0.1, baseline - s, s, s), it.checked});
                } else if (it.kind == Item::Tab && !it.text.isEmpty()) {
                    // A leader fills the tab's space.
                    const QFontMetricsF& m = metrics(it.font);
                    const double cw = m.horizontalAdvance(it.text);
                    const int count = cw > 0 ? int(it.width / cw) : 0;
                    if (count > 0)
                        u.ops.push_back(TextOp{QPointF(ix + it.width - count * cw, baseline), it.font, it.run.color, QString(count, it.text.at(0))});
                }
            }
            if (firstLine && pp.top.present)
                u.ops.push_back(LineOp{QLineF(pp.left, 0, right, 0), pp.top.width, pp.top.color, pp.top.style});
            units.push_back(std::move(u));
            line.clear();
            firstLine = false;
            x = lineStart();
        };

        x = lineStart();
        for (size_t i = 0; i < items.size(); ++i) {
            Item& it = items[i];
            switch (it.kind) {
            case Item::Break:
                finish(false);
                continue;
            case Item::PageBreak:
                finish(false);
                pendingPageBreak = true;
                continue;
            case Item::Tab: {
                const TabStop* stop = nullptr;
                double pos = tabStop(pp, x, &stop);
                double follow = 0; // width of what follows up to the next tab or break
                for (size_t j = i + 1; j < items.size() && items[j].kind != Item::Tab && items[j].kind != Item::Break
                     && items[j].kind != Item::PageBreak;
                     ++j)
                    follow += items[j].width + items[j].spaceWidth;
                if (stop && stop->kind == 2)
                    pos = std::max(x, pos - follow);
                else if (stop && stop->kind == 1)
                    pos = std::max(x, pos - follow / 2);
                if (pos > right && !line.empty()) {
                    finish(false);
                    pos = std::max(x, tabStop(pp, x, &stop));
                }
                it.width = std::max(0.0, pos - x);
                if (stop && !stop->leader.isNull())
                    it.text = QString(stop->leader);
                line.push_back({i, x});
                x = pos;
                continue;
            }
            default:
                break;
            }
            if (x + it.width > right && !line.empty())
                finish(false);
            if (it.kind == Item::Text && x + it.width > right && line.empty() && it.text.size() > 1) {
                // A word longer than the line is broken where it must be.
                const QFontMetricsF& m = metrics(it.font);
                int fit = 1;
                while (fit < it.text.size() && x + m.horizontalAdvance(it.text.left(fit + 1)) <= right)
                    ++fit;
                Item rest = it;
                rest.text = it.text.mid(fit);
                it.text = it.text.left(fit);
                it.width = m.horizontalAdvance(it.text);
                it.spaceWidth = 0;
                const QString restWord = rest.text.trimmed();
                rest.width = m.horizontalAdvance(restWord);
                rest.spaceWidth = m.horizontalAdvance(rest.text) - rest.width;
                items.insert(items.begin() + long(i) + 1, rest);
            }
            line.push_back({i, x});
            x += items[i].width + items[i].spaceWidth;
        }
        finish(true);

        units[firstUnit].spaceBefore = pp.before;
        for (size_t i = firstUnit; i < units.size(); ++i)
            units[i].keepWithNext = pp.keepNext;
        Unit& last = units.back();
        if (pp.bottom.present)
            last.ops.push_back(LineOp{QLineF(pp.left, last.height + 20, right, last.height + 20), pp.bottom.width, pp.bottom.color, pp.bottom.style});
        // Space after goes below the last line, so that it is kept with it.
        last.height += pp.after + (pp.bottom.present ? 40 : 0);
    }

    // ---- tables ----

    struct CellBorders {
        Border top, bottom, left, right, insideH, insideV;
    };

    // A side of a border or margin set, under its left/right or start/end name.
    static pugi::xml_node side(const pugi::xml_node& parent, const char* name, const char* alt)
    {
        pugi::xml_node n = parent.child(name);
        return n || !alt ? n : parent.child(alt);
    }

    static void applyBorders(CellBorders& b, const pugi::xml_node& borders)
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

    struct Margins {
        double top = 0, bottom = 0, left = 108, right = 108;
    };

    static void applyMargins(Margins& m, const pugi::xml_node& mar)
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

    void table(const pugi::xml_node& tbl, double available, std::vector<Unit>& units)
    {
        pugi::xml_node tblPr = tbl.child("w:tblPr");
        CellBorders tb;
        Margins margins;
        for (const pugi::xml_node& s : styles_.tableStyle(tblPr)) {
            applyBorders(tb, s.child("w:tblBorders"));
            applyMargins(margins, s.child("w:tblCellMar"));
        }
        applyBorders(tb, tblPr.child("w:tblBorders"));
        applyMargins(margins, tblPr.child("w:tblCellMar"));

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
        std::vector<double> edges{x0};
        for (double g : grid)
            edges.push_back(edges.back() + g);

        std::vector<pugi::xml_node> rows;
        for (pugi::xml_node tr : tbl.children("w:tr"))
            rows.push_back(tr);
        const int tableId = ++tables_;
        bool heading = true; // header rows lead the table
        for (size_t r = 0; r < rows.size(); ++r) {
            pugi::xml_node trHeight = rows[r].child("w:trPr").child("w:trHeight");
            const double minHeight = capped(trHeight.attribute("w:val").as_double(0), 0, MaxTwips);
            const bool exact = !std::strcmp(trHeight.attribute("w:hRule").value(), "exact");

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
            std::vector<CellBox> cells;
            size_t col = 0;
            for (pugi::xml_node tc : rows[r].children("w:tc")) {
                pugi::xml_node tcPr = tc.child("w:tcPr");
                const size_t span = size_t(gridSpan(tcPr));
                if (col >= grid.size())
                    break;
                const size_t endCol = std::min(grid.size(), col + span);
                CellBox cell{edges[col], edges[endCol] - edges[col], {}, 0, {}, {}, 0, margins, false, false};
                // Edges: the table's outer borders or its inside lines, then the cell's own.
                cell.borders.top = r == 0 ? tb.top : tb.insideH;
                cell.borders.bottom = r + 1 == rows.size() ? tb.bottom : tb.insideH;
                cell.borders.left = col == 0 ? tb.left : tb.insideV;
                cell.borders.right = endCol == grid.size() ? tb.right : tb.insideV;
                applyBorders(cell.borders, tcPr.child("w:tcBorders"));
                applyMargins(cell.m, tcPr.child("w:tcMar"));
                cell.fill = hexColor(tcPr.child("w:shd").attribute("w:fill").value(), QColor());
                const char* va = tcPr.child("w:vAlign").attribute("w:val").value();
                cell.vAlign = !std::strcmp(va, "center") ? 1 : !std::strcmp(va, "bottom") ? 2 : 0;
                pugi::xml_node vMerge = tcPr.child("w:vMerge");
                cell.mergedAbove = vMerge && std::strcmp(vMerge.attribute("w:val").value(), "restart") != 0;
                if (r + 1 < rows.size()) {
                    // Is the cell below, in the same column, a continuation?
                    size_t c2 = 0;
                    for (pugi::xml_node below : rows[r + 1].children("w:tc")) {
                        pugi::xml_node bPr = below.child("w:tcPr");
                        if (c2 == col) {
                            pugi::xml_node bm = bPr.child("w:vMerge");
                            cell.mergedBelow = bm && std::strcmp(bm.attribute("w:val").value(), "restart") != 0;
                            break;
                        }
                        c2 += size_t(gridSpan(bPr));
                    }
                }
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
                auto edge = [&](const Border& b, QLineF l) {
                    if (!b.present)
                        return;
                    u.ops.push_back(LineOp{l, b.width, b.color, b.style});
                    if (b.doubled) {
                        const QPointF n = QLineF(l).normalVector().unitVector().p2() - l.p1();
                        u.ops.push_back(LineOp{l.translated(n * b.width * 2), b.width, b.color, b.style});
                    }
                };
                if (!c.mergedAbove)
                    edge(c.borders.top, QLineF(c.x, 0, c.x + c.w, 0));
                if (!c.mergedBelow)
                    edge(c.borders.bottom, QLineF(c.x, height, c.x + c.w, height));
                edge(c.borders.left, QLineF(c.x, 0, c.x, height));
                edge(c.borders.right, QLineF(c.x + c.w, 0, c.x + c.w, height));
            }
            units.push_back(std::move(u));
        }
    }

    // ---- pages ----

    void newPage()
    {
        out_.pages().push_back(Page{QSizeF(pageW_, pageH_), {}});
    }

    void paginate(std::vector<Unit>& units)
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

    // Headers and footers of the section, on every page.
    void decorate(const pugi::xml_node& sect)
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

} // namespace

Rendering Rendering::layout(const DocumentData& document)
{
    Rendering out;
    Layouter(document, out).run();
    return out;
}

int Rendering::fontIndex(const QFont& font)
{
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i] == font)
            return int(i);
    fonts_.push_back(font);
    return int(fonts_.size() - 1);
}

int Rendering::imageIndex(const QImage& image)
{
    for (size_t i = 0; i < images_.size(); ++i)
        if (images_[i].cacheKey() == image.cacheKey())
            return int(i);
    images_.push_back(image);
    return int(images_.size() - 1);
}

void Rendering::paintPage(QPainter& painter, int page, double scale) const
{
    painter.save();
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const Op& op : pages_[size_t(page)].ops) {
        if (const auto* t = std::get_if<TextOp>(&op)) {
            painter.setFont(fonts_[size_t(t->font)]);
            painter.setPen(t->color);
            painter.drawText(t->baseline, t->text);
        } else if (const auto* l = std::get_if<LineOp>(&op)) {
            QPen pen(l->color, l->width, l->style, Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(l->line);
        } else if (const auto* f = std::get_if<FillOp>(&op)) {
            painter.fillRect(f->rect, f->color);
        } else if (const auto* b = std::get_if<BoxOp>(&op)) {
            painter.setPen(QPen(Qt::black, std::max(8.0, b->rect.width() / 14)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(b->rect);
            if (b->checked) {
                const QRectF in = b->rect.adjusted(b->rect.width() * 0.15, b->rect.height() * 0.15,
                                                   -b->rect.width() * 0.15, -b->rect.height() * 0.15);
                painter.drawLine(in.topLeft(), in.bottomRight());
                painter.drawLine(in.topRight(), in.bottomLeft());
            }
        } else if (const auto* i = std::get_if<ImageOp>(&op)) {
            const QImage& image = images_[size_t(i->image)];
            // In device pixels: a whole multiple of the picture's pixels, no
            // smoothing, never larger than the room it was given.
            const QRectF device = painter.transform().mapRect(i->rect);
            const double kx = std::floor(device.width() / image.width() + 0.01);
            const double ky = std::floor(device.height() / image.height() + 0.01);
            QRectF target = device;
            if (kx >= 1 && ky >= 1)
                target.setSize(QSizeF(kx * image.width(), ky * image.height()));
            painter.save();
            painter.resetTransform();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::LosslessImageRendering, true); // never JPEG in a PDF
            painter.drawImage(QRectF(QPointF(std::round(target.x()), std::round(target.y())), target.size()), image);
            painter.restore();
        }
    }
    painter.restore();
}

QString Rendering::text() const
{
    QStringList parts;
    for (const Page& page : pages_)
        for (const Op& op : page.ops)
            if (const auto* t = std::get_if<TextOp>(&op))
                parts << t->text;
    return parts.join(u' ');
}

} // namespace Word::detail
