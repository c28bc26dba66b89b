// frmHistory on the Win32 common controls: a document's runs from the run journal in a list
// view with virtual rows (read from the core's HistoryList), modal to the browser, walked with
// the arrow keys; Tutup or Escape closes it.
#pragma once

#include <string>

#include "core/forms/history.h"
#include "views/win32/layout.h"

namespace sevrik::win32 {

class HistoryWindow : public ModalForm {
 public:
  // Makes the window, hidden, above `owner`, with the history.
  HistoryWindow(HWND owner, HistoryList history);
  ~HistoryWindow() override;
  // Shows it with the owner disabled, the newest run selected, and returns when it is closed.
  void RunModal();

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Laid() override;

 private:
  // The time, the action and the reference whole, the outcome in the room that is left
  // (HistoryColumnWidths).
  void SizeColumns();
  LRESULT Notify(NMHDR& header);

  HistoryList history_;
  std::wstring cell_;  // the text the list asked for last
};

}  // namespace sevrik::win32
