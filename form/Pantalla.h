#pragma once
// Fitting a window to the screen it opens on: never larger than the screen's
// free area, the content scrolling instead, the focused control kept in view.
#include <QMargins>
#include <QRect>
#include <QSize>

class QMainWindow;
class QScrollArea;
class QWidget;

namespace Pantalla {

// Geometry (inside the frame) for a window that would like deseado in the
// free area disponible, given its frame marco and the width of a vertical
// scroll bar, which is added when the height has to be cut. The window is
// centred and lies wholly inside disponible.
QRect GeometriaInicial(const QSize& deseado, const QRect& disponible, const QMargins& marco, int anchoBarra);

// Applies GeometriaInicial to a window about to be shown on its screen, for
// the size that shows all of area's content; the frame is estimated from the
// font when the window has none yet.
void AjustarAPantalla(QWidget* ventana, QScrollArea* area);

// Puts the window's central widget into a scroll area (object name
// "scrContenido") that follows the focus. A minimum width the content carries
// becomes the width it would like: below it the content shrinks to what its
// layout needs, and only then scrolls.
QScrollArea* HacerDesplazable(QMainWindow* ventana);

// Whenever the focus moves to a control inside area, area scrolls it into view.
void SeguirFoco(QScrollArea* area);

} // namespace Pantalla
