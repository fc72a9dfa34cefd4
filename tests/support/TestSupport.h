// Shared test helpers: per-test temporary folders, file read/write, the HITRAN data folder, and one
// relative-tolerance comparison for numerical references.
#pragma once

#include <cmath>
#include <filesystem>
#include <string>

namespace zqtest {

// A fresh, empty folder removed again when the object goes out of scope.
class TempDir {
public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& file, const std::string& bytes);
std::string ReadFile(const std::filesystem::path& file);

// The folder with the real HITRAN line lists; empty when it is absent.
std::filesystem::path HitranDir();

// AER's water-vapour continuum file in the shared data beside the HITRAN folder
// (../shared/data/continuum/absco-ref_wv-mt-ckd.nc); empty when it is absent. Never copied into the
// project: its licence forbids shipping it.
std::filesystem::path ContinuumFile();

// |a - b| <= rel * max(|a|, |b|), or both within abs_floor of zero.
inline bool RelClose(double a, double b, double rel, double abs_floor = 0.0) {
  double scale = std::fmax(std::fabs(a), std::fabs(b));
  return std::fabs(a - b) <= rel * scale || std::fabs(a - b) <= abs_floor;
}

} // namespace zqtest

// Skips the current GoogleTest when the real HITRAN data are missing.
#define ZQ_REQUIRE_HITRAN()                                                                                  \
  do {                                                                                                       \
    if (zqtest::HitranDir().empty())                                                                         \
      GTEST_SKIP() << "HITRAN line lists not found beside the project (../shared/data/hitran)";              \
  } while (0)

// Skips the current GoogleTest when the water-vapour continuum file is missing.
#define ZQ_REQUIRE_CONTINUUM()                                                                               \
  do {                                                                                                       \
    if (zqtest::ContinuumFile().empty())                                                                     \
      GTEST_SKIP() << "Continuum file not found beside the project "                                         \
                      "(../shared/data/continuum/absco-ref_wv-mt-ckd.nc)";                                   \
  } while (0)
