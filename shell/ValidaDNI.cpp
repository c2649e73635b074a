#include "shell/ValidaDNI.h"

#include <QLineEdit>

namespace Validacion {

namespace {

const QString Letras = QStringLiteral("TRWAGMYFPDXBNJZSQVHLCKE");

void ponerColor(QLineEdit* campo, const QColor& color)
{
    QPalette paleta = campo->palette();
    paleta.setColor(QPalette::Text, color);
    campo->setPalette(paleta);
}

bool soloDigitos(QStringView texto)
{
    for (const QChar c : texto)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

QString LimpiarDNI(const QString& texto, int* cursor)
{
    QString limpio;
    qsizetype nuevo = 0;
    for (qsizetype k = 0; k < texto.size(); ++k) {
        const QChar c = texto.at(k);
        if (cursor && k == *cursor)
            nuevo = limpio.size();
        if (c.isSpace() || c == QLatin1Char('.') || c == QLatin1Char('-') || c == QLatin1Char(','))
            continue;
        limpio.append(c.toUpper());
    }
    if (cursor)
        *cursor = static_cast<int>(*cursor >= texto.size() ? limpio.size() : nuevo);
    return limpio;
}

void LimpiarDNIAlEditar(QLineEdit* campo)
{
    QObject::connect(campo, &QLineEdit::textEdited, campo, [campo](const QString& texto) {
        int cursor = campo->cursorPosition();
        const QString limpio = LimpiarDNI(texto, &cursor);
        if (limpio != texto) {
            campo->setText(limpio);
            campo->setCursorPosition(cursor);
        }
    });
}

bool ValidaDNI(QLineEdit* campo)
{
    while (campo->text().size() < 9)
        campo->setText(QLatin1Char('0') + campo->text());

    const QString texto = campo->text();
    bool valido = false;
    if (texto.size() == 9 && !texto.at(8).isDigit() && soloDigitos(QStringView(texto).left(8))) {
        const int resto = QStringView(texto).left(8).toInt() % 23;
        valido = texto.at(8).toUpper() == Letras.at(resto);
    }
    if (valido) {
        ponerColor(campo, QColor(0, 0, 0));
        campo->setText(texto.toUpper());
    } else {
        ponerColor(campo, QColor(254, 0, 0));
    }
    return valido;
}

} // namespace Validacion
