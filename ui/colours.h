// The window's colours as 0x00BBGGRR values, and the two system colours the
// faces use, resolved from the application's palette when painted.
#pragma once

#include "platform/platform.h"

#include <QColor>
#include <QPalette>

namespace ptu {

constexpr Colour clBlack = 0x000000;
constexpr Colour clRed = 0x0000FF;
constexpr Colour clYellow = 0x00FFFF;
constexpr Colour clAqua = 0xFFFF00;
constexpr Colour clFuchsia = 0xFF00FF;
constexpr Colour clTeal = 0x808000;
// System colours: the face of buttons and panels, and the background of edit boxes.
constexpr Colour clBtnFace = 0xFF00000F;
constexpr Colour clWindow = 0xFF000005;

inline QColor toQColor(Colour c, const QPalette& palette = {})
{
    if (c == clBtnFace) return palette.color(QPalette::Button);
    if (c == clWindow) return palette.color(QPalette::Base);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

}  // namespace ptu
