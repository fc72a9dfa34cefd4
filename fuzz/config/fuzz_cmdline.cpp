// Argument lists of any bytes (tokens separated by NUL): the first token is the list of valid switches,
// the second a CmdLineMap line, the rest the arguments.
#include "zqINI_File.h"
#include "zqPlatform.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {
// Answers every request without showing anything.
class SilentPlatform : public zq::Platform {
public:
  zq::ModalResult MessageBox(const std::string&, const std::string&, unsigned, zq::MsgIcon) override {
    return zq::ModalResult::OK;
  }
  std::optional<std::string> OpenFileDialog(const zq::FileDialogRequest&) override { return {}; }
  std::optional<std::string> SaveFileDialog(const zq::FileDialogRequest&) override { return {}; }
  std::optional<uint32_t> ChooseColor(uint32_t) override { return {}; }
  std::optional<zq::FontChoice> ChooseFont(const zq::FontChoice&) override { return {}; }
  void SetCursor(zq::CursorKind) override {}
  void Beep() override {}
  void Terminate() override {}
  std::string ExecutablePath() override { return "/opt/absorbview/absorbview"; }
  std::vector<std::string> Arguments() override { return {}; }
};
SilentPlatform g_platform;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  zq::InstallPlatform(&g_platform);
  std::vector<std::string> tokens(1);
  for (size_t i = 0; i < size && tokens.size() < 64; ++i) {
    if (data[i] == 0)
      tokens.emplace_back();
    else
      tokens.back() += static_cast<char>(data[i]);
  }
  TzqINI_File ini;
  ini.CmdLineParms = tokens[0];
  if (tokens.size() > 1) ini.CmdLineMap = {tokens[1]};
  // The help text would only repeat itself on standard output.
  ini.OnCmdLnHelp = [](TzqINI_File&, std::string& text) { text.clear(); };
  std::vector<std::string> args(tokens.begin() + std::min<size_t>(2, tokens.size()), tokens.end());
  ini.ParseCommandLineArgs(args);
  for (const auto& token : tokens)
    (void)ini.GetCmdLineValue(token);
  (void)ini.GetCmdLineValue("ini");
  std::vector<std::string> sections;
  ini.GetSectionNames(sections);
  return 0;
}
