// frmKb: the document browser, with its search row, the list of documents and the four
// action buttons. The window only shows and forwards: the statements, the rows and the
// actions are the core's (browser.h, actions.h).
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "interface/actions.h"
#include "interface/browser.h"
#include "interface/session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace sevrik::windows {

class DocumentModel;
class ProgressWindow;

class BrowserWindow : public QDialog {
 public:
  // `progress` is shown by the BC 2.3 build (may be null).
  BrowserWindow(Session& session, ProgressWindow* progress);
  ~BrowserWindow() override;

  // Browse (cmdGo, or Enter in txtQ): the current search, run again.
  void Browse();
  // The selected document's key, or empty.
  std::string SelectedKey() const;

  QComboBox* cbDok = nullptr;
  QComboBox* cbFld = nullptr;
  QLineEdit* txtQ = nullptr;
  QPushButton* cmdGo = nullptr;
  QTreeView* lView1 = nullptr;
  QLabel* txtTot = nullptr;
  QGroupBox* Frame1 = nullptr;
  QPushButton* cmdConnect = nullptr;
  QPushButton* cmdBatal = nullptr;
  QPushButton* cmdFlat = nullptr;
  QPushButton* cmdClose = nullptr;

 private:
  void Flat();
  void Batal();
  void Connect();

  Session& s_;
  DocumentActions actions_;
  DocumentModel* model_ = nullptr;
};

}  // namespace sevrik::windows
