// Paragraphs: runs and fields as inline items, list labels, tabs, and the
// breaking of items into lines.
#include "platform/word/Layouter.h"

#include <cstring>

namespace Word::detail {

int Layouter::font(const RunProps& r)
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

void Layouter::addText(std::vector<Item>& items, const RunProps& r, QString t)
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

void Layouter::addSpecial(std::vector<Item>& items, Item::Kind kind, const RunProps& r)
{
    Item item{kind};
    item.run = r;
    item.font = font(r);
    item.ascent = metrics(item.font).ascent();
    item.descent = metrics(item.font).descent();
    items.push_back(std::move(item));
}

void Layouter::addPicture(std::vector<Item>& items, const pugi::xml_node& inlineNode, const RunProps& r)
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

// Whether text is shown: outside fields, or in the result of each enclosing field.
bool Layouter::showing(const std::vector<bool>& fields)
{
    for (bool inResult : fields)
        if (!inResult)
            return false;
    return true;
}

// A field character: begin (a check box is drawn), separate (the result
// follows), end.
void Layouter::fieldChar(
    const pugi::xml_node& c, const RunProps& r, std::vector<Item>& items, std::vector<bool>& fields)
{
    const char* type = c.attribute("w:fldCharType").value();
    if (!std::strcmp(type, "begin")) {
        pugi::xml_node box = c.child("w:ffData").child("w:checkBox");
        if (box && showing(fields) && !r.hidden) {
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
}

// A shown child of a run: text, tab, break, symbol or picture.
void Layouter::runChild(const pugi::xml_node& c, const RunProps& r, std::vector<Item>& items)
{
    if (is(c, "w:t"))
        addText(items, r, text(c));
    else if (is(c, "w:tab") && !r.hidden)
        addSpecial(items, Item::Tab, r);
    else if ((is(c, "w:br") || is(c, "w:cr")) && !r.hidden)
        addSpecial(items, std::strcmp(c.attribute("w:type").value(), "page") == 0 ? Item::PageBreak : Item::Break, r);
    else if (is(c, "w:noBreakHyphen"))
        addText(items, r, QStringLiteral("-"));
    else if (is(c, "w:sym"))
        addText(items, r,
            QString(QChar(char16_t(QString::fromLatin1(c.attribute("w:char").value()).toUInt(nullptr, 16) & 0xFFF))));
    else if (is(c, "w:drawing") && c.child("wp:inline"))
        addPicture(items, c.child("wp:inline"), r);
    else if (is(c, "mc:AlternateContent")) {
        pugi::xml_node drawing = c.child("mc:Choice").child("w:drawing");
        if (drawing.child("wp:inline"))
            addPicture(items, drawing.child("wp:inline"), r);
    }
}

void Layouter::inlines(
    const pugi::xml_node& parent, const RunProps& paraRun, std::vector<Item>& items, std::vector<bool>& fields)
{
    Deeper guard(depth_);
    if (depth_ > MaxDepth)
        return;
    for (pugi::xml_node n = parent.first_child(); n; n = n.next_sibling()) {
        if (is(n, "w:r")) {
            const RunProps r = styles_.run(paraRun, n.child("w:rPr"));
            for (pugi::xml_node c : n.children()) {
                if (is(c, "w:fldChar"))
                    fieldChar(c, r, items, fields);
                else if (showing(fields))
                    runChild(c, r, items);
            }
        } else if (is(n, "w:hyperlink") || is(n, "w:smartTag") || is(n, "w:ins") || is(n, "w:customXml")
            || is(n, "w:fldSimple") || is(n, "w:moveTo")) {
            inlines(n, paraRun, items, fields);
        } else if (is(n, "w:sdt")) {
            inlines(n.child("w:sdtContent"), paraRun, items, fields);
        }
    }
}

QString Layouter::counterText(int n, const char* format)
{
    if (!std::strcmp(format, "lowerLetter") || !std::strcmp(format, "upperLetter")) {
        QString t(QChar(u'a' + (n - 1) % 26));
        return !std::strcmp(format, "upperLetter") ? t.toUpper() : t;
    }
    if (!std::strcmp(format, "lowerRoman") || !std::strcmp(format, "upperRoman")) {
        static const std::pair<int, const char*> romans[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"},
            {100, "c"}, {90, "xc"}, {50, "l"}, {40, "xl"}, {10, "x"}, {9, "ix"}, {5, "v"}, {4, "iv"}, {1, "i"}};
        QString t;
        for (const auto& [value, letters] : romans)
            for (; n >= value; n -= value)
                t += QLatin1String(letters);
        return !std::strcmp(format, "upperRoman") ? t.toUpper() : t;
    }
    return QString::number(n);
}

void Layouter::listLabel(
    ParaProps& pp, const pugi::xml_node& ownIndent, const RunProps& paraRun, std::vector<Item>& items)
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
        counters[size_t(pp.ilvl)]
            = (start >= 0 ? start : std::clamp(lvl.child("w:start").attribute("w:val").as_int(1), 0, MaxListNumber))
            - 1;
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
        if (label.isEmpty() || label.at(0).unicode() >= 0xF000 || r.font.contains(QLatin1String("Symbol"))
            || r.font.contains(QLatin1String("Wingdings")))
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

double Layouter::tabStop(const ParaProps& p, double x, const TabStop** stop) const
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

// Height of the line's tallest item, or of the paragraph mark when it has no text.
void Layouter::lineExtent(const Lines& s, double& ascent, double& descent) const
{
    ascent = 0;
    descent = 0;
    for (const Placed& pl : s.line) {
        ascent = std::max(ascent, s.items[pl.item].ascent);
        descent = std::max(descent, s.items[pl.item].descent);
    }
    if (s.line.empty() || ascent == 0) {
        ascent = std::max(ascent, metrics(s.markFont).ascent());
        descent = std::max(descent, metrics(s.markFont).descent());
    }
}

// The items of a line as drawing operations; shift and stretch align it.
void Layouter::drawLine(const Lines& s, Unit& u, double baseline, double shift, double stretch)
{
    double extra = 0;
    for (size_t i = 0; i < s.line.size(); ++i) {
        const Item& it = s.items[s.line[i].item];
        const double ix = s.line[i].x + shift + extra;
        if (it.kind == Item::Text) {
            if (it.run.highlight.isValid())
                u.ops.push_back(
                    FillOp{QRectF(ix, baseline - it.ascent, it.width + it.spaceWidth, it.ascent + it.descent),
                        it.run.highlight});
            // Runs of the same font continue the previous text operation.
            TextOp* prev = u.ops.empty() ? nullptr : std::get_if<TextOp>(&u.ops.back());
            if (prev && stretch == 0 && prev->font == it.font && prev->color == it.run.color && i > 0
                && s.items[s.line[i - 1].item].kind == Item::Text)
                prev->text += it.text;
            else
                u.ops.push_back(TextOp{QPointF(ix, baseline), it.font, it.run.color, it.text});
            if (it.spaceWidth > 0)
                extra += stretch;
        } else if (it.kind == Item::Picture) {
            if (it.image >= 0)
                u.ops.push_back(ImageOp{QRectF(ix, baseline - it.ascent, it.width, it.ascent), it.image});
        } else if (it.kind == Item::Box) {
            const double size = it.width * 0.8;
            u.ops.push_back(BoxOp{QRectF(ix + it.width * 0.1, baseline - size, size, size), it.checked});
        } else if (it.kind == Item::Tab && !it.text.isEmpty()) {
            // A leader fills the tab's space.
            const QFontMetricsF& m = metrics(it.font);
            const double cw = m.horizontalAdvance(it.text);
            const int count = cw > 0 ? int(it.width / cw) : 0;
            if (count > 0)
                u.ops.push_back(TextOp{QPointF(ix + it.width - count * cw, baseline), it.font, it.run.color,
                    QString(count, it.text.at(0))});
        }
    }
}

// Ends the current line: a unit with its height, alignment and drawing.
void Layouter::finishLine(Lines& s, bool last)
{
    const ParaProps& pp = s.pp;
    double ascent = 0, descent = 0;
    lineExtent(s, ascent, descent);
    double height = ascent + descent;
    if (pp.lineRule == 0)
        height *= pp.line / 240.0;
    else if (pp.lineRule == 1)
        height = pp.line;
    else
        height = std::max(height, pp.line);
    // Alignment: the line's end is its last item without trailing blanks.
    double end = s.start();
    int gaps = 0;
    for (size_t i = 0; i < s.line.size(); ++i) {
        const Item& it = s.items[s.line[i].item];
        end = s.line[i].x + it.width;
        if (i + 1 < s.line.size() && it.kind == Item::Text && it.spaceWidth > 0)
            ++gaps;
    }
    double shift = 0, stretch = 0;
    const double slack = std::max(0.0, s.right - end);
    if (pp.align == 1)
        shift = slack / 2;
    else if (pp.align == 2)
        shift = slack;
    else if (pp.align == 3 && !last && gaps > 0)
        stretch = slack / gaps;

    Unit u;
    u.height = height;
    u.pageBreakBefore = s.pendingPageBreak;
    s.pendingPageBreak = false;
    const double baseline = pp.lineRule == 1 ? height - descent : ascent;
    if (pp.shading.isValid())
        u.ops.push_back(FillOp{QRectF(pp.left, 0, s.right - pp.left, height), pp.shading});
    drawLine(s, u, baseline, shift, stretch);
    if (s.firstLine && pp.top.present)
        u.ops.push_back(LineOp{QLineF(pp.left, 0, s.right, 0), pp.top.width, pp.top.color, pp.top.style});
    s.units.push_back(std::move(u));
    s.line.clear();
    s.firstLine = false;
    s.x = s.start();
}

// A tab: it reaches the next stop, aligned by the stop's kind; past the right
// edge it goes to the next line.
void Layouter::placeTab(Lines& s, size_t i)
{
    std::vector<Item>& items = s.items;
    Item& it = items[i];
    const TabStop* stop = nullptr;
    double pos = tabStop(s.pp, s.x, &stop);
    double follow = 0; // width of what follows up to the next tab or break
    for (size_t j = i + 1; j < items.size() && items[j].kind != Item::Tab && items[j].kind != Item::Break
         && items[j].kind != Item::PageBreak;
         ++j)
        follow += items[j].width + items[j].spaceWidth;
    if (stop && stop->kind == 2)
        pos = std::max(s.x, pos - follow);
    else if (stop && stop->kind == 1)
        pos = std::max(s.x, pos - follow / 2);
    if (pos > s.right && !s.line.empty()) {
        finishLine(s, false);
        pos = std::max(s.x, tabStop(s.pp, s.x, &stop));
    }
    it.width = std::max(0.0, pos - s.x);
    if (stop && !stop->leader.isNull())
        it.text = QString(stop->leader);
    s.line.push_back({i, s.x});
    s.x = pos;
}

// A word longer than the line is broken where it must be; the rest becomes
// the next item.
void Layouter::breakLongWord(Lines& s, size_t i)
{
    Item& it = s.items[i];
    const QFontMetricsF& m = metrics(it.font);
    int fit = 1;
    while (fit < it.text.size() && s.x + m.horizontalAdvance(it.text.left(fit + 1)) <= s.right)
        ++fit;
    Item rest = it;
    rest.text = it.text.mid(fit);
    it.text = it.text.left(fit);
    it.width = m.horizontalAdvance(it.text);
    it.spaceWidth = 0;
    const QString restWord = rest.text.trimmed();
    rest.width = m.horizontalAdvance(restWord);
    rest.spaceWidth = m.horizontalAdvance(rest.text) - rest.width;
    s.items.insert(s.items.begin() + long(i) + 1, rest);
}

void Layouter::paragraph(const pugi::xml_node& p, double width, std::vector<Unit>& units)
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
    const double right = width - pp.right;
    Lines s{pp, items, units, right, markFont, pp.pageBreakBefore, {}};
    s.x = s.start();
    for (size_t i = 0; i < items.size(); ++i) {
        const Item::Kind kind = items[i].kind;
        if (kind == Item::Break || kind == Item::PageBreak) {
            finishLine(s, false);
            s.pendingPageBreak = s.pendingPageBreak || kind == Item::PageBreak;
            continue;
        }
        if (kind == Item::Tab) {
            placeTab(s, i);
            continue;
        }
        if (s.x + items[i].width > right && !s.line.empty())
            finishLine(s, false);
        if (kind == Item::Text && s.x + items[i].width > right && s.line.empty() && items[i].text.size() > 1)
            breakLongWord(s, i);
        s.line.push_back({i, s.x});
        s.x += items[i].width + items[i].spaceWidth;
    }
    finishLine(s, true);

    units[firstUnit].spaceBefore = pp.before;
    for (size_t i = firstUnit; i < units.size(); ++i)
        units[i].keepWithNext = pp.keepNext;
    Unit& last = units.back();
    if (pp.bottom.present)
        last.ops.push_back(LineOp{QLineF(pp.left, last.height + 20, right, last.height + 20), pp.bottom.width,
            pp.bottom.color, pp.bottom.style});
    // Space after goes below the last line, so that it is kept with it.
    last.height += pp.after + (pp.bottom.present ? 40 : 0);
}

} // namespace Word::detail
