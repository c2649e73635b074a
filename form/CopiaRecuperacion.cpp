#include "form/CopiaRecuperacion.h"

#include "documents/CamposDocumento.h"
#include "shell/EstadoCompartido.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>

CopiaRecuperacion::CopiaRecuperacion(QList<QWidget*> controles, std::function<QString()> nombre)
    : controles_(std::move(controles)), nombre_(std::move(nombre))
{
    pausa_.setSingleShot(true);
    maximo_.setSingleShot(true);
    FijarPausas(2000, 30000);
    connect(&pausa_, &QTimer::timeout, this, &CopiaRecuperacion::Actualizar);
    connect(&maximo_, &QTimer::timeout, this, &CopiaRecuperacion::Actualizar);
}

CopiaRecuperacion::~CopiaRecuperacion() { Terminar(); }

Borrador::Campos CopiaRecuperacion::Leer(const QList<QWidget*>& controles)
{
    Borrador::Campos campos;
    for (QWidget* w : controles) {
        const QString tag = Tag(w);
        if (tag.isEmpty())
            continue;
        if (auto* caja = qobject_cast<QLineEdit*>(w))
            campos.insert(tag, caja->text());
        else if (auto* boton = qobject_cast<QAbstractButton*>(w))
            campos.insert(tag, boton->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return campos;
}

void CopiaRecuperacion::Poner(const QList<QWidget*>& controles, const Borrador::Campos& campos)
{
    // In the form's order: "Otros" is checked before its description is put back.
    for (QWidget* w : controles) {
        const auto it = campos.constFind(Tag(w));
        if (it == campos.cend() || !w->isEnabled())
            continue;
        if (auto* caja = qobject_cast<QLineEdit*>(w))
            caja->setText(*it);
        else if (auto* boton = qobject_cast<QAbstractButton*>(w);
                 boton && (*it == QLatin1String("1") || !boton->autoExclusive()))
            boton->setChecked(*it == QLatin1String("1"));
    }
}

void CopiaRecuperacion::FijarPausas(int pausaMs, int maximoMs)
{
    pausa_.setInterval(pausaMs);
    maximo_.setInterval(maximoMs);
}

void CopiaRecuperacion::Vigilar()
{
    if (vigilando_ || terminada_)
        return;
    vigilando_ = true;
    carpeta_ = estado().strRutaTemp;
    if (!base_)
        base_ = Leer(controles_);
    for (QWidget* w : controles_) {
        if (auto* caja = qobject_cast<QLineEdit*>(w))
            connect(caja, &QLineEdit::textChanged, this, &CopiaRecuperacion::Cambio);
        else if (auto* boton = qobject_cast<QAbstractButton*>(w))
            connect(boton, &QAbstractButton::toggled, this, &CopiaRecuperacion::Cambio);
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* antes, QWidget*) {
        if (antes && controles_.contains(antes))
            Actualizar();
    });
}

void CopiaRecuperacion::FijarBase() { base_ = Leer(controles_); }

void CopiaRecuperacion::FijarEscrito()
{
    escrito_ = Leer(controles_);
    nombreEscrito_ = nombre_();
}

void CopiaRecuperacion::Cambio()
{
    if (terminada_)
        return;
    pausa_.start();
    if (!maximo_.isActive())
        maximo_.start();
}

void CopiaRecuperacion::Actualizar()
{
    if (!vigilando_ || terminada_)
        return;
    pausa_.stop();
    maximo_.stop();
    Borrador::Campos campos = Leer(controles_);
    const QString nombre = nombre_();
    if (escrito_ && nombre != nombreEscrito_) { // the application took another name
        QuitarBorrador(nombreEscrito_);
        escrito_.reset();
    }
    if (campos == base_) { // back to what is stored: nothing to recover
        if (escrito_)
            QuitarBorrador(nombre);
        escrito_.reset();
        return;
    }
    if (campos == escrito_)
        return;
    emit Entregando(campos);
    Borrador::Datos datos{nombre, estado().strDNIActual, QDateTime::currentDateTimeUtc(), campos};
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        pendiente_ = std::move(datos);
        if (!hilo_.joinable())
            hilo_ = std::thread(&CopiaRecuperacion::Hilo, this);
    }
    cv_.notify_all();
    escrito_ = std::move(campos);
    nombreEscrito_ = nombre;
}

void CopiaRecuperacion::Hilo()
{
    std::unique_lock<std::mutex> cerrojo(mutex_);
    for (;;) {
        cv_.wait(cerrojo, [this] { return pendiente_ || parar_; });
        if (!pendiente_)
            return;
        const Borrador::Datos datos = std::move(*pendiente_);
        pendiente_.reset();
        ocupado_ = true;
        cerrojo.unlock();
        const ResultadoEscritura r = Borrador::Escribir(carpeta_, datos);
        cerrojo.lock();
        ocupado_ = false;
        cv_.notify_all();
        QMetaObject::invokeMethod(
            this,
            [this, r, campos = datos.campos] {
                if (r) {
                    avisado_ = false;
                    emit Escrita(campos);
                } else {
                    if (escrito_ == campos)
                        escrito_.reset(); // tried again on the next change or focus move
                    if (!avisado_) {
                        avisado_ = true;
                        emit Fallo(r.motivo());
                    }
                }
            },
            Qt::QueuedConnection);
    }
}

void CopiaRecuperacion::Esperar()
{
    std::unique_lock<std::mutex> cerrojo(mutex_);
    cv_.wait(cerrojo, [this] { return !pendiente_ && !ocupado_; });
}

void CopiaRecuperacion::QuitarBorrador(const QString& nombre)
{
    const QString carpeta = carpeta_.isEmpty() ? estado().strRutaTemp : carpeta_;
    std::unique_lock<std::mutex> cerrojo(mutex_);
    pendiente_.reset();
    cv_.wait(cerrojo, [this] { return !ocupado_; });
    if (!carpeta.isEmpty() && !nombre.isEmpty())
        Borrador::Quitar(carpeta, nombre);
}

void CopiaRecuperacion::Guardada()
{
    pausa_.stop();
    maximo_.stop();
    const QString nombre = nombre_();
    QuitarBorrador(nombre);
    if (escrito_ && nombreEscrito_ != nombre)
        QuitarBorrador(nombreEscrito_);
    escrito_.reset();
    base_ = Leer(controles_);
}

void CopiaRecuperacion::Descartar()
{
    Guardada();
    terminada_ = true;
    Terminar();
}

void CopiaRecuperacion::Terminar()
{
    if (!terminada_)
        Actualizar(); // what changed since the last draft is not lost
    terminada_ = true;
    pausa_.stop();
    maximo_.stop();
    {
        const std::lock_guard<std::mutex> cerrojo(mutex_);
        parar_ = true;
    }
    cv_.notify_all();
    if (hilo_.joinable())
        hilo_.join();
}
