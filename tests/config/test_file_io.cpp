// The plain file component: names and folders, the not-found path, the save prompt, dialogs, filters,
// and reading and writing through a linked content object.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqCustomFile_IO.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A linked text or image control: holds the content in memory.
class FakeContent : public TzqLinkedContent {
public:
  explicit FakeContent(Kind kind = Kind::Text) : kind_(kind) {}
  Kind ContentKind() const override { return kind_; }
  void LoadFromFile(const std::string& path) override {
    std::string bytes = zqReadFileBytes(path);
    if (kind_ == Kind::Image && bytes.rfind("PIC", 0) != 0) throw EzqInvalidPicture("not a picture");
    text = bytes;
    modified = false;
  }
  void SaveToFile(const std::string& path) override { zqWriteFileBytes(path, text); }
  void Clear() override {
    text.clear();
    cleared = true;
  }
  bool GetModified() const override { return modified; }
  void SetModified(bool value) override { modified = value; }
  std::string text;
  bool modified = false;
  bool cleared = false;

private:
  Kind kind_;
};

struct Component {
  zq::FakePlatform platform;
  zqtest::TempDir dir;
  TzqFile_IO file;
  int reads = 0, writes = 0;
  Component() {
    file.OnReadComplete = [this](TzqFile_IO&) { ++reads; };
    file.OnWriteComplete = [this](TzqFile_IO&) { ++writes; };
  }
};

TEST(FileNames, FilenameAndDirectory) {
  zq::FakePlatform platform;
  platform.executablePath = "/opt/app/bin/absorbview";
  TzqFile_IO file;
  EXPECT_EQ(file.Directory(), "/opt/app/bin/");
  file.SetFilename("data.ini");
  EXPECT_EQ(file.FullFilename(), "/opt/app/bin/data.ini");
  file.SetFilename("/srv/cfg/other.ini");
  EXPECT_EQ(file.Directory(), "/srv/cfg/");
  EXPECT_EQ(file.FullFilename(), "/srv/cfg/other.ini");
  file.SetDirectory("/home/me/folder"); // without trailing separator: its parent
  EXPECT_EQ(file.FullFilename(), "/home/me/other.ini");
  file.SetDirectory("/home/me/folder/");
  EXPECT_EQ(file.FullFilename(), "/home/me/folder/other.ini");
  EXPECT_EQ(zqChangeFileExt("/a.b/c", ".ini"), "/a.b/c.ini");
  EXPECT_EQ(zqChangeFileExt("/a/c.tar.gz", ".zqb"), "/a/c.tar.zqb");
}

TEST(FileRead, NothingHappensWithoutContentOrHandler) {
  Component c;
  zqtest::WriteFile(c.dir / "a.txt", "x");
  c.file.OpenFile((c.dir / "a.txt").string());
  EXPECT_EQ(c.reads, 0);
}

TEST(FileRead, MissingFileErrorGoesToOnReadErrorThenPropagates) {
  Component c;
  c.file.SetFilename((c.dir / "none.txt").string());
  c.file.ReadHandler = [](TzqCustomFile_IO&, std::istream&) { FAIL() << "read a missing file"; };
  const std::string message = "File not found\n\n        " + (c.dir / "none.txt").string();
  try {
    c.file.ReadFile();
    FAIL() << "no error";
  } catch (const EzqFileError& e) {
    EXPECT_EQ(e.what(), message);
  }
  std::string seen;
  c.file.OnReadError = [&](TzqFile_IO&, const std::string&, const std::exception& e) {
    seen = e.what();
    return true;
  };
  EXPECT_NO_THROW(c.file.ReadFile());
  EXPECT_EQ(seen, message);
  std::string notFound;
  c.file.OnNotFound = [&](TzqFile_IO&, const std::string& name) { notFound = name; };
  seen.clear();
  c.file.ReadFile();
  EXPECT_EQ(notFound, (c.dir / "none.txt").string());
  EXPECT_EQ(seen, "");
  EXPECT_EQ(c.reads, 0);
}

