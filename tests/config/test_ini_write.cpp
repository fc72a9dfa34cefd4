// Writing the store: WriteString bookkeeping, the update, generate and add-section writers (whole output
// files compared), the backup, and saves that fail without touching the file on disk.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqINI_File.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A store read from the given INI text (written to dir/conf.ini) the way start-up reads it.
struct Saved {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  TzqINI_File ini;
  std::string path;
  explicit Saved(const std::string& original) : path((dir / "conf.ini").string()) {
    zqtest::WriteFile(path, original);
    ini.Ignore_CmdLine = true;
    ini.SetFilename(path);
    ini.Loaded();
  }
  std::string save() {
    ini.SaveToFile(path);
    return zqtest::ReadFile(path);
  }
};

const std::string kOriginal = "; Revision 7 \xB0 notes\r\n"
                              "top = 1\r\n"
                              "\r\n"
                              "[Graph]\r\n"
                              "Title  =  Spectra   ; shown on top\r\n"
                              "xlabel=Wavenumber\r\n"
                              "  odd line without equals \xE9\xC3\xA9  \r\n"
                              "[Other]\r\n"
                              "min\t=\t0\r\n"
                              "max = 10 ; remark\r\n";

TEST(IniWriteString, StatusAndModifiedFlag) {
  Saved s("[S]\nparsed = 1\n");
  EXPECT_FALSE(s.ini.GetModified());
  s.ini.WriteString("S", "parsed", "1");
  EXPECT_FALSE(s.ini.GetModified());
  s.ini.WriteString("S", "parsed", "2");
  EXPECT_EQ(s.ini.FindRecord("S", "parsed")->Status, "M");
  EXPECT_TRUE(s.ini.GetModified());
  s.ini.SetModified(false);
  s.ini.WriteString("S", "parsed", "1"); // back to the file's value
  EXPECT_EQ(s.ini.FindRecord("S", "parsed")->Status, "");
  EXPECT_FALSE(s.ini.GetModified());
  s.ini.WriteString("T", "added", "x");
  EXPECT_EQ(s.ini.FindRecord("T", "added")->Status, "A");
  EXPECT_TRUE(s.ini.GetModified());
  s.ini.SetModified(false);
  s.ini.ReadString("T", "read");
  s.ini.WriteString("T", "read", "y"); // existing key with nothing parsed
  EXPECT_TRUE(s.ini.GetModified());
  s.ini.WriteInteger("N", "i", -42);
  s.ini.WriteReal("N", "r", 0.25L);
  s.ini.WriteReal("N", "fixed", 2, 3.14159L);
  s.ini.WriteReal("N", "narrow", 0, 5.0L);
  s.ini.WriteReal("N", "single", 1, 2.25f);
  EXPECT_EQ(s.ini.ReadString("N", "i"), "-42");
  EXPECT_EQ(s.ini.ReadString("N", "r"), "0.25");
  EXPECT_EQ(s.ini.ReadString("N", "fixed"), "3.14");
  EXPECT_EQ(s.ini.ReadString("N", "narrow"), "   5");
  EXPECT_EQ(s.ini.ReadString("N", "single"), " 2.2"); // half-way rounds to even
}

TEST(IniSave, UpdateKeepsUnchangedLinesByteForByte) {
  Saved s(kOriginal);
  s.ini.WriteString("graph", "TITLE", "Optical Depth");
  s.ini.WriteString("Other", "min", "-5");
  s.ini.WriteString("Other", "new key", "only in memory");
  s.ini.WriteString("New Section", "k", "v");
  std::string written = s.save();
  EXPECT_EQ(written, "; Revision 7 \xB0 notes\r\n"
                     "top = 1\r\n"
                     "\r\n"
                     "[Graph]\r\n"
                     "Title  =  Optical Depth\r\n"
                     "xlabel=Wavenumber\r\n"
                     "  odd line without equals \xE9\xC3\xA9  \r\n"
                     "[Other]\r\n"
                     "min\t=\t-5\r\n"
                     "max = 10 ; remark\r\n");
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.bak"), kOriginal);
  EXPECT_FALSE(fs::exists(s.dir / "conf.zqb"));
  EXPECT_FALSE(s.ini.GetModified());
  EXPECT_EQ(s.ini.FindRecord("Graph", "Title")->Status, "W");
}

