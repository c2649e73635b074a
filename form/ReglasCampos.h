#pragma once
// Window-free rules of the application form's fields: Spanish numbers, the
// health-area preference check, and recognising the key stroke that types "|".
#include <QString>
#include <array>
#include <optional>

class QKeyEvent;

namespace ReglasCampos {

// A number written the Spanish way: a sign before or after it, digits and a
// decimal comma ("2,5", "-3", ",5", "1-" is -1), blanks around it ignored. No
// value for anything else, including an empty text, a lone "-" or ",".
std::optional<double> LeerNumero(const QString& texto);

// Whole value of a number, halves rounded to the even neighbour (2,5 -> 2).
int RedondearPar(double valor);

enum class Preferencia {
    SinComprobar, // empty (or blank) box, or a lone hyphen: nothing to check
    FueraDeRango, // below 1 or above 11, or not a number at all ("--", ",")
    Valida,       // in range; see repeticiones
};

struct ResultadoPreferencia {
    Preferencia estado = Preferencia::SinComprobar;
    int repeticiones = 0; // other boxes already holding the same number
};

// Checks the preference number of area i against the other areas' texts.
ResultadoPreferencia ComprobarPreferencia(int i, const std::array<QString, 11>& textos);

// Removes every "|" from texto; cursor (a position in texto) follows the
// characters it stood between. Returns how many were removed.
int QuitarBarras(QString& texto, int& cursor);

// True for the key stroke that types the vertical bar: AltGr (reported as
// group switch or as Control plus Alt) with the "1" key, or the bar key itself,
// whatever modifiers came with it.
bool EsTeclaBarra(const QKeyEvent* evento);

// Modifier state in the classic form: Shift 1, Control 2, Alt 4 (AltGr is 6).
qint16 EstadoModificadores(const QKeyEvent* evento);

} // namespace ReglasCampos
