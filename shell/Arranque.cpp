#include "ModGeneral.h"

namespace ModGeneral {
// Placeholder until sign-in lands: the program starts and ends at once.
void Main() {}
}
