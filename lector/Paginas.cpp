#include "lector/Paginas.h"

#include "lector/DatosLeidos.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <png.h>
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#define ZX_USE_UTF8
#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Paginas {

namespace {

enum class Clase { Pdf, Imagen, Desconocida };

// What a decoded page is reported as when no application's symbol is on it.
constexpr auto TodosLosFormatos = ZXing::BarcodeFormat::Any;

bool ExtensionConocida(const QString& nombre)
{
    static const QStringList extensiones = {QStringLiteral("pdf"), QStringLiteral("png"), QStringLiteral("jpg"),
        QStringLiteral("jpeg"), QStringLiteral("tif"), QStringLiteral("tiff"), QStringLiteral("bmp")};
    return extensiones.contains(QFileInfo(nombre).suffix().toLower());
}

// The kind of file by its first bytes. O_NONBLOCK, so that a FIFO that slipped
// past the regular-file test never blocks the run.
Clase ClaseDeFichero(const QString& ruta, QString* error, QByteArray* formato)
{
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = QStringLiteral("no se puede abrir: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return Clase::Desconocida;
    }
    struct stat st { };
    unsigned char cabecera[8] = {};
    ssize_t leidos = -1;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        leidos = ::read(fd, cabecera, sizeof cabecera);
    const int errorLectura = errno;
    ::close(fd);
    if (!S_ISREG(st.st_mode)) {
        *error = QStringLiteral("no es un fichero normal");
        return Clase::Desconocida;
    }
    if (leidos < 0) {
        *error = QStringLiteral("no se puede leer: %1").arg(QString::fromLocal8Bit(strerror(errorLectura)));
        return Clase::Desconocida;
    }
    if (st.st_size > TamanoMaximoFichero) {
        *error = QStringLiteral("es demasiado grande (más de 1 GiB)");
        return Clase::Desconocida;
    }
    const auto empieza = [&](std::initializer_list<unsigned char> firma) {
        return leidos >= ssize_t(firma.size()) && std::equal(firma.begin(), firma.end(), cabecera);
    };
    if (empieza({'%', 'P', 'D', 'F'}))
        return Clase::Pdf;
    if (empieza({0x89, 'P', 'N', 'G'}))
        *formato = "png";
    else if (empieza({0xFF, 0xD8, 0xFF}))
        *formato = "jpeg";
    else if (empieza({'I', 'I', 42, 0}) || empieza({'M', 'M', 0, 42}))
        *formato = "tiff";
    else if (empieza({'B', 'M'}))
        *formato = "bmp";
    if (!formato->isEmpty())
        return Clase::Imagen;
    *error = leidos == 0 ? QStringLiteral("está vacío")
                         : QStringLiteral("no es un PDF ni una imagen PNG, JPEG, TIFF o BMP");
    return Clase::Desconocida;
}

std::unique_ptr<poppler::document> AbrirPdf(const QString& ruta)
{
    return std::unique_ptr<poppler::document>(poppler::document::load_from_file(QFile::encodeName(ruta).toStdString()));
}

void AnadirFichero(const QString& ruta, std::vector<Pagina>& paginas)
{
    QString error;
    QByteArray formato;
    switch (ClaseDeFichero(ruta, &error, &formato)) {
    case Clase::Pdf: {
        const auto documento = AbrirPdf(ruta);
        if (!documento || documento->is_locked()) {
            paginas.push_back({ruta, 1, Tipo::Ilegible,
                documento ? QStringLiteral("el PDF está cifrado") : QStringLiteral("el PDF está dañado o incompleto"),
                {}});
            return;
        }
        const int total = documento->pages();
        if (total <= 0)
            paginas.push_back({ruta, 1, Tipo::Ilegible, QStringLiteral("el PDF no tiene páginas"), {}});
        for (int i = 1; i <= total; ++i)
            paginas.push_back({ruta, i, Tipo::Pdf, {}, {}});
        return;
    }
    case Clase::Imagen: {
        const int marcos = formato == "tiff" ? QImageReader(ruta, formato).imageCount() : 1;
        for (int i = 1; i <= std::clamp(marcos, 1, MarcosMaximos); ++i)
            paginas.push_back({ruta, i, Tipo::Imagen, {}, formato});
        return;
    }
    case Clase::Desconocida:
        paginas.push_back({ruta, 1, Tipo::Ilegible, error, {}});
        return;
    }
}

void AnadirCarpeta(const QString& carpeta, bool recursivo, int profundidad, Entradas& entradas)
{
    QDir dir(carpeta);
    // Links are followed for files only; a folder link could loop.
    const QFileInfoList hijos = dir.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name | QDir::LocaleAware);
    for (const QFileInfo& hijo : hijos) {
        if (hijo.isDir()) {
            if (recursivo && !hijo.isSymLink() && profundidad < ProfundidadMaxima)
                AnadirCarpeta(hijo.filePath(), recursivo, profundidad + 1, entradas);
        } else if (hijo.isFile() && ExtensionConocida(hijo.fileName())) {
            AnadirFichero(hijo.filePath(), entradas.paginas);
        }
    }
}

