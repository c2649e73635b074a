#pragma once
// Colour values in the control's 32-bit form: 0x00BBGGRR, or a system colour
// (high bit set, low byte the system colour index) taken from the palette.
#include <QPalette>
#include <QRgb>

namespace stelcode {

QRgb resolveColor(quint32 value, const QPalette& palette);

}  // namespace stelcode
