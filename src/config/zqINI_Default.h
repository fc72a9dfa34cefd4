// The program's default configuration: the bytes of INI_Default.ini, embedded at build time, parsed
// before the INI file so that a missing file is not an error.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The whole text, byte for byte (Windows-1252: the degree sign is the single byte 0xB0).
std::string_view INI_DefaultText();
// The text split into lines, as TzqINI_File::INI_Default takes them.
std::vector<std::string> INI_DefaultLines();
