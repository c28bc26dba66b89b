#include "views/win32/frmHistory.h"

#include <commctrl.h>

#include "core/forms/forms.h"

namespace sevrik::win32 {

HistoryWindow::HistoryWindow(HWND owner, HistoryList history)
    : ModalForm(forms::kFrmHistory, owner), history_(std::move(history)) {
  Create(owner);
  ::SetWindowTextW(hwnd(), Wide(history_.caption).c_str());
  ::SetWindowTextW(Control("lblRiwayat"), Wide(history_.summary).c_str());
  HWND list = Control("lvRiwayat");
  SetListStyle(list);
  for (size_t i = 0; i < kHistoryColumns.size(); ++i)
    InsertListColumn(list, i, kHistoryColumns[i].header, kHistoryColumns[i].width_twips, false, dpi());
  ListView_SetItemCountEx(list, static_cast<int>(history_.rows.size()), 0);
  SizeColumns();
}

HistoryWindow::~HistoryWindow() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

void HistoryWindow::Laid() { SizeColumns(); }

void HistoryWindow::SizeColumns() {
  HWND list = Control("lvRiwayat");
  HWND header = list ? ListView_GetHeader(list) : nullptr;
  if (!header || Header_GetItemCount(header) != static_cast<int>(kHistoryColumns.size())) return;
  const ControlTextWidths width_of(list);
  RECT client{};
  ::GetClientRect(list, &client);
  // Room for a vertical scroll bar, shown or not (about 255 twips).
  const int room = client.right - Px(255, dpi());
  const std::array<int, 4> widths = HistoryColumnWidths(history_, dpi(), room, std::cref(width_of));
  for (size_t i = 0; i < widths.size(); ++i) ListView_SetColumnWidth(list, static_cast<int>(i), widths[i]);
}

void HistoryWindow::RunModal() {
  HWND list = Control("lvRiwayat");
  if (history_.rows.empty()) return ModalForm::RunModal(Control("cmdTutup"));
  ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ModalForm::RunModal(list);
}

LRESULT HistoryWindow::Notify(NMHDR& header) {
  if (header.hwndFrom != Control("lvRiwayat")) return 0;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      const auto row = static_cast<size_t>(item.iItem);
      const auto column = static_cast<size_t>(item.iSubItem);
      if ((item.mask & LVIF_TEXT) && row < history_.rows.size() && column < kHistoryColumns.size()) {
        cell_ = Wide(history_.rows[row][column]);
        item.pszText = cell_.data();
      }
      return 0;
    }
    case LVN_GETINFOTIPW: {
      auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
      const auto row = static_cast<size_t>(tip.iItem);
      if (row < history_.rows.size()) AnswerInfoTip(tip, HistoryRowTip(history_.rows[row]));
      return 0;
    }
    default: return 0;
  }
}

LRESULT HistoryWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NOTIFY) return Notify(*reinterpret_cast<NMHDR*>(lparam));
  return ModalForm::Handle(message, wparam, lparam);
}

}  // namespace sevrik::win32
