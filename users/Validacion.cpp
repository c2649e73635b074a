#include "users/Validacion.h"

#include "users/FicheroUsuarios.h"
#include "hashing/CSHA256.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/Windows1252.h"

#include <QDateTime>
#include <QFile>

#include <pugixml.hpp>

#include <cerrno>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Validacion {

// The user file as read: its document, the index of its entries and how the
// file was (encoding, byte-order mark, state on disk).
struct UsuariosLeidos {
    enum class Estado { Leido, Falta, NoAnaliza, Ilegible };
    std::shared_ptr<pugi::xml_document> doc = std::make_shared<pugi::xml_document>();
    pugi::xml_node raiz;
    // DNI digest (the entry's own text) to the first entry that holds it.
    std::unordered_map<std::string_view, pugi::xml_node> indice;
    Estado estado = Estado::Falta;
    int error = 0;    // errno when Ilegible
    QByteArray bytes; // kept only when the file did not parse
    Firma firma;      // what was read; unknown for a document set from outside
    bool desdeFichero = false;
    pugi::xml_encoding codificacion = pugi::encoding_utf8;
    bool conBom = false;
};

namespace {

using Leidos = UsuariosLeidos;

// Line ends, comments and whitespace between the tags are kept as read, so a
// save changes nothing but the entries.
constexpr unsigned OpcionesLectura = (pugi::parse_full | pugi::parse_ws_pcdata) & ~pugi::parse_eol;

std::shared_ptr<Leidos> g_actual;
std::vector<std::string> g_bajas; // removed in memory, not yet saved
int g_esperaMs = 5000;

std::string utf8(const QString& texto) { return texto.toStdString(); }

std::string_view claveDe(pugi::xml_node usuario) { return usuario.child("DNI").text().get(); }

void indexar(Leidos& l)
{
    l.indice.clear();
    pugi::xml_node raiz = l.doc->document_element();
    if (std::string_view(raiz.name()) != "Usuarios")
        raiz = l.doc->select_node("//Usuarios").node();
    l.raiz = raiz;
    size_t entradas = 0;
    for (pugi::xml_node u = raiz.child("Usuario"); u; u = u.next_sibling("Usuario"))
        ++entradas;
    l.indice.reserve(entradas);
    for (pugi::xml_node u = raiz.child("Usuario"); u; u = u.next_sibling("Usuario"))
        l.indice.emplace(claveDe(u), u); // the first entry of a DNI wins
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

void analizar(Leidos& l, const QByteArray& bytes)
{
    const pugi::xml_parse_result r = l.doc->load_buffer(bytes.constData(), size_t(bytes.size()), OpcionesLectura);
    if (!r) {
        l.doc->reset(); // a failed parse leaves part of the tree behind
        l.estado = Leidos::Estado::NoAnaliza;
        l.bytes = bytes;
        return;
    }
    l.estado = Leidos::Estado::Leido;
    l.codificacion = r.encoding;
    l.conBom = bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF");
    if (r.encoding == pugi::encoding_utf8 || r.encoding == pugi::encoding_latin1)
        restaurarEspaciosExteriores(*l.doc, bytes);
}

// Removes the entry from the document and the index; a later entry of the same
// DNI (a file edited by hand) takes its place in the index.
void quitar(Leidos& l, pugi::xml_node usuario)
{
    const std::string clave(claveDe(usuario));
    pugi::xml_node siguiente = usuario.next_sibling("Usuario");
    l.indice.erase(clave);
    usuario.parent().remove_child(usuario);
    for (; siguiente; siguiente = siguiente.next_sibling("Usuario"))
        if (claveDe(siguiente) == clave) {
            l.indice.emplace(claveDe(siguiente), siguiente);
            break;
        }
}

void aplicarBajas(Leidos& l)
{
    for (const std::string& clave : g_bajas)
        if (auto it = l.indice.find(clave); it != l.indice.end())
            quitar(l, it->second);
}

// The loaded document, reloaded first when another copy has replaced the file.
Leidos& actual()
{
    auto& e = estado();
    if (!g_actual || g_actual->doc != e.objUsuariosXML) {
        // Nothing loaded yet, or a document set from outside: index what is there.
        auto l = std::make_shared<Leidos>();
        if (e.objUsuariosXML)
            l->doc = e.objUsuariosXML;
        else
            e.objUsuariosXML = l->doc;
        indexar(*l);
        g_actual = l;
        g_bajas.clear();
    } else if (g_actual->desdeFichero && !(FirmaDe(e.strRutaUsuarios) == g_actual->firma)) {
        if (auto l = LeerUsuarios(e.strRutaUsuarios)) {
            aplicarBajas(*l);
            g_actual = l;
            e.objUsuariosXML = l->doc;
        }
    }
    return *g_actual;
}

void instalar(std::shared_ptr<Leidos> l)
{
    g_actual = std::move(l);
    estado().objUsuariosXML = g_actual->doc;
}

struct EscritorBytes : pugi::xml_writer {
    QByteArray bytes;
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), qsizetype(size));
    }
};

