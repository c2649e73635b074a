#include "lector/DatosLeidos.h"

#include <QDate>

#include <algorithm>
#include <bitset>

namespace DatosLeidos {

using namespace CamposCodigo;

namespace {

bool Digitos(QStringView texto)
{
    return std::all_of(texto.begin(), texto.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool DniCorrecto(const QString& dni)
{
    if (dni.size() != 9 || !Digitos(QStringView(dni).left(8)))
        return false;
    return dni.at(8) == LetraDNI(QStringView(dni).left(8).toInt());
}

bool FechaNacimientoCorrecta(const QString& texto)
{
    if (texto.size() != 8 || !Digitos(texto))
        return false;
    return QDate(
        QStringView(texto).left(4).toInt(), QStringView(texto).mid(4, 2).toInt(), QStringView(texto).mid(6, 2).toInt())
        .isValid();
}

bool FechaFirmaCorrecta(const QString& texto)
{
    if (texto.size() != 8 || texto.at(2) != u'/' || texto.at(5) != u'/')
        return false;
    const QStringView dia = QStringView(texto).left(2), mes = QStringView(texto).mid(3, 2),
                      anio = QStringView(texto).mid(6, 2);
    if (!Digitos(dia) || !Digitos(mes) || !Digitos(anio))
        return false;
    // The program writes two-digit years in the window 1930 to 2029.
    const int aa = anio.toInt();
    return QDate(aa < 30 ? 2000 + aa : 1900 + aa, mes.toInt(), dia.toInt()).isValid();
}

// The program's payload holds nothing else; a symbol misread from a poor scan
// often does.
bool CaracteresCorrectos(const QString& codigo)
{
    for (qsizetype i = 0; i < codigo.size(); ++i) {
        const QChar c = codigo.at(i);
        if (c.unicode() < 32 || c.unicode() > 126)
            return false;
        if (c == u'&' && (i + 1 == codigo.size() || !QStringLiteral("aeiounAEIOUN").contains(codigo.at(i + 1))))
            return false;
    }
    return true;
}

bool PreferenciasCorrectas(const std::array<QString, Total>& campos)
{
    std::bitset<12> vistas;
    for (std::size_t i = PrimeraArea; i <= UltimaArea; ++i) {
        const QString& area = campos[i];
        if (area.isEmpty())
            continue;
        if (area.size() > 2 || !Digitos(area))
            return false;
        const int numero = area.toInt();
        if (numero < 1 || numero > 11 || vistas.test(std::size_t(numero)))
            return false;
        vistas.set(std::size_t(numero));
    }
    return vistas.any(); // the form prints nothing without an area
}

} // namespace

const char* NombreComprobacion(std::size_t comprobacion)
{
    static const std::array<const char*, TotalComprobaciones> nombres = {"campos", "caracteres", "letra_dni",
        "fecha_nacimiento", "fecha_firma", "preferencias", "categoria", "documentos"};
    return comprobacion < nombres.size() ? nombres[comprobacion] : "";
}

bool Solicitud::valida() const
{
    return std::all_of(correctas.begin(), correctas.end(), [](bool b) { return b; });
}

bool EsSolicitud(const QByteArray& contenido) { return contenido.startsWith(QByteArray(TipoSolicitud) + Separador); }

QChar LetraDNI(int numero)
{
    static constexpr char16_t letras[] = u"TRWAGMYFPDXBNJZSQVHLCKE";
    return QChar(letras[numero % 23]);
}

QString Legible(const QString& impreso)
{
    static const QString bases = QStringLiteral("aeiounAEIOUN");
    static const QString acentuadas = QStringLiteral("áéíóúñÁÉÍÓÚÑ");
    QString texto;
    texto.reserve(impreso.size());
    for (qsizetype i = 0; i < impreso.size(); ++i) {
        const QChar c = impreso.at(i);
        if (c == u'&' && i + 1 < impreso.size()) {
            if (const qsizetype k = bases.indexOf(impreso.at(i + 1)); k >= 0) {
                texto += acentuadas.at(k);
                ++i;
                continue;
            }
        }
        texto += c;
    }
    return texto;
}

Solicitud Leer(const QByteArray& contenido)
{
    Solicitud s;
    // Text compaction carries printable ASCII only; anything else came from
    // another encoder and is kept as Latin-1, the symbol's default.
    s.codigo = QString::fromLatin1(contenido);
    const QList<QStringView> campos = QStringView(s.codigo).split(QLatin1Char(Separador));
    s.numeroCampos = campos.size();
    for (std::size_t i = 0; i < Total && qsizetype(i) < campos.size(); ++i) {
        s.impresos[i] = campos[qsizetype(i)].toString();
        s.legibles[i] = Legible(s.impresos[i]);
    }
    const auto& c = s.impresos;
    const auto sn = [](const QString& v) { return v == u"S" || v == u"N"; };
    s.correctas[NumeroCampos] = s.numeroCampos == Total;
    s.correctas[Caracteres] = CaracteresCorrectos(s.codigo);
    s.correctas[LetraDni] = DniCorrecto(c[Nif]);
    s.correctas[DatosLeidos::FechaNacimiento] = FechaNacimientoCorrecta(c[CamposCodigo::FechaNacimiento]);
    s.correctas[DatosLeidos::FechaFirma] = FechaFirmaCorrecta(c[CamposCodigo::FechaFirma]);
    s.correctas[Preferencias] = PreferenciasCorrectas(c);
    s.correctas[DatosLeidos::Categoria] = c[CamposCodigo::Categoria] == u"M" || c[CamposCodigo::Categoria] == u"E";
    s.correctas[Documentos] = sn(c[Especialista]) && sn(c[Experiencia]) && sn(c[Cursos]);
    return s;
}

} // namespace DatosLeidos
