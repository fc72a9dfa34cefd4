// The command line: switch tokens and their values, the ini switch, help and termination, and the map
// that forces INI keys.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqINI_File.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

// Start-up of a store with the given arguments and a one-key default text; no INI file by default.
struct Startup {
  zq::FakePlatform platform;
  TzqINI_File ini;
  int readComplete = 0;
  explicit Startup(Args args) {
    platform.executablePath = "/opt/absorbview/absorbview";
    platform.arguments = std::move(args);
    ini.INI_Default = {"[Files]", "LogFile = default.txt"};
    ini.OnReadComplete = [this](TzqINI_File&) { ++readComplete; };
  }
  std::string stdoutOfLoad() {
    testing::internal::CaptureStdout();
    ini.Loaded();
    return testing::internal::GetCapturedStdout();
  }
};

TEST(CommandLine, IniSwitchWithBareNameKeepsTheExecutablesFolder) {
  for (const Args& args : {Args{"/ini", "my.ini"}, Args{"-ini", "my.ini"}, Args{"--ini=my.ini"}}) {
    Startup s(args);
    s.ini.Loaded();
    EXPECT_EQ(s.ini.Filename(), "my.ini");
    EXPECT_EQ(s.ini.FullFilename(), "/opt/absorbview/my.ini");
    EXPECT_EQ(s.platform.terminateRequests, 0);
    EXPECT_EQ(s.readComplete, 1);
  }
}

TEST(CommandLine, IniSwitchWithPathSetsTheFolderAndKeepsSlashes) {
  Startup a({"/INI=/home/user/conf dir/run.ini"});
  a.ini.Loaded();
  EXPECT_EQ(a.ini.Directory(), "/home/user/conf dir/");
  EXPECT_EQ(a.ini.Filename(), "run.ini");
  Startup b({"--ini", "/etc/absorbview.ini"});
  b.ini.Loaded();
  EXPECT_EQ(b.ini.FullFilename(), "/etc/absorbview.ini");
  EXPECT_EQ(b.ini.CmdLineValues(), Args{"INI=/etc/absorbview.ini"});
  EXPECT_EQ(b.platform.terminateRequests, 0);
}

TEST(CommandLine, ValueAfterSpacedEqualsSignAndQuotedValues) {
  for (const Args& args : {Args{"/ini", "=", "my.ini"}, Args{"/ini", "=my.ini"}, Args{"/ini", "= my.ini"},
                           Args{"--ini", "\"my.ini\""}, Args{"-ini= \" my.ini \" "}}) {
    Startup s(args);
    s.ini.Loaded();
    EXPECT_EQ(s.ini.FullFilename(), "/opt/absorbview/my.ini") << args.size();
    EXPECT_EQ(s.ini.CmdLineValues(), Args{"INI=my.ini"});
    EXPECT_EQ(s.platform.terminateRequests, 0);
  }
  Startup quoted({"/ini=\"my \"\"best\"\" run.ini\""});
  quoted.ini.Loaded();
  EXPECT_EQ(quoted.ini.Filename(), "my \"best\" run.ini");
  Startup bare({"/ini", "="});
  bare.ini.ParseCommandLineArgs(bare.platform.arguments);
  EXPECT_EQ(bare.ini.CmdLineValues(), Args{"INI="});
}

TEST(CommandLine, SwitchWithoutValueAndStrayTokens) {
  Startup s({"stray", "/ini"});
  s.ini.Loaded();
  EXPECT_EQ(s.ini.GetCmdLineValue("/ini"), "NullValue_xx");
  EXPECT_EQ(s.ini.Filename(), "NullValue_xx");
  EXPECT_EQ(s.platform.terminateRequests, 0);
  EXPECT_EQ(s.readComplete, 1); // starts on its defaults
  EXPECT_EQ(s.ini.ReadString("Files", "LogFile"), "default.txt");

  Startup t({"/ini", "--ini=", "-5"});
  t.ini.ParseCommandLineArgs(t.platform.arguments);
  EXPECT_EQ(t.ini.CmdLineValues(), (Args{"INI=NullValue_xx", "INI="}));
  EXPECT_EQ(t.ini.GetCmdLineValue(""), "");
  EXPECT_EQ(t.ini.GetCmdLineValue("log"), "");
}

