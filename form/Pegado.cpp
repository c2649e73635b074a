#include "form/Pegado.h"

#include "shell/ModGeneral.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <memory>

namespace Pegado {

void InsertarNumerico(QLineEdit* caja, const QString& texto)
{
    if (caja->isReadOnly())
        return;
    QString resto = caja->text();
    if (caja->hasSelectedText())
        resto.remove(caja->selectionStart(), caja->selectedText().size());
    const QString filtrado = ModGeneral::FiltrarTexto(texto, true, resto.contains(QLatin1Char(',')));
    if (!filtrado.isEmpty())
        caja->insert(filtrado);
}

namespace {

bool MenuContextual(QLineEdit* caja, QContextMenuEvent* evento)
{
    std::unique_ptr<QMenu> menu(caja->createStandardContextMenu());
    // The paste entry, known by the paste keys it shows, whatever the language.
    const QString teclas = QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction* accion : menu->actions()) {
        if (accion->objectName() != QLatin1String("edit-paste") && !accion->text().endsWith(teclas))
            continue;
        QObject::disconnect(accion, &QAction::triggered, nullptr, nullptr);
        QObject::connect(accion, &QAction::triggered, caja,
            [caja] { InsertarNumerico(caja, QGuiApplication::clipboard()->text()); });
    }
    menu->exec(evento->globalPos());
    return true;
}

} // namespace

bool FiltrarEventoNumerico(QLineEdit* caja, QEvent* evento)
{
    switch (evento->type()) {
    case QEvent::KeyPress:
        if (!static_cast<QKeyEvent*>(evento)->matches(QKeySequence::Paste))
            return false;
        InsertarNumerico(caja, QGuiApplication::clipboard()->text());
        return true;
    case QEvent::ContextMenu:
        return MenuContextual(caja, static_cast<QContextMenuEvent*>(evento));
    case QEvent::MouseButtonRelease: {
        // X11's middle button pastes the primary selection where it is clicked.
        auto* raton = static_cast<QMouseEvent*>(evento);
        QClipboard* portapapeles = QGuiApplication::clipboard();
        if (raton->button() != Qt::MiddleButton || !portapapeles->supportsSelection())
            return false;
        caja->deselect();
        caja->setCursorPosition(caja->cursorPositionAt(raton->position().toPoint()));
        InsertarNumerico(caja, portapapeles->text(QClipboard::Selection));
        return true;
    }
    case QEvent::Drop: {
        // A move within the box itself carries only what the box already holds.
        auto* soltar = static_cast<QDropEvent*>(evento);
        if (soltar->source() == caja || !soltar->mimeData()->hasText())
            return false;
        caja->setCursorPosition(caja->cursorPositionAt(soltar->position().toPoint()));
        InsertarNumerico(caja, soltar->mimeData()->text());
        soltar->acceptProposedAction();
        caja->setFocus(Qt::MouseFocusReason);
        return true;
    }
    default:
        return false;
    }
}

} // namespace Pegado
