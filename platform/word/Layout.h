#pragma once
// Page layout of a document: paragraphs with their runs, tables with borders and
// widths, form-field results and check boxes, inline pictures. The result is a
// list of drawing operations per page, in twips, that paints on any device.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <variant>
#include <vector>

class QPainter;

namespace Word {
struct DocumentData;

namespace detail {

struct TextOp {
    QPointF baseline;
    int font;
    QColor color;
    QString text;
};
struct LineOp {
    QLineF line;
    double width;
    QColor color;
    Qt::PenStyle style;
};
struct FillOp {
    QRectF rect;
    QColor color;
};
struct ImageOp {
    QRectF rect;
    int image;
};
struct BoxOp {
    QRectF rect;
    bool checked;
};
using Op = std::variant<TextOp, LineOp, FillOp, ImageOp, BoxOp>;

struct Page {
    QSizeF size; // twips
    std::vector<Op> ops;
};

class Rendering {
public:
    static Rendering layout(const DocumentData& document);

    int pageCount() const { return int(pages_.size()); }
    QSizeF pageSize(int page) const { return pages_[size_t(page)].size; }
    // Paints a page with its top left corner at the painter's origin; scale is
    // device pixels per twip. Pictures are enlarged by whole factors without
    // smoothing, so that a barcode stays sharp.
    void paintPage(QPainter& painter, int page, double scale) const;
    // All text of the pages, in drawing order; for tests.
    QString text() const;
    // The text of one page, a line of the page per line, for screen readers.
    QString pageText(int page) const;

    // Used while laying out.
    int fontIndex(const QFont& font);
    int imageIndex(const QImage& image);
    std::vector<Page>& pages() { return pages_; }

private:
    std::vector<Page> pages_;
    std::vector<QFont> fonts_;
    std::vector<QImage> images_;
};

} // namespace detail
} // namespace Word
