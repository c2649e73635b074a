// The text of the selection and of the document; find and replace.
#include "platform/word/DocumentData.h"
#include "platform/word/Word.h"
#include "platform/word/XmlEdit.h"

#include <cstring>

namespace Word::detail {

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
    // A paragraph's text is far below 2^31 characters: positions are ints.
    for (int at = int(map.text.indexOf(o.text, 0, cs)); at >= 0; at = int(map.text.indexOf(o.text, at + 1, cs))) {
        const int end = at + int(o.text.size());
        if (o.wholeWord
            && ((at > 0 && wordChar(map.text.at(at - 1))) || (end < map.text.size() && wordChar(map.text.at(end)))))
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

QString paragraphText(const pugi::xml_node& paragraph) { return mapParagraph(paragraph).text; }

QString contentText(const DocumentData& doc)
{
    QStringList lines;
    for (pugi::xml_node p : paragraphsOf(doc.body()))
        lines << paragraphText(p);
    return lines.join(u'\n');
}

} // namespace Word::detail
