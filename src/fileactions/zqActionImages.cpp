// The module's definition: images, the file component and each action's caption, hint, shortcut and image.
#include "zqActionImages.h"

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace {

// The module's own picture, drawn at the sizes menus and tool bars ask for.
QIcon drawn_icon(const QString& svg) {
  QSvgRenderer renderer(svg);
  QIcon icon;
  for (int size : {16, 24, 32}) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

// A hint is "short|long": the short form is the tool tip, the long one the status-bar text.
template <class Action>
Action* define(Action* action, const char* name, const char* category, const QString& caption,
               const QString& hint, const QString& shortcut, const QIcon* image) {
  action->setObjectName(name);
  action->setProperty("Category", QString(category));
  action->setText(caption);
  action->setToolTip(hint.section(u'|', 0, 0));
  action->setStatusTip(hint.section(u'|', 1));
  if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
  if (image) action->setIcon(*image);
  return action;
}

} // namespace

TzqActionImages::TzqActionImages(QObject* parent) : QObject(parent), registration_(zqFile_IO1) {
  setObjectName(Caption);
  zqFile_IO1.Filter = "All Files (*.*)|*.*";
  zqFile_IO1.OpenOnLoad = false;
  zqFile_IO1.AutoOpenDialog = false;

  const std::pair<const char*, const char*> pictures[] = {
      {"document-new", ":/zqFileActions/icons/new.svg"},
      {"document-open", ":/zqFileActions/icons/open.svg"},
      {"document-save", ":/zqFileActions/icons/save.svg"},
      {"document-save-all", ":/zqFileActions/icons/saveall.svg"}};
  for (const auto& [theme, own] : pictures)
    images_.append(QIcon::fromTheme(theme, drawn_icon(own)));

  using Op = TzqFileAction::Operation;
  const char* io = "zqFile_IO";
  TAction_zqFileNew = define(new TzqFileAction(Op::New, this), "TAction_zqFileNew", io, "&New",
                             "New|Create a new file", "Ctrl+N", &images_[0]);
  TAction_zqFileOpen = define(new TzqFileAction(Op::Open, this), "TAction_zqFileOpen", io, "&Open...",
                              "Open|Open a file", "Ctrl+O", &images_[1]);
  TAction_zqFileSave = define(new TzqFileAction(Op::Save, this), "TAction_zqFileSave", io, "&Save",
                              "Save|Save current file", "Ctrl+S", &images_[2]);
  TAction_zqFileSaveAs = define(new TzqFileAction(Op::SaveAs, this), "TAction_zqFileSaveAs", io, "Save&As...",
                                "Save As|Save current file with different name", "", nullptr);
  TAction_zqFileSaveAll = define(new QAction(this), "TAction_zqFileSaveAll", io, "Sa&veAll",
                                 "SaveAll|Save all modified files", "", &images_[3]);
  TAction_zqFileExit = define(new QAction(this), "TAction_zqFileExit", "zqFileExit", "E&xit",
                              "Exit|Exit application", "Alt+X", nullptr);
  TAction_zqFileExit->setMenuRole(QAction::QuitRole);

  for (TzqFileAction* action :
       {TAction_zqFileNew, TAction_zqFileOpen, TAction_zqFileSave, TAction_zqFileSaveAs})
    action->SetzqFile_IO(&zqFile_IO1);
  connect(TAction_zqFileSaveAll, &QAction::triggered, this, [] { zqFileSaveAll(); });
  connect(TAction_zqFileExit, &QAction::triggered, this, [] { zqFileExit(); });
}

TzqActionImages::~TzqActionImages() = default;

QList<QAction*> TzqActionImages::Actions() const {
  return {TAction_zqFileNew,    TAction_zqFileOpen,    TAction_zqFileSave,
          TAction_zqFileSaveAs, TAction_zqFileSaveAll, TAction_zqFileExit};
}
