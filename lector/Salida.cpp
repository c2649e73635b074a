#include "lector/Salida.h"

#include <QStringList>

namespace Salida {

using namespace CamposCodigo;
using DatosLeidos::TotalComprobaciones;

namespace {

QString Csv(const QString& valor, QChar separador)
{
    if (!valor.contains(separador) && !valor.contains(u'"') && !valor.contains(u'\n') && !valor.contains(u'\r'))
        return valor;
    QString citado = valor;
    citado.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + citado + u'"';
}

QString Json(const QString& valor)
{
    QString s = QStringLiteral("\"");
    for (const QChar c : valor) {
        switch (c.unicode()) {
        case '"':
            s += QStringLiteral("\\\"");
            break;
        case '\\':
            s += QStringLiteral("\\\\");
            break;
        case '\n':
            s += QStringLiteral("\\n");
            break;
        case '\r':
            s += QStringLiteral("\\r");
            break;
        case '\t':
            s += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
                s += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                s += c;
        }
    }
    return s + u'"';
}

QString Fallidas(const DatosLeidos::Solicitud& s)
{
    QStringList nombres;
    for (std::size_t i = 0; i < TotalComprobaciones; ++i)
        if (!s.correctas[i])
            nombres << QLatin1String(DatosLeidos::NombreComprobacion(i));
    return nombres.join(u' ');
}

QString Detalle(const Registro& r)
{
    switch (r.lectura->estado) {
    case Paginas::Estado::Error:
        return r.lectura->error;
    case Paginas::Estado::OtroCodigo:
        return r.lectura->formato;
    default:
        return {};
    }
}

QString Texto(const QByteArray& contenido)
{
    // Another barcode's content, shown as text when it is UTF-8, else as Latin-1.
    const QString utf8 = QString::fromUtf8(contenido);
    return utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(contenido) : utf8;
}

} // namespace

QString Resultado(const Registro& r)
{
    switch (r.lectura->estado) {
    case Paginas::Estado::Solicitud:
        return QStringLiteral("solicitud");
    case Paginas::Estado::OtroCodigo:
        return QStringLiteral("otro código");
    case Paginas::Estado::SinCodigo:
        return QStringLiteral("sin código");
    case Paginas::Estado::Error:
        break;
    }
    return QStringLiteral("error");
}

QByteArray Cabecera(Formato formato, QChar separador)
{
    if (formato != Formato::Csv)
        return {};
    QStringList columnas = {QStringLiteral("fichero"), QStringLiteral("pagina"), QStringLiteral("resultado"),
        QStringLiteral("detalle"), QStringLiteral("comprobaciones_fallidas"), QStringLiteral("dni_repetido")};
    for (const Descripcion& d : Campos)
        columnas << QLatin1String(d.nombre);
    for (const Descripcion& d : Campos)
        columnas << QLatin1String(d.nombre) + QStringLiteral("_IMPRESO");
    columnas << QStringLiteral("codigo");
    return (columnas.join(separador) + QStringLiteral("\r\n")).toUtf8();
}

QByteArray Linea(const Registro& r, Formato formato, QChar separador)
{
    const DatosLeidos::Solicitud* s = r.solicitud;
    const QString codigo
        = s ? s->codigo : (r.lectura->estado == Paginas::Estado::OtroCodigo ? Texto(r.lectura->contenido) : QString());
    if (formato == Formato::Csv) {
        QStringList v = {r.pagina->fichero, QString::number(r.pagina->numero), Resultado(r), Detalle(r),
            s ? Fallidas(*s) : QString(), r.dniRepetido};
        for (std::size_t i = 0; i < Total; ++i)
            v << (s ? s->legibles[i] : QString());
        for (std::size_t i = 0; i < Total; ++i)
            v << (s ? s->impresos[i] : QString());
        v << codigo;
        for (QString& campo : v)
            campo = Csv(campo, separador);
        return (v.join(separador) + QStringLiteral("\r\n")).toUtf8();
    }
    QString j = QStringLiteral("{\"fichero\":%1,\"pagina\":%2,\"resultado\":%3")
                    .arg(Json(r.pagina->fichero))
                    .arg(r.pagina->numero)
                    .arg(Json(Resultado(r)));
    if (const QString detalle = Detalle(r); !detalle.isEmpty())
        j += QStringLiteral(",\"detalle\":") + Json(detalle);
    if (!codigo.isEmpty() || s)
        j += QStringLiteral(",\"codigo\":") + Json(codigo);
    if (s) {
        j += QStringLiteral(",\"numero_campos\":") + QString::number(s->numeroCampos);
        j += QStringLiteral(",\"comprobaciones\":{");
        for (std::size_t i = 0; i < TotalComprobaciones; ++i)
            j += (i ? QStringLiteral(",") : QString()) + Json(QLatin1String(DatosLeidos::NombreComprobacion(i)))
                + (s->correctas[i] ? QStringLiteral(":true") : QStringLiteral(":false"));
        j += QStringLiteral("},\"dni_repetido\":")
            + (r.dniRepetido.isEmpty() ? QStringLiteral("null") : Json(r.dniRepetido));
        for (const auto& [clave, valores] : {std::pair{"campos", &s->legibles}, std::pair{"impresos", &s->impresos}}) {
            j += QStringLiteral(",\"%1\":{").arg(QLatin1String(clave));
            for (std::size_t i = 0; i < Total; ++i)
                j += (i ? QStringLiteral(",") : QString()) + Json(QLatin1String(Campos[i].nombre)) + u':'
                    + Json((*valores)[i]);
            j += u'}';
        }
    }
    return (j + QStringLiteral("}\n")).toUtf8();
}

} // namespace Salida
