// frmViewLog: the translator's log files of the package folder's "ipdata", listed by name,
// the clicked one shown whole in a fixed-pitch font. The viewer only reads.
#pragma once

#include <QDialog>

#include "interface/session.h"
#include "platform/error.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace sevrik::windows {

class LogViewerWindow : public QDialog {
 public:
  explicit LogViewerWindow(Session& session);

  // Shows the named file of the log folder in txtMsg, replacing what it showed.
  void ShowFile(const std::string& name);

  QListWidget* File1 = nullptr;
  QPlainTextEdit* txtMsg = nullptr;
  QPushButton* cmdClose = nullptr;

 private:
  std::string Folder() const { return s_.package_folder + "\\ipdata"; }
  void Report(const Error& e);
  Session& s_;
};

}  // namespace sevrik::windows
