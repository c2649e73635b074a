// Loading and writing a document package, and the parts of it the editor keeps parsed.
#include "platform/word/DocumentData.h"

#include "platform/word/Word.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <sstream>

namespace Word {

namespace {

constexpr unsigned ParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;
const char* const RelOfficeDocument = "/officeDocument";
const char* const MainDocumentType = "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

void parsePart(const detail::Package& package, const QString& name, pugi::xml_document& into)
{
    const QByteArray bytes = package.part(name);
    const pugi::xml_parse_result result = into.load_buffer(bytes.constData(), size_t(bytes.size()), ParseOptions);
    if (!result)
        throw Error(ErrorCode::BadDocument,
                    QStringLiteral("El archivo no es un documento válido o está dañado (%1: %2).")
                        .arg(name, QString::fromUtf8(result.description())));
}

bool endsWith(const char* text, const char* suffix)
{
    const size_t a = std::strlen(text), b = std::strlen(suffix);
    return a >= b && std::strcmp(text + a - b, suffix) == 0;
}

QByteArray toBytes(const pugi::xml_document& xml)
{
    std::ostringstream out;
    xml.save(out, "", pugi::format_raw | (xml.first_child().type() == pugi::node_declaration
                                              ? 0u
                                              : unsigned(pugi::format_no_declaration)),
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
        throw Error(ErrorCode::BadDocument,
                    QStringLiteral("El archivo no es un documento válido o está dañado (sin cuerpo)."));

    const QString rels = detail::relsPartOf(doc->mainPart);
    if (doc->package.has(rels))
        parsePart(doc->package, rels, doc->relationships);
    else
        doc->relationships.append_child("Relationships").append_attribute("xmlns") =
            "http://schemas.openxmlformats.org/package/2006/relationships";
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
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Error(ErrorCode::CannotSave,
                    QStringLiteral("No se puede guardar el documento en \"%1\" (%2).").arg(target, file.errorString()));
}

pugi::xml_node DocumentData::body() const
{
    return main.child("w:document").child("w:body");
}

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
