// frmKb on the Win32 common controls: the document browser's controls, built from its layout
// table. lView1 is a list view with virtual rows: it reads the cells of the browser's last
// outcome as it paints them, so that a search of tens of thousands of documents lists at once.
// The window only draws and forwards: the searches, the selected document, the actions and
// their boxes are the core's DocumentBrowser (browser.h).
#pragma once

#include <optional>
#include <string>

#include "core/forms/browser.h"
#include "core/lookups/session.h"
#include "views/win32/layout.h"

namespace sevrik::win32 {

class BrowserWindow : public FormWindow, private BrowserView {
 public:
  // Makes the window, hidden, with the caption of this version and the search row filled.
  explicit BrowserWindow(Session& session);
  ~BrowserWindow() override;

  // Browse (cmdGo, or Enter in txtQ): the search of the controls as they stand.
  void Browse();
  // The selected row's index, if a row is selected.
  std::optional<size_t> SelectedRow() const;
  // F4 (Periksa dokumen), F3 (Riwayat dokumen) and Ctrl+1..9 (sort by column 1..9), wherever
  // the focus is.
  bool PreTranslate(const MSG& message) override;

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Laid() override;

 private:
  BrowseSearch Search() const;
  void RowsAboutToChange() override;
  void Draw(const BrowseOutcome& outcome) override;
  void ShowReport(const std::string& caption, const std::string& text) override;
  void ShowHistory(const HistoryList& history) override;
  // The row's context menu (a right-click on a row, Shift+F10, the menu key) at a screen
  // point, or under the selected row for (-1, -1).
  void RowMenu(int x, int y);
  void CheckSelected();
  void HistorySelected();
  void SortBy(size_t column);
  LRESULT Notify(NMHDR& header);
  // The columns as wide as the table gives them, each at least as wide as its header and the
  // CAR, the date and the status as their widest cell (ColumnWidth).
  void SizeColumns();
  void Select(size_t row);

  DocumentBrowser browser_;
  // lView1, found once: the list asks for its cells through many notifications a page, and
  // finding a control by its id asks the window system for the form's children each time.
  HWND list_ = nullptr;
  std::wstring cell_;  // the text a list view asked for last
};

}  // namespace sevrik::win32
