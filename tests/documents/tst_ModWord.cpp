// The version probe, the document writer and the reader, against a stand-in
// word-processor application that keeps real documents (so the stored files are
// real packages) and records what it was asked to print.
#include "tests/support/CarpetaPrograma.h"
#include "tests/documents/Relleno.h"

#include "documents/ModWord.h"
#include "form/EscrituraSolicitud.h"
#include "form/LecturaSolicitud.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Testing.h"
#include "platform/word/Word.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTest>

namespace {

class FakeWord : public Word::Application {
public:
    QString version = QStringLiteral("11.0");
    bool versionFalla = false;
    bool visible = true;
    bool cerrada = false;
    Word::Error* falloImpresion = nullptr;
    Word::PrintResult resultadoImpresion;
    int impresiones = 0;
    int dibujosImpresos = -1;
    QString textoImpreso;

    QString Version() const override
    {
        if (versionFalla)
            throw Word::Error(Word::ErrorCode::NotAvailable, QStringLiteral("sin versión"));
        return version;
    }
    bool Visible() const override { return visible; }
    void setVisible(bool v) override { visible = v; }
    Word::DocumentsCollection& Documents() override { return documentos; }
    Word::Document& ActiveDocument() override { return documentos.activeOrThrow(); }
    Word::TextSelection& Selection() override { return seleccion; }
    Word::PrintResult PrintOut(bool) override
    {
        if (falloImpresion)
            throw *falloImpresion;
        ++impresiones;
        dibujosImpresos = seleccion.InlineShapes().Count();
        textoImpreso = ActiveDocument().ContentText();
        return resultadoImpresion;
    }
    void Quit(bool) override
    {
        cerrada = true;
        documentos.closeAll(false);
    }

    Word::DocumentsCollection documentos;
    Word::TextSelection seleccion{documentos};
};

struct FakeProvider : Word::Provider {
    std::shared_ptr<FakeWord> enMarcha; // what attach finds, if anything
    std::shared_ptr<FakeWord> ultimaCreada;
    int creadas = 0;
    bool sinArranque = false; // no instance can be started
    std::shared_ptr<Word::Application> create() override
    {
        if (sinArranque)
            throw Word::Error(Word::ErrorCode::CommandFailed, QStringLiteral("No se puede iniciar el procesador"));
        ++creadas;
        ultimaCreada = std::make_shared<FakeWord>();
        return ultimaCreada;
    }
    std::shared_ptr<Word::Application> attach() override
    {
        if (!enMarcha)
            throw Word::Error(Word::ErrorCode::NoRunningInstance, QStringLiteral("ninguna"));
        return enMarcha;
    }
};

bool HayProgresoVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<frmProgresoGeneral*>(w) && w->isVisible())
            return true;
    return false;
}

} // namespace

class tst_ModWord : public QObject {
    Q_OBJECT

    std::unique_ptr<CarpetaPrograma> carpeta;
    FakeProvider proveedor;

    using Escritor = decltype(&ModWord::GenerarDocumentoW97);

    ModWord::Escrito Escribir(
        frmSolicitudes& f, Escritor escritor, bool imprimir, frmProgresoGeneral* progreso = nullptr)
    {
        frmProgresoGeneral propio;
        return EscrituraSolicitud::Generar(escritor, QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f,
            progreso ? progreso : &propio, f.Stelcodex1, imprimir, false);
    }

    // Stores the sample application under 12345678Z.doc.
    void GuardarEjemplo()
    {
        frmSolicitudes f;
        Rellenar(f);
        Escribir(f, &ModWord::GenerarDocumentoWXP, false);
    }

    static void FilasVariantes()
    {
        QTest::addColumn<bool>("w97");
        QTest::newRow("W97") << true;
        QTest::newRow("WXP") << false;
    }

    // The stored application, opened as a new document of its own.
    Word::Document& Guardada(Word::DocumentsCollection& docs)
    {
        return docs.Add(estado().strRutaTemp + QStringLiteral("12345678Z.doc"));
    }

private slots:
    void init()
    {
        carpeta = std::make_unique<CarpetaPrograma>();
        proveedor = FakeProvider{};
        Word::setProvider(&proveedor);
        MessageBox::setTestMode(true);
        MessageBox::clear();
    }
    void cleanup()
    {
        Word::setProvider(nullptr);
        carpeta.reset();
    }

