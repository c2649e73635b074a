#include "documents/DatosCodigo.h"

#include "form/FechaEspanola.h"
#include "form/frmSolicitudes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QDate>
#include <QStringList>
#include <cmath>
#include <utility>

namespace DatosCodigo {

QString Generar(const Valores& v)
{
    const auto sn = [](bool marcado) { return marcado ? QStringLiteral("S") : QStringLiteral("N"); };
    QStringList campos{QStringLiteral("u"),
                       v.dni,
                       v.apellidos,
                       v.nombre,
                       FechaNacimiento(v.fechaNacimiento),
                       v.nacionalidad,
                       v.telefono,
                       v.direccion,
                       v.municipio,
                       v.provincia,
                       v.codigoPostal,
                       v.titulacion.left(100)};
    for (const QString& area : v.areas)
        campos << area.trimmed();
    campos << (v.medico ? QStringLiteral("M") : QStringLiteral("E"))
           << sn(v.documentos[0]) << sn(v.documentos[1]) << sn(v.documentos[2])
           << (v.documentos[3] ? v.otros : QStringLiteral("N"))
           << v.ciudad
           << FechaFirma(v.dia, v.mes, v.anio);
    // "|" separates the fields. The boxes refuse it when typed, but a pasted or
    // stored one would shift every later field, so it becomes a blank.
    for (QString& campo : campos)
        campo.replace(QLatin1Char('|'), QLatin1Char(' '));
    return campos.join(QLatin1Char('|'));
}

Valores DatosDesdeFormulario(const frmSolicitudes& f)
{
    Valores v;
    v.dni = f.txtDNI->text();
    v.apellidos = f.txtApellidos->text();
    v.nombre = f.txtNombre->text();
    v.fechaNacimiento = f.txtFechaNac->text();
    v.nacionalidad = f.txtNacionalidad->text();
    v.telefono = f.txtTfno->text();
    v.direccion = f.txtDireccion->text();
    v.municipio = f.txtMunicipio->text();
    v.provincia = f.txtProvincia->text();
    v.codigoPostal = f.txtCP->text();
    v.titulacion = f.txtTitulacion->text();
    for (std::size_t i = 0; i < v.areas.size(); ++i)
        v.areas[i] = f.txtArea[i]->text();
    v.medico = f.optCategoria[0]->isChecked();
    for (std::size_t i = 0; i < v.documentos.size(); ++i)
        v.documentos[i] = f.chkDocu[i]->checkState() == Qt::Checked;
    v.otros = f.txtOtros->text();
    v.ciudad = f.txtCiudad->text();
    v.dia = f.txtDia->text();
    v.mes = f.txtMes->text();
    v.anio = f.txtAño->text();
    return v;
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

namespace ModWord {

int TwipsAPixeles(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

qint16 AltoAmpliado(qint16 alto)
{
    // nearbyint follows the default rounding mode: to nearest, halves to even.
    return static_cast<qint16>(std::nearbyint(alto * 1.3));
}

QString NombreBmp(const QString& carpeta, const QDateTime& momento)
{
    return carpeta + momento.toString(QStringLiteral("yyyyMMddHHmmssmm"));
}

QString TextoArea(const QString& texto)
{
    const QString numero = texto.trimmed();
    if (numero.isEmpty())
        return QStringLiteral("__");
    if (numero.size() == 1)
        return QStringLiteral("  ") + numero;
    return numero;
}

QString AreaLeida(const QString& resultado)
{
    const QString numero = resultado.trimmed();
    return numero == QLatin1String("__") ? QString() : numero;
}

} // namespace ModWord