QByteArray serializar(const Leidos& l)
{
    EscritorBytes escritor;
    unsigned formato = pugi::format_raw;
    bool declaracion = false;
    for (pugi::xml_node n = l.doc->first_child(); n; n = n.next_sibling())
        declaracion = declaracion || n.type() == pugi::node_declaration;
    if (!declaracion)
        formato |= pugi::format_no_declaration;
    if (l.conBom)
        formato |= pugi::format_write_bom; // a UTF-16 file without one is no longer XML
    l.doc->save(escritor, "", formato, l.codificacion);
    return escritor.bytes;
}

// A file that does not parse is kept beside the new one, so its registrations
// survive the save that replaces it.
Resultado apartar(const QString& ruta, const QByteArray& bytes)
{
    const QString base = ruta + QStringLiteral(".ilegible-")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString copia = base;
    for (int n = 1; QFile::exists(copia); ++n)
        copia = base + QLatin1Char('-') + QString::number(n);
    const ResultadoEscritura r = EscribirFicheroSeguro(copia, bytes);
    if (!r)
        return Resultado::Fallo(
            QStringLiteral("No se ha podido guardar una copia del fichero de usuarios dañado %1 en %2: %3.")
                .arg(ruta, copia, r.motivo()));
    return Resultado::Correcto();
}

QString motivoIlegible(const QString& ruta, int error)
{
    return QStringLiteral("No se puede leer el fichero de usuarios %1 (%2). No se ha modificado, para no perder "
                          "los usuarios que contiene; revise el fichero y sus permisos.")
        .arg(ruta, MotivoLectura(error));
}

// Reading raised an error: only running out of memory does.
Resultado sinMemoria(const QString& ruta)
{
    return Resultado::Fallo(
        QStringLiteral("No se ha podido cargar el fichero de usuarios %1: no hay memoria suficiente.").arg(ruta));
}

// The document to change: the loaded one when the file is still what was read,
// else the file as it is now; or why it cannot be changed.
ResultadoCon<std::shared_ptr<Leidos>> paraCambiar(const QString& ruta)
{
    std::shared_ptr<Leidos> l = g_actual;
    if (!l || !l->desdeFichero || l->doc != estado().objUsuariosXML || !(FirmaDe(ruta) == l->firma)) {
        l = LeerUsuarios(ruta);
        if (!l)
            return sinMemoria(ruta);
        aplicarBajas(*l);
    }
    if (l->estado == Leidos::Estado::Ilegible) {
        instalar(l);
        return Resultado::Fallo(motivoIlegible(ruta, l->error));
    }
    if (l->estado == Leidos::Estado::NoAnaliza) {
        if (Resultado r = apartar(ruta, l->bytes); !r)
            return r;
        l->bytes.clear();
        l->estado = Leidos::Estado::Falta;
    }
    return l;
}

void crearRaiz(Leidos& l)
{
    // No user file could be read: start a new one rather than lose the entry.
    if (!l.doc->first_child()) {
        pugi::xml_node decl = l.doc->append_child(pugi::node_declaration);
        decl.append_attribute("version") = "1.0";
        decl.append_attribute("encoding") = "UTF-8";
    }
    l.raiz = l.doc->append_child("Usuarios");
}

Resultado escribir(Leidos& l, const QString& ruta)
{
    const ResultadoEscritura r = EscribirFicheroSeguro(ruta, serializar(l));
    if (!r)
        return Resultado::Fallo(
            QStringLiteral("No se ha podido escribir el fichero de usuarios %1: %2.").arg(ruta, r.motivo()));
    l.firma = FirmaDe(ruta);
    l.desdeFichero = true;
    l.estado = Leidos::Estado::Leido;
    return Resultado::Correcto();
}

} // namespace

QString HuellaTexto(const QString& texto) { return CSHA256().SHA256(texto).toUpper(); }

QString Mayusculas(const QString& texto)
{
    QString r = texto;
    for (QChar& c : r) {
        if (c.isSurrogate())
            continue;
        const char16_t antes = c.unicode();
        const char32_t despues = QChar::toUpper(char32_t(antes)); // the simple, one-for-one mapping
        if (despues > 0xFFFF || (Windows1252::Representable(antes) && !Windows1252::Representable(char16_t(despues))))
            continue;
        c = QChar(char16_t(despues));
    }
    return r;
}