TEST(IniSave, UpdateAppendingChangedKeysKeepsEveryOldByteAndLosesNoValue) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  const std::string original = kOriginal + "\r\n[Last]\r\nk = 1\r\n\r\n";
  zqtest::WriteFile(dir / "conf.ini", original);
  TzqINI_File ini;
  ini.Ignore_CmdLine = true;
  ini.INI_Default = {"[Defaults only]", "Title = Spectra", "[Other]", "width = 3"};
  ini.SetFilename((dir / "conf.ini").string());
  ini.Loaded();
  ini.AppendChangedKeys = true;
  ini.WriteString("graph", "TITLE", "Optical Depth");   // a line of the file: changed in place
  ini.WriteString("Other", "new key", "in memory");     // added to a section of the file
  ini.WriteString("Other", "width", "4");               // changed, but only the defaults had it
  ini.WriteString("Defaults only", "Title", "Spectra"); // unchanged default: not written
  ini.WriteString("Last", "j", "2");                    // before the blank lines that end the file
  ini.WriteString("New Section", "k", "v");
  ini.SaveToFile((dir / "conf.ini").string());
  const std::string expected = "; Revision 7 \xB0 notes\r\n"
                               "top = 1\r\n"
                               "\r\n"
                               "[Graph]\r\n"
                               "Title  =  Optical Depth\r\n"
                               "xlabel=Wavenumber\r\n"
                               "  odd line without equals \xE9\xC3\xA9  \r\n"
                               "[Other]\r\n"
                               "min\t=\t0\r\n"
                               "max = 10 ; remark\r\n"
                               "width = 4\r\n"
                               "new key = in memory\r\n"
                               "\r\n"
                               "[Last]\r\n"
                               "k = 1\r\n"
                               "j = 2\r\n"
                               "\r\n"
                               "[New Section]\r\n"
                               "k = v\r\n";
  EXPECT_EQ(zqtest::ReadFile(dir / "conf.ini"), expected);
  // Saved again, nothing moves; read again, every value is back.
  ini.SaveToFile((dir / "conf.ini").string());
  EXPECT_EQ(zqtest::ReadFile(dir / "conf.ini"), expected);
  TzqINI_File again;
  again.LoadFromLines(zqSplitLines(expected));
  EXPECT_EQ(again.ReadString("Other", "width"), "4");
  EXPECT_EQ(again.ReadString("Other", "new key"), "in memory");
  EXPECT_EQ(again.ReadString("Last", "j"), "2");
  EXPECT_EQ(again.ReadString("new section", "K"), "v");
  EXPECT_EQ(again.FindRecord("Defaults only", "Title"), nullptr);
}

TEST(IniSave, Utf8ByteOrderMarkIsSkippedWhenReadingAndKeptWhenSaving) {
  Saved s("\xEF\xBB\xBF[Graph]\nTitle = \xC3\xA9t\xC3\xA9\n");
  EXPECT_EQ(s.ini.ReadString("graph", "title"), "\xC3\xA9t\xC3\xA9");
  s.ini.WriteString("Graph", "Title", "x");
  EXPECT_EQ(s.save(), "\xEF\xBB\xBF[Graph]\nTitle = x\n");
}

TEST(IniSave, UpdateSavesTheFilesValueForAForcedKey) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "c.ini", "[Files]\nLogFile = keep.txt\nOther = 1\n");
  platform.arguments = {"/ini", (dir / "c.ini").string(), "/log", "once.txt"};
  TzqINI_File ini;
  ini.CmdLineParms = "/ini;/log";
  ini.CmdLineMap = {"log = Files; LogFile"};
  ini.Loaded();
  ini.WriteString("Files", "Other", "2");
  ini.SaveToFile((dir / "c.ini").string());
  EXPECT_EQ(zqtest::ReadFile(dir / "c.ini"), "[Files]\nLogFile = keep.txt\nOther = 2\n");
}

TEST(IniSave, GenerateWritesEveryKeyAligned) {
  Saved s("[b]\nlonger_key = 2\nk=1\n[A]\nx = 1\n");
  s.ini.ReadString("A", "read only");
  s.ini.WriteString("__startoffile", "first", "yes");
  s.ini.WriteMode = zqWM_Generate;
  EXPECT_EQ(s.save(), "first = yes\n"
                      "\n"
                      "[A]\n"
                      "x         = 1\n"
                      "read only = \n"
                      "\n"
                      "[b]\n"
                      "longer_key = 2\n"
                      "k          = 1\n");
  s.ini.WindowsCompatible = true;
  EXPECT_EQ(s.save(), "first=yes\n\n[A]\nx=1\nread only=\n\n[b]\nlonger_key=2\nk=1\n");
  // What was generated reads back to the same store.
  TzqINI_File again;
  again.LoadFromLines(zqSplitLines(zqtest::ReadFile(s.path)));
  EXPECT_EQ(again.ReadString("__StartOfFile", "first"), "yes");
  EXPECT_EQ(again.ReadString("b", "longer_key"), "2");
}

