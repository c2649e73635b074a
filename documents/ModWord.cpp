#include "documents/ModWord.h"

#include "applications/NombresSolicitud.h"
#include "documents/DatosCodigo.h"
#include "form/frmSolicitudes.h"
#include "platform/word/Word.h"
#include "shell/ErrorEjecucion.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/frmProgresoGeneral.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <memory>
#include <utility>

namespace ModWord {

bool blnWordIniciado = false;

namespace {

// Runs one step whose failure the writer passes over.
template <typename Paso>
void Ignorando(Paso&& paso)
{
    try {
        paso();
    } catch (const std::exception&) {
    }
}

void AvanzarProgreso(frmProgresoGeneral* progreso)
{
    if (progreso)
        progreso->prgBar->setValue(progreso->prgBar->value() + 1);
}

void HabilitarMenu(frmSolicitudes* formulario, bool habilitar)
{
    for (int indice : {1000, 2000, 2500})
        if (auto it = formulario->mnuP.find(indice); it != formulario->mnuP.end())
            it->second->setEnabled(habilitar);
}

// Writes one tagged control into the form field of its tag.
void EscribirCampo(Word::Document& documento, QWidget* control, const QString& tag)
{
    if (auto* texto = qobject_cast<QLineEdit*>(control)) {
        const bool area = tag.startsWith(QLatin1String("AREA"), Qt::CaseInsensitive);
        documento.FormFields().Item(tag).setResult(area ? TextoArea(texto->text()) : texto->text());
    } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
        documento.FormFields().Item(tag).CheckBox().setValue(opcion->isChecked());
    } else if (auto* casilla = qobject_cast<QCheckBox*>(control)) {
        documento.FormFields().Item(tag).CheckBox().setValue(casilla->checkState() != Qt::Unchecked);
    }
}

// Fills one tagged control from the form field of its tag.
void LeerCampo(Word::Document& documento, QWidget* control, const QString& tag)
{
    if (auto* texto = qobject_cast<QLineEdit*>(control)) {
        const QString resultado = documento.FormFields().Item(tag).Result();
        const bool area = tag.startsWith(QLatin1String("AREA"), Qt::CaseInsensitive);
        texto->setText(area ? AreaLeida(resultado) : resultado);
    } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
        if (documento.FormFields().Item(tag).CheckBox().Value())
            opcion->setChecked(true);
    } else if (auto* casilla = qobject_cast<QCheckBox*>(control)) {
        const bool marcada = documento.FormFields().Item(tag).Result() == QLatin1String("1");
        casilla->setCheckState(marcada ? Qt::Checked : Qt::Unchecked);
    }
}

// The four markers of the older template, blanked in the printed copy.
void BorrarMarcas(Word::Application& word)
{
    for (const char* marca : {"-&R&-", "-&V&-", "-&C&-", "-&D&-"}) {
        Word::FindObject& buscar = word.Selection().Find();
        buscar.ClearFormatting();
        buscar.setText(QString::fromLatin1(marca));
        buscar.Replacement().ClearFormatting();
        buscar.Replacement().setText(QStringLiteral(" "));
        buscar.setForward(qstrcmp(marca, "-&C&-") != 0);
        buscar.setWrap(1);
        buscar.setFormat(false);
        buscar.setMatchCase(false);
        buscar.setMatchWholeWord(false);
        buscar.setMatchWildcards(false);
        buscar.setMatchSoundsLike(false);
        buscar.setMatchAllWordForms(false);
        buscar.Execute();
        buscar.Execute(2);
    }
}

enum class Variante { W97, WXP };