// The ZXing view of an image, converted only when ZXing cannot take it as is.
ZXing::ImageView Vista(QImage& imagen)
{
    ZXing::ImageFormat formato = ZXing::ImageFormat::None;
    switch (imagen.format()) {
    case QImage::Format_Grayscale8:
        formato = ZXing::ImageFormat::Lum;
        break;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        formato = ZXing::ImageFormat::BGRX;
        break;
    case QImage::Format_RGB888:
        formato = ZXing::ImageFormat::RGB;
        break;
    default:
        imagen = imagen.convertToFormat(QImage::Format_Grayscale8);
        formato = ZXing::ImageFormat::Lum;
    }
    return {imagen.constBits(), imagen.width(), imagen.height(), formato, int(imagen.bytesPerLine())};
}

Lectura Buscar(const ZXing::ImageView& vista, ZXing::BarcodeFormats formatos)
{
    ZXing::DecodeHints pistas;
    pistas.setTryHarder(true);
    pistas.setTryRotate(true);
    pistas.setFormats(formatos);
    const ZXing::Results resultados = ZXing::ReadBarcodes(vista, pistas);
    Lectura lectura;
    for (const ZXing::Result& r : resultados) {
        if (!r.isValid())
            continue;
        QByteArray contenido(reinterpret_cast<const char*>(r.bytes().data()), qsizetype(r.bytes().size()));
        const bool solicitud = r.format() == ZXing::BarcodeFormat::PDF417 && contenido.startsWith("u|");
        if (solicitud || lectura.estado == Estado::SinCodigo) {
            lectura.estado = solicitud ? Estado::Solicitud : Estado::OtroCodigo;
            lectura.formato = QString::fromStdString(ZXing::ToString(r.format()));
            lectura.giro = r.position().orientation() * 180 / M_PI;
            lectura.contenido = std::move(contenido);
        }
        if (solicitud)
            break;
    }
    return lectura;
}

// Looks for the application's PDF417 symbol first, the commonest case and a
// third of the work of looking for every kind; other kinds only when it is not
// there, so that such a page is reported for what it holds.
Lectura Buscar(const ZXing::ImageView& vista)
{
    Lectura lectura = Buscar(vista, ZXing::BarcodeFormat::PDF417);
    if (lectura.estado != Estado::Solicitud) {
        Lectura otra = Buscar(vista, TodosLosFormatos);
        if (otra.estado != Estado::SinCodigo)
            lectura = std::move(otra);
    }
    return lectura;
}

