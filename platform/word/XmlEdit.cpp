// Reading and building the document's XML: names, text, walking the tree,
// runs and insertion points.
#include "platform/word/DocumentData.h"
#include "platform/word/XmlEdit.h"

#include <cstring>
#include <initializer_list>

namespace Word::detail {

namespace {

bool valueIsFalse(const char* v)
{
    return std::strcmp(v, "0") == 0 || std::strcmp(v, "false") == 0 || std::strcmp(v, "off") == 0;
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

} // namespace

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

pugi::xml_node makeRun(const Point& at, const pugi::xml_node& rPr, const QString& text)
{
    pugi::xml_node run = insertAt(at, "w:r");
    copyRunProperties(run, rPr);
    fillRun(run, text);
    return run;
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

pugi::xml_node runProperties(const pugi::xml_node& run) { return run.child("w:rPr"); }

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

bool is(const pugi::xml_node& node, const char* name)
{
    return node.type() == pugi::node_element && std::strcmp(node.name(), name) == 0;
}

QString text(const pugi::xml_node& node) { return QString::fromUtf8(node.text().get()); }

QString xmlText(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < value.size() && QChar::isLowSurrogate(value.at(i + 1).unicode())) {
            out += value.at(i);
            out += value.at(++i);
        } else if (c == u'\t' || c == u'\n' || c == u'\r' || (c >= 0x20 && c <= 0xD7FF)
            || (c >= 0xE000 && c <= 0xFFFD)) {
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

} // namespace Word::detail