    void versionProbe_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<bool>("falla");
        QTest::addColumn<int>("esperada");
        QTest::newRow("8.0") << "8.0" << false << 8;
        QTest::newRow("9.0") << "9.0" << false << 9;
        QTest::newRow("11.0") << "11.0" << false << 11;
        QTest::newRow("no dot") << "10" << false << 10;
        QTest::newRow("not a number") << "beta" << false << 0;
        QTest::newRow("unreadable") << "" << true << 0;
    }
    void versionProbe()
    {
        QFETCH(QString, version);
        QFETCH(bool, falla);
        QFETCH(int, esperada);
        proveedor.enMarcha = std::make_shared<FakeWord>();
        proveedor.enMarcha->version = version;
        proveedor.enMarcha->versionFalla = falla;
        QCOMPARE(int(ModWord::VersionWord()), esperada);
        QCOMPARE(proveedor.creadas, 0); // attached, started nothing
        QVERIFY(!proveedor.enMarcha->cerrada);
    }

    void versionProbeStartsAnInstanceWhenNoneRuns()
    {
        QCOMPARE(int(ModWord::VersionWord()), 11);
        QCOMPARE(proveedor.creadas, 1);
        QVERIFY(!proveedor.ultimaCreada->cerrada); // left running
    }

    void savingStoresFieldsAndQuits_data() { FilasVariantes(); }
    void savingStoresFieldsAndQuits()
    {
        QFETCH(bool, w97);
        frmSolicitudes f;
        Rellenar(f);
        frmProgresoGeneral progreso;
        Escribir(f, w97 ? &ModWord::GenerarDocumentoW97 : &ModWord::GenerarDocumentoWXP, false, &progreso);

        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")});
        QVERIFY(proveedor.ultimaCreada->cerrada);
        QCOMPARE(proveedor.ultimaCreada->impresiones, 0);
        QVERIFY(!estado().objWord);
        QVERIFY(MessageBox::shown().isEmpty());
        QCOMPARE(progreso.prgBar->maximum(), int(f.Controles().size()) + 1); // each control, then storing
        QCOMPARE(progreso.prgBar->value(), progreso.prgBar->maximum());

        Word::DocumentsCollection docs;
        Word::Document& d = Guardada(docs);
        auto& campos = d.FormFields();
        QCOMPARE(campos.Item(QStringLiteral("PRIMERAPELLIDO")).Result(), QStringLiteral("Muñoz Peña"));
        QCOMPARE(campos.Item(QStringLiteral("PUERTA")).Result(), QStringLiteral("2ª"));
        QCOMPARE(campos.Item(QStringLiteral("AREAAVILA")).Result(), QStringLiteral("  3"));
        QCOMPARE(campos.Item(QStringLiteral("AREABURGOS")).Result(), QStringLiteral("__"));
        QCOMPARE(campos.Item(QStringLiteral("AREALEON")).Result(), QStringLiteral("__"));
        QCOMPARE(campos.Item(QStringLiteral("AREAZAMORA")).Result(), QStringLiteral("11"));
        QCOMPARE(campos.Item(QStringLiteral("año")).Result(), QStringLiteral("2006"));
        QVERIFY(!campos.Item(QStringLiteral("MEDICO")).CheckBox().Value());
        QVERIFY(campos.Item(QStringLiteral("ENFERMERO")).CheckBox().Value());
        QVERIFY(campos.Item(QStringLiteral("ESPECIALISTA")).CheckBox().Value());
        QVERIFY(!campos.Item(QStringLiteral("CURSOS")).CheckBox().Value());
        QVERIFY(d.ContentText().contains(QStringLiteral("12345678Z")));
        QCOMPARE(w97, d.ContentText().contains(QStringLiteral("-&R&-")));
    }

    void printingAddsBarcodeToTheCopyOnly_data() { FilasVariantes(); }
    void printingAddsBarcodeToTheCopyOnly()
    {
        QFETCH(bool, w97);
        frmSolicitudes f;
        Rellenar(f);
        for (auto& [indice, accion] : f.mnuP)
            accion->setEnabled(true);
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        Escribir(f, w97 ? &ModWord::GenerarDocumentoW97 : &ModWord::GenerarDocumentoWXP, true);

        FakeWord& word = *proveedor.ultimaCreada;
        QCOMPARE(word.impresiones, 1);
        QCOMPARE(word.dibujosImpresos, 1);
        QVERIFY(!word.textoImpreso.contains(QStringLiteral("-&")));
        QVERIFY(word.cerrada);
        QVERIFY(!estado().objWord);
        QVERIFY(estado().strDatosCodigo.contains(QStringLiteral("Mu&noz Pe&na")));
        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")}); // bitmap gone

        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.startsWith(QStringLiteral("IMPORTANTE: Espere")));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Impresión"));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::Information);
        for (int indice : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(!f.mnuP.at(indice)->isEnabled());
        QVERIFY(f.mnuP.at(ComandoMenu::Salir)->isEnabled());

        Word::DocumentsCollection docs;
        Word::Document& d = Guardada(docs);
        QCOMPARE(d.FormFields().Item(QStringLiteral("NOMBRE")).Result(), QStringLiteral("José"));
        QCOMPARE(w97, d.ContentText().contains(QStringLiteral("-&R&-"))); // markers kept in the stored file
    }

    // With no printer the copy was kept as a PDF: the user is told where, and
    // not that it is being printed.
    void printWithoutPrinterSaysWhereTheCopyIs()
    {
        frmSolicitudes f;
        Rellenar(f);
        proveedor.enMarcha = std::make_shared<FakeWord>();
        proveedor.enMarcha->resultadoImpresion
            = {Word::PrintResult::Kind::Pdf, QStringLiteral("/tmp/copia/12345678Z.pdf")};
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        Escribir(f, &ModWord::GenerarDocumentoW97, true);

        QCOMPARE(proveedor.enMarcha->impresiones, 1);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
            QStringLiteral("No hay ninguna impresora instalada. La copia impresa se ha guardado en el "
                           "archivo:\n/tmp/copia/12345678Z.pdf"));
        QCOMPARE(MessageBox::shown().first().title, QStringLiteral("Impresión"));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::Information);
        for (int indice : {1000, 2000, 2500})
            QVERIFY(!f.mnuP.at(indice)->isEnabled());
    }

    void printFailureIsReportedAndTheInstanceQuits()
    {
        frmSolicitudes f;
        Rellenar(f);
        proveedor.enMarcha = std::make_shared<FakeWord>();
        Word::Error fallo(Word::ErrorCode::CommandFailed, QStringLiteral("No hay impresora"));
        proveedor.enMarcha->falloImpresion = &fallo;
        f.mnuP.at(ComandoMenu::Imprimir)->setEnabled(true);
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        frmProgresoGeneral progreso;
        Escribir(f, &ModWord::GenerarDocumentoW97, true, &progreso);

        QCOMPARE(proveedor.creadas, 0); // attached to the hidden running instance
        QVERIFY(proveedor.enMarcha->cerrada);
        QCOMPARE(proveedor.enMarcha->documentos.Count(), 0);
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text, QStringLiteral("No hay impresora"));
        QCOMPARE(MessageBox::shown().first().icon, QMessageBox::NoIcon);
        QVERIFY(f.mnuP.at(ComandoMenu::Imprimir)->isEnabled());
        QVERIFY(progreso.prgBar->value() < progreso.prgBar->maximum());
        QVERIFY(carpeta->temporales().contains(QStringLiteral("12345678Z.doc")));
    }

    // No copy is printed without its barcode: the user is told, the stored
    // file is written all the same and no bitmap is left.
    void barcodeFailureStopsThePrint()
    {
        frmSolicitudes f;
        Rellenar(f);
        estado().strDatosCodigo = f.GenerarDatosCodigo();
        frmProgresoGeneral progreso;
        EscrituraSolicitud::Generar(&ModWord::GenerarDocumentoWXP, QStringLiteral("12345678Z.doc"),
            estado().strRutaTemp, f, &progreso, nullptr, true, false);
        QCOMPARE(proveedor.ultimaCreada->impresiones, 0);
        QVERIFY(proveedor.ultimaCreada->cerrada);
        QCOMPARE(MessageBox::shown().size(), 1);
        QVERIFY(MessageBox::shown().first().text.startsWith(
            QStringLiteral("La solicitud se ha guardado, pero no se ha impreso")));
        QCOMPARE(carpeta->temporales(), QStringList{QStringLiteral("12345678Z.doc")});
    }

    void attachedInstanceWithOtherDocumentsIsNotQuit()
    {
        frmSolicitudes f;
        Rellenar(f);
        proveedor.enMarcha = std::make_shared<FakeWord>();
        proveedor.enMarcha->documentos.Add(NombresSolicitud_W97());
        Escribir(f, &ModWord::GenerarDocumentoW97, false);
        QVERIFY(!proveedor.enMarcha->cerrada);
        QCOMPARE(proveedor.enMarcha->documentos.Count(), 1);

        // A writer that fails before its own document exists leaves the other one open.
        QFile::rename(NombresSolicitud_W97(), NombresSolicitud_W97() + QStringLiteral(".fuera"));
        QVERIFY(!Escribir(f, &ModWord::GenerarDocumentoW97, false));
        QVERIFY(!proveedor.enMarcha->cerrada);
        QCOMPARE(proveedor.enMarcha->documentos.Count(), 1);
    }

    void missingTemplateEndsTheWriter_data() { FilasVariantes(); }
    void missingTemplateEndsTheWriter()
    {
        QFETCH(bool, w97);
        QFile::remove(NombresSolicitud_W97());
        QFile::remove(estado().strRutaFicheros + QStringLiteral("/DOT_10101/PlantillaWXP.dot"));
        frmSolicitudes f;
        Rellenar(f);
        const ModWord::Escrito escrito
            = Escribir(f, w97 ? &ModWord::GenerarDocumentoW97 : &ModWord::GenerarDocumentoWXP, false);
        QVERIFY(!escrito);
        QVERIFY(!escrito.motivo.isEmpty()); // the word processor's reason, for the write workflow's message
        QVERIFY(escrito.fichero.isEmpty() && !escrito.impreso);
        QCOMPARE(proveedor.creadas, 1);
        QVERIFY(proveedor.ultimaCreada->cerrada);
        QVERIFY(!estado().objWord);
        QVERIFY(carpeta->temporales().isEmpty());
    }

    void readerRestoresTheForm()
    {
        GuardarEjemplo();
        frmSolicitudes f;
        f.show();
        f.txtDNI->setText(QStringLiteral("12345678Z")); // the signed-in DNI
        f.txtArea[5]->setText(QStringLiteral("9"));     // the stored "__" empties it
        LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f);

        QCOMPARE(f.txtApellidos->text(), QStringLiteral("Muñoz Peña"));
        QCOMPARE(f.txtPuerta->text(), QStringLiteral("2ª"));
        QCOMPARE(f.txtArea[0]->text(), QStringLiteral("3"));
        QCOMPARE(f.txtArea[1]->text(), QString());
        QCOMPARE(f.txtArea[5]->text(), QString());
        QCOMPARE(f.txtArea[10]->text(), QStringLiteral("11"));
        QVERIFY(f.optCategoria[1]->isChecked());
        QCOMPARE(f.chkDocu[0]->checkState(), Qt::Checked);
        QCOMPARE(f.chkDocu[1]->checkState(), Qt::Unchecked);
        QCOMPARE(f.chkDocu[3]->checkState(), Qt::Checked);
        QVERIFY(f.txtOtros->isVisible());
        QCOMPARE(f.txtOtros->text(), QStringLiteral("Máster"));
        QCOMPARE(f.txtAño->text(), QStringLiteral("2006"));
        for (int indice : {ComandoMenu::Imprimir, ComandoMenu::Guardar, ComandoMenu::CargarOtra})
            QVERIFY(f.mnuP.at(indice)->isEnabled());
        QVERIFY(!HayProgresoVisible());
        QVERIFY(MessageBox::shown().isEmpty());
    }

    void readerLeavesAnInstanceItStartedVisible()
    {
        GuardarEjemplo();
        frmSolicitudes f;
        f.txtDNI->setText(QStringLiteral("12345678Z"));
        proveedor.ultimaCreada.reset();
        LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f);
        QVERIFY(ModWord::blnWordIniciado);
        QVERIFY(proveedor.ultimaCreada->visible);
        QVERIFY(!proveedor.ultimaCreada->cerrada);
        QCOMPARE(proveedor.ultimaCreada->documentos.Count(), 0);

        proveedor.enMarcha = std::make_shared<FakeWord>();
        LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f);
        QVERIFY(!ModWord::blnWordIniciado);
        QVERIFY(proveedor.enMarcha->cerrada);
    }

    void readerKeepsControlsWhoseFieldIsMissing()
    {
        GuardarEjemplo();
        frmSolicitudes f;
        f.txtDNI->setText(QStringLiteral("12345678Z"));
        f.txtNacionalidad->setProperty("Tag", QStringLiteral("NACIONALIDADANTIGUA"));
        f.txtNacionalidad->setText(QStringLiteral("sin cambios"));
        LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f);
        QCOMPARE(f.txtNacionalidad->text(), QStringLiteral("sin cambios"));
        QCOMPARE(f.txtCiudad->text(), QStringLiteral("León")); // fields after it are still read
        QVERIFY(f.mnuP.at(ComandoMenu::CargarOtra)->isEnabled());
    }

    void readerReportsAMissingFile()
    {
        frmSolicitudes f;
        QVERIFY(!LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f));
        QVERIFY(!HayProgresoVisible());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
            QStringLiteral("No se ha podido abrir la solicitud 12345678Z.doc.\n"
                           "El fichero no existe.\nEl fichero no se ha modificado."));
        QVERIFY(!f.mnuP.at(ComandoMenu::Imprimir)->isEnabled());
        QCOMPARE(proveedor.creadas, 0); // nothing to read: no instance started
    }

    // The reader only reports: its steps, one a control, and what failed; the
    // read workflow shows the message.
    void readerCountsItsStepsAndShowsNothing()
    {
        GuardarEjemplo();
        frmSolicitudes f;
        f.txtDNI->setText(QStringLiteral("12345678Z"));
        int total = -1, pasos = 0;
        bool fin = false;
        ModWord::Avance avance{[&](int n) { total = n; }, [&] { ++pasos; }, [&] { fin = true; }};
        QVERIFY(ModWord::RecuperarSolicitud(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, &f, avance));
        QCOMPARE(total, int(f.Controles().size()));
        QCOMPARE(pasos, total);
        QVERIFY(fin);

        proveedor.sinArranque = true;
        const Resultado r = ModWord::RecuperarSolicitud(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, &f);
        QVERIFY(!r);
        QCOMPARE(r.motivo, QStringLiteral("No se puede iniciar el procesador"));
        QVERIFY(MessageBox::shown().isEmpty());
        QVERIFY(!f.mnuP.at(ComandoMenu::Imprimir)->isEnabled());
    }

    void readWorkflowReportsAWordProcessorThatCannotStart()
    {
        GuardarEjemplo();
        proveedor.sinArranque = true;
        frmSolicitudes f;
        f.txtDNI->setText(QStringLiteral("12345678Z"));
        QVERIFY(!LecturaSolicitud::Leer(QStringLiteral("12345678Z.doc"), estado().strRutaTemp, f));
        QVERIFY(!HayProgresoVisible());
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().first().text,
            QStringLiteral("No se ha podido abrir la solicitud 12345678Z.doc.\n"
                           "No se puede iniciar el procesador\nEl fichero no se ha modificado."));
        QVERIFY(!f.mnuP.at(ComandoMenu::Guardar)->isEnabled());
    }

private:
    static QString NombresSolicitud_W97()
    {
        return estado().strRutaFicheros + QStringLiteral("/DOT_10101/PlantillaW97.dot");
    }
};

QTEST_MAIN(tst_ModWord)
#include "tst_ModWord.moc"
