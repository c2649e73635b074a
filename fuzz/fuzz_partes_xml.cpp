// The XML parts of a valid package: the input replaces the part of the shipped
// template that its root element names (w:document, Types, Relationships,
// w:styles, w:numbering, w:hdr, ...), so the fuzzer works on the XML and not on
// the zip around it, and the template's own parts serve as seeds.
#include "fuzz/Documento.h"

#include "platform/word/Package.h"

namespace {

Word::detail::Package& Plantilla()
{
    static Word::detail::Package paquete
        = Word::detail::Package::read(QStringLiteral(VARELIO_PROGRAM_DIR "/ficheros/DOT_10101/PlantillaWXP.dot"));
    return paquete;
}

// The part that an XML text stands for, by the first root element in it.
QString ParteDe(const QByteArray& xml)
{
    static const std::pair<const char*, const char*> raices[] = {
        {"<w:document", "word/document.xml"},
        {"<Types", "[Content_Types].xml"},
        {"<Relationships", "word/_rels/document.xml.rels"},
        {"<w:styles", "word/styles.xml"},
        {"<w:settings", "word/settings.xml"},
        {"<w:numbering", "word/numbering.xml"},
        {"<w:fonts", "word/fontTable.xml"},
        {"<w:hdr", "word/header1.xml"},
        {"<w:ftr", "word/footer1.xml"},
    };
    qsizetype primero = -1;
    QString parte = QStringLiteral("word/document.xml");
    for (const auto& [raiz, nombre] : raices) {
        const qsizetype i = xml.indexOf(raiz);
        if (i >= 0 && (primero < 0 || i < primero)) {
            primero = i;
            parte = QString::fromLatin1(nombre);
        }
    }
    // The package's own relations are those that name the main part.
    if (parte.endsWith(QLatin1String(".rels")) && xml.contains("/officeDocument\""))
        return QStringLiteral("_rels/.rels");
    return parte;
}

// A header or footer is reached only through a relationship of the main part.
void Enlazar(Word::detail::Package& paquete, const QString& parte)
{
    const bool cabecera = parte.contains(QLatin1String("header"));
    if (!cabecera && !parte.contains(QLatin1String("footer")))
        return;
    const QString rutaRels = QStringLiteral("word/_rels/document.xml.rels");
    QByteArray rels = paquete.part(rutaRels);
    rels.replace("</Relationships>",
        QStringLiteral("<Relationship Id=\"rIdFuzz\" Type=\"http://schemas.openxmlformats.org/"
                       "officeDocument/2006/relationships/%1\" Target=\"%2\"/></Relationships>")
            .arg(cabecera ? QStringLiteral("header") : QStringLiteral("footer"), parte.mid(5))
            .toUtf8());
    paquete.setPart(rutaRels, rels);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    Fuzz::IniciarQt(argc, argv);
    Plantilla();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray xml = Fuzz::Bytes(data, size);
    Word::detail::Package paquete = Plantilla();
    const QString parte = ParteDe(xml);
    paquete.setPart(parte, xml);
    Enlazar(paquete, parte);
    Fuzz::AbrirYGuardar(Fuzz::Escribir(QStringLiteral("entrada.doc"), paquete.toBytes()));
    return 0;
}
