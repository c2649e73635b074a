#include "platform/word/Printing.h"

#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"
#include "platform/word/Word.h"
#include "shell/EscrituraSegura.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace Word::detail {

namespace {

constexpr double TwipsPerInch = 1440.0;

QPageSize pageSizeOf(const Rendering& pages)
{
    const QSizeF twips = pages.pageCount() ? pages.pageSize(0) : QSizeF(11906, 16838);
    return QPageSize(QSizeF(twips.width() / TwipsPerInch * 25.4, twips.height() / TwipsPerInch * 25.4),
        QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
}

// Paints every page on a device that is already set up; false when painting
// could not start.
template <typename Device> bool paintAll(const Rendering& pages, Device& device, double dpi)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    for (int i = 0; i < pages.pageCount(); ++i) {
        if (i > 0)
            device.newPage();
        pages.paintPage(painter, i, dpi / TwipsPerInch);
    }
    return painter.end();
}

} // namespace

void writePdf(const Rendering& pages, const QString& path, const QString& title)
{
    // Composed in memory, then written whole or not at all.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageSize(pageSizeOf(pages));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setTitle(title);
        if (!paintAll(pages, writer, writer.resolution()))
            throw Error(ErrorCode::CommandFailed, QStringLiteral("No se puede componer el archivo \"%1\".").arg(path));
    }
    const ResultadoEscritura escrito = EscribirFicheroSeguro(path, buffer.data());
    if (!escrito)
        throw Error(ErrorCode::CannotSave,
            QStringLiteral("No se puede escribir el archivo \"%1\": %2.").arg(path, escrito.motivo()));
}

QString fallbackPdfPath(const QString& fullName)
{
    const QFileInfo info(fullName);
    if (info.isAbsolute())
        return info.absolutePath() + u'/' + info.completeBaseName() + QStringLiteral(".pdf");
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    return folder + u'/' + info.completeBaseName() + QStringLiteral(".pdf");
}

PrintResult printDocument(const DocumentData& document, const QString& fullName, const QString& forcedPdf)
{
    const Rendering pages = Rendering::layout(document);
    const QString title = QFileInfo(fullName).fileName();
    if (!forcedPdf.isEmpty()) {
        writePdf(pages, forcedPdf, title);
        return {};
    }
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (!printerInfo.isNull()) {
        QPrinter printer(printerInfo, QPrinter::HighResolution);
        printer.setDocName(title);
        printer.setFullPage(true);
        printer.setPageSize(pageSizeOf(pages));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0));
        if (!paintAll(pages, printer, printer.resolution()))
            throw Error(ErrorCode::CommandFailed,
                QStringLiteral("No se puede imprimir en la impresora \"%1\".").arg(printerInfo.printerName()));
        return {};
    }
    // No printer: the copy is kept as a PDF, and the caller tells the user where.
    const QString pdf = fallbackPdfPath(fullName);
    writePdf(pages, pdf, title);
    return {PrintResult::Kind::Pdf, pdf};
}

} // namespace Word::detail
