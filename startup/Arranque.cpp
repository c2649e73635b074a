#include "Arranque.h"

#include "AbrirSolicitud.h"
#include "RecuperacionBorrador.h"

#include "applications/ListaSolicitudes.h"
#include "applications/frmSeleccion.h"
#include "shell/CarpetaDatos.h"
#include "shell/EscrituraSegura.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"
#include "shell/frmProgreso.h"
#include "users/frmUsuario.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace ModGeneral {

namespace {

// Files that earlier versions left when they were killed while writing:
// "<name>.XXXXXX" beside a stored application or its PDF copy, or beside the
// user file. Only names the program gives are matched, and a suffix of small
// letters only ("usuarios.xml.backup") is taken for the user's.
void LimpiarRestosUsuarios(const QString& carpeta)
{
    static const QRegularExpression nombres(QStringLiteral("^usuarios\\.xml\\.(?=[a-z]*[A-Z0-9])[A-Za-z0-9]{6}$"));
    const QDir dir(carpeta);
    for (const QString& nombre : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (nombres.match(nombre).hasMatch())
            QFile::remove(dir.filePath(nombre));
}

// The temporary folder's leftovers, from one listing of it:
// - old "<application>.XXXXXX" files, as above;
// - barcode bitmaps ("yyyyMMddHHmmss" + minutes + ".bmp"), which live only while
//   a copy prints: one older than an hour belongs to no print that is still running;
// - a new application's name is taken by an empty file just before its first
//   write; one still empty long after was left by a run killed in between.
// The last two look only at plain, visible files (what QDir::Files lists).
void LimpiarCarpetaTemporal(const QString& carpeta)
{
    static const QRegularExpression resto(
        QStringLiteral("^[0-9A-Za-z]{9}[-0-9]*\\.([dD][oO][cC]|[pP][dD][fF])\\.(?=[a-z]*[A-Z0-9])[A-Za-z0-9]{6}$"));
    static const QRegularExpression mapa(QStringLiteral("^[0-9]{16}\\.bmp$"));
    const QDateTime ahora = QDateTime::currentDateTime();
    const QDateTime limiteMapas = ahora.addSecs(-3600);
    const QDateTime limiteVacios = ahora.addSecs(-600);
    const QDir dir(carpeta);
    for (const QFileInfo& f : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString nombre = f.fileName();
        if (resto.match(nombre).hasMatch()) {
            QFile::remove(f.absoluteFilePath());
            continue;
        }
        if (!f.isFile() || nombre.startsWith(QLatin1Char('.')))
            continue;
        const bool mapaViejo = mapa.match(nombre).hasMatch() && f.lastModified() < limiteMapas;
        const bool nombreVacio = nombre.endsWith(QLatin1String(".doc"), Qt::CaseInsensitive) && !f.isSymLink()
            && f.size() == 0 && f.lastModified() < limiteVacios;
        if (mapaViejo || nombreVacio)
            QFile::remove(f.absoluteFilePath());
    }
}

} // namespace

void LimpiarRestos()
{
    const auto& e = estado();
    // The user file lives in the data folder.
    const QString datos = e.carpetaDatos();
    for (const QString& carpeta : {datos, e.strRutaFicheros, e.strRutaTemp})
        if (!carpeta.isEmpty())
            LimpiarTemporales(carpeta);
    if (!datos.isEmpty())
        LimpiarRestosUsuarios(datos);
    if (!e.strRutaTemp.isEmpty())
        LimpiarCarpetaTemporal(e.strRutaTemp);
}

void Main()
{
    EnlazarVentanas();
    auto& e = estado();
    if (e.strRutaPrograma.isEmpty())
        e.strRutaPrograma = QCoreApplication::applicationDirPath();
    if (e.strRutaDatos.isEmpty())
        e.strRutaDatos = CarpetaDatos::Elegir(e.strRutaPrograma);
    // Read-only files come from the program folder, what the program writes
    // goes to the data folder (the same folder unless the program is installed).
    e.strRutaFicheros = e.strRutaPrograma + QStringLiteral("/ficheros/");
    e.strRutaTemp = e.strRutaDatos + QStringLiteral("/ficheros/temp/");
    // A fresh install lacks the data folders; the listing needs them.
    if (const int error = CarpetaDatos::Preparar(e.strRutaDatos)) {
        MessageBox::show(
            QStringLiteral("No se puede crear la carpeta de datos %1: %2.").arg(e.strRutaDatos, MotivoError(error)), {},
            QMessageBox::Critical);
        return;
    }
    LimpiarRestos();

    frmUsuario::Mostrar();
    if (!e.blnAccesoConcedido)
        return;
    // A new application that a run ended without storing comes before the list.
    if (RecuperacionBorrador::OfrecerNuevas())
        return;

    // Busy only while the program works, never while a window waits for the user.
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const qint16 n = ModCargaFicheros::ContarSolicitudes(e.strDNIActual);
    QApplication::restoreOverrideCursor();
    if (n >= 1) {
        frmSeleccion::Mostrar();
    } else {
        frmProgreso::Mostrar();
        QApplication::setOverrideCursor(Qt::BusyCursor);
        AbrirSolicitud();
        QApplication::restoreOverrideCursor();
    }
}

} // namespace ModGeneral
