// TzqActionImages: the file-actions module for programs that edit files: the four-image list, a file
// component zqFile_IO1 (listed for Save All) and six actions with their captions, hints, shortcuts and
// images. The first four act on zqFile_IO1 until bound to another component.
#pragma once

#include "zqCustomFile_IO.h"
#include "zqFileActions.h"

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;

class TzqActionImages : public QObject {
  Q_OBJECT
public:
  // The module's caption, also its object name.
  static constexpr const char* Caption = "zqActionImages";

  explicit TzqActionImages(QObject* parent = nullptr);
  ~TzqActionImages() override;

  // 0 new, 1 open, 2 save, 3 save all: the desktop theme's icons where it has them, else the module's own.
  const QList<QIcon>& Images() const { return images_; }
  // The action list, in the order New, Open, Save, Save As, Save All, Exit.
  QList<QAction*> Actions() const;

  TzqFile_IO zqFile_IO1;
  TzqFileAction* TAction_zqFileNew;
  TzqFileAction* TAction_zqFileOpen;
  TzqFileAction* TAction_zqFileSave;
  TzqFileAction* TAction_zqFileSaveAs;
  QAction* TAction_zqFileSaveAll;
  QAction* TAction_zqFileExit;

private:
  TzqFileRegistration registration_;
  QList<QIcon> images_;
};
