// stelcode: renders a text as a PDF417 symbol with the Stelcodex control.
#include "ToolOptions.h"

#include <stelcode/Stelcodex.h>

#include <QApplication>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {
QString readStandardInput()
{
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(in.readAll());
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    else if (text.endsWith('\n'))
        text.chop(1);
    return text;
}

bool allDigits(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= '0' && c <= '9'; });
}
}  // namespace

int main(int argc, char* argv[])
{
    // Only the tool's own messages reach the terminal.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            QTextStream(stderr) << message << "\n";
    });
    // The control paints off screen; the tool needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);

    const ToolParse parsed = parseToolOptions(app.arguments().mid(1));
    if (!parsed.options) {
        err << "stelcode: " << parsed.error << "\n" << "Pruebe «stelcode --help».\n";
        return 2;
    }
    const ToolOptions& o = *parsed.options;
    if (o.help) {
        out << toolUsage();
        return 0;
    }

    Stelcodex control;
    control.setStandAlone(true);
    applyToolOptions(o, control);
    if (!o.textGiven)
        control.setPdfcode(readStandardInput());

    const auto codewords = control.codewords();
    if (!codewords) {
        if (o.mode == 2 && !allDigits(control.pdfcode()))
            err << "stelcode: el modo numérico solo admite los dígitos 0 a 9.\n";
        else
            err << "stelcode: el texto no cabe en un símbolo PDF417 con estas opciones "
                   "(como mucho 90 filas y 928 palabras de código).\n";
        return 1;
    }
    if (o.printCodewords) {
        QStringList words;
        for (qint16 w : *codewords)
            words << QString::number(w);
        out << words.join(' ') << "\n";
        out.flush();
    }
    if (!o.output.isEmpty()) {
        const QSize size = o.size.isValid() ? o.size : control.sizeHint();
        control.setSize(size.width(), size.height());
        const qint16 error = control.saveToBMP(o.output);
        if (error != 0) {
            err << "stelcode: no se pudo escribir «" << o.output << ".bmp»: "
                << QString::fromLocal8Bit(std::strerror(error)) << "\n";
            return 1;
        }
    }
    return 0;
}
