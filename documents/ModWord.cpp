#include "documents/ModWord.h"

#include "applications/NombresSolicitud.h"
#include "documents/BmpCodigo.h"
#include "documents/CamposDocumento.h"
#include "documents/DatosCodigo.h"
#include "platform/word/Word.h"
#include "shell/ErrorEjecucion.h"
#include "shell/EstadoCompartido.h"
#include "shell/Fallos.h"
#include "shell/Resultado.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace ModWord {

bool blnWordIniciado = false;

namespace {

template <typename... Args> void Avisar(const std::function<void(Args...)>& aviso, Args... args)
{
    if (aviso)
        aviso(args...);
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

// The check-box form fields of the templates, in the order they appear.
const char* const CasillasEnOrden[] = {"MEDICO", "ENFERMERO", "ESPECIALISTA", "EXPERIENCIA", "CURSOS", "OTROS"};

// The check-box field of a tag. A word processor that drops the names of check
// boxes (LibreOffice does) leaves them in the templates' order: the field at the
// tag's place is taken when it has no name.
Word::FormField& CampoCasilla(Word::Document& documento, const QString& tag)
{
    Word::FormFieldsCollection& campos = documento.FormFields();
    if (campos.Exists(tag))
        return campos.Item(tag);
    int lugar = 0;
    while (lugar < int(std::size(CasillasEnOrden))
        && tag.compare(QLatin1String(CasillasEnOrden[lugar]), Qt::CaseInsensitive) != 0)
        ++lugar;
    int casillas = 0;
    for (int i = 1; i <= campos.Count() && lugar < int(std::size(CasillasEnOrden)); ++i) {
        Word::FormField& campo = campos.Item(i);
        if (campo.IsCheckBox() && casillas++ == lugar && campo.Name().trimmed().isEmpty())
            return campo;
    }
    return campos.Item(tag); // throws: no such field
}

// Fills one tagged control from the form field of its tag. A stored value is
// kept whole: a box's maximum length limits typing, not what is read.
void LeerCampo(Word::Document& documento, QWidget* control, const QString& tag)
{
    if (auto* texto = qobject_cast<QLineEdit*>(control)) {
        const QString resultado = documento.FormFields().Item(tag).Result();
        const bool area = tag.startsWith(QLatin1String("AREA"), Qt::CaseInsensitive);
        const QString valor = area ? AreaLeida(resultado) : resultado;
        if (valor.size() > texto->maxLength())
            texto->setMaxLength(int(valor.size()));
        texto->setText(valor);
    } else if (auto* opcion = qobject_cast<QRadioButton*>(control)) {
        if (CampoCasilla(documento, tag).CheckBox().Value())
            opcion->setChecked(true);
    } else if (auto* casilla = qobject_cast<QCheckBox*>(control)) {
        const bool marcada = CampoCasilla(documento, tag).Result() == QLatin1String("1");
        casilla->setCheckState(marcada ? Qt::Checked : Qt::Unchecked);
    }
}

// Why a stored application cannot be read, told before the word processor is
// asked: a missing or unreadable file, or Word's old binary format. Empty when
// the file looks like a document package.
QString MotivoIlegible(const QString& ruta)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        return QStringLiteral("El fichero no existe.");
    if (!info.isFile())
        return QStringLiteral("No es un fichero.");
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return QStringLiteral("No hay permiso para leer el fichero.");
    const QByteArray cabecera = fichero.read(8);
    if (cabecera.isEmpty())
        return QStringLiteral("El fichero está vacío.");
    if (cabecera == QByteArray::fromHex("D0CF11E0A1B11AE1"))
        return QStringLiteral("El fichero está en el formato binario antiguo de Word 97-2003, que el programa no "
                              "puede leer. Ábralo con su procesador de textos y guárdelo como documento de Word "
                              "2007-365 con el mismo nombre.");
    return {};
}

// The NIF a stored document was written for, when it names another DNI than
// the form's (the signed-in one); empty when it is the same or blank.
QString OtroNIF(Word::Document& documento, const QString& dni)
{
    if (!documento.FormFields().Exists(QStringLiteral("NIF")))
        return {};
    const QString nif = documento.FormFields().Item(QStringLiteral("NIF")).Result().trimmed();
    return nif.isEmpty() || nif.compare(dni.trimmed(), Qt::CaseInsensitive) == 0 ? QString() : nif;
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

// The running instance, or a new one when none runs (the failure to start one
// is the caller's). `iniciada` tells which, when given.
std::shared_ptr<Word::Application> ObtenerOIniciar(bool* iniciada = nullptr)
{
    try {
        auto word = Word::GetObject();
        if (iniciada)
            *iniciada = false;
        return word;
    } catch (const Word::Error&) {
        auto word = Word::CreateObject();
        if (iniciada)
            *iniciada = true;
        return word;
    }
}

// Whether the open descriptor and the path name the same file.
bool MismoFichero(int fd, const QString& ruta)
{
    struct stat abierto {
    }, ahora{};
    return fd >= 0 && ::fstat(fd, &abierto) == 0 && ::lstat(QFile::encodeName(ruta).constData(), &ahora) == 0
        && abierto.st_dev == ahora.st_dev && abierto.st_ino == ahora.st_ino;
}

enum class Variante { W97, WXP };

// The point where the DNI is typed in the heading. It is not named "NIF": a
// bookmark sharing the NIF form field's name makes other word processors rename
// the field.
const QString MarcaDNI = QStringLiteral("NIF_CABECERA");

// Makes the barcode bitmap and puts it into row 6, column 1 of the third table
// of the copy. Returns why that failed, in Spanish, or nothing.
QString PonerCodigo(Variante variante, Word::Application& word, Stelcodex* codigo, bool segundo)
{
    QString bmp;
    QString fallo;
    int retenido = -1; // the bitmap stays locked, and so ours, until it is removed
    try {
        qint16 alto = 2000;
        bmp = GenerarBmpCodigo(estado().strDatosCodigo, codigo, 6000, alto, &retenido);
        word.ActiveDocument().Tables(3).Cell(6, 1).Select();
        // The writer skips a failing layout step of the copy (a line break, the
        // alignment): the barcode is still placed.
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
        // The picture put in is the very file that was checked.
        if (!MismoFichero(retenido, bmp + QLatin1String(".bmp")))
            throw ErrorEjecucion(ErrorEjecucion::ErrorEntradaSalida,
                QStringLiteral("La imagen del código de barras ha cambiado después de comprobarla."));
        if (!segundo)
            word.Selection().InlineShapes().AddPicture(bmp + QLatin1String(".bmp"), false, true);
    } catch (const ErrorEjecucion& error) {
        fallo = error.descripcion();
    } catch (const std::exception& error) {
        fallo = QStringLiteral("No se ha podido poner el código de barras en la copia: ") + TextoFallo(error);
    }
    if (fallo.isEmpty()) {
        Ignorando([&] { word.Selection().ParagraphFormat().setAlignment(variante == Variante::W97 ? 1 : 0); });
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
    }
    if (!bmp.isEmpty() && MismoFichero(retenido, bmp + QLatin1String(".bmp")))
        QFile::remove(bmp + QLatin1String(".bmp"));
    if (retenido >= 0)
        ::close(retenido);
    return fallo;
}

Escrito GenerarDocumento(Variante variante, const QString& fichero, const QString& carpeta,
    FormularioDocumento* formulario, const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo,
    bool nombreNuevo)
{
    Escrito escrito;
    EstadoCompartido& e = estado();
    const QString plantilla
        = variante == Variante::W97 ? NombresSolicitud::RutaPlantillaW97() : NombresSolicitud::RutaPlantillaWXP();

    // An instance that already held documents when we attached to it is not
    // ours to quit: only our own document is closed at the end, never one of
    // the user's (which would be the active one if ours was never created).
    bool compartida = false;
    Word::Document* nuestro = nullptr;
    // Closing and quitting happen after the outcome is known: their failure
    // changes nothing the user is told.
    const auto terminar = [&] {
        Word::Application& word = *e.objWord;
        if (nuestro)
            Ignorando([&] { nuestro->Close(false); });
        if (!compartida)
            Ignorando([&] { word.Quit(false); });
        e.objWord.reset();
    };

    // Attach (older variant only) or start an instance.
    bool iniciada = true;
    e.objWord = variante == Variante::W97 ? ObtenerOIniciar(&iniciada) : Word::CreateObject();
    compartida = !iniciada && e.objWord->Documents().Count() > 0;

    // Until the document is stored, a failure ends the writer and is the
    // caller's to report; the instance is not left running behind it.
    Word::Application& word = *e.objWord;
    try {
        word.setVisible(false);
        nuestro = &word.Documents().Add(plantilla);
        Avisar(avance.total, PasosEscritura(*formulario, imprimir));
        word.ActiveDocument().Bookmarks(MarcaDNI).Select();
        word.Selection().TypeText(formulario->CajaDNI()->text());
    } catch (...) {
        terminar();
        throw;
    }

    // A control without a form field is skipped (the writer skips a failing
    // step); the rest is still written.
    for (QWidget* control : formulario->Controles()) {
        Avisar(avance.paso);
        const QString tag = Tag(control);
        if (!tag.isEmpty())
            Ignorando([&] { EscribirCampo(word.ActiveDocument(), control, tag); });
    }
    // The stored application is written once, filled, replacing the previous
    // version whole; a failure leaves that version and is the caller's to report.
    try {
        escrito.fichero = fichero;
        if (!nombreNuevo) {
            word.ActiveDocument().SaveAs(carpeta + escrito.fichero);
        } else {
            // Another running copy may take a name between our look and our write.
            const QString dni = formulario->CajaDNI()->text();
            for (int intento = 0; !word.ActiveDocument().SaveAsNew(carpeta + escrito.fichero); ++intento) {
                if (intento == 20)
                    throw ErrorEjecucion(ErrorEjecucion::ErrorEntradaSalida,
                        QStringLiteral("No se ha encontrado un nombre libre para la solicitud."));
                escrito.fichero = NombresSolicitud::NombreNuevo(dni, carpeta);
            }
        }
    } catch (...) {
        terminar();
        throw;
    }
    Avisar(avance.paso);

    if (!imprimir) {
        terminar();
    } else {
        // The printed copy: the barcode below the stored state, never saved.
        // Without its barcode, or with one that does not read back, no copy goes out.
        escrito.sinCodigo = PonerCodigo(variante, word, codigo, segundo);
        if (!escrito.sinCodigo.isEmpty()) {
            terminar();
            return escrito;
        }
        try {
            if (variante == Variante::W97)
                BorrarMarcas(word);
            const Word::PrintResult impreso = word.PrintOut(true);
            if (impreso.kind == Word::PrintResult::Kind::Pdf)
                escrito.pdf = impreso.pdfPath;
            escrito.impreso = true;
            Avisar(avance.paso);
        } catch (const std::exception& fallo) {
            escrito.falloImpresion = TextoFallo(fallo);
            terminar();
            return escrito;
        }
        terminar();
    }
    Avisar(avance.fin);
    return escrito;
}

// Fills the form's tagged controls from the document's fields, except the DNI,
// one step a control. Why the application may not be read into the form
// (another DNI's), or empty.
QString LeerControles(Word::Document& documento, FormularioDocumento* formulario, const Avance& avance)
{
    // The DNI on the form is the signed-in one; another's application is not opened as this DNI's.
    const QString dni = formulario->CajaDNI()->text();
    if (const QString otro = OtroNIF(documento, dni); !otro.isEmpty())
        return QStringLiteral("La solicitud es del DNI %1, no del DNI %2 con el que ha entrado.").arg(otro, dni);
    for (QWidget* control : formulario->Controles()) {
        Avisar(avance.paso);
        const QString tag = Tag(control);
        if (tag.isEmpty() || control == formulario->CajaDNI())
            continue;
        try {
            LeerCampo(documento, control, tag);
        } catch (const Word::Error& fallo) {
            // A field the document lacks leaves its control as it is.
            if (fallo.number() != Word::ErrorCode::NoSuchMember)
                throw;
        }
    }
    return {};
}

} // namespace

int PasosEscritura(const FormularioDocumento& formulario, bool imprimir)
{
    return int(formulario.Controles().size()) + 1 + (imprimir ? 1 : 0);
}

qint16 VersionWord()
{
    const std::shared_ptr<Word::Application> word = ObtenerOIniciar();
    try {
        bool numero = false;
        const int mayor = word->Version().section(QLatin1Char('.'), 0, 0).trimmed().toInt(&numero);
        return numero ? static_cast<qint16>(mayor) : 0;
    } catch (const Word::Error&) {
        return 0;
    }
}

Escrito GenerarDocumentoW97(const QString& fichero, const QString& carpeta, FormularioDocumento* formulario,
    const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo, bool nombreNuevo)
{
    return GenerarDocumento(
        Variante::W97, fichero, carpeta, formulario, avance, codigo, imprimir, segundo, nombreNuevo);
}

Escrito GenerarDocumentoWXP(const QString& fichero, const QString& carpeta, FormularioDocumento* formulario,
    const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo, bool nombreNuevo)
{
    return GenerarDocumento(
        Variante::WXP, fichero, carpeta, formulario, avance, codigo, imprimir, segundo, nombreNuevo);
}

Resultado RecuperarSolicitud(
    const QString& fichero, const QString& carpeta, FormularioDocumento* formulario, const Avance& avance)
{
    if (const QString motivo = MotivoIlegible(carpeta + fichero); !motivo.isEmpty())
        return Resultado::Fallo(motivo);
    Avisar(avance.total, int(formulario->Controles().size()));

    // The word processor's failures end here: the instance is not left behind.
    blnWordIniciado = false;
    std::shared_ptr<Word::Application> word;
    Word::Document* abierto = nullptr; // the copy of the stored file, while open
    QString motivo;
    try {
        word = ObtenerOIniciar(&blnWordIniciado);
        word->setVisible(false);
        abierto = &word->Documents().Add(carpeta + fichero);
        motivo = LeerControles(*abierto, formulario, avance);
        if (motivo.isEmpty())
            std::exchange(abierto, nullptr)->Close(false);
    } catch (const std::exception& fallo) {
        motivo = TextoFallo(fallo);
    }
    if (!word)
        return Resultado::Fallo(motivo); // none could be reached or started
    if (!motivo.isEmpty()) {
        // Cleaning up after a failure already reported: a further failure adds nothing.
        if (abierto)
            Ignorando([&] { abierto->Close(false); });
        Ignorando([&] { word->Quit(false); });
        return Resultado::Fallo(motivo);
    }
    // One we started stays up and visible, one we attached to is told to quit.
    // The application is read: neither failing changes that.
    if (blnWordIniciado)
        Ignorando([&] { word->setVisible(true); });
    else
        Ignorando([&] { word->Quit(false); });
    Avisar(avance.fin);
    return Resultado::Correcto();
}

} // namespace ModWord
