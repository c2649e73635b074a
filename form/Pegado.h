#pragma once
// Text pasted or dropped into a numeric box goes through the box's key filter,
// character by character, before the box's length limit cuts it.
class QEvent;
class QLineEdit;
class QString;

namespace Pegado {

// Inserts texto at the caret of caja (replacing the selection) as if its
// characters had been typed one by one through the numeric key filter.
void InsertarNumerico(QLineEdit* caja, const QString& texto);

// Takes over the events that paste or drop text into a numeric box (the paste
// keys, the context menu's paste, the middle button, a drop from elsewhere);
// true when the event has been dealt with.
bool FiltrarEventoNumerico(QLineEdit* caja, QEvent* evento);

} // namespace Pegado
