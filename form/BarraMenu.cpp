#include "form/BarraMenu.h"

#include <QAction>
#include <QApplication>
#include <QHelpEvent>
#include <QMenuBar>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <QToolTip>

namespace BarraMenu {

namespace {

// Some styles (Fusion among them) draw a menu bar item highlighted only while
// its menu is open, and the form's items open no menu: the item under the
// pointer or the keyboard is drawn as an open one.
class EstiloBarra : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(
        ControlElement elemento, const QStyleOption* opcion, QPainter* pintor, const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opcion);
        if (elemento == CE_MenuBarItem && item && (item->state & State_Selected)) {
            QStyleOptionMenuItem resaltado = *item;
            resaltado.state |= State_Sunken;
            QProxyStyle::drawControl(elemento, &resaltado, pintor, widget);
            return;
        }
        QProxyStyle::drawControl(elemento, opcion, pintor, widget);
    }

    int styleHint(
        StyleHint pista, const QStyleOption* opcion, const QWidget* widget, QStyleHintReturn* retorno) const override
    {
        // Alt alone takes the keyboard to the menu bar in every style, and the
        // bar follows the pointer without a button pressed.
        if (pista == SH_MenuBar_AltKeyNavigation || pista == SH_MenuBar_MouseTracking)
            return 1;
        return QProxyStyle::styleHint(pista, opcion, widget, retorno);
    }
};

// Tool tips of the items: a bare menu bar shows none.
class Consejos : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        auto* barra = qobject_cast<QMenuBar*>(objeto);
        if (!barra || evento->type() != QEvent::ToolTip)
            return false;
        auto* ayuda = static_cast<QHelpEvent*>(evento);
        QAction* accion = barra->actionAt(ayuda->pos());
        if (accion && !accion->toolTip().isEmpty())
            QToolTip::showText(ayuda->globalPos(), accion->toolTip(), barra, barra->actionGeometry(accion));
        else
            QToolTip::hideText();
        return true;
    }
};

} // namespace

void Resaltar(QMenuBar* barra)
{
    // On the style the application uses now; a copy, as a proxy owns its base.
    QString nombre = barra->style()->name();
    for (auto* p = qobject_cast<QProxyStyle*>(barra->style()); nombre.isEmpty() && p;
         p = qobject_cast<QProxyStyle*>(p->baseStyle()))
        nombre = p->baseStyle()->name();
    if (QStyle* base = QStyleFactory::create(nombre)) {
        auto* estilo = new EstiloBarra(base);
        estilo->setParent(barra);
        barra->setStyle(estilo);
    }
    barra->installEventFilter(new Consejos(barra));
}

void PonerAyuda(QAction* accion, const QString& descripcion)
{
    QString texto = descripcion;
    if (!accion->shortcut().isEmpty())
        texto += QStringLiteral(" (%1)").arg(accion->shortcut().toString(QKeySequence::NativeText));
    accion->setStatusTip(texto);
    accion->setToolTip(texto);
}

} // namespace BarraMenu
