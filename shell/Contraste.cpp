#include "shell/Contraste.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace Contraste {

namespace {

double Luminancia(const QColor& c)
{
    const auto canal = [](float v) {
        const double x = v;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * canal(rgb.redF()) + 0.7152 * canal(rgb.greenF()) + 0.0722 * canal(rgb.blueF());
}

QColor Mezcla(const QColor& a, const QColor& b, double t)
{
    const QColor x = a.toRgb(), y = b.toRgb();
    const auto m = [t](float p, float q) { return p + (q - p) * float(t); };
    return QColor::fromRgbF(m(x.redF(), y.redF()), m(x.greenF(), y.greenF()), m(x.blueF(), y.blueF()));
}

void AsegurarRol(QPalette& p, QPalette::ColorGroup g, QPalette::ColorRole texto,
    std::initializer_list<QPalette::ColorRole> fondos, double minimo)
{
    QColor a, b;
    const auto it = fondos.begin();
    a = p.color(g, *it);
    b = fondos.size() > 1 ? p.color(g, *(it + 1)) : a;
    const QColor actual = p.color(g, texto);
    const QColor nuevo = Asegurar(actual, {a, b}, minimo);
    if (nuevo != actual)
        p.setColor(g, texto, nuevo);
}

// A 2-pixel frame in the focus colour just inside the option's rectangle.
void DibujarMarcoDeFoco(QPainter* p, const QStyleOption* op)
{
    p->save();
    p->setRenderHint(QPainter::Antialiasing, false);
    p->setPen(QPen(ColorFoco(op->palette), 2));
    p->setBrush(Qt::NoBrush);
    p->drawRect(QRectF(op->rect).adjusted(1, 1, -1, -1));
    p->restore();
}

class EstiloContraste : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void polish(QPalette& paleta) override
    {
        QProxyStyle::polish(paleta);
        paleta = Ajustar(paleta);
    }
    using QProxyStyle::polish;

    void drawComplexControl(
        ComplexControl control, const QStyleOptionComplex* op, QPainter* p, const QWidget* widget) const override
    {
        QProxyStyle::drawComplexControl(control, op, p, widget);
        // The list of applications: its focus shows however it came.
        if (control == CC_ComboBox && (op->state & State_HasFocus)) {
            DibujarMarcoDeFoco(p, op);
        }
    }

    void drawPrimitive(
        PrimitiveElement elemento, const QStyleOption* op, QPainter* p, const QWidget* widget) const override
    {
        switch (elemento) {
        case PE_FrameLineEdit:
        case PE_FrameFocusRect:
        case PE_IndicatorCheckBox:
        case PE_IndicatorRadioButton:
        case PE_PanelButtonCommand:
            break;
        default:
            QProxyStyle::drawPrimitive(elemento, op, p, widget);
            return;
        }
        // The focus rectangle of check boxes and radio buttons: drawn whether
        // the focus came from the keyboard or the mouse.
        if (elemento == PE_FrameFocusRect) {
            DibujarMarcoDeFoco(p, op);
            return;
        }
        QProxyStyle::drawPrimitive(elemento, op, p, widget);
        const bool foco = op->state & State_HasFocus;
        p->save();
        p->setBrush(Qt::NoBrush);
        switch (elemento) {
        case PE_FrameLineEdit:
            p->setRenderHint(QPainter::Antialiasing, false);
            if (foco) {
                p->setPen(QPen(ColorFoco(op->palette), 2));
                p->drawRect(QRectF(op->rect).adjusted(1, 1, -1, -1));
            } else {
                p->setPen(QPen(ColorBorde(op->palette), 1));
                p->drawRect(QRectF(op->rect).adjusted(0.5, 0.5, -0.5, -0.5));
            }
            break;
        case PE_IndicatorCheckBox:
            p->setRenderHint(QPainter::Antialiasing, false);
            p->setPen(QPen(ColorBorde(op->palette), 1));
            p->drawRect(QRectF(op->rect).adjusted(0.5, 0.5, -1.5, -1.5));
            break;
        case PE_IndicatorRadioButton:
            p->setRenderHint(QPainter::Antialiasing, true);
            p->setPen(QPen(ColorBorde(op->palette), 1.2));
            p->drawEllipse(QRectF(op->rect).adjusted(1, 1, -1, -1));
            break;
        case PE_PanelButtonCommand:
            // The default button is outlined by the style already: the focused
            // one gets a ring of its own inside.
            if (foco) {
                p->setRenderHint(QPainter::Antialiasing, false);
                p->setPen(QPen(ColorFoco(op->palette), 2));
                p->drawRect(QRectF(op->rect).adjusted(3, 3, -3, -3));
            }
            break;
        default:
            break;
        }
        p->restore();
    }
};

// Keeps a palette set by the program (or a test) adjusted as well; the
// theme's own palette goes through the style's polish.
class VigiaPaleta : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* objeto, QEvent* evento) override
    {
        if (objeto == qApp && evento->type() == QEvent::ApplicationPaletteChange && !ajustando_) {
            const QPalette actual = QApplication::palette();
            const QPalette ajustada = Ajustar(actual);
            if (!(ajustada == actual)) {
                ajustando_ = true;
                QApplication::setPalette(ajustada);
                ajustando_ = false;
            }
        }
        return false;
    }

