#include "startup/RecuperacionBorrador.h"

#include "startup/AbrirSolicitud.h"

#include "form/frmSolicitudes.h"
#include "shell/EstadoCompartido.h"
#include "shell/MessageBox.h"

#include <QDir>
#include <QLabel>

#include <algorithm>

namespace RecuperacionBorrador {

namespace {

// Checks the draft of fichero; asks only when offer is what is left to do.
std::optional<Borrador::Datos> Revisar(const QString& fichero)
{
    const auto& e = estado();
    const Borrador::Lectura l = Borrador::Leer(e.strRutaTemp, fichero);
    if (l.estado == Borrador::Lectura::NoHay)
        return std::nullopt;
    if (l.estado == Borrador::Lectura::Danado) {
        QString aparte;
        const ResultadoEscritura r = Borrador::Apartar(e.strRutaTemp, fichero, aparte);
        QString texto
            = QStringLiteral("La copia de recuperación de la solicitud %1 está dañada (%2) y no se puede usar.")
                  .arg(fichero, l.causa);
        texto += r ? QStringLiteral("\nSe ha conservado como %1.").arg(QDir::toNativeSeparators(e.strRutaTemp + aparte))
                   : QStringLiteral("\nNo se ha podido apartar: %1.").arg(r.motivo());
        MessageBox::show(texto, {}, QMessageBox::Warning);
        return std::nullopt;
    }
    if (l.datos.dni != e.strDNIActual) {
        // Not this user's to offer nor to remove: kept where this user's own
        // drafts do not replace it.
        QString aparte;
        Borrador::Apartar(e.strRutaTemp, fichero, aparte);
        return std::nullopt;
    }
    if (!Borrador::MasNuevo(e.strRutaTemp, l.datos)) {
        Borrador::Quitar(e.strRutaTemp, fichero); // stored since, by another running copy
        return std::nullopt;
    }
    return l.datos;
}

bool Preguntar(const Borrador::Datos& datos)
{
    const QString cuando = datos.fecha.toLocalTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    const auto r = MessageBox::show(
        QStringLiteral("Hay cambios de esta solicitud que no se guardaron (%1). ¿Desea recuperarlos?").arg(cuando), {},
        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (r == QMessageBox::Yes)
        return true;
    Borrador::Quitar(estado().strRutaTemp, datos.solicitud);
    return false;
}

} // namespace

std::optional<Borrador::Datos> Consultar(const QString& fichero)
{
    if (fichero.isEmpty())
        return std::nullopt;
    std::optional<Borrador::Datos> datos = Revisar(fichero);
    if (datos && !Preguntar(*datos))
        datos.reset();
    return datos;
}

bool OfrecerNuevas()
{
    auto& e = estado();
    QList<Borrador::Datos> nuevas;
    for (const QString& fichero : Borrador::SinGuardar(e.strRutaTemp, e.strDNIActual))
        if (std::optional<Borrador::Datos> d = Revisar(fichero))
            nuevas.append(*d);
    std::sort(nuevas.begin(), nuevas.end(), [](const auto& a, const auto& b) { return a.fecha > b.fecha; });
    for (const Borrador::Datos& d : nuevas) {
        if (!Preguntar(d))
            continue;
        // Work the user already began: straight back to it, without the information window.
        e.strFicheroSeleccionado.clear();
        ModGeneral::AbrirSolicitud();
        frmSolicitudes* f = e.frmSolicitudActual;
        if (!f)
            return false;
        f->lblFichero->setText(d.solicitud);
        f->RecuperarBorrador(d.campos);
        return true;
    }
    return false;
}

} // namespace RecuperacionBorrador
