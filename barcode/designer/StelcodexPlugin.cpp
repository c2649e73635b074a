#include "StelcodexPlugin.h"

#include <stelcode/Stelcodex.h>

#include <QIcon>

StelcodexPlugin::StelcodexPlugin(QObject* parent) : QObject(parent) {}

QString StelcodexPlugin::name() const { return QStringLiteral("Stelcodex"); }
QString StelcodexPlugin::group() const { return QStringLiteral("Stelcode"); }
QString StelcodexPlugin::toolTip() const { return QStringLiteral("PDF417 barcode"); }
QString StelcodexPlugin::whatsThis() const
{
    return QStringLiteral("Paints its pdfcode text as a PDF417 symbol and saves it as a bitmap.");
}
QString StelcodexPlugin::includeFile() const { return QStringLiteral("stelcode/Stelcodex.h"); }
QIcon StelcodexPlugin::icon() const { return {}; }
bool StelcodexPlugin::isContainer() const { return false; }
bool StelcodexPlugin::isInitialized() const { return m_initialized; }
void StelcodexPlugin::initialize(QDesignerFormEditorInterface*) { m_initialized = true; }

QWidget* StelcodexPlugin::createWidget(QWidget* parent)
{
    // Designer is a design view: the control repaints whenever a property changes.
    auto* control = new Stelcodex(parent);
    control->setAmbientUserMode(false);
    return control;
}

QString StelcodexPlugin::domXml() const
{
    return QStringLiteral(
        "<ui language=\"c++\">\n"
        " <widget class=\"Stelcodex\" name=\"Stelcodex1\">\n"
        "  <property name=\"geometry\">\n"
        "   <rect><x>0</x><y>0</y><width>259</width><height>41</height></rect>\n"
        "  </property>\n"
        " </widget>\n"
        "</ui>\n");
}
