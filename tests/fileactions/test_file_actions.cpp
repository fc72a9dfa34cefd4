// The file actions driven as a user would, on file components linked to text edits, with the scripted
// platform answering the dialogs: the module's table, new/open/save with backups, save as, save all,
// enablement and exit.
#include "FakePlatform.h"
#include "TestSupport.h"
#include "zqActionImages.h"
#include "zqTextEditLink.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <algorithm>
#include <filesystem>
#include <memory>

using zqtest::ReadFile;
using zqtest::WriteFile;
using Op = TzqFileAction::Operation;

namespace {

// A file component shown in a plain text edit, optionally listed for Save All.
struct Editor {
  TzqFile_IO file;
  QPlainTextEdit edit;
  TzqTextEditLink link{file, &edit};
  std::unique_ptr<TzqFileRegistration> listed;

  explicit Editor(bool registered = true) {
    if (registered) listed = std::make_unique<TzqFileRegistration>(file);
  }
  void Type(const QString& text) {
    QTextCursor cursor(edit.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
  }
};

bool listed(TzqCustomFile_IO* file) {
  auto files = zqRegisteredFiles();
  return std::find(files.begin(), files.end(), file) != files.end();
}

bool has_visible_pixel(const QIcon& icon) {
  QImage image = icon.pixmap(16).toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

class StubbornWindow : public QWidget {
public:
  bool refuse = true;

protected:
  void closeEvent(QCloseEvent* e) override { refuse ? e->ignore() : e->accept(); }
};

} // namespace

class FileActionsTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void moduleDefinition() {
    zq::FakePlatform platform;
    auto module = std::make_unique<TzqActionImages>();
    QCOMPARE(module->objectName(), QString("zqActionImages"));
    QCOMPARE(module->Images().size(), 4);
    for (const QIcon& image : module->Images())
      QVERIFY(has_visible_pixel(image));

    struct Row {
      const char* name;
      const char* category;
      QString text, toolTip, statusTip, shortcut;
      int image;
    };
    const Row rows[] = {
        {"TAction_zqFileNew", "zqFile_IO", "&New", "New", "Create a new file", "Ctrl+N", 0},
        {"TAction_zqFileOpen", "zqFile_IO", "&Open...", "Open", "Open a file", "Ctrl+O", 1},
        {"TAction_zqFileSave", "zqFile_IO", "&Save", "Save", "Save current file", "Ctrl+S", 2},
        {"TAction_zqFileSaveAs", "zqFile_IO", "Save&As...", "Save As",
         "Save current file with different name", "", -1},
        {"TAction_zqFileSaveAll", "zqFile_IO", "Sa&veAll", "SaveAll", "Save all modified files", "", 3},
        {"TAction_zqFileExit", "zqFileExit", "E&xit", "Exit", "Exit application", "Alt+X", -1},
    };
    const QList<QAction*> actions = module->Actions();
    QCOMPARE(actions.size(), 6);
    for (int i = 0; i < 6; ++i) {
      const Row& row = rows[i];
      QAction* action = actions[i];
      QCOMPARE(action->objectName(), QString(row.name));
      QCOMPARE(action->property("Category").toString(), QString(row.category));
      QCOMPARE(action->text(), row.text);
      QCOMPARE(action->toolTip(), row.toolTip);
      QCOMPARE(action->statusTip(), row.statusTip);
      QCOMPARE(action->shortcut(), QKeySequence(row.shortcut));
      if (row.image < 0)
        QVERIFY2(action->icon().isNull(), row.name);
      else
        QCOMPARE(action->icon().cacheKey(), module->Images()[row.image].cacheKey());
    }

    TzqFile_IO& file = module->zqFile_IO1;
    QCOMPARE(file.GetFilter(), std::string("All Files (*.*)|*.*"));
    QVERIFY(!file.OpenOnLoad && !file.AutoOpenDialog);
    for (TzqFileAction* a : {module->TAction_zqFileNew, module->TAction_zqFileOpen,
                             module->TAction_zqFileSave, module->TAction_zqFileSaveAs})
      QCOMPARE(a->zqFile_IO(), static_cast<TzqCustomFile_IO*>(&file));
    QVERIFY(listed(&file));
    module.reset();
    QVERIFY(!listed(&file));
  }