TEST(CommandLine, HelpIsShownPrintedAndEndsTheProgram) {
  for (const Args& args :
       {Args{"/?"}, Args{"-h"}, Args{"--help"}, Args{"-?"}, Args{"/ini", "a.ini", "/bogus"}}) {
    Startup s(args);
    std::string printed = s.stdoutOfLoad();
    const std::string help = "Command line options:\n"
                             "   /ini filename\t- Specifies the ini file to use\n"
                             "   /?           \t- Gets this help\n";
    ASSERT_EQ(s.platform.messages.size(), 1u) << args[0];
    EXPECT_EQ(s.platform.messages[0].text, help);
    EXPECT_EQ(s.platform.messages[0].buttons, unsigned(zq::mbOK));
    EXPECT_EQ(printed, help);
    EXPECT_EQ(s.platform.terminateRequests, 1);
    // Loading still completes on the defaults; the program ends when its event loop starts.
    EXPECT_EQ(s.readComplete, 1);
    EXPECT_FALSE(s.ini.OpenOnLoad);
  }
}

TEST(CommandLine, HelpHandlerAndIgnoreCmdLine) {
  Startup emptied({"/?"});
  emptied.ini.OnCmdLnHelp = [](TzqINI_File&, std::string& text) { text.clear(); };
  EXPECT_EQ(emptied.stdoutOfLoad(), "");
  EXPECT_TRUE(emptied.platform.messages.empty());
  EXPECT_EQ(emptied.platform.terminateRequests, 0);

  Startup changed({"/?"});
  changed.ini.OnCmdLnHelp = [](TzqINI_File&, std::string& text) { text = "usage\n"; };
  EXPECT_EQ(changed.stdoutOfLoad(), "usage\n");
  EXPECT_EQ(changed.platform.terminateRequests, 1);

  Startup ignored({"/?", "/ini", "x.ini"});
  ignored.ini.Ignore_CmdLine = true;
  ignored.ini.Loaded();
  EXPECT_TRUE(ignored.platform.messages.empty());
  EXPECT_EQ(ignored.platform.terminateRequests, 0);
  EXPECT_EQ(ignored.ini.Filename(), "absorbview.ini");
}

TEST(CommandLine, MapForcesKeysOverDefaultsAndFile) {
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "run.ini", "[Files]\nLogFile = fromfile.txt\nOther = 1\n");
  Startup s({"/ini", (dir / "run.ini").string(), "/LOG", "run/today.txt"});
  s.ini.CmdLineParms = "/ini;/log;/unused";
  s.ini.CmdLineMap = {" /log = Files ; LogFile ", "unused = Files; Unused"};
  int mapped = 0;
  s.ini.OnMapCmdLine = [&](TzqINI_File&) { ++mapped; };
  s.ini.Loaded();
  EXPECT_EQ(mapped, 1);
  EXPECT_EQ(s.platform.terminateRequests, 0);
  EXPECT_EQ(s.readComplete, 2); // once for the file, once at the end of loading
  EXPECT_EQ(s.ini.ReadString("files", "logfile"), "run/today.txt");
  EXPECT_EQ(s.ini.FindRecord("Files", "LogFile")->ParsedValue, "fromfile.txt");
  EXPECT_EQ(s.ini.FindRecord("Files", "Unused"), nullptr); // switch not given
  EXPECT_EQ(s.ini.ReadString("Files", "Other"), "1");
}

TEST(CommandLine, MalformedMapLinesAreReportedOneByOne) {
  Startup s({"/log", "x"});
  s.ini.CmdLineParms = "/ini;/log";
  s.ini.CmdLineMap = {"log Files LogFile", "", "log = Files", "log = Files; LogFile"};
  s.ini.Loaded();
  ASSERT_EQ(s.platform.messages.size(), 2u);
  EXPECT_EQ(s.platform.messages[0].caption, "Command Line Map Error");
  EXPECT_EQ(s.platform.messages[0].text,
            "The following is not a valid CmdLineMap string\n\nlog Files LogFile");
  EXPECT_EQ(s.platform.messages[1].text, "The following is not a valid CmdLineMap string\n\nlog = Files");
  EXPECT_EQ(s.ini.ReadString("Files", "LogFile"), "x");
}

} // namespace
