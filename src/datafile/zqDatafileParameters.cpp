// Reading a data file's declared parameters from its INI section.
#include "zqDatafile.h"
#include "zqINI_File.h"
#include "zqTextCompare.h"

#include <cmath>
#include <limits>

namespace {

// The default of an "Integer" parameter, truncated towards zero and held inside the 32-bit range.
int32_t truncated_default(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(std::numeric_limits<int32_t>::max()))
    return std::numeric_limits<int32_t>::max();
  if (v <= static_cast<double>(std::numeric_limits<int32_t>::min()))
    return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::string_view trim_blanks(std::string_view t) {
  while (!t.empty() && t.front() == ' ')
    t.remove_prefix(1);
  while (!t.empty() && t.back() == ' ')
    t.remove_suffix(1);
  return t;
}

} // namespace

void TzqDatafile::ReadParameters(TzqINI_File& ini, const std::string& section) {
  for (int32_t i = 0; const TzqDatafileParameter* p = ParameterAt(i); ++i) {
    if (zqSameText(p->Kind, "string")) {
      std::string text = ini.ReadString(section, p->Key, p->DefaultText);
      if (p->Options == "notrim")
        text = UnquoteParameterText(text);
      else if (p->Options == "trim")
        text = std::string(trim_blanks(UnquoteParameterText(text)));
      *std::get<std::string*>(p->Target) = std::move(text);
    } else if (zqSameText(p->Kind, "Integer")) {
      *std::get<int32_t*>(p->Target) = ini.ReadInteger(section, p->Key, truncated_default(p->DefaultNumber));
    } else if (zqSameText(p->Kind, "real")) {
      *std::get<double*>(p->Target) = static_cast<double>(ini.ReadReal(section, p->Key, p->DefaultNumber));
    }
  }
}