  // Open reads through the dialog, save keeps a backup and the bytes as read, new asks before discarding.
  void newOpenSave() {
    zq::FakePlatform platform;
    zqtest::TempDir dir;
    const std::string path = (dir / "notes.txt").string();
    const std::string original = "first\r\nline two \xC3\xA9\xC2\xA0"
                                 "end\r\n"; // UTF-8, CRLF, a no-break space
    WriteFile(path, original);

    TzqActionImages module;
    TzqFile_IO& file = module.zqFile_IO1;
    QPlainTextEdit edit;
    TzqTextEditLink link(file, &edit);
    file.SetMakeBackup(true);

    platform.openAnswers = {path};
    module.TAction_zqFileOpen->trigger();
    QCOMPARE(platform.openRequests.size(), size_t(1));
    QCOMPARE(platform.openRequests[0].filter, std::string("All Files (*.*)|*.*"));
    QCOMPARE(file.FullFilename(), path);
    QCOMPARE(edit.document()->blockCount(), 3);
    QCOMPARE(edit.document()->firstBlock().text(), QString("first"));
    QVERIFY(!file.GetModified());

    module.TAction_zqFileSave->trigger(); // unchanged text: the same bytes again
    QCOMPARE(ReadFile(path), original);
    QCOMPARE(ReadFile(dir / "notes.bak"), original);

    const std::string previous = ReadFile(path);
    QTextCursor(edit.document()).insertText(">");
    QVERIFY(file.GetModified());
    module.TAction_zqFileSave->trigger();
    QCOMPARE(ReadFile(path), ">" + original);
    QCOMPARE(ReadFile(dir / "notes.bak"), previous);
    QVERIFY(!file.GetModified());
    QVERIFY(platform.messages.empty());

    QTextCursor(edit.document()).insertText("unsaved ");
    platform.messageAnswers = {zq::ModalResult::Cancel};
    module.TAction_zqFileNew->trigger();
    QCOMPARE(platform.messages.back().caption, std::string("Save Changes"));
    QVERIFY(edit.toPlainText().startsWith("unsaved >first"));
    QCOMPARE(file.FullFilename(), path);

    platform.messageAnswers = {zq::ModalResult::No};
    module.TAction_zqFileNew->trigger();
    QVERIFY(edit.toPlainText().isEmpty());
    QVERIFY(file.Filename().empty());
    QVERIFY(!file.GetModified());
    QCOMPARE(ReadFile(path), ">" + original); // discarding never touches the file
  }

  // Save As asks for the name (so does Save of an unnamed file) and asks before overwriting; failures are
  // shown, not thrown.
  void saveAs() {
    zq::FakePlatform platform;
    zqtest::TempDir dir;
    const std::string fresh = (dir / "fresh.txt").string(), other = (dir / "other.txt").string();
    WriteFile(other, "keep me");
    Editor e;

    e.Type("one\ntwo");
    TzqFileAction save(Op::Save), saveAs(Op::SaveAs);
    save.SetzqFile_IO(&e.file);
    saveAs.SetzqFile_IO(&e.file);
    platform.saveAnswers = {fresh};
    save.trigger();
    QCOMPARE(platform.saveRequests.size(), size_t(1));
    QCOMPARE(ReadFile(fresh), std::string("one\ntwo"));
    QCOMPARE(e.file.FullFilename(), fresh);

    platform.saveAnswers = {other};
    platform.messageAnswers = {zq::ModalResult::No};
    saveAs.trigger();
    QCOMPARE(platform.saveRequests.back().fileName, std::string("fresh.txt"));
    QCOMPARE(platform.messages.back().text, "OK to overwrite " + other);
    QCOMPARE(ReadFile(other), std::string("keep me"));
    QCOMPARE(e.file.FullFilename(), fresh);

    platform.saveAnswers = {other};
    platform.messageAnswers = {zq::ModalResult::Yes};
    saveAs.trigger();
    QCOMPARE(ReadFile(other), std::string("one\ntwo"));
    QCOMPARE(e.file.FullFilename(), other);

    const auto shown = platform.messages.size();
    platform.saveAnswers = {(dir / "missing" / "x.txt").string()};
    saveAs.trigger();
    QCOMPARE(platform.messages.size(), shown + 1);
    QCOMPARE(platform.messages.back().caption, std::string("Error"));
    QCOMPARE(e.file.FullFilename(), other);
  }

