#include "platform/word/Viewer.h"

#include "platform/word/DocumentData.h"
#include "platform/word/Layout.h"
#include "platform/word/Word.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
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
        label->setAccessibleName(QStringLiteral("Página %1").arg(i + 1));
        label->setPixmap(QPixmap::fromImage(image));
        column_->addWidget(label);
    }
    pages_ = pages.pageCount();
}

void Viewer::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (auto callback = onClose_)
        callback();
}

} // namespace Word::detail