TEST(IniSave, AddSectionReplacesOrAppendsTheCurrentSection) {
  const std::string original = "; head\n[One]\na = 1\n\n[two]\nold = gone\n; old comment\n\n[Three]\nz = 9\n";
  {
    Saved s(original);
    s.ini.WriteString("Two", "new", "n");
    s.ini.WriteMode = zqWM_AddSection;
    EXPECT_EQ(s.save(), "; head\n[One]\na = 1\n\n[two]\nold = gone\nnew = n\n\n[Three]\nz = 9\n");
  }
  {
    Saved s(original);
    s.ini.WriteString("Three", "y", "8");
    s.ini.WriteMode = zqWM_AddSection;
    EXPECT_EQ(s.save(),
              "; head\n[One]\na = 1\n\n[two]\nold = gone\n; old comment\n\n[Three]\nz = 9\ny = 8\n");
  }
  {
    Saved s(original);
    s.ini.WriteString("Four", "k", "v");
    s.ini.WriteMode = zqWM_AddSection;
    EXPECT_EQ(s.save(), original + "\n[Four]\nk = v\n");
  }
  {
    // A header that differs by more than case is not the section's, which is appended once more.
    Saved s("[ One]\na = 1\n");
    s.ini.ReadString("One", "b", "2");
    s.ini.WriteMode = zqWM_AddSection;
    EXPECT_EQ(s.save(), "[ One]\na = 1\n\n[One]\nb = 2\n");
  }
}

TEST(IniSave, BackupNames) {
  Saved s("[S]\nk = 1\n");
  s.ini.BackupExtention = "~";
  s.save();
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.~ini"), "[S]\nk = 1\n");
  s.ini.SetMakeBackup(false);
  EXPECT_EQ(s.ini.BackupExtention, "");
  s.ini.BackupExtention = "old";
  s.ini.WriteString("S", "k", "2");
  s.save();
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.old"), "[S]\nk = 1\n");
  EXPECT_EQ(zqtest::ReadFile(s.path), "[S]\nk = 2\n");
}

TEST(IniSave, ThroughALinkTheFileItNamesIsSavedAndKeepsItsPermissions) {
  // A configuration kept elsewhere and linked into place, readable by its owner only.
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  fs::create_directory(dir / "store");
  zqtest::WriteFile(dir / "store" / "real.ini", "[S]\nk = 1\n");
  fs::permissions(dir / "store" / "real.ini", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(fs::path("store") / "real.ini", dir / "conf.ini");
  TzqINI_File ini;
  ini.Ignore_CmdLine = true;
  ini.SetFilename((dir / "conf.ini").string());
  ini.Loaded();
  ini.WriteString("S", "k", "2");
  ini.SaveToFile((dir / "conf.ini").string());
  ASSERT_TRUE(fs::is_symlink(dir / "conf.ini"));
  EXPECT_EQ(fs::read_symlink(dir / "conf.ini"), fs::path("store") / "real.ini");
  EXPECT_EQ(zqtest::ReadFile(dir / "store" / "real.ini"), "[S]\nk = 2\n");
  EXPECT_EQ(fs::status(dir / "store" / "real.ini").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  // The backup lies beside the file it keeps, with the same permissions; no temporary file is left.
  EXPECT_EQ(zqtest::ReadFile(dir / "store" / "real.bak"), "[S]\nk = 1\n");
  EXPECT_EQ(fs::status(dir / "store" / "real.bak").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir / "store"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"real.bak", "real.ini"}));
}

TEST(IniSave, ALinkPlantedUnderTheTemporaryNameIsNotWrittenThrough) {
  Saved s("[S]\nk = 1\n");
  zqtest::WriteFile(s.dir / "victim.txt", "precious\n");
  fs::create_symlink(s.dir / "victim.txt", s.dir / "conf.zqb");
  s.ini.WriteString("S", "k", "2");
  EXPECT_EQ(s.save(), "[S]\nk = 2\n");
  EXPECT_EQ(zqtest::ReadFile(s.dir / "victim.txt"), "precious\n");
}