QString PrepararUsuarios(const QString& carpetaDatos, const QString& carpetaPrograma)
{
    const QString ruta = carpetaDatos + QStringLiteral("/usuarios.xml");
    const QString plantilla
        = (carpetaPrograma.isEmpty() ? carpetaDatos : carpetaPrograma) + QStringLiteral("/usuarioslimpio.xml");
    const auto falta = [&] {
        struct stat st { };
        return ::lstat(QFile::encodeName(ruta).constData(), &st) != 0 && errno == ENOENT;
    };
    if (!falta() || !QFile::exists(plantilla))
        return ruta;
    Bloqueo bloqueo(ruta, g_esperaMs);
    if (bloqueo.tomado() && falta()) { // another copy may have made it meanwhile
        // A failed copy is passed over: a missing file is no error here.
        const Lectura limpia = LeerFichero(plantilla);
        if (limpia.error == 0)
            (void)EscribirFicheroSeguro(ruta, limpia.bytes);
    }
    return ruta;
}

std::shared_ptr<UsuariosLeidos> LeerUsuarios(const QString& ruta)
{
    try {
        auto l = std::make_shared<Leidos>();
        l->desdeFichero = true;
        const Lectura lectura = LeerFichero(ruta);
        l->firma = lectura.firma;
        if (lectura.error == ENOENT) {
            l->estado = Leidos::Estado::Falta;
        } else if (lectura.error != 0) {
            l->estado = Leidos::Estado::Ilegible;
            l->error = lectura.error;
        } else {
            analizar(*l, lectura.bytes);
        }
        indexar(*l);
        return l;
    } catch (...) {
        return nullptr;
    }
}

Resultado InstalarUsuarios(std::shared_ptr<UsuariosLeidos> leidos, const QString& ruta)
{
    if (!leidos)
        return sinMemoria(ruta);
    g_bajas.clear();
    instalar(std::move(leidos));
    estado().strRutaUsuarios = ruta;
    return Resultado::Correcto();
}

Resultado CargaUsuarios(const QString& ruta) { return InstalarUsuarios(LeerUsuarios(ruta), ruta); }

bool ExisteUsuario(const QString& dni)
{
    const Leidos& l = actual();
    return l.indice.count(utf8(HuellaTexto(dni))) > 0;
}

QString PasswordGuardado(const QString& dni)
{
    const Leidos& l = actual();
    const auto it = l.indice.find(utf8(HuellaTexto(dni)));
    return it == l.indice.end() ? QString() : QString::fromUtf8(it->second.child("Pwd").text().get());
}

bool CompruebaPassword(const QString& dni, const QString& password)
{
    return HuellaTexto(password) == PasswordGuardado(dni);
}

Resultado AltaUsuario(const QString& dni, const QString& password)
{
    const QString ruta = estado().strRutaUsuarios;
    const std::string huella = utf8(HuellaTexto(dni));
    const std::string entrada
        = "<Usuario><DNI>" + huella + "</DNI><Pwd>" + utf8(HuellaTexto(password)) + "</Pwd></Usuario>";
    pugi::xml_document fragmento;
    fragmento.load_string(entrada.c_str());

    Bloqueo bloqueo(ruta, g_esperaMs);
    if (!bloqueo.tomado()) {
        // An unreadable file is the first thing to mend.
        const int error = LeerFichero(ruta).error;
        return Resultado::Fallo(error != 0 && error != ENOENT ? motivoIlegible(ruta, error) : bloqueo.motivo());
    }
    const ResultadoCon<std::shared_ptr<Leidos>> cambiable = paraCambiar(ruta);
    if (!cambiable)
        return cambiable;
    const std::shared_ptr<Leidos>& l = cambiable.valor;
    // One entry per DNI, also when another copy registered it meanwhile.
    for (auto it = l->indice.find(huella); it != l->indice.end(); it = l->indice.find(huella))
        quitar(*l, it->second);
    if (!l->raiz)
        crearRaiz(*l);
    pugi::xml_node nueva = l->raiz.append_copy(fragmento.document_element());
    if (Resultado escrito = escribir(*l, ruta); !escrito) {
        // Back to what the file holds.
        if (auto deNuevo = LeerUsuarios(ruta)) {
            aplicarBajas(*deNuevo);
            instalar(deNuevo);
        }
        return escrito;
    }
    l->indice.emplace(claveDe(nueva), nueva);
    g_bajas.clear();
    instalar(l);
    return Resultado::Correcto();
}

void BajaUsuario(const QString& dni)
{
    Leidos& l = actual();
    std::string huella = utf8(HuellaTexto(dni));
    if (auto it = l.indice.find(huella); it != l.indice.end()) {
        quitar(l, it->second);
        g_bajas.push_back(std::move(huella));
    }
}

Resultado FicheroLegible()
{
    if (!g_actual || g_actual->estado != Leidos::Estado::Ilegible)
        return Resultado::Correcto();
    return Resultado::Fallo(motivoIlegible(estado().strRutaUsuarios, g_actual->error));
}

void FijarEsperaBloqueo(int milisegundos) { g_esperaMs = milisegundos; }

} // namespace Validacion
