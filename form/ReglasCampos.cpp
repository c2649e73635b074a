#include "form/ReglasCampos.h"

#include <QKeyEvent>
#include <QRegularExpression>
#include <cmath>

namespace ReglasCampos {

std::optional<double> LeerNumero(const QString& texto)
{
    // One sign, in front or behind: "1-" reads as -1.
    static const QRegularExpression numero(QStringLiteral("^([+-]?)(\\d+,?\\d*|,\\d+)([+-]?)$"));
    const auto m = numero.match(texto.trimmed());
    if (!m.hasMatch() || (!m.captured(1).isEmpty() && !m.captured(3).isEmpty()))
        return std::nullopt;
    QString c = m.captured(1) + m.captured(3) + m.captured(2);
    c.replace(QLatin1Char(','), QLatin1Char('.'));
    if (c.endsWith(QLatin1Char('.')))
        c.chop(1);
    bool ok = false;
    const double v = c.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return v;
}

int RedondearPar(double valor)
{
    // std::nearbyint follows the default rounding mode: to nearest, ties to even.
    return static_cast<int>(std::nearbyint(valor));
}

ResultadoPreferencia ComprobarPreferencia(int i, const std::array<QString, 11>& textos)
{
    ResultadoPreferencia r;
    const QString propio = textos.at(i).trimmed();
    if (propio.isEmpty() || propio == QLatin1String("-"))
        return r;
    // Anything else that is no number cannot be a preference either.
    const auto valor = LeerNumero(propio);
    if (!valor || *valor < 1 || *valor > 11) {
        r.estado = Preferencia::FueraDeRango;
        return r;
    }
    r.estado = Preferencia::Valida;
    const int n = RedondearPar(*valor);
    for (int j = 0; j < static_cast<int>(textos.size()); ++j) {
        if (j == i)
            continue;
        // An empty box counts as 0; one that holds no number matches nothing.
        const auto otro = textos.at(j).isEmpty() ? std::optional<double>(0) : LeerNumero(textos.at(j));
        if (otro && *otro == n)
            ++r.repeticiones;
    }
    return r;
}

int QuitarBarras(QString& texto, int& cursor)
{
    int quitadas = 0;
    for (qsizetype k = texto.size() - 1; k >= 0; --k) {
        if (texto.at(k) != QLatin1Char('|'))
            continue;
        texto.remove(k, 1);
        ++quitadas;
        if (k < cursor)
            --cursor;
    }
    return quitadas;
}

qint16 EstadoModificadores(const QKeyEvent* evento)
{
    const auto m = evento->modifiers();
    qint16 s = 0;
    if (m & Qt::ShiftModifier)
        s |= 1;
    if (m & Qt::ControlModifier)
        s |= 2;
    if (m & Qt::AltModifier)
        s |= 4;
    if (m & Qt::GroupSwitchModifier)
        s |= 6;
    return s;
}

bool EsTeclaBarra(const QKeyEvent* evento)
{
    if (evento->key() == Qt::Key_Bar)
        return true;
    const auto m = evento->modifiers();
    const bool altGr = (m & Qt::GroupSwitchModifier) || ((m & Qt::ControlModifier) && (m & Qt::AltModifier));
    return altGr && evento->key() == Qt::Key_1;
}

} // namespace ReglasCampos
