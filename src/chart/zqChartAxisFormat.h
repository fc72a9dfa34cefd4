// Tick-label text of the chart axes from a format pattern in the "#,##0.###" style that the axis
// properties offer ("###0", "###0.00", "#,##0.###" or empty).
#pragma once

#include <QChar>
#include <QString>

// The pattern's digits: "0" a digit always written, "#" a digit written only when significant, "," anywhere
// before the decimal point groups thousands, "." the decimal point, "E+0"/"E-0" (or "e") exponent
// notation with at least as many exponent digits as zeros ("+" always writes the exponent's sign), text
// in single or double quotes and other characters before or after the digits are written as they stand,
// ";" separates the sections for positive;negative;zero values (a negative value written with the first
// section gets a leading "-"; a value that rounds to zero gets no sign).
// An empty pattern means "#,##0.###" with as many further decimals as step needs (step = distance between
// neighbouring ticks; 0 when unknown, then the value itself decides), and exponent notation for values
// of 1E15 and more or with more than 15 decimals.
QString zqFormatAxisValue(double value, const QString& format, double step = 0, QChar decimalPoint = u'.',
                          QChar groupSeparator = u',');
