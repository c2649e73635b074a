#include "shell/ModGeneral.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace ModGeneral {

ResultadoCon<QString> Rellenar(const QString& texto, qint16 longitud, bool izquierda, const QString& caracter)
{
    if (caracter.size() != 1)
        return Resultado::Fallo(QStringLiteral("Sólo se admiten caracteres, no cadenas en el argumento 'caracter'"));
    const qsizetype n = longitud - texto.size();
    const QString relleno = n > 0 ? caracter.repeated(n) : QString();
    return izquierda ? relleno + texto : texto + relleno;
}

namespace {

// The filter's verdict on one character code: the code to enter, 0 to refuse.
int Filtrar(int codigo, bool numerico, bool hayComa)
{
    if (!numerico)
        return codigo == 34 || codigo == 39 ? 0 : codigo;
    if (codigo == 45)
        return codigo;
    if (codigo == 46 || codigo == 110)
        codigo = 44;
    const bool digito = codigo >= 48 && codigo <= 57;
    const bool coma = codigo == 44 && !hayComa;
    return digito || codigo == 8 || coma ? codigo : 0;
}

} // namespace

void FiltrarTecla(QLineEdit* campo, int& KeyAscii, bool numerico)
{
    if (KeyAscii == 13)
        PulsarTab();
    KeyAscii = Filtrar(KeyAscii, numerico, campo && campo->text().contains(QLatin1Char(',')));
}

QString FiltrarTexto(const QString& texto, bool numerico, bool hayComa)
{
    QString resultado;
    for (const QChar c : texto) {
        // Control characters (line breaks, tabs, a backspace) type nothing when pasted.
        if (c.unicode() < 32)
            continue;
        const int codigo = Filtrar(c.unicode(), numerico, hayComa);
        if (codigo == 0)
            continue;
        hayComa = hayComa || codigo == 44;
        resultado.append(QChar(codigo));
    }
    return resultado;
}

int CodigoTecla(const QKeyEvent* evento)
{
    switch (evento->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    // Shortcuts (Ctrl+C, Ctrl+V, ...) type nothing; AltGr may arrive as Ctrl+Alt.
    const auto mods = evento->modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier))
        return -1;
    // X11 reports Delete as the character 127; it edits the box, it types nothing.
    const QString texto = evento->text();
    if (texto.size() != 1 || texto.at(0).unicode() < 32 || texto.at(0).unicode() == 127)
        return -1;
    return texto.at(0).unicode();
}

bool FiltrarEventoTecla(QLineEdit* campo, QKeyEvent* evento, bool numerico)
{
    const int original = CodigoTecla(evento);
    if (original < 0)
        return false;
    int codigo = original;
    FiltrarTecla(campo, codigo, numerico);
    if (codigo == 0 || codigo == 13)
        return true; // discarded, or Enter already moved the focus on
    if (codigo == original)
        return false; // the box takes the key as typed
    if (!campo->isReadOnly())
        campo->insert(QString(QChar(codigo))); // replaced character, e.g. point -> comma
    return true;
}

void PulsarTab()
{
    QWidget* foco = QApplication::focusWidget();
    if (!foco)
        return;
    QKeyEvent pulsar(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(foco, &pulsar);
    QWidget* nuevo = QApplication::focusWidget();
    QKeyEvent soltar(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
    QApplication::sendEvent(nuevo ? nuevo : foco, &soltar);
}

QString VersionPrograma() { return QStringLiteral(VARELIO_VERSION); }

} // namespace ModGeneral
