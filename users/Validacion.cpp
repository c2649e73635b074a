#include "Validacion.h"

#include "hashing/CSHA256.h"
#include "shell/EstadoCompartido.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <pugixml.hpp>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Validacion {

namespace {

// Line ends, comments and whitespace between the tags are kept as read, so a
// save changes nothing but the entries.
constexpr unsigned OpcionesLectura = (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_eol;

// How the loaded file was: its encoding, whether it began with a byte-order
// mark, and whether it existed but did not parse (then it is set aside before
// the first save replaces it).
pugi::xml_encoding g_codificacion = pugi::encoding_utf8;
bool g_conBom = false;
bool g_ficheroIlegible = false;

std::string utf8(const QString& texto) { return texto.toStdString(); }

pugi::xml_document* documento()
{
    auto& doc = estado().objUsuariosXML;
    if (!doc)
        doc = std::make_shared<pugi::xml_document>();
    return doc.get();
}

pugi::xml_node raizUsuarios() { return documento()->select_node("//Usuarios").node(); }

struct EscritorBytes : pugi::xml_writer {
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
};

bool tieneDeclaracion(const pugi::xml_document& doc)
{
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling())
        if (n.type() == pugi::node_declaration)
            return true;
    return false;
}

// pugixml keeps no text outside the root element: put the line breaks between
// the top-level nodes (declaration, root, ...) back, so a save keeps them.
void restaurarEspaciosExteriores(pugi::xml_document& doc, const QByteArray& bytes)
{
    const auto esEspacio = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    std::vector<std::pair<pugi::xml_node, std::string>> huecos;
    for (pugi::xml_node n = doc.first_child(); n; n = n.next_sibling()) {
        qsizetype fin = qsizetype(n.offset_debug());
        if (fin < 1 || fin > bytes.size())
            continue;
        while (fin > 0 && bytes.at(fin - 1) != '<')
            --fin;
        qsizetype inicio = --fin; // the node's '<'
        while (inicio > 0 && esEspacio(bytes.at(inicio - 1)))
            --inicio;
        if (fin > inicio)
            huecos.emplace_back(n, bytes.mid(inicio, fin - inicio).toStdString());
    }
    for (auto& [nodo, texto] : huecos)
        doc.insert_child_before(pugi::node_pcdata, nodo).set_value(texto.c_str());
    qsizetype inicio = bytes.size();
    while (inicio > 0 && esEspacio(bytes.at(inicio - 1)))
        --inicio;
    if (inicio < bytes.size())
        doc.append_child(pugi::node_pcdata).set_value(bytes.mid(inicio).toStdString().c_str());
}

// Keeps a copy of an unreadable user file beside it, so the registrations in it
// survive the save that replaces it.
bool apartarIlegible(const QString& ruta)
{
    if (!g_ficheroIlegible || !QFileInfo::exists(ruta))
        return true;
    const QString copia = ruta + QStringLiteral(".ilegible-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFileInfo::exists(copia) && !QFile::copy(ruta, copia))
        return false;
    g_ficheroIlegible = false;
    return true;
}

// Writes the whole document to a temporary file beside the target and renames
// it over the target only once every byte is on disk. (QSaveFile is not used:
// it reports success for a write cut short by a full disk or a size limit.)
bool guardar(const pugi::xml_document& doc, const QString& ruta)
{
    if (!apartarIlegible(ruta))
        return false;
    EscritorBytes escritor;
    unsigned formato = pugi::format_raw;
    if (!tieneDeclaracion(doc))
        formato |= pugi::format_no_declaration;
    if (g_conBom)
        formato |= pugi::format_write_bom; // a UTF-16 file without one is no longer XML
    doc.save(escritor, "", formato, g_codificacion);

    QTemporaryFile temporal(ruta + QStringLiteral(".XXXXXX"));
    temporal.setAutoRemove(true);
    if (!temporal.open())
        return false;
    if (QFileInfo::exists(ruta))
        temporal.setPermissions(QFile::permissions(ruta));
    QFile fichero;
    if (!fichero.open(temporal.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle))
        return false;
    const bool completo = fichero.write(escritor.bytes) == escritor.bytes.size() && ::fsync(temporal.handle()) == 0;
    fichero.close();
    temporal.close();
    if (!completo)
        return false;
    std::error_code error;
    std::filesystem::rename(temporal.fileName().toStdString(), ruta.toStdString(), error);
    if (error)
        return false;
    temporal.setAutoRemove(false); // it is the user file now
    return true;
}

} // namespace

QString HuellaTexto(const QString& texto) { return CSHA256().SHA256(texto).toUpper(); }

QString PrepararUsuarios(const QString& carpetaPrograma)
{
    const QString ruta = carpetaPrograma + QStringLiteral("/usuarios.xml");
    const QString plantilla = carpetaPrograma + QStringLiteral("/usuarioslimpio.xml");
    if (!QFileInfo::exists(ruta) && QFileInfo::exists(plantilla))
        QFile::copy(plantilla, ruta);
    return ruta;
}

bool CargaUsuarios(const QString& ruta)
{
    try {
        auto doc = std::make_shared<pugi::xml_document>();
        g_ficheroIlegible = false;
        g_codificacion = pugi::encoding_utf8;
        g_conBom = false;
        QFile fichero(ruta);
        if (fichero.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = fichero.readAll();
            const pugi::xml_parse_result r = doc->load_buffer(bytes.constData(), size_t(bytes.size()), OpcionesLectura);
            if (r) {
                g_codificacion = r.encoding;
                g_conBom = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE")
                    || bytes.startsWith("\xFE\xFF");
                if (r.encoding == pugi::encoding_utf8 || r.encoding == pugi::encoding_latin1)
                    restaurarEspaciosExteriores(*doc, bytes);
            } else {
                doc->reset(); // a failed parse leaves part of the tree behind
                g_ficheroIlegible = true;
            }
        }
        estado().objUsuariosXML = doc;
        estado().strRutaUsuarios = ruta;
        return true;
    } catch (...) {
        return false;
    }
}

bool ExisteUsuario(const QString& dni)
{
    const std::string ruta = "//Usuarios/Usuario[DNI='" + utf8(HuellaTexto(dni)) + "']";
    return bool(documento()->select_node(ruta.c_str()));
}

QString PasswordGuardado(const QString& dni)
{
    const std::string huella = utf8(HuellaTexto(dni));
    for (const pugi::xpath_node& hijo : documento()->select_nodes("//Usuarios/*"))
        if (huella == hijo.node().child("DNI").text().get())
            return QString::fromUtf8(hijo.node().child("Pwd").text().get());
    return {};
}

bool CompruebaPassword(const QString& dni, const QString& password)
{
    return HuellaTexto(password) == PasswordGuardado(dni);
}

bool AltaUsuario(const QString& dni, const QString& password)
{
    const std::string entrada = "<Usuario><DNI>" + utf8(HuellaTexto(dni)) + "</DNI><Pwd>"
        + utf8(HuellaTexto(password)) + "</Pwd></Usuario>";
    pugi::xml_document fragmento;
    fragmento.load_string(entrada.c_str());

    pugi::xml_document* doc = documento();
    pugi::xml_node raiz = raizUsuarios();
    bool raizNueva = false;
    if (!raiz) {
        // No user file could be read: start a new one rather than lose the entry.
        if (!doc->first_child()) {
            pugi::xml_node decl = doc->append_child(pugi::node_declaration);
            decl.append_attribute("version") = "1.0";
            decl.append_attribute("encoding") = "UTF-8";
        }
        raiz = doc->append_child("Usuarios");
        raizNueva = true;
    }
    pugi::xml_node nueva = raiz.append_copy(fragmento.document_element());
    if (guardar(*doc, estado().strRutaUsuarios))
        return true;
    // Not saved: the document keeps matching the file on disk.
    if (raizNueva)
        doc->remove_child(raiz);
    else
        raiz.remove_child(nueva);
    return false;
}

void BajaUsuario(const QString& dni)
{
    const std::string huella = utf8(HuellaTexto(dni));
    pugi::xml_node raiz = raizUsuarios();
    for (pugi::xml_node u = raiz.child("Usuario"); u; u = u.next_sibling("Usuario"))
        if (huella == u.child("DNI").text().get()) {
            raiz.remove_child(u);
            return;
        }
}

} // namespace Validacion
