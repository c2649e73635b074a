#pragma once
// Legibility under any theme: text at least 4.5:1 against its background,
// control borders and the focus at least 3:1 (WCAG 2.1), the focus always
// drawn, the focused push button distinct from the default one. Colours are
// never fixed: each is the theme's own, darkened or lightened just enough.
#include <QColor>
#include <QPalette>

#include <initializer_list>

class QApplication;
class QStyle;

namespace Contraste {

// WCAG 2.1 contrast ratio of two opaque colours, from 1 to 21.
double Relacion(const QColor& a, const QColor& b);

// color, moved towards black on light backgrounds or white on dark ones,
// until it reaches minimo against every one of fondos.
QColor Asegurar(const QColor& color, std::initializer_list<QColor> fondos, double minimo);

// The palette with every text role legible on its background, placeholder
// and disabled text included.
QPalette Ajustar(QPalette paleta);

// Border of text boxes, check boxes and radio buttons, and the focus ring,
// for a palette.
QColor ColorBorde(const QPalette& paleta);
QColor ColorFoco(const QPalette& paleta);

// The style that draws borders and focus that way, over base (or over the
// application's style when base is null).
QStyle* NuevoEstilo(QStyle* base = nullptr);

// Puts that style on the application and keeps its palette adjusted, also
// when the theme or the palette changes later.
void Instalar(QApplication& app);

} // namespace Contraste
