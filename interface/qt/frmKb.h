// frmKb on Qt Widgets: the document browser's controls, built from its layout table. The
// window only draws and forwards: the searches, the selected document, the actions and their
// boxes are the core's DocumentBrowser (browser.h).
#pragma once

#include <QDialog>
#include <optional>

#include "interface/browser.h"
#include "interface/session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace sevrik::qt {

class DocumentModel;
class ProgressWindow;

class BrowserWindow : public QDialog, private BrowserView {
 public:
  // `progress` is shown by the BC 2.3 build and by an action that waits (may be null).
  BrowserWindow(Session& session, ProgressWindow* progress);
  ~BrowserWindow() override;

  // Browse (cmdGo, or Enter in txtQ): the search of the controls as they stand.
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
  BrowseSearch Search() const;
  std::optional<size_t> SelectedRow() const;
  void RowsAboutToChange() override;
  void Draw(const BrowseOutcome& outcome) override;

  DocumentModel* model_ = nullptr;
  DocumentBrowser browser_;
};

}  // namespace sevrik::qt
