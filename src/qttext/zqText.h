// Conversions between the program's 8-bit texts (INI values, captions, data-file texts) and what the
// widgets show. INI files come as UTF-8 or as Windows-1252, so bytes are kept until they reach a widget.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string_view>

// Bytes that form valid UTF-8 are decoded as UTF-8; any other bytes are decoded as Windows-1252.
QString zqTextToQString(std::string_view text);

// A whole number written in decimal or, after a leading "$", in hexadecimal (the way colours are written
// in the INI file), with an optional sign and leading blanks. Hexadecimal values up to $FFFFFFFF keep
// their bit pattern, so "$80000005" is negative (a window-system colour). Empty optional when the text
// is not such a number or does not fit 32 bits.
std::optional<int32_t> zqTextToInteger(std::string_view text);
