#include "shell/FechaEspanola.h"

#include <QRegularExpression>
#include <QStringList>

namespace FechaEspanola {

namespace {

const QStringList& Meses()
{
    static const QStringList meses = {QStringLiteral("enero"), QStringLiteral("febrero"), QStringLiteral("marzo"),
        QStringLiteral("abril"), QStringLiteral("mayo"), QStringLiteral("junio"), QStringLiteral("julio"),
        QStringLiteral("agosto"), QStringLiteral("septiembre"), QStringLiteral("octubre"), QStringLiteral("noviembre"),
        QStringLiteral("diciembre")};
    return meses;
}

bool SoloDigitos(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

// Month as a number (1..12) or a Spanish name, full or its first three letters.
int LeerMes(const QString& texto)
{
    if (SoloDigitos(texto))
        return texto.size() <= 2 ? texto.toInt() : 0;
    const QString nombre = texto.toLower();
    if (nombre == QLatin1String("setiembre"))
        return 9;
    const QStringList& meses = Meses();
    for (int i = 0; i < meses.size(); ++i) {
        if (nombre == meses[i] || (nombre.size() == 3 && meses[i].startsWith(nombre)))
            return i + 1;
    }
    return 0;
}

} // namespace

std::optional<QDate> LeerFecha(const QString& texto)
{
    // "/", "-" or "." (blanks around them allowed), or blanks alone: "7 dic 2006".
    static const QRegularExpression separador(QStringLiteral("\\s*[/.\\-]\\s*|\\s+"));
    // "7 de diciembre de 2006", "7 de diciembre del 2006".
    static const QRegularExpression de(QStringLiteral("\\s+del?\\s+"), QRegularExpression::CaseInsensitiveOption);
    const QStringList partes = QString(texto).replace(de, QStringLiteral(" ")).trimmed().split(separador);
    if (partes.size() != 3)
        return std::nullopt;
    // A four-digit first part is a year: year, month, day ("1970-02-01").
    const bool anioPrimero = partes[0].size() == 4 && SoloDigitos(partes[0]);
    const QString& dia = partes[anioPrimero ? 2 : 0];
    const QString& mes = partes[1];
    const QString& anio = partes[anioPrimero ? 0 : 2];
    if (!SoloDigitos(dia) || dia.size() > 2 || !SoloDigitos(anio))
        return std::nullopt;
    int a = anio.toInt();
    if (anio.size() <= 2)
        a += a < 30 ? 2000 : 1900;
    else if (anio.size() != 4)
        return std::nullopt;
    const QDate fecha(a, LeerMes(mes), dia.toInt());
    if (!fecha.isValid())
        return std::nullopt;
    return fecha;
}

std::optional<QDate> LeerFechaNacimiento(const QString& texto, const QDate& hoy)
{
    const auto fecha = LeerFecha(texto);
    if (!fecha || *fecha < QDate(1900, 1, 1) || *fecha > hoy)
        return std::nullopt;
    return fecha;
}

QString NombreMes(int mes)
{
    if (mes < 1 || mes > 12)
        return {};
    return Meses().at(mes - 1);
}

} // namespace FechaEspanola
