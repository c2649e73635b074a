#pragma once
// Printing a document: to the default printer, or to a PDF file.
#include <QString>

namespace Word {
struct DocumentData;
struct PrintResult;

namespace detail {
class Rendering;

// Writes the rendered pages as a PDF; throws Error (CannotSave) on failure.
void writePdf(const Rendering& pages, const QString& path, const QString& title);

// Prints the document. forcedPdf non-empty: write that PDF in the printer's
// place. Otherwise the default printer; with no printer, a PDF beside the
// document (fullName is its path, or its name when never saved), whose path
// the result gives.
PrintResult printDocument(const DocumentData& document, const QString& fullName, const QString& forcedPdf);

// Where a document's printed copy goes when there is no printer.
QString fallbackPdfPath(const QString& fullName);

} // namespace detail
} // namespace Word
