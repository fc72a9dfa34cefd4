// Fuzzes the command-line option grammar: arbitrary argument lists (split at NUL bytes) against a
// table with every kind of option. A parse either refuses with CliError or yields values that keep
// the table's promises (numbers finite and inside their limits, choices spelled as declared).
#include "zqCliOptions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace zqcli;

namespace {

CommandSpec make_spec() {
  CommandSpec spec{"fuzz", "fuzz", {}};
  OptionSpec n;
  n.name = "n";
  n.min = -5;
  n.max = 1e6;
  spec.options.push_back(n);
  OptionSpec r = n;
  r.name = "r";
  r.repeatable = true;
  spec.options.push_back(r);
  OptionSpec c;
  c.name = "c";
  c.kind = OptionSpec::Choice;
  c.choices = {"Spectra", "Optical Depth", "I/Alpha"};
  spec.options.push_back(c);
  OptionSpec t;
  t.name = "ini";
  t.kind = OptionSpec::Text;
  spec.options.push_back(t);
  OptionSpec f;
  f.name = "quiet";
  f.kind = OptionSpec::Flag;
  spec.options.push_back(f);
  return spec;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const CommandSpec spec = make_spec();
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += char(data[i]);
  }
  try {
    const ParsedOptions parsed = ParseOptions(spec, args);
    for (const char* name : {"n", "r"})
      for (double v : parsed.Numbers(name))
        if (!std::isfinite(v) || v < -5 || v > 1e6) std::abort();
    if (parsed.Has("c")) {
      const std::string c = parsed.Text("c", "");
      if (c != "Spectra" && c != "Optical Depth" && c != "I/Alpha") std::abort();
    }
  } catch (const CliError& e) {
    if (e.Code() != 2) std::abort();
  }
  (void)HelpText(spec);
  return 0;
}
