// INI text of any bytes: parse it, read every key in every typed way, walk the index, run the three
// writers, and check that generated text reads back to the same values.
#include "zqCustomFile_IO.h"
#include "zqINI_File.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {
// Gives the writers the parsed text as the file's original lines.
struct Store : TzqINI_File {
  void SetOriginal(std::vector<std::string> lines) { originalLines_ = std::move(lines); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto lines = zqSplitLines(text);
  Store ini;
  ini.LoadFromLines(lines);

  std::vector<std::string> sections, keys;
  ini.GetSectionNames(sections);
  int s = 0;
  for (const auto& section : sections) {
    ini.GetKeyNames(section, keys);
    int k = 0;
    for (const auto& key : keys) {
      (void)ini.ReadInteger(section, key);
      (void)ini.ReadReal(section, key);
      (void)ini.ReadByIndex(s, k++);
      (void)SplitByChars(ini.ReadString(section, key, "d"), " \xB0");
      (void)Unquote(ini.ReadString(section, key));
    }
    ++s;
  }
  (void)ini.ReadInteger("missing", "key", -7);
  (void)ini.ReadReal("missing", "real", 1.5L);

  ini.SetOriginal(lines);
  std::vector<std::string> out;
  // A key or section name that reading would not give back is refused before anything is written:
  // a legal outcome, after which there is no text to read back.
  try {
    ini.WriteUpdate(out);
    out.clear();
    ini.WriteAddSection(ini.CurrentSection(), out);
    out.clear();
    ini.WindowsCompatible = size % 2 == 0;
    ini.WriteGenerate(out);
  } catch (const EzqFileError&) {
    return 0;
  }

  // Generated text must read back to the very same values.
  TzqINI_File again;
  again.LoadFromLines(out);
  ini.GetSectionNames(sections);
  for (const auto& section : sections) {
    ini.GetKeyNames(section, keys);
    for (const auto& key : keys) {
      const T_zq_ini_Record* a = ini.FindRecord(section, key);
      const T_zq_ini_Record* b = again.FindRecord(section, key);
      if (!a || !b || a->Value != b->Value) std::abort();
    }
  }
  return 0;
}
