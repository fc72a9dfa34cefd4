#include "zqContinuumUse.h"

#include "zqINI_File.h"
#include "zqSession.h"

#include <filesystem>

namespace zqsession {

std::string IniContinuumFile(const TzqINI_File& ini) {
  const T_zq_ini_Record* r = ini.FindRecord(kContinuumSection, kContinuumKey);
  if (!r || r->Value.empty()) return {};
  const std::filesystem::path file(r->Value);
  if (file.is_absolute() || ini.Directory().empty()) return r->Value;
  return (std::filesystem::path(ini.Directory()) / file).string();
}

void WriteContinuumFile(TzqINI_File& ini, const std::string& file) {
  ini.WriteString(kContinuumSection, kContinuumKey, file);
}

std::string StartupContinuumFile(const TzqINI_File& ini, const std::string& waterLineFile) {
  if (std::string named = IniContinuumFile(ini); !named.empty()) return named;
  if (waterLineFile.empty()) return {};
  const std::filesystem::path beside =
      std::filesystem::path(waterLineFile).parent_path() / kContinuumFileName;
  std::error_code ec;
  return std::filesystem::is_regular_file(beside, ec) ? beside.string() : std::string();
}

bool ContinuumUsed(const TControls& c, bool tableLoaded) {
  return c.Physics == TLinePhysics::Hitran && c.Continuum && tableLoaded;
}

bool ContinuumInResults(const TControls& c, bool tableLoaded) {
  return ContinuumUsed(c, tableLoaded) && c.SpectraType != TSpectraType::Doppler &&
         !IsLinePlot(c.Physics, c.PlotType, c.SpectraType);
}

std::string ContinuumInstructions() {
  return std::string(
             "Absorbview can add the water-vapour continuum of AER's MT_CKD model to the water vapour of the "
             "HITRAN line physics (Lorentz and Voigt) and of the Column page.\n\n"
             "AER publishes the coefficient file at github.com/AER-RC/MT_CKD_H2O: the file "
             "data/") +
         kContinuumFileName +
         " of release 4.3.\n\n"
         "Its licence lets everyone use and copy it free for scientific and research purposes, with AER's "
         "copyright notice and an acknowledgment of AER, but forbids building it into software sold "
         "commercially; that is why Absorbview does not ship it.\n\n"
         "Put it under that name beside the line lists (in the water vapour list's folder) and Absorbview "
         "reads it at start-up; or open it from anywhere with File > Open continuum file... and keep it "
         "with File > Save settings ([Continuum] File in the INI file). The command line takes "
         "--continuum FILE.";
}

std::vector<std::string> ContinuumAcknowledgement() {
  return {"Water vapour continuum: the MT_CKD coefficients of Atmospheric and Environmental Research, Inc. "
          "(AER), Copyright (c) AER, used for scientific and research purposes with acknowledgment of AER.",
          "E.J. Mlawer et al., \"Development and recent evaluation of the MT_CKD model of continuum "
          "absorption\", Phil. Trans. R. Soc. A 370, 2520-2556 (2012), doi:10.1098/rsta.2011.0295."};
}

std::string ContinuumCommentLines() {
  std::string text;
  for (const std::string& line : ContinuumAcknowledgement())
    text += "# " + line + "\n";
  return text;
}

} // namespace zqsession
