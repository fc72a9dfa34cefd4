// Any bytes as HITRAN line records: reading must keep or refuse each line cleanly, and a spectrum
// computed from whatever was kept, classic or HITRAN line physics, must stay finite (no NaN, no
// infinity, no out-of-range write).
#include "zqCrossSection.h"
#include "zqHITRAN.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  auto list = std::make_unique<T_zq_HITRAN>();
  list->MoleculeType = data[0] & 1 ? " 1" : " 2";
  const double limit = data[1] % 4 == 0 ? 800 : data[1] % 4 == 1 ? 40 : data[1] % 4 == 2 ? 1e300 : -1;
  std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
  while (!text.empty() && list->Records.size() < 32) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    try {
      list->ProcessLine(line);
    } catch (const std::exception&) {
      break; // reading ends at the first refused line (a bad field, or records run together)
    }
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  if (list->Records.empty()) return 0;
  list->SetWavenumberMin(data[1] & 0x10 ? 400 : 0);
  list->SetWavenumberMax(data[1] & 0x20 ? 800 : 5000);
  list->SetTemperature(data[1] & 0x40 ? 288 : 1e-3);
  list->SetPressure(1013);
  list->SetLineWidthLimit(limit);
  list->SetDopplerBroadening(data[1] & 0x80);
  list->UpdateSpectrum();
  for (long k = 1; k <= T_zq_HITRAN::kGridPoints; ++k)
    if (!std::isfinite(list->Spectrum[k])) std::abort();

  THitranConditions c;
  c.Profile = data[1] % 3 == 0   ? THitranProfile::Lorentz
              : data[1] % 3 == 1 ? THitranProfile::Doppler
                                 : THitranProfile::Voigt;
  c.Temperature = data[1] & 0x40 ? 220 : 4999.5;
  c.Pressure = data[1] & 0x08 ? 1013.25 : 0.01;
  c.MixingRatio = data[0] & 2 ? 1e6 : 400;
  c.WavenumberMin = list->WavenumberMin;
  c.WavenumberMax = list->WavenumberMax;
  c.LineWidthLimit = limit > 0 ? limit : 200;
  const THitranCrossSection hitran = ComputeHitranCrossSection(HitranLineSet(*list), c);
  if (hitran.Valid() && hitran.Sigma.size() != static_cast<std::size_t>(T_zq_HITRAN::kGridPoints))
    std::abort();
  for (double v : hitran.Sigma)
    if (!std::isfinite(v)) std::abort();
  return 0;
}