TEST(IniSave, TheOldBackupStaysUntilANewOneExists) {
  // Whatever stops the new backup from being made, the previous one must not be gone already.
  Saved s("[S]\nk = 2\n");
  zqtest::WriteFile(s.dir / "conf.bak", "[S]\nk = 1\n");
  fs::create_directories(s.dir / "conf.bak.zqnew" / "blocked");
  s.ini.WriteString("S", "k", "3");
  try {
    s.save();
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_STREQ(e.what(), "Unable to create backup file.");
  }
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.bak"), "[S]\nk = 1\n");
  EXPECT_EQ(zqtest::ReadFile(s.path), "[S]\nk = 2\n");
  fs::remove_all(s.dir / "conf.bak.zqnew");
  EXPECT_EQ(s.save(), "[S]\nk = 3\n");
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.bak"), "[S]\nk = 2\n");
}

// Saves that fail must leave the file on disk as it was and report the error.
class FailingSave : public testing::Test {
protected:
  Saved s{kOriginal};
  void SetUp() override { s.ini.WriteString("Graph", "Title", "changed"); }
  void ExpectUntouched() {
    EXPECT_EQ(zqtest::ReadFile(s.path), kOriginal);
    EXPECT_EQ(s.ini.FullFilename(), s.path);
    EXPECT_TRUE(s.ini.GetModified());
  }
};

TEST_F(FailingSave, TemporaryFileCannotBeCreated) {
  fs::create_directory(s.dir / "conf.zqb"); // blocks the temporary file even for root
  EXPECT_THROW(s.ini.SaveToFile(s.path), EzqFileError);
  ExpectUntouched();
  EXPECT_FALSE(fs::exists(s.dir / "conf.bak"));
}

TEST_F(FailingSave, HandledWriteErrorStillCommitsNothing) {
  fs::create_directory(s.dir / "other.zqb");
  std::string reported;
  s.ini.OnWriteError = [&](TzqINI_File&, const std::string& name, const std::exception&) {
    reported = name;
    return true;
  };
  int completed = 0;
  s.ini.OnWriteComplete = [&](TzqINI_File&) { ++completed; };
  EXPECT_NO_THROW(s.ini.SaveToFile((s.dir / "other.ini").string()));
  EXPECT_EQ(reported, s.path);
  EXPECT_EQ(completed, 0);
  EXPECT_FALSE(fs::exists(s.dir / "other.ini"));
  ExpectUntouched();
}

TEST_F(FailingSave, ReadOnlyFolder) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root: permissions do not stop writes (covered above)";
  fs::permissions(s.dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_THROW(s.ini.SaveToFile(s.path), EzqFileError);
  fs::permissions(s.dir.path(), fs::perms::owner_all);
  ExpectUntouched();
}

TEST_F(FailingSave, OldBackupCannotBeDeleted) {
  fs::create_directories(s.dir / "conf.bak" / "inside");
  try {
    s.ini.SaveToFile(s.path);
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_STREQ(e.what(), "Unable to delete backup file.");
  }
  EXPECT_EQ(zqtest::ReadFile(s.path), kOriginal);
}

// Reaches the commit step directly, with the temporary file gone.
struct CommitProbe : TzqINI_File {
  using TzqINI_File::CommitBackup;
};

TEST(IniSave, FailedFinalRenameLeavesTheFileAndABackup) {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  zqtest::WriteFile(dir / "x.ini", "old\n");
  CommitProbe probe;
  probe.SetFilename((dir / "x.ini").string());
  probe.SetTempFilename((dir / "missing.zqb").string());
  try {
    probe.CommitBackup();
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_STREQ(e.what(), "Unable to complete the file save.");
  }
  EXPECT_EQ(zqtest::ReadFile(dir / "x.ini"), "old\n");
  EXPECT_EQ(zqtest::ReadFile(dir / "x.bak"), "old\n");
}

