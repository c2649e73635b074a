#include "platform/word/LayoutStyles.h"

#include <cstring>
#include <map>

namespace Word::detail {

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
    static const std::map<std::string, QColor> colors{{"yellow", Qt::yellow}, {"green", Qt::green}, {"cyan", Qt::cyan},
        {"magenta", Qt::magenta}, {"blue", Qt::blue}, {"red", Qt::red}, {"darkBlue", Qt::darkBlue},
        {"darkCyan", Qt::darkCyan}, {"darkGreen", Qt::darkGreen}, {"darkMagenta", Qt::darkMagenta},
        {"darkRed", Qt::darkRed}, {"darkYellow", Qt::darkYellow}, {"darkGray", Qt::darkGray},
        {"lightGray", Qt::lightGray}, {"black", Qt::black}};
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
        p.align = !std::strcmp(v, "center")                              ? 1
            : (!std::strcmp(v, "right") || !std::strcmp(v, "end"))       ? 2
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
            const QChar leader = !std::strcmp(l, "dot")                       ? QChar(u'.')
                : !std::strcmp(l, "hyphen")                                   ? QChar(u'-')
                : (!std::strcmp(l, "underscore") || !std::strcmp(l, "heavy")) ? QChar(u'_')
                                                                              : QChar();
            const int kind = !std::strcmp(v, "center")                 ? 1
                : (!std::strcmp(v, "right") || !std::strcmp(v, "end")) ? 2
                                                                       : 0;
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

namespace {

// A part the layout reads; one that does not parse, or nests absurdly deep, is left out.
void loadPart(pugi::xml_document& xml, const QByteArray& bytes)
{
    if (bytes.isEmpty() || !xml.load_buffer(bytes.constData(), size_t(bytes.size())))
        return;
    if (tooDeep(xml))
        xml.reset();
    else
        normalizePrefixes(xml);
}

} // namespace

Styles::Styles(const DocumentData& doc)
{
    const QByteArray bytes
        = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("styles.xml"));
    loadPart(xml_, bytes);
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
    const QByteArray numbering
        = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("numbering.xml"));
    loadPart(numbering_, numbering);
    const pugi::xml_node settingsTab = settings(doc).child("w:settings").child("w:defaultTabStop");
    defaultTab_ = settingsTab ? capped(settingsTab.attribute("w:val").as_double(720), 0, MaxTwips) : 720;
    if (defaultTab_ <= 0)
        defaultTab_ = 720;
}

ParaProps Styles::paragraph(const pugi::xml_node& pPr, RunProps& run) const
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

RunProps Styles::run(const RunProps& paragraphRun, const pugi::xml_node& rPr) const
{
    RunProps r = paragraphRun;
    const QString id = QString::fromUtf8(rPr.child("w:rStyle").attribute("w:val").value());
    if (!id.isEmpty())
        for (const pugi::xml_node& s : chain(id))
            applyRun(r, s.child("w:rPr"));
    applyRun(r, rPr);
    return r;
}

std::vector<pugi::xml_node> Styles::tableStyle(const pugi::xml_node& tblPr) const
{
    QString id = QString::fromUtf8(tblPr.child("w:tblStyle").attribute("w:val").value());
    if (id.isEmpty())
        id = defaultTable_;
    std::vector<pugi::xml_node> out;
    for (const pugi::xml_node& s : chain(id))
        out.push_back(s.child("w:tblPr"));
    return out;
}

pugi::xml_node Styles::level(int numId, int ilvl, int* start) const
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

const pugi::xml_document& Styles::settings(const DocumentData& doc)
{
    const QByteArray bytes
        = doc.package.part(doc.mainPart.left(doc.mainPart.lastIndexOf(u'/') + 1) + QStringLiteral("settings.xml"));
    loadPart(settingsXml_, bytes);
    return settingsXml_;
}

std::vector<pugi::xml_node> Styles::chain(QString id) const
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

} // namespace Word::detail
