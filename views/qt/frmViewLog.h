// frmViewLog on Qt Widgets: the log files' names down the left, the clicked one's text on the
// right in a fixed-pitch font. The folder, the listing, the reading and the error boxes are
// the core's LogViewer (log_viewer.h).
#pragma once

#include <QDialog>

#include "core/forms/log_viewer.h"
#include "core/lookups/session.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace sevrik::qt {

class LogViewerWindow : public QDialog {
 public:
  explicit LogViewerWindow(Session& session);

  // Shows the named file of the log folder in txtMsg, replacing what it showed.
  void ShowFile(const std::string& name);

  QListWidget* File1 = nullptr;
  QPlainTextEdit* txtMsg = nullptr;
  QPushButton* cmdClose = nullptr;

 protected:
  // Marks the start of a press on the list.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  LogViewer viewer_;
  bool changed_by_press_ = false;  // the press being handled moved the selection
};

}  // namespace sevrik::qt
