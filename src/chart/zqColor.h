// The program's 32-bit colour values and Qt colours. A plain colour is $00BBGGRR (red in the low byte);
// a value with the top bit set (negative as a signed number) names a window-system colour by the index
// in its low byte, which is mapped to the matching colour of the application palette.
#pragma once

#include <QColor>

#include <cstdint>

// Window-system colours as stored (index 15 is the face of a button, 5 the background of a window).
constexpr uint32_t zqSystemColorFlag = 0x80000000u;
constexpr uint32_t clBtnFace = zqSystemColorFlag | 15u;
constexpr uint32_t clWindow = zqSystemColorFlag | 5u;
constexpr uint32_t clWindowText = zqSystemColorFlag | 8u;

QColor zqColorToQColor(uint32_t color);
// Red in the low byte; alpha is dropped.
uint32_t zqQColorToColor(const QColor& color);
// The plain $00BBGGRR value that a colour is shown with (a window-system colour becomes its palette RGB).
inline uint32_t zqResolveColor(uint32_t color) {
  return zqQColorToColor(zqColorToQColor(color));
}