// Makes the barcode bitmap and puts it into row 6, column 1 of the third table
// of the copy. Returns why that failed, in Spanish, or nothing.
QString PonerCodigo(Variante variante, Word::Application& word, Stelcodex* codigo, bool segundo)
{
    QString bmp;
    QString fallo;
    try {
        qint16 alto = 2000;
        bmp = GenerarBmpCodigo(estado().strDatosCodigo, codigo, 6000, alto);
        word.ActiveDocument().Tables(3).Cell(6, 1).Select();
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
        if (!segundo)
            word.Selection().InlineShapes().AddPicture(bmp + QLatin1String(".bmp"), false, true);
    } catch (const ErrorEjecucion& error) {
        fallo = error.descripcion();
    } catch (const Word::Error& error) {
        fallo = QStringLiteral("No se ha podido poner el código de barras en la copia: ") + error.description();
    } catch (const std::exception& error) {
        fallo = QStringLiteral("No se ha podido poner el código de barras en la copia: ") +
                QString::fromLocal8Bit(error.what());
    }
    if (fallo.isEmpty()) {
        Ignorando([&] { word.Selection().ParagraphFormat().setAlignment(variante == Variante::W97 ? 1 : 0); });
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
    }
    if (!bmp.isEmpty())
        QFile::remove(bmp + QLatin1String(".bmp"));
    return fallo;
}

void GenerarDocumento(Variante variante, const QString& fichero, const QString& carpeta,
                      frmSolicitudes* formulario, frmProgresoGeneral* progreso, Stelcodex* codigo,
                      bool imprimir, bool segundo)
{
    EstadoCompartido& e = estado();
    const QString plantilla = variante == Variante::W97 ? NombresSolicitud::RutaPlantillaW97()
                                                        : NombresSolicitud::RutaPlantillaWXP();

    // An instance that already held documents when we attached to it is not
    // ours to quit: only our own document is closed at the end, never one of
    // the user's (which would be the active one if ours was never created).
    bool compartida = false;
    Word::Document* nuestro = nullptr;
    const auto terminar = [&] {
        Word::Application& word = *e.objWord;
        if (nuestro)
            Ignorando([&] { nuestro->Close(false); });
        if (!compartida)
            Ignorando([&] { word.Quit(false); });
        e.objWord.reset();
    };

    // Attach (older variant only) or start an instance.
    if (variante == Variante::W97) {
        try {
            e.objWord = Word::GetObject();
            compartida = e.objWord->Documents().Count() > 0;
        } catch (const Word::Error&) {
            e.objWord = Word::CreateObject();
        }
    } else {
        e.objWord = Word::CreateObject();
    }

    // Until the document is stored, a failure ends the writer and is the
    // caller's to report; the instance is not left running behind it.
    Word::Application& word = *e.objWord;
    try {
        word.setVisible(false);
        nuestro = &word.Documents().Add(plantilla);
        word.ActiveDocument().SaveAs(carpeta + fichero);
        if (progreso)
            progreso->prgBar->setMaximum(162);
        word.ActiveDocument().Bookmarks(QStringLiteral("NIF")).Select();
        word.Selection().TypeText(formulario->txtDNI->text());
    } catch (...) {
        terminar();
        throw;
    }

    // From here each failing step is skipped: a control without a form field,
    // a missing table or picture leave the rest of the document intact.
    for (QWidget* control : formulario->Controles()) {
        AvanzarProgreso(progreso);
        const QString tag = Tag(control);
        if (!tag.isEmpty())
            Ignorando([&] { EscribirCampo(word.ActiveDocument(), control, tag); });
    }
    Ignorando([&] { word.ActiveDocument().Save(); });

    if (!imprimir) {
        terminar();
    } else {
        // The printed copy: the barcode below the stored state, never saved.
        // Without its barcode, or with one that does not read back, no copy goes out.
        if (const QString fallo = PonerCodigo(variante, word, codigo, segundo); !fallo.isEmpty()) {
            MessageBox::show(QStringLiteral("No se ha impreso la solicitud.\n") + fallo, QStringLiteral("Impresión"),
                             QMessageBox::Critical);
            terminar();
            return;
        }
        try {
            if (variante == Variante::W97)
                BorrarMarcas(word);
            word.PrintOut(true);
            MessageBox::show(QStringLiteral("IMPORTANTE: Espere unos momentos, se está imprimiendo la solicitud. "
                                            "Cuando estén todas las hojas impresas, pulse el botón Aceptar."),
                             QStringLiteral("Impresión"), QMessageBox::Information);
            HabilitarMenu(formulario, false);
        } catch (const Word::Error& fallo) {
            MessageBox::show(fallo.description());
            terminar();
            return;
        } catch (const std::exception& fallo) {
            MessageBox::show(QString::fromLocal8Bit(fallo.what()));
            terminar();
            return;
        }
        terminar();
    }
    if (progreso)
        progreso->prgBar->setValue(progreso->prgBar->maximum());
}

} // namespace

