#include "form/Avisos.h"

#include <QAccessibleWidget>

namespace {

// Role notification, named by its text.
class AvisoAccesible : public QAccessibleWidget {
public:
    explicit AvisoAccesible(QWidget* w) : QAccessibleWidget(w, QAccessible::Notification) { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel*>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* Fabrica(const QString& clase, QObject* objeto)
{
    if (clase == QLatin1String("EtiquetaAviso") && objeto && objeto->isWidgetType())
        return new AvisoAccesible(static_cast<QWidget*>(objeto));
    return nullptr;
}

} // namespace

EtiquetaAviso::EtiquetaAviso(QWidget* parent) : QLabel(parent)
{
    static const bool instalada = [] {
        QAccessible::installFactory(&Fabrica);
        return true;
    }();
    Q_UNUSED(instalada);
    setTextFormat(Qt::PlainText);
}
