// frmKb on Qt Widgets: the document browser's controls, built from its layout table. The
// window only draws and forwards: the searches, the selected document, the actions and their
// boxes are the core's DocumentBrowser (browser.h).
#pragma once

#include <QDialog>
#include <optional>

#include "core/forms/browser.h"
#include "core/lookups/session.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace sevrik::qt {

class CheckWindow;
class DocumentModel;
class HistoryWindow;
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
  // The selected row, if a row is selected.
  std::optional<size_t> SelectedRow() const;
  // The browser whose rows the list shows.
  const DocumentBrowser& browser() const { return browser_; }
  // Periksa dokumen (F4, the row's menu): the selected document's check in frmCheck.
  void CheckSelected();
  // Riwayat dokumen (F3, the row's menu): the selected document's runs in frmHistory.
  void HistorySelected();
  // The row's context menu at a point of the list's viewport (right-click, Shift+F10, the
  // menu key): the items of kRowMenu.
  void RowMenu(const QPoint& at);
  // frmCheck, once a check has been shown (else null).
  CheckWindow* check_window() const { return check_; }
  // frmHistory, once a history has been shown (else null).
  HistoryWindow* history_window() const { return history_; }

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

 protected:
  // Escape closes nothing: Close and the window's close box do.
  void keyPressEvent(QKeyEvent* event) override;
  // The list takes the focus with a row selected; Enter on a focused button presses it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  BrowseSearch Search() const;
  void RowsAboutToChange() override;
  void Draw(const BrowseOutcome& outcome) override;
  void ShowReport(const std::string& caption, const std::string& text) override;
  void ShowHistory(const HistoryList& history) override;
  // The columns as wide as the table gives them, and the CAR, the date and the status at least
  // as wide as their widest cell.
  void SizeColumns();
  void Select(size_t row);
  // Runs a search or an action under the busy cursor.
  template <class Run>
  void Busy(Run&& run);

  DocumentModel* model_ = nullptr;
  ProgressWindow* progress_ = nullptr;
  CheckWindow* check_ = nullptr;
  HistoryWindow* history_ = nullptr;
  DocumentBrowser browser_;
};

}  // namespace sevrik::qt
