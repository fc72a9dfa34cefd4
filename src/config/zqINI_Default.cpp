// Access to the default configuration, whose bytes the build embeds from INI_Default.ini.
#include "zqINI_Default.h"

#include "zqINI_File.h"

#include <cstddef>

extern const unsigned char zqINI_DefaultBytes[];
extern const std::size_t zqINI_DefaultSize;

std::string_view INI_DefaultText() {
  return {reinterpret_cast<const char*>(zqINI_DefaultBytes), zqINI_DefaultSize};
}

std::vector<std::string> INI_DefaultLines() {
  return zqSplitLines(INI_DefaultText());
}
