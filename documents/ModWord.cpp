#include "documents/ModWord.h"

#include "applications/NombresSolicitud.h"
#include "documents/BmpCodigo.h"
#include "documents/CamposDocumento.h"
#include "documents/DatosCodigo.h"
#include "platform/word/Word.h"
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
#include <type_traits>
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

// The boundary with the word processor: runs a step and turns what it throws
// (a Word::Error, or anything else it meets) into a failed result whose reason
// is the error's text. A step may also return its own Resultado.
template <typename Paso> Resultado Intentar(Paso&& paso)
{
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Paso&>>) {
            paso();
            return Resultado::Correcto();
        } else {
            return paso();
        }
    } catch (const std::exception& fallo) {
        return Resultado::Fallo(TextoFallo(fallo));
    }
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

// Whether a stored application looks readable, told before the word processor
// is asked: it fails on a missing or unreadable file, or Word's old binary
// format, and passes a file that looks like a document package.
Resultado Legible(const QString& ruta)
{
    const QFileInfo info(ruta);
    if (!info.exists())
        return Resultado::Fallo(QStringLiteral("El fichero no existe."));
    if (!info.isFile())
        return Resultado::Fallo(QStringLiteral("No es un fichero."));
    QFile fichero(ruta);
    if (!fichero.open(QIODevice::ReadOnly))
        return Resultado::Fallo(QStringLiteral("No hay permiso para leer el fichero."));
    const QByteArray cabecera = fichero.read(8);
    if (cabecera.isEmpty())
        return Resultado::Fallo(QStringLiteral("El fichero está vacío."));
    if (cabecera == QByteArray::fromHex("D0CF11E0A1B11AE1"))
        return Resultado::Fallo(
            QStringLiteral("El fichero está en el formato binario antiguo de Word 97-2003, que el programa no "
                           "puede leer. Ábralo con su procesador de textos y guárdelo como documento de Word "
                           "2007-365 con el mismo nombre."));
    return Resultado::Correcto();
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
// of the copy; fails, saying why, when it cannot.
Resultado PonerCodigo(Variante variante, Word::Application& word, Stelcodex* codigo, bool segundo)
{
    int retenido = -1; // the bitmap stays locked, and so ours, until it is removed
    qint16 alto = 2000;
    const ResultadoCon<QString> hecho = GenerarBmpCodigo(estado().strDatosCodigo, codigo, 6000, alto, &retenido);
    if (!hecho)
        return hecho;
    const QString bmp = hecho.valor + QLatin1String(".bmp");
    Resultado puesto = Intentar([&]() -> Resultado {
        word.ActiveDocument().Tables(3).Cell(6, 1).Select();
        // The writer skips a failing layout step of the copy (a line break, the
        // alignment): the barcode is still placed.
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
        // The picture put in is the very file that was checked.
        if (!MismoFichero(retenido, bmp))
            return Resultado::Fallo(
                QStringLiteral("La imagen del código de barras ha cambiado después de comprobarla."),
                Resultado::ErrorEntradaSalida);
        if (!segundo)
            word.Selection().InlineShapes().AddPicture(bmp, false, true);
        return Resultado::Correcto();
    });
    if (puesto) { // the same skipped layout steps after the picture
        Ignorando([&] { word.Selection().ParagraphFormat().setAlignment(variante == Variante::W97 ? 1 : 0); });
        Ignorando([&] { word.Selection().TypeText(QStringLiteral("\r\n")); });
    } else if (puesto.numero == 0) { // the word processor's own failure
        puesto.motivo.prepend(QStringLiteral("No se ha podido poner el código de barras en la copia: "));
    }
    if (MismoFichero(retenido, bmp))
        QFile::remove(bmp);
    if (retenido >= 0)
        ::close(retenido);
    return puesto;
}

// Stores the filled document as carpeta + fichero, replacing the previous
// version whole; with nombreNuevo only under a name no file has, fichero then
// changed to the name taken. Fails when no free name is found; the word
// processor's failures propagate.
Resultado Guardar(
    Word::Document& documento, const QString& carpeta, QString& fichero, const QString& dni, bool nombreNuevo)
{
    if (!nombreNuevo) {
        documento.SaveAs(carpeta + fichero);
        return Resultado::Correcto();
    }
    // Another running copy may take a name between our look and our write.
    for (int intento = 0; !documento.SaveAsNew(carpeta + fichero); ++intento) {
        if (intento == 20)
            return Resultado::Fallo(QStringLiteral("No se ha encontrado un nombre libre para la solicitud."),
                Resultado::ErrorEntradaSalida);
        fichero = NombresSolicitud::NombreNuevo(dni, carpeta);
    }
    return Resultado::Correcto();
}

// The instance the writer works in. One that already held documents when we
// attached to it is not ours to quit: only our own document is closed at the
// end, never one of the user's (which would be the active one if ours was
// never created).
struct InstanciaEscritor {
    std::shared_ptr<Word::Application> word;
    bool compartida = false;
    Word::Document* nuestro = nullptr;

    // Closing and quitting happen after the outcome is known: their failure
    // changes nothing the user is told.
    void Terminar()
    {
        if (!word)
            return;
        if (nuestro)
            Ignorando([&] { nuestro->Close(false); });
        if (!compartida)
            Ignorando([&] { word->Quit(false); });
        estado().objWord.reset();
    }
};

// Attaches (older variant only) or starts an instance, adds a document from
// the template and writes the form into it, one step a control.
void RellenarDocumento(InstanciaEscritor& instancia, Variante variante, FormularioDocumento* formulario,
    const Avance& avance, bool imprimir)
{
    const QString plantilla
        = variante == Variante::W97 ? NombresSolicitud::RutaPlantillaW97() : NombresSolicitud::RutaPlantillaWXP();
    bool iniciada = true;
    instancia.word = variante == Variante::W97 ? ObtenerOIniciar(&iniciada) : Word::CreateObject();
    estado().objWord = instancia.word;
    // An instance we attached to stays shared if counting its documents fails.
    instancia.compartida = !iniciada;
    if (instancia.compartida)
        instancia.compartida = instancia.word->Documents().Count() > 0;
    Word::Application& word = *instancia.word;
    word.setVisible(false);
    instancia.nuestro = &word.Documents().Add(plantilla);
    Avisar(avance.total, PasosEscritura(*formulario, imprimir));
    word.ActiveDocument().Bookmarks(MarcaDNI).Select();
    word.Selection().TypeText(formulario->CajaDNI()->text());
    // A control without a form field is skipped (the writer skips a failing
    // step); the rest is still written.
    for (QWidget* control : formulario->Controles()) {
        Avisar(avance.paso);
        const QString tag = Tag(control);
        if (!tag.isEmpty())
            Ignorando([&] { EscribirCampo(word.ActiveDocument(), control, tag); });
    }
}

// The printed copy: the barcode below the stored state, never saved. Without
// its barcode, or with one that does not read back, no copy goes out.
void ImprimirCopia(
    Variante variante, Word::Application& word, Stelcodex* codigo, bool segundo, const Avance& avance, Escrito& escrito)
{
    if (const Resultado conCodigo = PonerCodigo(variante, word, codigo, segundo); !conCodigo) {
        escrito.sinCodigo = conCodigo.motivo;
        return;
    }
    const Resultado impreso = Intentar([&] {
        if (variante == Variante::W97)
            BorrarMarcas(word);
        const Word::PrintResult copia = word.PrintOut(true);
        if (copia.kind == Word::PrintResult::Kind::Pdf)
            escrito.pdf = copia.pdfPath;
        escrito.impreso = true;
        Avisar(avance.paso);
    });
    if (!impreso)
        escrito.falloImpresion = impreso.motivo;
}

Escrito GenerarDocumento(Variante variante, const QString& fichero, const QString& carpeta,
    FormularioDocumento* formulario, const Avance& avance, Stelcodex* codigo, bool imprimir, bool segundo,
    bool nombreNuevo)
{
    // Until the document is stored, a failure ends the writer and is the
    // caller's to report; the instance is not left running behind it.
    InstanciaEscritor instancia;
    Escrito escrito;
    escrito.fichero = fichero;
    const Resultado guardado = Intentar([&]() -> Resultado {
        RellenarDocumento(instancia, variante, formulario, avance, imprimir);
        return Guardar(
            instancia.word->ActiveDocument(), carpeta, escrito.fichero, formulario->CajaDNI()->text(), nombreNuevo);
    });
    if (!guardado) {
        instancia.Terminar();
        return guardado;
    }
    Avisar(avance.paso);
    if (imprimir)
        ImprimirCopia(variante, *instancia.word, codigo, segundo, avance, escrito);
    const bool completo = !imprimir || escrito.impreso;
    instancia.Terminar();
    if (completo)
        Avisar(avance.fin);
    return escrito;
}

// Fills the form's tagged controls from the document's fields, except the DNI,
// one step a control. Fails, saying why, when the application may not be read
// into the form (another DNI's); the word processor's failures propagate.
Resultado LeerControles(Word::Document& documento, FormularioDocumento* formulario, const Avance& avance)
{
    // The DNI on the form is the signed-in one; another's application is not opened as this DNI's.
    const QString dni = formulario->CajaDNI()->text();
    if (const QString otro = OtroNIF(documento, dni); !otro.isEmpty())
        return Resultado::Fallo(
            QStringLiteral("La solicitud es del DNI %1, no del DNI %2 con el que ha entrado.").arg(otro, dni));
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
    return Resultado::Correcto();
}

} // namespace

