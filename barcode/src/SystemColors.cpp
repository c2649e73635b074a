#include "SystemColors.h"

namespace stelcode {

namespace {
// System colour indices and the palette roles that play their part.
QPalette::ColorRole roleOf(quint32 index)
{
    switch (index) {
    case 0:
        return QPalette::Button;  // scroll bar
    case 1:
        return QPalette::Window;  // desktop
    case 2:
        return QPalette::Highlight;  // active caption
    case 3:
        return QPalette::Mid;  // inactive caption
    case 4:
        return QPalette::Window;  // menu
    case 5:
        return QPalette::Base;  // window
    case 6:
        return QPalette::Shadow;  // window frame
    case 7:
        return QPalette::WindowText;  // menu text
    case 8:
        return QPalette::Text;  // window text
    case 9:
        return QPalette::HighlightedText;  // caption text
    case 10:
        return QPalette::Mid;  // active border
    case 11:
        return QPalette::Mid;  // inactive border
    case 12:
        return QPalette::Dark;  // application workspace
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15:
        return QPalette::Button;  // button face
    case 16:
        return QPalette::Dark;  // button shadow
    case 17:
        return QPalette::PlaceholderText;  // grey text
    case 18:
        return QPalette::ButtonText;
    case 19:
        return QPalette::PlaceholderText;  // inactive caption text
    case 20:
        return QPalette::Light;  // button highlight
    case 21:
        return QPalette::Shadow;  // 3-D dark shadow
    case 22:
        return QPalette::Midlight;  // 3-D light
    case 23:
        return QPalette::ToolTipText;
    case 24:
        return QPalette::ToolTipBase;
    default:
        return QPalette::WindowText;
    }
}
}  // namespace

QRgb resolveColor(quint32 value, const QPalette& palette)
{
    if (value & 0x80000000u)
        return palette.color(QPalette::Active, roleOf(value & 0xFFFFFFu)).rgb();
    return qRgb(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

}  // namespace stelcode
