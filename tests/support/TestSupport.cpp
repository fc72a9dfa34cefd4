#include "TestSupport.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace zqtest {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    auto candidate =
        base / ("absorbview-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate;
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission on anything a test made read-only, so removal succeeds.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                               ec);
  std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + file.string());
  out << bytes;
}

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::filesystem::path HitranDir() {
  std::filesystem::path dir = ABSORBVIEW_HITRAN_DIR;
  if (std::filesystem::exists(dir / "co2_626_hitran.par") &&
      std::filesystem::exists(dir / "h2o_161_hitran.par"))
    return dir;
  return {};
}

std::filesystem::path ContinuumFile() {
  std::filesystem::path hitran = ABSORBVIEW_HITRAN_DIR;
  if (!hitran.has_filename()) hitran = hitran.parent_path(); // a trailing slash
  const auto file = hitran.parent_path() / "continuum" / "absco-ref_wv-mt-ckd.nc";
  if (std::filesystem::exists(file)) return file;
  return {};
}

} // namespace zqtest
