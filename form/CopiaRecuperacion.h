#pragma once
// Keeps the recovery copy (applications/Borrador.h) of an open form while its
// content differs from what was last stored: two seconds after the last change,
// at least every 30 seconds while changes go on, and when the focus leaves one
// of its controls. The user-interface thread only takes the values and hands
// them over; a thread of its own writes them, the newest values replacing any
// still waiting. A failed write is reported once (Fallo) until one succeeds.
#include "applications/Borrador.h"

#include <QObject>
#include <QTimer>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class QWidget;

class CopiaRecuperacion : public QObject {
    Q_OBJECT
public:
    // controles: the form's data controls, each carrying its tag; nombre: the
    // stored application's name as it stands.
    CopiaRecuperacion(QList<QWidget*> controles, std::function<QString()> nombre);
    ~CopiaRecuperacion() override;

    // The values of the controls by tag, and putting values back into them
    // (in the controls' order; the DNI's disabled box is left as it is).
    static Borrador::Campos Leer(const QList<QWidget*>& controles);
    static void Poner(const QList<QWidget*>& controles, const Borrador::Campos& campos);

    // From now on changes are watched; what the controls hold now is what is
    // stored, unless FijarBase came first.
    void Vigilar();
    // What the controls hold now is the stored application.
    void FijarBase();
    // What the controls hold now is already in the draft on disk.
    void FijarEscrito();
    // The application was stored: its draft goes, and the stored state is now.
    void Guardada();
    // The user threw the changes away: the draft goes and no other is kept.
    void Descartar();
    // Writes what is pending and waits for the writer; nothing is kept after.
    void Terminar();

    // Hands the current values to the writer when they differ from what is
    // stored and from the last draft (what the timers and the focus do).
    void Actualizar();
    // Waits until the writer has nothing left to write.
    void Esperar();
    void FijarPausas(int pausaMs, int maximoMs);

signals:
    // These values are about to be handed to the writer.
    void Entregando(const Borrador::Campos& campos);
    // A draft was written (for whoever wants to know what is on disk).
    void Escrita(const Borrador::Campos& campos);
    // The first failed write after a good one; motivo in Spanish.
    void Fallo(const QString& motivo);

private:
    void Cambio();
    void Hilo();
    // Waits for the writer, then removes the draft of nombre.
    void QuitarBorrador(const QString& nombre);

    QList<QWidget*> controles_;
    std::function<QString()> nombre_;
    QString carpeta_;
    QTimer pausa_, maximo_;
    bool vigilando_ = false, terminada_ = false, avisado_ = false;
    std::optional<Borrador::Campos> base_;    // the stored state
    std::optional<Borrador::Campos> escrito_; // the draft handed to the writer last
    QString nombreEscrito_;                   // the name it was written under

    std::mutex mutex_;
    std::condition_variable cv_;
    std::optional<Borrador::Datos> pendiente_;
    bool ocupado_ = false, parar_ = false;
    std::thread hilo_;
};