// A PNG file as a greyscale or RGB image, read with libpng. Qt's reader takes
// twice as long for a page scan; the chunk checksums are not verified, the
// barcode has its own.
QImage LeerPng(const QString& ruta, QString* error)
{
    std::FILE* f = std::fopen(QFile::encodeName(ruta).constData(), "rbe");
    if (!f) {
        *error = QStringLiteral("no se puede abrir: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return {};
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    QImage imagen;
    std::vector<png_bytep> filas;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(f);
        *error = QStringLiteral("no se puede leer la imagen: el PNG está dañado o incompleto");
        return {};
    }
    png_set_error_fn(
        png, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); }, [](png_structp, png_const_charp) {});
    png_init_io(png, f);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
    png_set_user_limits(png, 100'000, 100'000);
    png_read_info(png, info);
    const png_uint_32 ancho = png_get_image_width(png, info), alto = png_get_image_height(png, info);
    if (double(ancho) * alto > double(PixelesMaximos))
        png_error(png, "demasiado grande");
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    if (png_get_interlace_type(png, info) != PNG_INTERLACE_NONE)
        png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_byte canales = png_get_channels(png, info);
    if (canales != 1 && canales != 3)
        png_error(png, "canales");
    imagen = QImage(int(ancho), int(alto), canales == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (imagen.isNull())
        png_error(png, "memoria");
    filas.resize(alto);
    for (png_uint_32 y = 0; y < alto; ++y)
        filas[y] = imagen.scanLine(int(y));
    png_read_image(png, filas.data());
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return imagen;
}

// The symbol carries little error correction, so a poor scan can read wrong
// rather than not at all; such a read fails the checks.
bool Dudosa(const Lectura& l) { return l.estado == Estado::Solicitud && !DatosLeidos::Leer(l.contenido).valida(); }

bool OtraVez(const Lectura& l) { return l.estado == Estado::SinCodigo || Dudosa(l); }

Lectura Mejor(Lectura primera, Lectura segunda)
{
    if (primera.estado == Estado::SinCodigo
        || (Dudosa(primera) && segunda.estado == Estado::Solicitud && !Dudosa(segunda)))
        return segunda;
    return primera;
}

// Reads the page; when nothing or a doubtful payload comes out, tries the page
// at twice the resolution (bars of one or two pixels are too thin for the
// detector) and, for a symbol a little askew, straightened.
Lectura Reintentar(const QImage& imagen, const std::function<std::optional<QImage>()>& mayor)
{
    QImage copia = imagen;
    Lectura lectura = Buscar(Vista(copia));
    QImage base = imagen;
    if (OtraVez(lectura))
        if (std::optional<QImage> doble = mayor()) {
            lectura = Mejor(std::move(lectura), Buscar(Vista(*doble)));
            base = std::move(*doble);
        }
    if (const double giro = std::remainder(lectura.giro, 90); Dudosa(lectura) && std::abs(giro) >= 0.5) {
        QImage recta = base.convertToFormat(QImage::Format_Grayscale8)
                           .transformed(QTransform().rotate(-giro), Qt::SmoothTransformation);
        lectura = Mejor(std::move(lectura), Buscar(Vista(recta)));
    }
    return lectura;
}

// A PDF page as a greyscale image at `ppp`, or a null image and why.
QImage Dibujar(const poppler::page& hoja, int ppp, QString* error)
{
    const poppler::rectf caja = hoja.page_rect();
    const double ancho = caja.width() * ppp / 72.0, alto = caja.height() * ppp / 72.0;
    if (!(ancho >= 1 && alto >= 1 && ancho * alto <= double(PixelesMaximos))) {
        *error = QStringLiteral("la página es demasiado grande para %1 ppp").arg(ppp);
        return {};
    }
    poppler::page_renderer pintor;
    pintor.set_image_format(poppler::image::format_gray8);
    pintor.set_render_hint(poppler::page_renderer::antialiasing, false);
    pintor.set_render_hint(poppler::page_renderer::text_antialiasing, false);
    const poppler::image imagen = pintor.render_page(&hoja, ppp, ppp);
    if (!imagen.is_valid()) {
        *error = QStringLiteral("no se puede dibujar la página");
        return {};
    }
    // A deep copy: the poppler image owns its pixels.
    return QImage(reinterpret_cast<const uchar*>(imagen.const_data()), imagen.width(), imagen.height(),
        imagen.bytes_per_row(), QImage::Format_Grayscale8)
        .copy();
}

