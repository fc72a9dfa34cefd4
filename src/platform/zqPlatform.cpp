// Holds the installed platform implementation.
#include "zqPlatform.h"

#include <stdexcept>

namespace zq {
namespace {
Platform* g_platform = nullptr;
}

Platform& platform() {
  if (!g_platform) throw std::logic_error("no platform installed");
  return *g_platform;
}

Platform* InstallPlatform(Platform* p) {
  Platform* old = g_platform;
  g_platform = p;
  return old;
}

} // namespace zq
