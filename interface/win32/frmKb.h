// frmKb on the Win32 common controls: the document browser's controls, built from its layout
// table. lView1 is a list view with virtual rows: it reads the cells of the browser's last
// outcome as it paints them, so that a search of tens of thousands of documents lists at once.
// The window only draws and forwards: the searches, the selected document, the actions and
// their boxes are the core's DocumentBrowser (browser.h).
#pragma once

#include <optional>
#include <string>

#include "interface/browser.h"
#include "interface/session.h"
#include "interface/win32/layout.h"

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

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Laid() override;

 private:
  BrowseSearch Search() const;
  void RowsAboutToChange() override;
  void Draw(const BrowseOutcome& outcome) override;
  LRESULT Notify(NMHDR& header);
  // The columns as wide as the table gives them, and the CAR, the date and the status at least
  // as wide as their widest cell.
  void SizeColumns();
  void Select(size_t row);
  // The drop-down lists' entries whole in their selection fields: where the form's width leaves
  // too little for the font, the list's font steps down by quarter points (to 6 at least).
  void FitEntries();

  DocumentBrowser browser_;
  std::wstring cell_;  // the text a list view asked for last
  HFONT entry_fonts_[2] = {};  // of cbDok and cbFld, when the form's font is too wide
};

}  // namespace sevrik::win32
