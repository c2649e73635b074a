// Legacy form fields: finding them, their results and check boxes.
#include "platform/word/DocumentData.h"
#include "platform/word/Error.h"
#include "platform/word/XmlEdit.h"

#include <cstring>

namespace Word::detail {

namespace {

const QChar EnSpace(0x2002);

struct FieldSpan {
    pugi::xml_node begin, separate, end; // w:fldChar nodes
};

FieldSpan fieldSpan(const pugi::xml_node& begin)
{
    FieldSpan span{begin, {}, {}};
    pugi::xml_node root = begin.root();
    int depth = 0;
    for (pugi::xml_node n = nextSkippingChildren(begin, root); n; n = nextInOrder(n, root)) {
        if (!is(n, "w:fldChar"))
            continue;
        const char* type = n.attribute("w:fldCharType").value();
        if (std::strcmp(type, "begin") == 0) {
            ++depth;
        } else if (std::strcmp(type, "separate") == 0) {
            if (depth == 0 && !span.separate)
                span.separate = n;
        } else if (std::strcmp(type, "end") == 0) {
            if (depth == 0) {
                span.end = n;
                break;
            }
            --depth;
        }
    }
    return span;
}

} // namespace

std::vector<pugi::xml_node> formFields(const pugi::xml_node& root)
{
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:fldChar") && n.child("w:ffData")
            && std::strcmp(n.attribute("w:fldCharType").value(), "begin") == 0)
            out.push_back(n);
    return out;
}

QString formFieldName(const pugi::xml_node& begin)
{
    return QString::fromUtf8(begin.child("w:ffData").child("w:name").attribute("w:val").value());
}

pugi::xml_node findFormField(const pugi::xml_node& root, const QString& name)
{
    for (pugi::xml_node n = root.first_child(); n; n = nextInOrder(n, root))
        if (is(n, "w:ffData") && is(n.parent(), "w:fldChar")
            && QString::fromUtf8(n.child("w:name").attribute("w:val").value()).compare(name, Qt::CaseInsensitive) == 0
            && std::strcmp(n.parent().attribute("w:fldCharType").value(), "begin") == 0)
            return n.parent();
    return {};
}

bool isCheckBoxField(const pugi::xml_node& begin) { return bool(begin.child("w:ffData").child("w:checkBox")); }

QString fieldResult(const pugi::xml_node& begin)
{
    if (isCheckBoxField(begin))
        return checkBoxValue(begin) ? QStringLiteral("1") : QStringLiteral("0");
    const FieldSpan span = fieldSpan(begin);
    if (!span.separate || !span.end)
        return {};
    QString out;
    pugi::xml_node root = begin.root();
    for (pugi::xml_node n = nextInOrder(span.separate, root); n && n != span.end; n = nextInOrder(n, root)) {
        if (is(n, "w:t"))
            out += text(n);
        else if (is(n, "w:tab"))
            out += u'\t';
        else if (is(n, "w:br") || is(n, "w:cr"))
            out += u'\n';
    }
    // Word shows an empty text field as five en spaces.
    bool placeholder = !out.isEmpty();
    for (QChar c : out)
        placeholder = placeholder && c == EnSpace;
    return placeholder ? QString() : out;
}

void setFieldResult(const pugi::xml_node& begin, const QString& value)
{
    if (isCheckBoxField(begin)) {
        setCheckBoxValue(begin,
            value.trimmed() == QLatin1String("1")
                || value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive) == 0);
        return;
    }
    FieldSpan span = fieldSpan(begin);
    if (!span.end)
        throw Error(ErrorCode::BadDocument,
            QStringLiteral("El campo de formulario \"%1\" está incompleto.").arg(formFieldName(begin)));
    const pugi::xml_node beginRun = begin.parent(), endRun = span.end.parent();
    pugi::xml_node format = runProperties(beginRun);
    if (!span.separate) {
        pugi::xml_node run = endRun.parent().insert_child_before("w:r", endRun);
        copyRunProperties(run, format);
        span.separate = run.append_child("w:fldChar");
        span.separate.append_attribute("w:fldCharType") = "separate";
    }
    std::vector<pugi::xml_node> old = runsBetween(span.separate.parent(), endRun);
    for (pugi::xml_node r : old)
        if (r.child("w:t")) {
            format = runProperties(r);
            break;
        }
    pugi::xml_document keep; // the old runs' formatting must outlive their removal
    pugi::xml_node formatCopy = format ? keep.append_copy(format) : pugi::xml_node();
    for (pugi::xml_node r : old)
        r.parent().remove_child(r);
    QString shown = value;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    if (shown.isEmpty())
        shown = QString(5, EnSpace);
    makeRun({endRun.parent(), endRun}, formatCopy, shown);
}

bool checkBoxValue(const pugi::xml_node& begin)
{
    pugi::xml_node box = begin.child("w:ffData").child("w:checkBox");
    if (pugi::xml_node checked = box.child("w:checked"))
        return onOff(checked);
    return onOff(box.child("w:default"));
}

void setCheckBoxValue(const pugi::xml_node& begin, bool checked)
{
    pugi::xml_node box = begin.child("w:ffData").child("w:checkBox");
    box.remove_child("w:checked");
    pugi::xml_node c = box.append_child("w:checked");
    if (!checked)
        c.append_attribute("w:val") = "0";
}

} // namespace Word::detail
