// Reading speed of data files: a 40 MB file read line by line through the data-file base (short column
// lines and 160-character line-list records, with LF and with CR endings), the generic column reader
// keeping every line, and a 1 GiB sparse file without line breaks (time and peak memory).
#include "Read_Generic_Datafile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr std::size_t kFileBytes = 40u * 1000u * 1000u;

// A file of about 40 MB in the system's temporary folder, removed at exit.
class TempDataFile {
public:
  explicit TempDataFile(const std::string& name, bool long_lines, bool cr_only = false) {
    path_ = std::filesystem::temp_directory_path() / ("absorbview_bench_" + name + ".txt");
    std::ofstream out(path_, std::ios::binary);
    std::mt19937 rng(42);
    std::uniform_real_distribution<double> v(0, 5000);
    char line[256];
    std::size_t written = 0;
    while (written < kFileBytes) {
      int n;
      if (long_lines) {
        n = std::snprintf(line, sizeof line, " 21%12.6f %9.3E %9.3E%5.4f%5.3f%10.4f%4.2f%8.6f%-92s\r\n",
                          v(rng), v(rng) * 1e-23, v(rng), v(rng) / 1e5, v(rng) / 1e4, v(rng), v(rng) / 1e4,
                          v(rng) / 1e6, "x");
        if (cr_only) --n; // "\r\n" becomes "\r"
      } else {
        n = std::snprintf(line, sizeof line, "%.6f\t%.5e\n", v(rng), v(rng) * 1e-23);
      }
      out.write(line, n);
      written += static_cast<std::size_t>(n);
    }
    bytes_ = written;
  }
  ~TempDataFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  std::string path() const { return path_.string(); }
  std::size_t bytes() const { return bytes_; }

private:
  std::filesystem::path path_;
  std::size_t bytes_ = 0;
};

// Touches every line so the reading cannot be optimised away, and does nothing else.
class LineCounter : public TzqDatafile {
public:
  std::size_t lines = 0, chars = 0;
  void ProcessLine(std::string_view line) override {
    ++lines;
    chars += line.size();
  }
};

void read_lines(benchmark::State& state, bool long_lines, bool cr_only = false) {
  static TempDataFile short_file("short", false);
  static TempDataFile long_file("long", true);
  static TempDataFile cr_file("cr", true, true);
  const TempDataFile& file = cr_only ? cr_file : long_lines ? long_file : short_file;
  for (auto _ : state) {
    LineCounter f;
    f.LoadFromFile(file.path());
    benchmark::DoNotOptimize(f.chars);
    state.counters["lines"] = static_cast<double>(f.lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes()));
}

void BM_ReadLines_ShortColumnLines(benchmark::State& state) {
  read_lines(state, false);
}
void BM_ReadLines_160CharRecords(benchmark::State& state) {
  read_lines(state, true);
}

void BM_ReadLines_160CharRecordsCROnly(benchmark::State& state) {
  read_lines(state, true, true);
}

double peak_rss_mb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A sparse file of 1 GiB of zero bytes: no line break anywhere. Reading must stop early with an error
// instead of taking the whole file into memory. Run it first (or alone) for a meaningful peak.
void BM_FileWithoutLineBreaks(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() / "absorbview_bench_nolf.bin";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || ::ftruncate(fd, int64_t{1} << 30) != 0) {
    state.SkipWithError("cannot create the sparse file");
    return;
  }
  ::close(fd);
  const double before = peak_rss_mb();
  std::string outcome = "read";
  for (auto _ : state) {
    LineCounter f;
    try {
      f.LoadFromFile(path.string());
    } catch (const std::exception&) {
      outcome = "error";
    }
    benchmark::DoNotOptimize(f.chars);
  }
  state.counters["peak_rss_MB"] = peak_rss_mb();
  state.counters["peak_growth_MB"] = peak_rss_mb() - before;
  state.SetLabel(outcome);
  std::filesystem::remove(path);
}

void BM_GenericColumnFile(benchmark::State& state) {
  static TempDataFile file("generic", false);
  for (auto _ : state) {
    TzqGeneric_Datafile f;
    f.NumberOfColumns = 2;
    f.LoadFromFile(file.path());
    benchmark::DoNotOptimize(f.Records.Count());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.bytes()));
}

} // namespace

BENCHMARK(BM_FileWithoutLineBreaks)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_ReadLines_ShortColumnLines)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ReadLines_160CharRecords)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_ReadLines_160CharRecordsCROnly)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(BM_GenericColumnFile)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK_MAIN();