TEST(IniValues, EveryValueReadsBackAsItsBytesAndPlainValuesKeepTheirText) {
  // Texts a file could hold so far are written exactly as before; the others come back byte for byte.
  for (const std::string plain :
       {"0.5", "\" 2\"", "C:\\temp\\a.ini", "a\tb", "\"quoted\"", "x\\\"y\"", "\xB0"})
    EXPECT_EQ(zqIniValueText(plain), plain);
  const std::string evil = "/home/u/dl/x\n[CO2]\nFilename = /tmp/evil.par";
  const std::string values[] = {
      evil,       "a\rb", std::string("nul\0byte", 8), "  two blanks ", "\t", "\\\"x\"", "\\\"", "end\\",
      "\x7F\x01", ""};
  Saved s("[Recent Files]\nFile1 = old\n");
  for (std::size_t i = 0; i < std::size(values); ++i)
    s.ini.WriteString("Recent Files", "File" + std::to_string(i + 1), values[i]);
  s.ini.AppendChangedKeys = true;
  const std::string written = s.save();
  // One line per key: nothing the value held starts a line of its own.
  EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 1 + static_cast<long>(std::size(values)));
  EXPECT_EQ(written.find('\0'), std::string::npos);
  EXPECT_EQ(written.find('\r'), std::string::npos);
  TzqINI_File again;
  again.LoadFromLines(zqSplitLines(written));
  EXPECT_EQ(again.FindRecord("CO2", "Filename"), nullptr);
  for (std::size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(again.ReadString("Recent Files", "File" + std::to_string(i + 1)), values[i]) << i;
  // A text that only looks escaped, as an older file may hold it, stays as it is.
  for (const std::string odd : {"\\\"a\\qb\"", "\\\"a\"b\"", "\\\"\\x4\"", "\\\"x"})
    EXPECT_EQ(zqIniValueOf(odd), odd);
}

TEST(IniValues, AValueOverTheLineLimitOrAnUnwritableKeyStopsTheSaveBeforeAnythingIsWritten) {
  Saved s("[S]\nk = 1\n");
  s.ini.AppendChangedKeys = true;
  s.ini.WriteString("S", "big", std::string(kMaxIniLineBytes, 'x'));
  try {
    s.save();
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_NE(std::string(e.what()).find("[S] big"), std::string::npos) << e.what();
  }
  EXPECT_EQ(zqtest::ReadFile(s.path), "[S]\nk = 1\n");
  EXPECT_FALSE(fs::exists(s.dir / "conf.zqb"));
  EXPECT_FALSE(fs::exists(s.dir / "conf.bak"));
  // At the limit the line is written, and the next start reads it.
  s.ini.WriteString("S", "big", std::string(kMaxIniLineBytes - 6, 'x'));
  s.save();
  TzqINI_File again;
  again.SetFilename(s.path);
  again.Ignore_CmdLine = true;
  again.Loaded();
  EXPECT_EQ(again.ReadString("S", "big").size(), kMaxIniLineBytes - 6);

  Saved t("[S]\nk = 1\n");
  t.ini.WriteMode = zqWM_Generate;
  t.ini.WriteString("S", "a = b", "1");
  EXPECT_THROW(t.save(), EzqFileError);
  EXPECT_EQ(zqtest::ReadFile(t.path), "[S]\nk = 1\n");
}

TEST(IniSave, ConcurrentSavesOfOneFileLeaveNoStrayFiles) {
  Saved s("[S]\nk = 0\n");
  // Another save that just made its backup: the backup is a second name of the file itself.
  ASSERT_EQ(::link(s.path.c_str(), (s.dir / "conf.bak").c_str()), 0);
  s.ini.WriteInteger("S", "k", -1);
  EXPECT_EQ(s.save(), "[S]\nk = -1\n");
  EXPECT_FALSE(fs::exists(s.dir / "conf.bak.zqnew"));
  EXPECT_EQ(zqtest::ReadFile(s.dir / "conf.bak"), "[S]\nk = 0\n");
  std::vector<pid_t> children;
  for (int child = 0; child < 4; ++child) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0; i < 100; ++i) {
        s.ini.WriteInteger("S", "k", child * 1000 + i);
        try {
          s.ini.SaveToFile(s.path);
        } catch (const std::exception&) {
          // A save that lost the race may fail; it must still clean up.
        }
      }
      ::_exit(0);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children)
    ::waitpid(pid, nullptr, 0);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(s.dir.path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"conf.bak", "conf.ini"}));
  TzqINI_File again;
  again.LoadFromLines(zqSplitLines(zqtest::ReadFile(s.path)));
  EXPECT_NE(again.ReadString("S", "k"), "0");
}

} // namespace
