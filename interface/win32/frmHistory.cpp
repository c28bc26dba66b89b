#include "interface/win32/frmHistory.h"

#include <commctrl.h>

#include "interface/forms.h"

namespace sevrik::win32 {
namespace {

constexpr int kTutup = ControlId(forms::kFrmHistory, "cmdTutup");

}  // namespace

HistoryWindow::HistoryWindow(HWND owner, HistoryList history)
    : FormWindow(forms::kFrmHistory), owner_(owner), history_(std::move(history)) {
  Create(owner);
  ::SetWindowTextW(hwnd(), Wide(history_.caption).c_str());
  ::SetWindowTextW(Control("lblRiwayat"), Wide(history_.summary).c_str());
  HWND list = Control("lvRiwayat");
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP |
                                              LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
  for (size_t i = 0; i < kHistoryColumns.size(); ++i) {
    std::wstring header = Wide(kHistoryColumns[i].header);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = Px(kHistoryColumns[i].width_twips, dpi());
    column.pszText = header.data();
    column.iSubItem = static_cast<int>(i);
    ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
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
  HDC dc = ::GetDC(list);
  HGDIOBJ before = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
  const auto width_of = [dc](const std::string& text) {
    const std::wstring wide = Wide(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    return static_cast<int>(size.cx);
  };
  RECT client{};
  ::GetClientRect(list, &client);
  // Room for a vertical scroll bar, shown or not (about 255 twips).
  const int room = client.right - Px(255, dpi());
  const std::array<int, 4> widths = HistoryColumnWidths(history_, dpi(), room, width_of);
  for (size_t i = 0; i < widths.size(); ++i) ListView_SetColumnWidth(list, static_cast<int>(i), widths[i]);
  ::SelectObject(dc, before);
  ::ReleaseDC(list, dc);
}

void HistoryWindow::RunModal() {
  if (owner_) ::EnableWindow(owner_, FALSE);
  Show();
  HWND list = Control("lvRiwayat");
  if (!history_.rows.empty()) {
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ::SetFocus(list);
  } else {
    ::SetFocus(Control("cmdTutup"));
  }
  RunWindow(*this);
  if (owner_) ::EnableWindow(owner_, TRUE);
}

void HistoryWindow::Close() {
  // The owner is enabled before this window goes, so that it takes the activation back.
  if (owner_) ::EnableWindow(owner_, TRUE);
  ::DestroyWindow(hwnd());
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
      if (row >= history_.rows.size() || tip.cchTextMax <= 0) return 0;
      const std::wstring text = Wide(HistoryRowTip(history_.rows[row]));
      lstrcpynW(tip.pszText, text.c_str(), tip.cchTextMax);
      return 0;
    }
    default: return 0;
  }
}

LRESULT HistoryWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NOTIFY: return Notify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDCANCEL || (id == kTutup && HIWORD(wparam) == BN_CLICKED)) {
        Close();
        return 0;
      }
      if (id == IDOK) {  // Enter on Tutup presses it; in the list it does nothing
        if (::GetFocus() == Control("cmdTutup")) Close();
        return 0;
      }
      break;
    }
    default: break;
  }
  return FormWindow::Handle(message, wparam, lparam);
}

}  // namespace sevrik::win32
