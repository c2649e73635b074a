#include "documents/DatosCodigo.h"

#include "documents/CamposCodigo.h"
#include "shell/FechaEspanola.h"

#include <QDate>
#include <QStringList>
#include <utility>

namespace DatosCodigo {

QString Generar(const Valores& v)
{
    using namespace CamposCodigo;
    const auto sn = [](bool marcado) { return marcado ? QStringLiteral("S") : QStringLiteral("N"); };
    std::array<QString, Total> campos;
    campos[Tipo] = QLatin1String(TipoSolicitud);
    campos[Nif] = v.dni;
    campos[Apellidos] = v.apellidos;
    campos[Nombre] = v.nombre;
    campos[CamposCodigo::FechaNacimiento] = DatosCodigo::FechaNacimiento(v.fechaNacimiento);
    campos[Nacionalidad] = v.nacionalidad;
    campos[Telefono] = v.telefono;
    campos[Domicilio] = v.direccion;
    campos[Localidad] = v.municipio;
    campos[Provincia] = v.provincia;
    campos[CodigoPostal] = v.codigoPostal;
    campos[Titulacion] = v.titulacion.left(100);
    for (std::size_t i = 0; i < v.areas.size(); ++i)
        campos[PrimeraArea + i] = v.areas[i].trimmed();
    campos[Categoria] = v.medico ? QStringLiteral("M") : QStringLiteral("E");
    campos[Especialista] = sn(v.documentos[0]);
    campos[Experiencia] = sn(v.documentos[1]);
    campos[Cursos] = sn(v.documentos[2]);
    campos[Otros] = v.documentos[3] ? v.otros : QStringLiteral("N");
    campos[Ciudad] = v.ciudad;
    campos[CamposCodigo::FechaFirma] = DatosCodigo::FechaFirma(v.dia, v.mes, v.anio);
    // "|" separates the fields. The boxes refuse it when typed, but a pasted or
    // stored one would shift every later field, so it becomes a blank.
    QString datos;
    for (QString& campo : campos) {
        if (&campo != &campos.front())
            datos += QLatin1Char(Separador);
        datos += campo.replace(QLatin1Char(Separador), QLatin1Char(' '));
    }
    return datos;
}

QString FechaNacimiento(const QString& texto)
{
    if (texto.isEmpty())
        return QStringLiteral("00000000");
    const auto fecha = FechaEspanola::LeerFecha(texto);
    return fecha ? fecha->toString(QStringLiteral("yyyyMMdd")) : QStringLiteral("00000000");
}

QString FechaFirma(const QString& dia, const QString& mes, const QString& anio)
{
    const auto fecha = FechaEspanola::LeerFecha(dia + QLatin1Char('/') + mes + QLatin1Char('/') + anio);
    return fecha ? fecha->toString(QStringLiteral("dd/MM/yy")) : QStringLiteral("00/00/00");
}

QString SustituirCaracteres(QString texto)
{
    // One entry per step; within a step the characters map in order.
    static const std::pair<const char16_t*, const char16_t*> pasos[][5] = {
        {{u"&", u" "}},
        {{u"ä", u"&a"}, {u"ë", u"&e"}, {u"ï", u"&i"}, {u"ö", u"&o"}, {u"ü", u"&u"}},
        {{u"Ä", u"&A"}, {u"Ë", u"&E"}, {u"Ï", u"&I"}, {u"Ö", u"&O"}, {u"Ü", u"&U"}},
        {{u"â", u"&a"}, {u"ê", u"&e"}, {u"î", u"&i"}, {u"ô", u"&o"}, {u"û", u"&u"}},
        {{u"Â", u"&A"}, {u"Ê", u"&E"}, {u"Î", u"&I"}, {u"Ô", u"&O"}, {u"Û", u"&U"}},
        {{u"á", u"&a"}, {u"é", u"&e"}, {u"í", u"&i"}, {u"ó", u"&o"}, {u"ú", u"&u"}},
        {{u"Á", u"&A"}, {u"É", u"&E"}, {u"Í", u"&I"}, {u"Ó", u"&O"}, {u"Ú", u"&U"}},
        {{u"à", u"&a"}, {u"è", u"&e"}, {u"ì", u"&i"}, {u"ò", u"&o"}, {u"ù", u"&u"}},
        {{u"À", u"&A"}, {u"È", u"&E"}, {u"Ì", u"&I"}, {u"Ò", u"&O"}, {u"Ù", u"&U"}},
        {{u"ñ", u"&n"}, {u"Ñ", u"&N"}},
        {{u"º", u"."}, {u"ª", u"."}},
        {{u"\"", u"'"}},
        {{u"·", u"."}},
        {{u"¿", u" "}, {u"?", u" "}, {u"!", u" "}, {u"¡", u" "}},
        {{u"ç", u"c"}, {u"Ç", u"C"}},
    };
    for (const auto& paso : pasos)
        for (const auto& [de, a] : paso)
            if (de)
                texto.replace(QString::fromUtf16(de), QString::fromUtf16(a));
    return texto;
}

} // namespace DatosCodigo