qint16 VersionWord()
{
    std::shared_ptr<Word::Application> word;
    try {
        word = Word::GetObject();
    } catch (const Word::Error&) {
        word = Word::CreateObject(); // none installed: the failure is the caller's
    }
    try {
        bool numero = false;
        const int mayor = word->Version().section(QLatin1Char('.'), 0, 0).trimmed().toInt(&numero);
        return numero ? static_cast<qint16>(mayor) : 0;
    } catch (const Word::Error&) {
        return 0;
    }
}

void GenerarDocumentoW97(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario,
                         frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo)
{
    GenerarDocumento(Variante::W97, fichero, carpeta, formulario, progreso, codigo, imprimir, segundo);
}

void GenerarDocumentoWXP(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario,
                         frmProgresoGeneral* progreso, Stelcodex* codigo, bool imprimir, bool segundo)
{
    GenerarDocumento(Variante::WXP, fichero, carpeta, formulario, progreso, codigo, imprimir, segundo);
}

void RecuperarSolicitud(const QString& fichero, const QString& carpeta, frmSolicitudes* formulario)
{
    auto progreso = std::make_unique<frmProgresoGeneral>();
    progreso->lblAccion->setText(QStringLiteral("Recuperando información de la solicitud. Espere, por favor ..."));
    progreso->show();

    blnWordIniciado = false;
    std::shared_ptr<Word::Application> word;
    try {
        word = Word::GetObject();
    } catch (const Word::Error&) {
        try {
            word = Word::CreateObject();
        } catch (...) {
            progreso->close();
            throw;
        }
        blnWordIniciado = true;
    }

    Word::Document* abierto = nullptr; // the copy of the stored file, while open
    try {
        word->setVisible(false);
        abierto = &word->Documents().Add(carpeta + fichero);
        progreso->prgBar->setMaximum(324);
        for (QWidget* control : formulario->Controles()) {
            progreso->prgBar->setValue(progreso->prgBar->value() + 1);
            const QString tag = Tag(control);
            if (tag.isEmpty())
                continue;
            try {
                LeerCampo(*abierto, control, tag);
            } catch (const Word::Error& fallo) {
                // A field the document lacks leaves its control as it is.
                if (fallo.number() != Word::ErrorCode::NoSuchMember)
                    throw;
            }
        }
        progreso->prgBar->setValue(progreso->prgBar->maximum() - 10);
        progreso->prgBar->setValue(progreso->prgBar->maximum());
        std::exchange(abierto, nullptr)->Close(false);
    } catch (const std::exception&) {
        // A missing or unreadable stored file: the user is told instead of
        // being left with the busy window, and the instance is not left behind.
        if (abierto)
            Ignorando([&] { abierto->Close(false); });
        Ignorando([&] { word->Quit(false); });
        word.reset();
        progreso->close();
        MessageBox::show(QStringLiteral("No se ha podido leer la solicitud ") + fichero +
                             QStringLiteral(". El fichero no existe o no es una solicitud válida."),
                         {}, QMessageBox::Critical);
        return;
    }
    // One we started stays up and visible, one we attached to is told to quit.
    if (blnWordIniciado)
        Ignorando([&] { word->setVisible(true); });
    else
        Ignorando([&] { word->Quit(false); });
    word.reset();
    progreso->close();
    HabilitarMenu(formulario, true);
}

} // namespace ModWord