TEST(FileRead, AutoOpenDialogOffersAnotherFile) {
  Component c;
  zqtest::WriteFile(c.dir / "there.txt", "content");
  c.file.AutoOpenDialog = true;
  c.file.OpenDialogTitle = "Pick";
  c.file.SetFilename((c.dir / "gone.txt").string());
  c.platform.openAnswers.push_back((c.dir / "there.txt").string());
  std::string read;
  c.file.ReadHandler = [&](TzqCustomFile_IO&, std::istream& in) { std::getline(in, read); };
  c.file.ReadFile();
  ASSERT_EQ(c.platform.openRequests.size(), 1u);
  EXPECT_EQ(c.platform.openRequests[0].fileName, "gone.txt");
  EXPECT_EQ(c.platform.openRequests[0].title, "Pick");
  EXPECT_EQ(c.platform.openRequests[0].initialDir, c.dir.path().string() + "/");
  EXPECT_EQ(read, "content");
  EXPECT_EQ(c.file.Filename(), "there.txt");
  EXPECT_EQ(c.reads, 1);
}

TEST(FileRead, LinkedImageThatFailsLosesItsPictureAndTheErrorPasses) {
  Component c;
  FakeContent image(TzqLinkedContent::Kind::Image);
  c.file.SetLinkedControl(&image);
  zqtest::WriteFile(c.dir / "bad.bmp", "garbage");
  bool offered = false;
  c.file.OnReadError = [&](TzqFile_IO&, const std::string&, const std::exception&) { return offered = true; };
  EXPECT_THROW(c.file.OpenFile((c.dir / "bad.bmp").string()), EzqInvalidPicture);
  EXPECT_TRUE(image.cleared);
  EXPECT_FALSE(offered);
  zqtest::WriteFile(c.dir / "good.bmp", "PIC1");
  image.modified = true;
  c.file.OpenFile((c.dir / "good.bmp").string());
  EXPECT_EQ(image.text, "PIC1");
  EXPECT_FALSE(c.file.GetModified());
  EXPECT_EQ(c.reads, 1);
}

TEST(FileWrite, LinkedTextIsWrittenThroughTheTemporaryFile) {
  Component c;
  FakeContent text;
  c.file.SetLinkedControl(&text);
  const auto path = (c.dir / "notes.txt").string();
  zqtest::WriteFile(path, "old");
  text.text = "new";
  text.modified = true;
  c.file.WriteFile(path);
  EXPECT_EQ(zqtest::ReadFile(path), "new");
  EXPECT_FALSE(fs::exists(c.dir / "notes.bak"));
  EXPECT_FALSE(fs::exists(c.dir / "zqFile_IO.tempfile"));
  EXPECT_FALSE(c.file.GetModified());
  c.file.SetMakeBackup(true);
  text.text = "newer";
  c.file.FileSave();
  EXPECT_EQ(zqtest::ReadFile(path), "newer");
  EXPECT_EQ(zqtest::ReadFile(c.dir / "notes.bak"), "new");
  EXPECT_EQ(c.writes, 2);
}

TEST(FileWrite, FailedWriteKeepsTheFileAndStaysModified) {
  Component c;
  const auto path = (c.dir / "data.txt").string();
  zqtest::WriteFile(path, "precious");
  c.file.WriteHandler = [](TzqCustomFile_IO&, std::ostream& out) {
    out << "partial";
    throw std::runtime_error("disk full");
  };
  c.file.SetModified(true);
  c.file.SetFilename(path);
  EXPECT_THROW(c.file.WriteFile((c.dir / "elsewhere.txt").string()), std::runtime_error);
  EXPECT_EQ(c.file.FullFilename(), path);
  EXPECT_FALSE(fs::exists(c.dir / "elsewhere.txt"));
  EXPECT_THROW(c.file.WriteFile(path), std::runtime_error);
  EXPECT_EQ(zqtest::ReadFile(path), "precious");
  EXPECT_TRUE(c.file.GetModified());
  EXPECT_FALSE(fs::exists(c.dir / "zqFile_IO.tempfile"));
  EXPECT_EQ(c.writes, 0);
}