  // Only listed components with changes are saved; one that fails does not stop the others.
  void saveAllSavesOnlyModified() {
    zq::FakePlatform platform;
    zqtest::TempDir dir;
    std::filesystem::create_directory(dir / "gone");
    const std::string pa = (dir / "gone" / "a.txt").string(), pb = (dir / "b.txt").string(),
                      pc = (dir / "c.txt").string(), pd = (dir / "d.txt").string();
    for (const auto& p : {pa, pb, pc, pd})
      WriteFile(p, "as read");
    Editor a, b, c(false), d;
    a.file.OpenFile(pa);
    b.file.OpenFile(pb);
    c.file.OpenFile(pc);
    d.file.OpenFile(pd);
    for (const auto& p : {pb, pc, pd})
      WriteFile(p, "changed on disk");
    std::filesystem::remove_all(dir / "gone");
    a.Type("+a");
    c.Type("+c");
    d.Type("+d");

    TzqActionImages module;
    module.TAction_zqFileSaveAll->trigger();
    QCOMPARE(ReadFile(pd), std::string("as read+d"));
    QCOMPARE(ReadFile(pb), std::string("changed on disk")); // unmodified
    QCOMPARE(ReadFile(pc), std::string("changed on disk")); // not listed
    QVERIFY(!d.file.GetModified() && c.file.GetModified());
    QCOMPARE(platform.messages.size(), size_t(1)); // a's folder is gone
    QCOMPARE(platform.messages[0].caption, std::string("Error"));
    QVERIFY(a.file.GetModified());
    QVERIFY(platform.saveRequests.empty());
  }

  void enablementFollowsBinding() {
    zq::FakePlatform platform;
    TzqFile_IO file;
    TzqFileAction save(Op::Save);
    QVERIFY(!save.isEnabled());
    save.trigger();
    QVERIFY(platform.saveRequests.empty());
    save.SetzqFile_IO(&file);
    QVERIFY(save.isEnabled());
    save.trigger(); // no name yet: asks for one
    QCOMPARE(platform.saveRequests.size(), size_t(1));
    save.SetzqFile_IO(nullptr);
    QVERIFY(!save.isEnabled());
  }

  void textEditLink() {
    zq::FakePlatform platform;
    zqtest::TempDir dir;
    const std::string path = (dir / "latin.txt").string();
    WriteFile(path, "caf\xE9\n"); // not UTF-8: read as Windows-1252
    TzqFile_IO file;
    auto edit = std::make_unique<QTextEdit>();
    TzqTextEditLink link(file, edit.get());
    QCOMPARE(file.GetFilter(), std::string(TzqCustomFile_IO::TextFilesFilter));
    file.OpenFile(path);
    QCOMPARE(edit->toPlainText(), QString::fromUtf8("caf\xC3\xA9\n"));
    file.WriteFile(path);
    QCOMPARE(ReadFile(path), std::string("caf\xC3\xA9\n"));
    edit.reset();
    QVERIFY(file.LinkedControl() == nullptr);
    QVERIFY(!file.GetModified());
  }

  // Exit asks about unsaved files, closes the windows and only then ends the application.
  void exitAsksThenEnds() {
    zq::FakePlatform platform;
    Editor e;
    e.Type("unsaved");
    StubbornWindow window;
    window.show();
    TzqActionImages module;

    platform.messageAnswers = {zq::ModalResult::Cancel};
    module.TAction_zqFileExit->trigger();
    QCOMPARE(platform.messages.back().caption, std::string("Save Changes"));
    QVERIFY(window.isVisible());
    QCOMPARE(platform.terminateRequests, 0);

    platform.messageAnswers = {zq::ModalResult::No};
    module.TAction_zqFileExit->trigger(); // the window refuses to close
    QVERIFY(window.isVisible());
    QCOMPARE(platform.terminateRequests, 0);

    window.refuse = false;
    platform.messageAnswers = {zq::ModalResult::No};
    module.TAction_zqFileExit->trigger();
    QVERIFY(!window.isVisible());
    QCOMPARE(platform.terminateRequests, 1);
  }
};

QTEST_MAIN(FileActionsTest)
#include "test_file_actions.moc"
