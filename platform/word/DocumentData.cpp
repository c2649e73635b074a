// Loading and writing a document package, and the parts of it the editor keeps parsed.
#include "platform/word/DocumentData.h"

#include "platform/word/Error.h"

#include "shell/EscrituraSegura.h"

#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <map>
#include <sstream>
#include <string>

namespace Word {

namespace {

constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
const char* const RelOfficeDocument = "/officeDocument";
const char* const MainDocumentType = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

// The prefixes the editor uses, by namespace. A document may bind any prefix
// (or none) to these namespaces; it is read as if it had used these.
const std::map<std::string, std::string>& usualPrefixes()
{
    static const std::map<std::string, std::string> prefixes{
        {"http://schemas.openxmlformats.org/wordprocessingml/2006/main", "w"},
        {"http://purl.oclc.org/ooxml/wordprocessingml/main", "w"},
        {"http://schemas.openxmlformats.org/officeDocument/2006/relationships", "r"},
        {"http://purl.oclc.org/ooxml/officeDocument/relationships", "r"},
        {"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing", "wp"},
        {"http://schemas.openxmlformats.org/drawingml/2006/main", "a"},
        {"http://schemas.openxmlformats.org/drawingml/2006/picture", "pic"},
        {"http://schemas.openxmlformats.org/markup-compatibility/2006", "mc"},
    };
    return prefixes;
}

// Prefix ("" for the default) -> the namespaces bound to it, innermost last.
using Bindings = std::map<std::string, std::vector<std::string>>;

// The namespace of a name and the name with the usual prefix of that namespace;
// an empty name when it needs no change. Unprefixed attributes belong to no namespace.
std::pair<std::string, std::string> usualName(const char* name, const Bindings& bindings, bool attribute)
{
    const char* colon = std::strchr(name, ':');
    const std::string prefix = colon ? std::string(name, colon) : std::string();
    if (prefix == "xmlns" || prefix == "xml" || (!colon && (attribute || !std::strcmp(name, "xmlns"))))
        return {};
    const auto bound = bindings.find(prefix);
    if (bound == bindings.end() || bound->second.empty())
        return {};
    const std::string& uri = bound->second.back();
    const auto usual = usualPrefixes().find(uri);
    if (usual == usualPrefixes().end() || usual->second == prefix)
        return {};
    return {uri, usual->second + ':' + (colon ? colon + 1 : name)};
}

pugi::xml_node firstElement(pugi::xml_node n)
{
    while (n && n.type() != pugi::node_element)
        n = n.next_sibling();
    return n;
}

// Walks the elements in document order without recursion (a document may nest
// deeper than the stack allows), keeping the namespace bindings in scope. Each
// declaration is pushed once and popped when its element ends, so memory grows
// with the declarations, not with depth times prefixes.
void usePrefixes(pugi::xml_node root, std::map<std::string, std::string>& used)
{
    Bindings bindings;
    std::vector<std::pair<pugi::xml_node, std::vector<std::string>>> scopes; // element, prefixes it bound
    auto rename = [&](auto item, bool attribute) {
        const auto [uri, name] = usualName(item.name(), bindings, attribute);
        if (name.empty())
            return;
        used[name.substr(0, name.find(':'))] = uri;
        item.set_name(name.c_str());
    };
    pugi::xml_node n = root;
    while (n) {
        for (pugi::xml_attribute a : n.attributes()) {
            const char* name = a.name();
            if (std::strcmp(name, "xmlns") != 0 && std::strncmp(name, "xmlns:", 6) != 0)
                continue;
            if (scopes.empty() || scopes.back().first != n)
                scopes.emplace_back(n, std::vector<std::string>{});
            const std::string prefix = name[5] ? name + 6 : "";
            bindings[prefix].emplace_back(a.value());
            scopes.back().second.push_back(prefix);
        }
        rename(n, false);
        for (pugi::xml_attribute a : n.attributes())
            rename(a, true);
        if (pugi::xml_node child = firstElement(n.first_child())) {
            n = child;
            continue;
        }
        // Leave finished elements until one has a next sibling.
        while (n) {
            if (!scopes.empty() && scopes.back().first == n) {
                for (const std::string& prefix : scopes.back().second)
                    bindings[prefix].pop_back();
                scopes.pop_back();
            }
            if (n == root) {
                n = {};
                break;
            }
            if (pugi::xml_node next = firstElement(n.next_sibling())) {
                n = next;
                break;
            }
            n = n.parent();
        }
    }
}

} // namespace

bool detail::tooDeep(const pugi::xml_document& xml)
{
    int depth = 0;
    pugi::xml_node n = xml.first_child();
    while (n) {
        if (n.first_child()) {
            n = n.first_child();
            if (++depth > MaxXmlDepth)
                return true;
            continue;
        }
        while (n && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        if (n)
            n = n.next_sibling();
    }
    return false;
}

void detail::normalizePrefixes(pugi::xml_document& xml)
{
    pugi::xml_node root = xml.document_element();
    if (!root)
        return;
    std::map<std::string, std::string> used; // usual prefix -> namespace it now stands for
    usePrefixes(root, used);
    for (const auto& [prefix, uri] : used) {
        const std::string declaration = "xmlns:" + prefix;
        pugi::xml_attribute a = root.attribute(declaration.c_str());
        if (!a)
            root.append_attribute(declaration.c_str()) = uri.c_str();
        else if (uri != a.value())
            a = uri.c_str();
    }
}

namespace {

void parsePart(const detail::Package& package, const QString& name, pugi::xml_document& into)
{
    const QByteArray bytes = package.part(name);
    const pugi::xml_parse_result result = into.load_buffer(bytes.constData(), size_t(bytes.size()), ParseOptions);
    if (!result)
        throw Error(ErrorCode::BadDocument,
            QStringLiteral("El archivo no es un documento válido o está dañado (%1: %2).")
                .arg(name, QString::fromUtf8(result.description())));
    if (detail::tooDeep(into)) {
        into.reset();
        throw Error(ErrorCode::BadDocument,
            QStringLiteral("El archivo no es un documento válido o está dañado (%1: anida más de %2 niveles).")
                .arg(name)
                .arg(detail::MaxXmlDepth));
    }
    detail::normalizePrefixes(into);
}

bool endsWith(const char* text, const char* suffix)
{
    const size_t a = std::strlen(text), b = std::strlen(suffix);
    return a >= b && std::strcmp(text + a - b, suffix) == 0;
}

QByteArray toBytes(const pugi::xml_document& xml)
{
    std::ostringstream out;
    xml.save(out, "",
        pugi::format_raw
            | (xml.first_child().type() == pugi::node_declaration ? 0u : unsigned(pugi::format_no_declaration)),
        pugi::encoding_utf8);
    const std::string s = out.str();
    return QByteArray(s.data(), qsizetype(s.size()));
}

} // namespace

std::unique_ptr<DocumentData> DocumentData::load(const QString& path)
{
    auto doc = std::make_unique<DocumentData>();
    doc->package = detail::Package::read(path);
    doc->sourcePath = QFileInfo(path).absoluteFilePath();
    parsePart(doc->package, QStringLiteral("[Content_Types].xml"), doc->contentTypes);

    // The main part is the target of the package's officeDocument relationship.
    pugi::xml_document rootRels;
    if (doc->package.has(QStringLiteral("_rels/.rels")))
        parsePart(doc->package, QStringLiteral("_rels/.rels"), rootRels);
    for (pugi::xml_node rel : rootRels.child("Relationships").children("Relationship"))
        if (endsWith(rel.attribute("Type").value(), RelOfficeDocument))
            doc->mainPart = detail::resolveTarget(QString(), QString::fromUtf8(rel.attribute("Target").value()));
    if (doc->mainPart.isEmpty())
        doc->mainPart = QStringLiteral("word/document.xml");
    if (!doc->package.has(doc->mainPart))
        throw Error(ErrorCode::BadDocument,
            QStringLiteral("El archivo no es un documento válido o está dañado (falta %1).").arg(doc->mainPart));
    parsePart(doc->package, doc->mainPart, doc->main);
    if (!doc->body())
        throw Error(
            ErrorCode::BadDocument, QStringLiteral("El archivo no es un documento válido o está dañado (sin cuerpo)."));

    const QString rels = detail::relsPartOf(doc->mainPart);
    if (doc->package.has(rels))
        parsePart(doc->package, rels, doc->relationships);
    else
        doc->relationships.append_child("Relationships").append_attribute("xmlns")
            = "http://schemas.openxmlformats.org/package/2006/relationships";
    for (pugi::xml_node rel : doc->relationships.child("Relationships").children("Relationship")) {
        const char* type = rel.attribute("Type").value();
        if (!endsWith(type, "/header") && !endsWith(type, "/footer"))
            continue;
        const QString part = detail::resolveTarget(doc->mainPart, QString::fromUtf8(rel.attribute("Target").value()));
        if (!doc->package.has(part) || doc->story(part))
            continue;
        Story story{part, std::make_unique<pugi::xml_document>()};
        parsePart(doc->package, part, *story.xml);
        doc->stories.push_back(std::move(story));
    }

    // A document based on a template is a document, not a template.
    const QString mainName = QLatin1Char('/') + doc->mainPart;
    for (pugi::xml_node o : doc->contentTypes.child("Types").children("Override"))
        if (QString::fromUtf8(o.attribute("PartName").value()) == mainName
            && std::strstr(o.attribute("ContentType").value(), ".template.main+xml"))
            o.attribute("ContentType") = MainDocumentType;
    return doc;
}

QByteArray DocumentData::serialize()
{
    package.setPart(QStringLiteral("[Content_Types].xml"), toBytes(contentTypes));
    package.setPart(mainPart, toBytes(main));
    if (relationships.child("Relationships").first_child() || package.has(detail::relsPartOf(mainPart)))
        package.setPart(detail::relsPartOf(mainPart), toBytes(relationships));
    for (const Story& s : stories)
        package.setPart(s.part, toBytes(*s.xml));
    return package.toBytes();
}

void DocumentData::write(const QString& target)
{
    const QByteArray bytes = serialize();
    const ResultadoEscritura escrito = EscribirFicheroSeguro(target, bytes);
    if (!escrito)
        throw Error(ErrorCode::CannotSave,
            QStringLiteral("No se puede guardar el documento en \"%1\": %2.").arg(target, escrito.motivo()));
}

bool DocumentData::writeNew(const QString& target)
{
    const QByteArray bytes = serialize();
    const ResultadoEscritura escrito = EscribirFicheroNuevo(target, bytes);
    if (escrito.error == EEXIST)
        return false;
    if (!escrito)
        throw Error(ErrorCode::CannotSave,
            QStringLiteral("No se puede guardar el documento en \"%1\": %2.").arg(target, escrito.motivo()));
    return true;
}

pugi::xml_node DocumentData::body() const { return main.child("w:document").child("w:body"); }

const pugi::xml_document* DocumentData::story(const QString& part) const
{
    for (const Story& s : stories)
        if (s.part == part)
            return s.xml.get();
    return nullptr;
}

QString DocumentData::relationshipTarget(const QString& id) const
{
    const QByteArray key = id.toUtf8();
    for (pugi::xml_node rel : relationships.child("Relationships").children("Relationship"))
        if (key == rel.attribute("Id").value()) {
            if (std::strcmp(rel.attribute("TargetMode").value(), "External") == 0)
                return {};
            return detail::resolveTarget(mainPart, QString::fromUtf8(rel.attribute("Target").value()));
        }
    return {};
}

} // namespace Word
