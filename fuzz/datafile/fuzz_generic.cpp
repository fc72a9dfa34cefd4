// Any bytes through the generic column reader: the first bytes choose its settings (header, first line,
// column count, missing markers, derivative, offsets, columns), the rest is the file, read from disk and
// plotted. Nothing may crash, leak or hang.
#include "Read_Generic_Datafile.h"
#include "zqLineSeries.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

class Input {
public:
  Input(const uint8_t* data, std::size_t size) : p_(reinterpret_cast<const char*>(data)), n_(size) {}
  uint8_t byte() {
    if (n_ == 0) return 0;
    --n_;
    return static_cast<uint8_t>(*p_++);
  }
  // A short text up to the next line feed (at most 16 bytes).
  std::string text() {
    std::string s;
    while (n_ > 0 && s.size() < 16) {
      char c = static_cast<char>(byte());
      if (c == '\n') break;
      s += c;
    }
    return s;
  }
  std::string_view rest() const { return {p_, n_}; }

private:
  const char* p_;
  std::size_t n_;
};

// The file each input is written to; removed when the fuzzer exits.
struct ScratchFile {
  std::string path =
      (std::filesystem::temp_directory_path() / ("fuzz_generic_" + std::to_string(::getpid()) + ".txt"))
          .string();
  ~ScratchFile() { std::remove(path.c_str()); }
};

const std::string& scratch_file() {
  static const ScratchFile file;
  return file.path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  Input in(data, size);
  const uint8_t flags = in.byte();
  TzqGeneric_Datafile f;
  f.NumberOfColumns = static_cast<int8_t>(in.byte()) % 8;
  f.FirstLine = static_cast<int8_t>(in.byte()) % 8;
  f.PlotDerivative = flags & 1;
  f.DerivativeAtSample = flags & 2;
  if (flags & 4) f.XOffset = static_cast<int8_t>(in.byte()) * 1e300;
  if (flags & 8) f.YScale = static_cast<int8_t>(in.byte()) * 1e-300;
  if (flags & 16) f.SetXUnits(""), f.XSourceUnits = "km", f.SetXUnits("ft");
  if (flags & 32) f.XConversion = in.byte(); // also codes outside every table
  f.Header = in.text();
  f.Missing = in.text();
  const std::string y_column = in.text();
  const std::string x_column = in.text();

  const std::string_view content = in.rest();
  if (std::FILE* out = std::fopen(scratch_file().c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
  }
  f.LoadFromFile(scratch_file());

  TLineSeries series;
  f.PlotSeries(series, y_column, x_column);
  if (series.XValues().size() > f.Records.Count()) __builtin_trap();
  return 0;
}
