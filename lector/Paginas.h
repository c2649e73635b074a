#pragma once
// The pages to read: the files and folders named on the command line turned
// into a list of pages (every page of a PDF, every frame of a TIFF), and each
// page turned into an image and searched for barcodes with ZXing.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace Paginas {

enum class Tipo { Pdf, Imagen, Ilegible };

struct Pagina {
    QString fichero;
    int numero = 1; // 1-based page or frame
    Tipo tipo = Tipo::Imagen;
    QString error;      // for Ilegible: why, in Spanish
    QByteArray formato; // for Imagen: "png", "jpeg", "tiff" or "bmp", from its content
};

struct Entradas {
    std::vector<Pagina> paginas;
    QStringList avisos; // inputs that gave no page (an empty folder), in Spanish
};

// Limits on what is read from outside.
inline constexpr qint64 TamanoMaximoFichero = qint64(1) << 30; // 1 GiB
inline constexpr qint64 PixelesMaximos = 150'000'000;          // per page
inline constexpr int ProfundidadMaxima = 32;                   // folders below a named one
inline constexpr int MarcosMaximos = 10'000;                   // frames of one TIFF

// Lists the pages of the named files and folders, in the order given and, in a
// folder, by name. Only PDF, PNG, JPEG, TIFF and BMP files are taken from a
// folder; a named file is taken by its content whatever its name. A file that
// cannot be read gives one Ilegible page saying why.
Entradas Enumerar(const QStringList& rutas, bool recursivo);

enum class Estado { Solicitud, OtroCodigo, SinCodigo, Error };

struct Lectura {
    Estado estado = Estado::SinCodigo;
    QByteArray contenido; // the symbol's bytes (Solicitud, OtroCodigo)
    QString formato;      // the symbol's kind ("PDF417", "QRCode", ...)
    QString error;        // for Error: why, in Spanish
    double giro = 0;      // how far the symbol is turned, in degrees
};

// Renders and decodes pages; one per thread. It keeps the last PDF open, so
// that the pages of one file are read without opening it again.
class Decodificador {
public:
    explicit Decodificador(int ppp);
    ~Decodificador();
    Decodificador(const Decodificador&) = delete;
    Decodificador& operator=(const Decodificador&) = delete;

    Lectura Leer(const Pagina& pagina);

private:
    struct Pdf;
    int ppp_;
    std::unique_ptr<Pdf> pdf_;
};

// Silences the PDF library's own messages on standard error.
void SilenciarPdf();

} // namespace Paginas
