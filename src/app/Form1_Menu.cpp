// The menu bar's handlers (open another INI file, save the chart image, exit, about, how to get HITRAN
// data) and the first run: demonstration line lists written before loading when the default lists are
// missing, and the title and status bar that say so whenever such lists are shown.
#include "Form1.h"

#include "zqChartProperties_Form.h"
#include "zqChart_Tools.h"
#include "zqContinuumUse.h"
#include "zqFirstRun.h"
#include "zqINI_File.h"
#include "zqPlatform.h"

#include <QCheckBox>
#include <QLabel>

#include <filesystem>
#include <iostream>
#include <system_error>

void TForm1::OpenINI_UIActionClick(QObject* /*Sender*/) {
  zq::FileDialogRequest request;
  request.title = "Open INI File";
  request.filter = "INI files (*.ini)|*.ini|All Files (*.*)|*.*";
  request.initialDir = zqINI_File1->Directory();
  request.defaultExt = "ini";
  const auto file = zq::platform().OpenFileDialog(request);
  if (!file) return;
  const std::string program = zq::platform().ExecutablePath();
  if (!OnStartProgram || !OnStartProgram(program, {"/ini", *file})) {
    zq::platform().MessageBox("Open INI File",
                              "Absorbview could not be started again with the INI file\n" + *file +
                                  "\n\nThis window stays open with the configuration it has.",
                              zq::mbOK, zq::MsgIcon::Error);
    return;
  }
  close();
}

void TForm1::SaveChartImage_UIActionClick(QObject* /*Sender*/) {
  zqChart_Tools1->PreparePropertiesDialog();
  if (auto* dialog = TzqChartProperties_Form::Instance()) dialog->GeneralSave_UIButtonClick();
}

void TForm1::Exit_UIActionClick(QObject* /*Sender*/) {
  close();
}

void TForm1::About_UIActionClick(QObject* /*Sender*/) {
  std::string text = "Absorbview " ABSORBVIEW_VERSION "\n\n"
                     "How water vapour and carbon dioxide absorb infrared radiation: HITRAN line lists "
                     "broadened for temperature and pressure, optical depth, mean paths, Planck curves "
                     "and absorbed blackbody power.\n\nConfiguration: " +
                     zqINI_File1->FullFilename();
  if (!DemoLineListSections.empty())
    text +=
        "\n\nThe line lists shown are demonstration lists, not HITRAN data (Help > How to get HITRAN data).";
  if (Session.ContinuumTable() && Continuum_UICheckBox->isChecked()) {
    text += "\n";
    for (const std::string& line : zqsession::ContinuumAcknowledgement())
      text += "\n" + line;
    text += "\nContinuum file: " + ContinuumFile;
  }
  zq::platform().MessageBox("About Absorbview", text, zq::mbOK, zq::MsgIcon::Information);
}

void TForm1::HitranHelp_UIActionClick(QObject* /*Sender*/) {
  zq::platform().MessageBox("How to get HITRAN data", HitranInstructions(), zq::mbOK,
                            zq::MsgIcon::Information);
}

void TForm1::ProvideDemoLineLists() {
  std::error_code ec;
  std::filesystem::path current = std::filesystem::current_path(ec);
  if (ec) current = ".";
  const TFirstRunResult result =
      ::ProvideDemoLineLists(ConfiguredLineListFiles(*zqINI_File1), zqINI_File1->Directory(), current);
  // On failure the loader's "File not found" messages follow, as without this step.
  if (!result.message.empty()) std::cerr << result.message << std::endl;
}

void TForm1::ShowDemoNotice() {
  DemoLineListSections = DemoListSections(LoadedDatafiles);
  const TDemoNotice notice = DemoNotice(DemoLineListSections);
  setWindowTitle(QString::fromStdString(notice.title));
  DemoLists_UILabel->setText(QString::fromStdString(notice.status));
  DemoLists_UILabel->setVisible(!notice.status.empty());
}
