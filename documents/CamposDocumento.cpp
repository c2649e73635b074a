#include "documents/CamposDocumento.h"

#include <QVariant>
#include <QWidget>

QString Tag(const QWidget* control) { return control ? control->property("Tag").toString() : QString(); }

namespace ModWord {

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
