// Painting laid-out pages.
#include "platform/word/Layout.h"

#include <QPainter>

namespace Word::detail {

int Rendering::fontIndex(const QFont& font)
{
    for (size_t i = 0; i < fonts_.size(); ++i)
        if (fonts_[i] == font)
            return int(i);
    fonts_.push_back(font);
    return int(fonts_.size() - 1);
}

int Rendering::imageIndex(const QImage& image)
{
    for (size_t i = 0; i < images_.size(); ++i)
        if (images_[i].cacheKey() == image.cacheKey())
            return int(i);
    images_.push_back(image);
    return int(images_.size() - 1);
}

void Rendering::paintPage(QPainter& painter, int page, double scale) const
{
    painter.save();
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const Op& op : pages_[size_t(page)].ops) {
        if (const auto* t = std::get_if<TextOp>(&op)) {
            painter.setFont(fonts_[size_t(t->font)]);
            painter.setPen(t->color);
            painter.drawText(t->baseline, t->text);
        } else if (const auto* l = std::get_if<LineOp>(&op)) {
            QPen pen(l->color, l->width, l->style, Qt::FlatCap);
            painter.setPen(pen);
            painter.drawLine(l->line);
        } else if (const auto* f = std::get_if<FillOp>(&op)) {
            painter.fillRect(f->rect, f->color);
        } else if (const auto* b = std::get_if<BoxOp>(&op)) {
            painter.setPen(QPen(Qt::black, std::max(8.0, b->rect.width() / 14)));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(b->rect);
            if (b->checked) {
                const QRectF in = b->rect.adjusted(
                    b->rect.width() * 0.15, b->rect.height() * 0.15, -b->rect.width() * 0.15, -b->rect.height() * 0.15);
                painter.drawLine(in.topLeft(), in.bottomRight());
                painter.drawLine(in.topRight(), in.bottomLeft());
            }
        } else if (const auto* i = std::get_if<ImageOp>(&op)) {
            const QImage& image = images_[size_t(i->image)];
            // In device pixels: a whole multiple of the picture's pixels, no
            // smoothing, never larger than the room it was given.
            const QRectF device = painter.transform().mapRect(i->rect);
            const double kx = std::floor(device.width() / image.width() + 0.01);
            const double ky = std::floor(device.height() / image.height() + 0.01);
            QRectF target = device;
            if (kx >= 1 && ky >= 1)
                target.setSize(QSizeF(kx * image.width(), ky * image.height()));
            painter.save();
            painter.resetTransform();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::LosslessImageRendering, true); // never JPEG in a PDF
            painter.drawImage(QRectF(QPointF(std::round(target.x()), std::round(target.y())), target.size()), image);
            painter.restore();
        }
    }
    painter.restore();
}

QString Rendering::text() const
{
    QStringList parts;
    for (const Page& page : pages_)
        for (const Op& op : page.ops)
            if (const auto* t = std::get_if<TextOp>(&op))
                parts << t->text;
    return parts.join(u' ');
}

QString Rendering::pageText(int page) const
{
    QStringList lines;
    QString line;
    double baseline = 0;
    for (const Op& op : pages_[size_t(page)].ops) {
        const auto* t = std::get_if<TextOp>(&op);
        if (!t || t->text.trimmed().isEmpty())
            continue;
        if (!line.isEmpty() && !qFuzzyCompare(t->baseline.y() + 1, baseline + 1)) {
            lines << line.simplified();
            line.clear();
        }
        if (!line.isEmpty())
            line += u' ';
        line += t->text;
        baseline = t->baseline.y();
    }
    if (!line.isEmpty())
        lines << line.simplified();
    return lines.join(u'\n');
}

} // namespace Word::detail
