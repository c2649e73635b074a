#include "form/Pantalla.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

namespace Pantalla {

namespace {
const char* const kAnchoDeseado = "anchoDeseado";
}

QRect GeometriaInicial(const QSize& deseado, const QRect& disponible, const QMargins& marco, int anchoBarra)
{
    const QSize maximo = disponible.size().shrunkBy(marco).expandedTo(QSize(1, 1));
    QSize tam = deseado;
    if (tam.height() > maximo.height())
        tam.rwidth() += anchoBarra; // the content scrolls: room for the bar
    tam = tam.boundedTo(maximo);
    const QSize exterior = tam.grownBy(marco);
    const QPoint esquina(disponible.x() + (disponible.width() - exterior.width()) / 2,
        disponible.y() + (disponible.height() - exterior.height()) / 2);
    return QRect(esquina + QPoint(marco.left(), marco.top()), tam);
}

void AjustarAPantalla(QWidget* ventana, QScrollArea* area)
{
    QScreen* pantalla = ventana->screen();
    if (!pantalla)
        return;
    QMargins marco;
    const QRect exterior = ventana->frameGeometry(), interior = ventana->geometry();
    if (ventana->isVisible() && exterior != interior) {
        marco = QMargins(interior.left() - exterior.left(), interior.top() - exterior.top(),
            exterior.right() - interior.right(), exterior.bottom() - interior.bottom());
    } else {
        // Not yet known before the window manager has framed the window: a title
        // bar of about two lines and thin borders.
        const int linea = ventana->fontMetrics().height();
        marco = QMargins(4, 2 * linea + 4, 4, 4);
    }
    const int barra = ventana->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ventana);
    // A scroll area asks for little room of its own: what its content needs,
    // with the window's other parts (menu, status bar) around it.
    QSize deseado = ventana->sizeHint();
    if (area && area->widget()) {
        const QSize contenido = area->widget()->sizeHint().expandedTo(QSize(area->property(kAnchoDeseado).toInt(), 0));
        deseado.setHeight(deseado.height() - area->sizeHint().height() + contenido.height() + 2 * area->frameWidth());
        deseado.setWidth(qMax(deseado.width(), contenido.width() + 2 * area->frameWidth()));
    }
    ventana->setGeometry(GeometriaInicial(deseado, pantalla->availableGeometry(), marco, barra));
}

QScrollArea* HacerDesplazable(QMainWindow* ventana)
{
    QWidget* contenido = ventana->takeCentralWidget();
    auto* area = new QScrollArea(ventana);
    area->setObjectName(QStringLiteral("scrContenido"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    // Only a frame around the controls: never a stop of its own in the Tab
    // cycle, never where the typing goes.
    area->setFocusPolicy(Qt::NoFocus);
    if (contenido) {
        area->setProperty(kAnchoDeseado, contenido->minimumWidth());
        contenido->setMinimumWidth(0);
        area->setWidget(contenido);
    }
    ventana->setCentralWidget(area);
    SeguirFoco(area);
    return area;
}

void SeguirFoco(QScrollArea* area)
{
    QObject::connect(qApp, &QApplication::focusChanged, area, [area](QWidget*, QWidget* nuevo) {
        if (!nuevo || !area->widget() || !area->widget()->isAncestorOf(nuevo))
            return;
        // The whole control with a little room around it, not only its caret;
        // one wider than the view is centred in it.
        const QPoint centro = nuevo->mapTo(area->widget(), nuevo->rect().center());
        const QSize vista = area->viewport()->size();
        area->ensureVisible(centro.x(), centro.y(), qMin(nuevo->width() / 2 + 12, vista.width() / 2),
            qMin(nuevo->height() / 2 + 12, vista.height() / 2));
    });
}

} // namespace Pantalla
