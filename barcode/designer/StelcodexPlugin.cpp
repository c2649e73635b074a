#include "StelcodexPlugin.h"

#include <stelcode/Stelcodex.h>

#include <stelcode/Encoder.h>

#include <QIcon>
#include <QImage>
#include <QPixmap>

StelcodexPlugin::StelcodexPlugin(QObject* parent) : QObject(parent) { }

QString StelcodexPlugin::name() const
{
    return QStringLiteral("Stelcodex");
}
QString StelcodexPlugin::group() const
{
    return QStringLiteral("Stelcode");
}
QString StelcodexPlugin::toolTip() const
{
    return QStringLiteral("Código de barras PDF417: dibuja el texto pdfcode");
}
QString StelcodexPlugin::whatsThis() const
{
    return QStringLiteral("Paints its pdfcode text as a PDF417 symbol and saves it as a bitmap.");
}
QString StelcodexPlugin::includeFile() const
{
    return QStringLiteral("stelcode/Stelcodex.h");
}
QIcon StelcodexPlugin::icon() const
{
    // A small symbol of the encoder's own making, three rows of one column.
    const stelcode::EncodeResult r
        = stelcode::encodeText("Stelcode", {stelcode::Mode::Text, 1, 0, 0});
    if (!r)
        return {};
    const stelcode::BitMatrix& m = r.symbol->matrix;
    QImage image(m.width() + 4, 48, QImage::Format_RGB32);
    image.fill(Qt::white);
    const int rowHeight = 44 / m.height();
    for (int y = 0; y < m.height(); ++y)
        for (int x = 0; x < m.width(); ++x)
            if (m.get(x, y))
                for (int line = 0; line < rowHeight; ++line)
                    image.setPixel(x + 2, 2 + y * rowHeight + line, qRgb(0, 0, 0));
    return QIcon(
        QPixmap::fromImage(image.scaled(64, 48, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
}
bool StelcodexPlugin::isContainer() const
{
    return false;
}
bool StelcodexPlugin::isInitialized() const
{
    return m_initialized;
}
void StelcodexPlugin::initialize(QDesignerFormEditorInterface*)
{
    m_initialized = true;
}

QWidget* StelcodexPlugin::createWidget(QWidget* parent)
{
    // Designer is a design view: the control repaints whenever a property changes.
    auto* control = new Stelcodex(parent);
    control->setAmbientUserMode(false);
    return control;
}

QString StelcodexPlugin::domXml() const
{
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"Stelcodex\" name=\"Stelcodex1\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>259</width><height>41</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n");
}
