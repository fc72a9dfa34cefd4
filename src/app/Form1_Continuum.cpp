// The water-vapour continuum in the window: the "Continuum" check box beside the line physics, File >
// Open continuum file..., Help > How to get the continuum, and the file start-up reads. The session
// holds the table and decides where it is added (zqContinuumUse.h); the window only moves the choice.
#include "Form1.h"

#include "Form1_Column.h"
#include "zqContinuumUse.h"
#include "zqHITRAN.h"
#include "zqPlatform.h"

#include <QCheckBox>

#include <filesystem>

void TForm1::OpenContinuum_UIActionClick(QObject* /*Sender*/) {
  zq::FileDialogRequest request;
  request.title = "Open continuum file";
  request.filter = "MT_CKD continuum files (*.nc)|*.nc|All Files (*.*)|*.*";
  if (!ContinuumFile.empty())
    request.initialDir = std::filesystem::path(ContinuumFile).parent_path().string();
  else if (WaterLines && !WaterLines->Filename.empty())
    request.initialDir = std::filesystem::path(WaterLines->Filename).parent_path().string();
  request.fileName = zqsession::kContinuumFileName;
  if (const auto file = zq::platform().OpenFileDialog(request)) OpenContinuumFile(*file);
}

bool TForm1::OpenContinuumFile(const std::string& file) {
  const zqsession::TzqStatus status = Session.LoadContinuum(file);
  if (status.Refused()) {
    zq::platform().MessageBox("Open continuum file",
                              status.Headline() + "\n\nThe continuum shown before is kept.", zq::mbOK,
                              zq::MsgIcon::Error);
    return false;
  }
  ContinuumFile = file;
  Continuum_UICheckBox->setChecked(true);
  ShowContinuumState();
  Select_Plot(nullptr);
  return true;
}

void TForm1::LoadStartupContinuum() {
  const std::string file =
      zqsession::StartupContinuumFile(*zqINI_File1, WaterLines ? WaterLines->Filename : std::string());
  if (!file.empty()) {
    const zqsession::TzqStatus status = Session.LoadContinuum(file);
    if (status.Refused())
      zq::platform().MessageBox("Configuration", status.Headline() + "; the continuum is not used", zq::mbOK,
                                zq::MsgIcon::Warning);
    else
      ContinuumFile = file;
  }
  // On when a file is known.
  Continuum_UICheckBox->setChecked(!ContinuumFile.empty());
  ShowContinuumState();
}

void TForm1::Continuum_UICheckBoxClick(QObject* /*Sender*/) {
  ShowContinuumState();
  Select_Plot(nullptr);
}

void TForm1::ShowContinuumState() {
  const bool loaded = Session.ContinuumTable() != nullptr;
  Continuum_UICheckBox->setEnabled(loaded);
  Continuum_UICheckBox->setToolTip(QString::fromStdString(
      loaded ? "AER's MT_CKD water-vapour continuum, added to the HITRAN physics' water "
               "vapour and the Column page:\n" +
                   ContinuumFile
             : "AER's MT_CKD water-vapour continuum: none loaded (File > Open continuum "
               "file..., Help > How to get the continuum)"));
  Session.Controls.Continuum = loaded && Continuum_UICheckBox->isChecked();
  if (ColumnPage) ColumnPage->UseContinuumOf(Session);
}

bool TForm1::ContinuumUsedByControls() const {
  zqsession::TControls c;
  c.Physics = LinePhysicsOfControls();
  c.Continuum = Continuum_UICheckBox->isEnabled() && Continuum_UICheckBox->isChecked();
  return zqsession::ContinuumUsed(c, Session.ContinuumTable() != nullptr);
}

void TForm1::ContinuumHelp_UIActionClick(QObject* /*Sender*/) {
  zq::platform().MessageBox("How to get the continuum", zqsession::ContinuumInstructions(), zq::mbOK,
                            zq::MsgIcon::Information);
}