int PasosEscritura(const FormularioDocumento& formulario, bool imprimir)
{
    return int(formulario.Controles().size()) + 1 + (imprimir ? 1 : 0);
}

qint16 VersionWord()
{
    qint16 version = 0;
    // A word processor that cannot be reached or asked has version 0.
    Intentar([&] {
        const std::shared_ptr<Word::Application> word = ObtenerOIniciar();
        bool numero = false;
        const int mayor = word->Version().section(QLatin1Char('.'), 0, 0).trimmed().toInt(&numero);
        if (numero)
            version = static_cast<qint16>(mayor);
    });
    return version;
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
    if (Resultado legible = Legible(carpeta + fichero); !legible)
        return legible;
    Avisar(avance.total, int(formulario->Controles().size()));

    // The word processor's failures end here: the instance is not left behind.
    blnWordIniciado = false;
    std::shared_ptr<Word::Application> word;
    Word::Document* abierto = nullptr; // the copy of the stored file, while open
    const Resultado leida = Intentar([&]() -> Resultado {
        word = ObtenerOIniciar(&blnWordIniciado);
        word->setVisible(false);
        abierto = &word->Documents().Add(carpeta + fichero);
        const Resultado controles = LeerControles(*abierto, formulario, avance);
        if (controles)
            std::exchange(abierto, nullptr)->Close(false);
        return controles;
    });
    if (!word)
        return leida; // none could be reached or started
    if (!leida) {
        // Cleaning up after a failure already reported: a further failure adds nothing.
        if (abierto)
            Ignorando([&] { abierto->Close(false); });
        Ignorando([&] { word->Quit(false); });
        return leida;
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