private:
    bool ajustando_ = false;
};

} // namespace

double Relacion(const QColor& a, const QColor& b)
{
    const double la = Luminancia(a), lb = Luminancia(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor Asegurar(const QColor& color, std::initializer_list<QColor> fondos, double minimo)
{
    // A translucent colour (Fusion's placeholder text) counts as drawn over each background.
    const auto basta = [&](const QColor& c) {
        return std::all_of(fondos.begin(), fondos.end(),
            [&](const QColor& f) { return Relacion(Mezcla(f, c, c.alphaF()), f) >= minimo; });
    };
    if (fondos.size() == 0 || basta(color))
        return color;
    const QColor opaco = Mezcla(*fondos.begin(), color, color.alphaF());
    double claridad = 0;
    for (const QColor& f : fondos)
        claridad += Luminancia(f);
    const QColor extremo = claridad / double(fondos.size()) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    for (int paso = 1; paso <= 20; ++paso) {
        const QColor c = Mezcla(opaco, extremo, paso / 20.0);
        if (basta(c))
            return c;
    }
    return extremo;
}

QPalette Ajustar(QPalette p)
{
    for (const auto g : {QPalette::Active, QPalette::Inactive}) {
        AsegurarRol(p, g, QPalette::Text, {QPalette::Base}, 4.5);
        AsegurarRol(p, g, QPalette::WindowText, {QPalette::Window}, 4.5);
        AsegurarRol(p, g, QPalette::ButtonText, {QPalette::Button}, 4.5);
        AsegurarRol(p, g, QPalette::PlaceholderText, {QPalette::Base}, 4.5);
    }
    // A disabled box still shows data (the candidate's own DNI). Disabled
    // labels and commands stay dimmed: they are meant to look unavailable.
    AsegurarRol(p, QPalette::Disabled, QPalette::Text, {QPalette::Base, QPalette::Window}, 4.5);
    AsegurarRol(p, QPalette::Disabled, QPalette::PlaceholderText, {QPalette::Base}, 4.5);
    return p;
}

QColor ColorBorde(const QPalette& paleta)
{
    const QColor fondo = paleta.color(QPalette::Window), base = paleta.color(QPalette::Base);
    return Asegurar(Mezcla(fondo, paleta.color(QPalette::WindowText), 0.35), {fondo, base}, 3.0);
}

QColor ColorFoco(const QPalette& paleta)
{
    return Asegurar(paleta.color(QPalette::Active, QPalette::Highlight),
        {paleta.color(QPalette::Window), paleta.color(QPalette::Base), paleta.color(QPalette::Button)}, 3.0);
}

QStyle* NuevoEstilo(QStyle* base)
{
    if (!base) {
        const QString nombre = QApplication::style() ? QApplication::style()->name() : QString();
        base = QStyleFactory::create(nombre.isEmpty() ? QStringLiteral("Fusion") : nombre);
    }
    return new EstiloContraste(base);
}

void Instalar(QApplication& app)
{
    QApplication::setStyle(NuevoEstilo());
    app.installEventFilter(new VigiaPaleta(&app));
    const QPalette actual = QApplication::palette();
    if (const QPalette ajustada = Ajustar(actual); !(ajustada == actual))
        QApplication::setPalette(ajustada);
}

} // namespace Contraste
