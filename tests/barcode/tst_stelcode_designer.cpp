// The Qt Designer plugin: loads, and creates the control in design mode.
#include <stelcode/Stelcodex.h>

#include <QApplication>
#include <QPluginLoader>
#include <QTest>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

class tst_stelcode_designer : public QObject {
    Q_OBJECT

private slots:
    void createsTheControlForDesigner();
};

void tst_stelcode_designer::createsTheControlForDesigner()
{
    QPluginLoader loader(qEnvironmentVariable("STELCODE_OUTPUT_DIR") + "/designer/libstelcodexplugin.so");
    QVERIFY2(loader.load(), qPrintable(loader.errorString()));
    auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
    QVERIFY(plugin);
    QCOMPARE(plugin->name(), QStringLiteral("Stelcodex"));
    QCOMPARE(plugin->includeFile(), QStringLiteral("stelcode/Stelcodex.h"));
    QVERIFY(plugin->domXml().contains("class=\"Stelcodex\""));

    QWidget host;
    auto* control = qobject_cast<Stelcodex*>(plugin->createWidget(&host));
    QVERIFY(control);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTRY_VERIFY(control->designMode());
    // The pdf properties are what Designer edits and stores; colours are
    // edited as colours and land in the 32-bit values.
    const QMetaObject* meta = control->metaObject();
    for (const char* name : {"pdfcode", "pdfMode", "pdfECLevel", "pdfColumns", "backColor", "foreColor"})
        QVERIFY2(meta->property(meta->indexOfProperty(name)).isDesignable(), name);
    QCOMPARE(meta->property(meta->indexOfProperty("backColor")).metaType(), QMetaType::fromType<QColor>());
    QVERIFY(!meta->property(meta->indexOfProperty("pdfbackColor")).isDesignable());
    QVERIFY(control->setProperty("backColor", QColor(0x12, 0x34, 0x56)));
    QCOMPARE(control->pdfbackColor(), 0x00563412u);
    control->setPdfforeColor(StelcodeColor::ButtonText); // a system colour reads as the palette's
    QCOMPARE(control->property("foreColor").value<QColor>(), QApplication::palette().color(QPalette::ButtonText));
    QVERIFY(!plugin->icon().isNull());
    QVERIFY(!plugin->toolTip().isEmpty());
}

QTEST_MAIN(tst_stelcode_designer)
#include "tst_stelcode_designer.moc"