Lectura Fallo(const QString& error)
{
    Lectura l;
    l.estado = Estado::Error;
    l.error = error;
    return l;
}

} // namespace

struct Decodificador::Pdf {
    QString ruta;
    std::unique_ptr<poppler::document> documento;
};

Decodificador::Decodificador(int ppp) : ppp_(ppp), pdf_(std::make_unique<Pdf>()) { }

Decodificador::~Decodificador() = default;

Lectura Decodificador::Leer(const Pagina& pagina)
{
    switch (pagina.tipo) {
    case Tipo::Ilegible:
        return Fallo(pagina.error);
    case Tipo::Imagen: {
        QImage imagen;
        if (pagina.formato == "png") {
            QString error;
            imagen = LeerPng(pagina.fichero, &error);
            if (imagen.isNull())
                return Fallo(error);
        } else {
            QImageReader lector(pagina.fichero, pagina.formato);
            if (pagina.numero > 1 && !lector.jumpToImage(pagina.numero - 1))
                return Fallo(QStringLiteral("no se puede leer la imagen %1 del fichero").arg(pagina.numero));
            imagen = lector.read();
            if (imagen.isNull())
                return Fallo(QStringLiteral("no se puede leer la imagen: %1").arg(lector.errorString()));
        }
        return Reintentar(imagen, [&]() -> std::optional<QImage> {
            if (std::max(imagen.width(), imagen.height()) >= 2600)
                return std::nullopt;
            return imagen.scaled(imagen.size() * 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        });
    }
    case Tipo::Pdf: {
        if (pdf_->ruta != pagina.fichero || !pdf_->documento) {
            pdf_->documento = AbrirPdf(pagina.fichero);
            pdf_->ruta = pagina.fichero;
        }
        if (!pdf_->documento)
            return Fallo(QStringLiteral("el PDF está dañado o incompleto"));
        const std::unique_ptr<poppler::page> hoja(pdf_->documento->create_page(pagina.numero - 1));
        if (!hoja)
            return Fallo(QStringLiteral("no se puede leer la página"));
        QString error;
        const QImage imagen = Dibujar(*hoja, ppp_, &error);
        if (imagen.isNull())
            return Fallo(error);
        return Reintentar(imagen, [&]() -> std::optional<QImage> {
            if (ppp_ >= 300)
                return std::nullopt;
            const QImage doble = Dibujar(*hoja, 2 * ppp_, &error);
            return doble.isNull() ? std::nullopt : std::optional(doble);
        });
    }
    }
    return Fallo(QStringLiteral("tipo de página desconocido"));
}

Entradas Enumerar(const QStringList& rutas, bool recursivo)
{
    Entradas entradas;
    for (const QString& ruta : rutas) {
        const QFileInfo info(ruta);
        if (!info.exists() && !info.isSymLink()) {
            entradas.paginas.push_back({ruta, 1, Tipo::Ilegible, QStringLiteral("no existe"), {}});
        } else if (info.isDir()) {
            const std::size_t antes = entradas.paginas.size();
            AnadirCarpeta(ruta, recursivo, 0, entradas);
            if (entradas.paginas.size() == antes)
                entradas.avisos << QStringLiteral("%1: la carpeta no contiene ningún PDF ni imagen%2")
                                       .arg(ruta,
                                           recursivo ? QString() : QStringLiteral(" (-r entra en las subcarpetas)"));
        } else {
            AnadirFichero(ruta, entradas.paginas);
        }
    }
    return entradas;
}

void SilenciarPdf()
{
    poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
}

} // namespace Paginas