TEST(FileDialogs, QuerySaveAnswers) {
  Component c;
  EXPECT_TRUE(c.file.QuerySave()); // nothing to save: no prompt
  EXPECT_TRUE(c.platform.messages.empty());
  c.file.SetModified(true);
  c.platform.messageAnswers = {zq::ModalResult::Cancel, zq::ModalResult::No, zq::ModalResult::Yes};
  EXPECT_FALSE(c.file.QuerySave());
  EXPECT_TRUE(c.file.QuerySave());
  EXPECT_FALSE(c.file.QuerySave()); // Yes, then the save-as dialog is cancelled
  ASSERT_EQ(c.platform.messages.size(), 3u);
  EXPECT_EQ(c.platform.messages[0].caption, "Save Changes");
  EXPECT_EQ(c.platform.messages[0].text, "Do you want to save your changes?");
  EXPECT_EQ(c.platform.messages[0].buttons, unsigned(zq::mbYes | zq::mbNo | zq::mbCancel));
  EXPECT_EQ(c.platform.saveRequests.size(), 1u);
  EXPECT_TRUE(c.file.GetModified());
}

TEST(FileDialogs, SaveAsAsksBeforeOverwriting) {
  Component c;
  std::vector<std::string> saved;
  c.file.SaveHandler = [&](TzqCustomFile_IO&, const std::string& name) { saved.push_back(name); };
  const auto existing = (c.dir / "exists.txt").string();
  zqtest::WriteFile(existing, "x");
  c.platform.saveAnswers = {existing, existing, (c.dir / "fresh.txt").string()};
  c.platform.messageAnswers = {zq::ModalResult::No, zq::ModalResult::Yes};
  c.file.FileSaveAs();
  c.file.FileSaveAs();
  c.file.FileSaveAs();
  ASSERT_EQ(c.platform.messages.size(), 2u);
  EXPECT_EQ(c.platform.messages[0].text, "OK to overwrite " + existing);
  EXPECT_EQ(saved, (std::vector<std::string>{existing, (c.dir / "fresh.txt").string()}));
}

TEST(FileDialogs, NewAndOpen) {
  Component c;
  FakeContent text;
  c.file.SetLinkedControl(&text);
  text.text = "draft";
  c.file.SetFilename((c.dir / "a.txt").string());
  c.file.FileNew();
  EXPECT_EQ(text.text, "");
  EXPECT_EQ(c.file.Filename(), "");
  // Without a name, saving asks for one.
  c.file.FileSave();
  EXPECT_EQ(c.platform.saveRequests.size(), 1u);

  zqtest::WriteFile(c.dir / "b.txt", "bee");
  c.platform.openAnswers.push_back((c.dir / "b.txt").string());
  c.file.FileOpen();
  EXPECT_EQ(c.platform.openRequests.at(0).fileName, "");
  EXPECT_EQ(text.text, "bee");
  std::string opened;
  c.file.OpenHandler = [&](TzqCustomFile_IO&, const std::string& name) { opened = name; };
  c.platform.openAnswers.push_back((c.dir / "b.txt").string());
  c.file.FileOpen();
  EXPECT_EQ(opened, (c.dir / "b.txt").string());
}

TEST(FileDialogs, Filters) {
  Component c;
  EXPECT_EQ(c.file.GetFilter(), "All Files (*.*)|*.*");
  FakeContent text;
  c.file.SetLinkedControl(&text);
  EXPECT_EQ(c.file.GetFilter(), TzqCustomFile_IO::TextFilesFilter);
  c.file.Filter = "c";
  EXPECT_EQ(c.file.GetFilter().rfind(
                "Text Files|*.ini;*.txt;*.log;*.dat;*.cfg;*.c;*.cpp;*.cxx;*.h;*.hpp;makefile|", 0),
            0u);
  EXPECT_NE(c.file.GetFilter().find("|*.c;*.cpp;*.cxx;*.h;*.hpp;makefile|All Files (*.*)|*.*"),
            std::string::npos);
  c.file.Filter = "Csv|*.csv";
  EXPECT_EQ(c.file.GetFilter(), "Csv|*.csv");
  FakeContent image(TzqLinkedContent::Kind::Image);
  c.file.SetLinkedControl(&image); // another kind of content: the filter no longer fits
  EXPECT_EQ(c.file.Filter, "");
}

} // namespace
