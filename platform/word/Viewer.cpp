#include "platform/word/Viewer.h"

#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"
#include "platform/word/Word.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace Word::detail {

namespace {
constexpr double ScreenDpi = 96.0;
}

Viewer::Viewer() : sheet_(new QWidget), column_(new QVBoxLayout(sheet_))
{
    setObjectName(QStringLiteral("visorDocumento"));
    setAccessibleName(QStringLiteral("Documento"));
    setWindowTitle(QStringLiteral("Documento"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The program ends when its own last window closes, whatever is open here.
    setAttribute(Qt::WA_QuitOnClose, false);
    column_->setSpacing(16);
    column_->setContentsMargins(16, 16, 16, 16);
    column_->setAlignment(Qt::AlignHCenter);
    sheet_->setStyleSheet(QStringLiteral("background: #808080;"));
    setWidget(sheet_);
    setWidgetResizable(true);
    // A page's width, and as tall as the screen allows.
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    const int alto = pantalla ? std::min(900, pantalla->availableGeometry().height() - 40) : 900;
    resize(880, std::max(alto, 300));
}

void Viewer::showDocument(const Document* document)
{
    setFocusProxy(nullptr);
    while (QLayoutItem* item = column_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    pages_ = 0;
    if (!document) {
        setWindowTitle(QStringLiteral("Documento"));
        auto* none = new QLabel(QStringLiteral("No hay ningún documento abierto."));
        none->setObjectName(QStringLiteral("sinDocumento"));
        none->setStyleSheet(QStringLiteral("color: white;"));
        column_->addWidget(none);
        return;
    }
    // A document never saved is shown under the name of the file it came from.
    const DocumentData& shown = document->data();
    const QString name = shown.path.isEmpty() && !shown.sourcePath.isEmpty() ? QFileInfo(shown.sourcePath).fileName()
                                                                             : document->Name();
    setWindowTitle(name);
    const Rendering pages = Rendering::layout(shown);
    const double scale = ScreenDpi / 1440.0;
    for (int i = 0; i < pages.pageCount(); ++i) {
        const QSizeF size = pages.pageSize(i) * scale;
        QImage image(size.toSize(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        pages.paintPage(painter, i, scale);
        painter.end();
        auto* label = new QLabel;
        label->setObjectName(QStringLiteral("pagina%1").arg(i + 1));
        // A picture to the eye; to a screen reader, its page number and its
        // text. Each page is a stop of its own, so the reader can go through them.
        label->setAccessibleName(QStringLiteral("Página %1 de %2").arg(i + 1).arg(pages.pageCount()));
        label->setAccessibleDescription(pages.pageText(i));
        label->setFocusPolicy(Qt::StrongFocus);
        label->setPixmap(QPixmap::fromImage(image));
        column_->addWidget(label);
    }
    pages_ = pages.pageCount();
    if (QWidget* first = column_->itemAt(0) ? column_->itemAt(0)->widget() : nullptr)
        setFocusProxy(first);
}

QList<QWidget*> Viewer::pageWidgets() const
{
    QList<QWidget*> pages;
    for (int i = 0; i < column_->count(); ++i)
        if (QWidget* w = column_->itemAt(i)->widget(); w && w->focusPolicy() != Qt::NoFocus)
            pages << w;
    return pages;
}

void Viewer::showPage(QWidget* page, bool atEnd)
{
    page->setFocus(Qt::OtherFocusReason);
    const QPoint corner = page->mapTo(sheet_, QPoint(0, atEnd ? page->height() : 0));
    verticalScrollBar()->setValue(atEnd ? corner.y() - viewport()->height() + 16 : corner.y() - 16);
}

void Viewer::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close)
        || (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
        close();
        return;
    }
    const QList<QWidget*> pages = pageWidgets();
    QScrollBar* bar = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        if (!pages.isEmpty())
            showPage(pages.first(), false);
        bar->setValue(bar->minimum());
        return;
    case Qt::Key_End:
        if (!pages.isEmpty())
            showPage(pages.last(), true);
        bar->setValue(bar->maximum());
        return;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: {
        // A screen further; the focus on the page now at the top of the view.
        const int step = event->key() == Qt::Key_PageDown ? bar->pageStep() : -bar->pageStep();
        bar->setValue(bar->value() + step);
        const int top = bar->value() + viewport()->height() / 3;
        for (QWidget* page : pages)
            if (page->mapTo(sheet_, QPoint(0, 0)).y() <= top
                && page->mapTo(sheet_, QPoint(0, page->height())).y() > top)
                page->setFocus(Qt::OtherFocusReason);
        return;
    }
    default:
        QScrollArea::keyPressEvent(event);
    }
}

void Viewer::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (auto callback = onClose_)
        callback();
}

} // namespace Word::detail
