#pragma once
// Offering the recovery copy that a run ended without saving left behind
// (applications/Borrador.h), before the form of its application shows.
#include "applications/Borrador.h"

#include <optional>

namespace RecuperacionBorrador {

// For the stored application fichero, about to be opened: a draft of the
// signed-in DNI made after the file was stored is offered; "Sí" gives its
// values, "No" removes it. An older draft is removed without asking; a damaged
// one is set aside with a message; another DNI's is set aside without one (it
// is kept, and this user's drafts never replace it). Nothing when there is
// nothing to recover.
std::optional<Borrador::Datos> Consultar(const QString& fichero);

// Right after sign-in: the drafts of the DNI's new applications that were
// never stored, newest first, each offered as above. "Sí" opens a form with it
// (true); the program then goes on from that form.
bool OfrecerNuevas();

} // namespace RecuperacionBorrador
