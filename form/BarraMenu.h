#pragma once
// The form's menu bar as a keyboard and mouse user needs it: the item under
// the pointer or reached with Alt and the arrow keys is highlighted in every
// style, and each command's shortcut shows in its tip.
class QAction;
class QMenuBar;
class QString;

namespace BarraMenu {

// Highlighting and Alt navigation for barra, whatever the application's style.
void Resaltar(QMenuBar* barra);

// Tip of a command: its description and, when it has one, its shortcut,
// e.g. "Imprimir la solicitud (Ctrl+P)". Set as status tip and tool tip.
void PonerAyuda(QAction* accion, const QString& descripcion);

} // namespace BarraMenu
