#include "views/win32/frmKb.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "core/forms/forms.h"
#include "views/win32/frmCheck.h"
#include "views/win32/frmHistory.h"

namespace sevrik::win32 {
namespace {

constexpr int Id(const char* name) { return ControlId(forms::kFrmKb, name); }

std::wstring Text(HWND control) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(control)), L'\0');
  ::GetWindowTextW(control, text.data(), static_cast<int>(text.size()) + 1);
  return text;
}

}  // namespace

BrowserWindow::BrowserWindow(Session& session) : FormWindow(forms::kFrmKb), browser_(session, *this) {
  Create(nullptr);
  ::SetWindowTextW(hwnd(), Wide(BrowserCaption()).c_str());
  HWND document = Control("cbDok");
  for (const char* type : kDocumentTypes)
    ::SendMessageW(document, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(type).c_str()));
  ::SendMessageW(document, CB_SETCURSEL, 0, 0);
  HWND field = Control("cbFld");
  for (const char* name : kSearchFields)
    ::SendMessageW(field, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  ::SendMessageW(field, CB_SETCURSEL, 0, 0);
  Layout(dpi());  // the drop-down lists as wide as their entries need

  HWND list = list_ = Control("lView1");
  SetListStyle(list);
  for (size_t i = 0; i < kListColumns.size(); ++i)
    InsertListColumn(list, i, kListColumns[i].header, kListColumns[i].width_twips, kListColumns[i].right, dpi());
  SizeColumns();
}

BrowserWindow::~BrowserWindow() {
  if (hwnd()) ::DestroyWindow(hwnd());
}

BrowseSearch BrowserWindow::Search() const {
  const auto index = [this](const char* name) {
    return static_cast<int>(::SendMessageW(Control(name), CB_GETCURSEL, 0, 0));
  };
  return {index("cbDok"), index("cbFld"), Utf8(Text(Control("txtQ")))};
}

std::optional<size_t> BrowserWindow::SelectedRow() const {
  const int row = ListView_GetNextItem(Control("lView1"), -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return static_cast<size_t>(row);
}

bool BrowserWindow::PreTranslate(const MSG& message) {
  if (!hwnd() || !::IsWindowEnabled(hwnd())) return false;
  if (message.hwnd != hwnd() && !::IsChild(hwnd(), message.hwnd)) return false;
  const bool ctrl = ::GetKeyState(VK_CONTROL) < 0, alt = ::GetKeyState(VK_MENU) < 0,
             shift = ::GetKeyState(VK_SHIFT) < 0;
  const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
  const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
  // Shift+F10 and the menu key open the row's menu in the list, the same on every system;
  // their releases are taken too (F10's would otherwise open the window's system menu).
  const bool menu_key = message.wParam == VK_APPS || (message.wParam == VK_F10 && shift && !ctrl && !alt);
  if (message.hwnd == list_ && menu_key && (down || up)) {
    if (down) RowMenu(-1, -1);
    return true;
  }
  if (message.message != WM_KEYDOWN) return false;
  if (message.wParam == VK_F4 && !ctrl && !alt && !shift) {
    CheckSelected();
    return true;
  }
  if (message.wParam == VK_F3 && !ctrl && !alt && !shift) {
    HistorySelected();
    return true;
  }
  if (ctrl && !alt && !shift && message.wParam >= '1' && message.wParam < '1' + kSortKeyColumns) {
    SortBy(static_cast<size_t>(message.wParam - '1'));
    return true;
  }
  return false;
}

void BrowserWindow::CheckSelected() {
  Busy([this] { browser_.Check(Search(), SelectedRow()); });
}

void BrowserWindow::HistorySelected() {
  Busy([this] { browser_.History(Search(), SelectedRow()); });
}

void BrowserWindow::SortBy(size_t column) {
  Busy([&] { browser_.SortBy(column, SelectedRow()); });
}

void BrowserWindow::ShowReport(const std::string& caption, const std::string& text) {
  CheckWindow check(hwnd(), caption, text);
  check.RunModal();
  ::SetActiveWindow(hwnd());
}

void BrowserWindow::ShowHistory(const HistoryList& history) {
  HistoryWindow window(hwnd(), history);
  window.RunModal();
  ::SetActiveWindow(hwnd());
}

void BrowserWindow::RowMenu(int x, int y) {
  HWND list = Control("lView1");
  POINT at{x, y};
  if (x == -1 && y == -1) {
    const std::optional<size_t> row = SelectedRow();
    if (!row) return;
    RECT rect{};
    ListView_GetItemRect(list, static_cast<int>(*row), &rect, LVIR_LABEL);
    at = {rect.left, rect.bottom};
    ::ClientToScreen(list, &at);
  } else {
    // A right-click: on a row, which the list has selected; elsewhere, no menu.
    LVHITTESTINFO hit{};
    hit.pt = at;
    ::ScreenToClient(list, &hit.pt);
    if (ListView_HitTest(list, &hit) < 0) return;
    Select(static_cast<size_t>(hit.iItem));
  }
  HMENU menu = ::CreatePopupMenu();
  for (size_t i = 0; i < kRowMenu.size(); ++i) {
    const std::string key = *kRowMenu[i].key ? std::string("\t") + kRowMenu[i].key : std::string();
    ::AppendMenuW(menu, MF_STRING, i + 1, Wide(kRowMenu[i].text + key).c_str());
  }
  const UINT chosen = ::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x,
                                       at.y, 0, hwnd(), nullptr);
  ::DestroyMenu(menu);
  if (chosen < 1 || chosen > kRowMenu.size()) return;
  switch (kRowMenu[chosen - 1].action) {
    case RowAction::Check: CheckSelected(); break;
    case RowAction::History: HistorySelected(); break;
    case RowAction::FailedOnly: Busy([this] { browser_.ListFailed(Search()); }); break;
  }
}

void BrowserWindow::Browse() {
  Busy([this] { browser_.Browse(Search()); });
}

void BrowserWindow::RowsAboutToChange() {
  // The list reads the rows that are about to go: it holds none until they are drawn.
  HWND list = Control("lView1");
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemCountEx(list, 0, 0);
}

void BrowserWindow::Draw(const BrowseOutcome& outcome) {
  HWND list = Control("lView1");
  ListView_SetItemCountEx(list, static_cast<int>(outcome.rows.size()), 0);
  ::SetWindowTextW(Control("Frame1"), Wide(outcome.frame_caption).c_str());
  ::SetWindowTextW(Control("txtTot"), Wide(outcome.total).c_str());
  SizeColumns();
  // The header shows the column sorted by and which way.
  HWND header = ListView_GetHeader(list);
  for (int i = 0; header && i < Header_GetItemCount(header); ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    Header_GetItem(header, i, &item);
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (outcome.sort_column && static_cast<size_t>(i) == *outcome.sort_column)
      item.fmt |= outcome.ascending ? HDF_SORTUP : HDF_SORTDOWN;
    Header_SetItem(header, i, &item);
  }
  if (outcome.selected) Select(*outcome.selected);
  ::InvalidateRect(list, nullptr, TRUE);
  ::UpdateWindow(list);
}

void BrowserWindow::Select(size_t row) {
  HWND list = Control("lView1");
  const int at = static_cast<int>(row);
  ListView_SetItemState(list, at, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list, at, FALSE);
}

void BrowserWindow::Laid() { SizeColumns(); }

void BrowserWindow::SizeColumns() {
  HWND list = Control("lView1");
  HWND header = ListView_GetHeader(list);
  if (!header || Header_GetItemCount(header) != static_cast<int>(kListColumns.size())) return;
  const ControlTextWidths width_of(list);
  for (size_t column = 0; column < kListColumns.size(); ++column)
    ListView_SetColumnWidth(list, static_cast<int>(column), ColumnWidth(column, dpi(), browser_.outcome().rows, std::cref(width_of)));
}

LRESULT BrowserWindow::Notify(NMHDR& header) {
  HWND list = list_;
  if (!list || header.hwndFrom != list) return 0;
  const DocumentRows& rows = browser_.outcome().rows;
  switch (header.code) {
    case LVN_GETDISPINFOW: {
      // One cell of a row the list draws: the row is formatted once for all its cells (the
      // core keeps the last pages' rows), nothing is read from the database.
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
      const auto row = static_cast<size_t>(item.iItem);
      const auto column = static_cast<size_t>(item.iSubItem);
      if ((item.mask & LVIF_TEXT) && row < rows.size() && column < kListColumns.size()) {
        cell_ = Wide(rows.Cell(row, column));
        item.pszText = cell_.data();
      }
      return 0;
    }
    case LVN_GETINFOTIPW: {
      auto& tip = reinterpret_cast<NMLVGETINFOTIPW&>(header);
      const auto row = static_cast<size_t>(tip.iItem);
      if (row < rows.size()) AnswerInfoTip(tip, browser_.RowToolTip(row));
      return 0;
    }
    case LVN_COLUMNCLICK:
      SortBy(static_cast<size_t>(reinterpret_cast<NMLISTVIEW&>(header).iSubItem));
      return 0;
    case NM_SETFOCUS:
      // The focused row is the selected row: the list takes the focus with a row selected.
      if (!rows.empty() && ListView_GetNextItem(list, -1, LVNI_SELECTED) < 0) {
        const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
        Select(focused >= 0 ? static_cast<size_t>(focused) : 0);
      }
      return 0;
    default: return 0;
  }
}

LRESULT BrowserWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_NOTIFY: return Notify(*reinterpret_cast<NMHDR*>(lparam));
    case WM_CONTEXTMENU:
      if (reinterpret_cast<HWND>(wparam) == list_) {
        RowMenu(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
        return 0;
      }
      break;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const bool clicked = HIWORD(wparam) == BN_CLICKED;
      if (id == IDOK) {
        // Enter: Browse in the search text, a press of a focused button.
        HWND focus = ::GetFocus();
        if (focus == Control("txtQ")) Browse();
        else if (focus && ::IsChild(hwnd(), focus) && (::SendMessageW(focus, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON))
          ::SendMessageW(focus, BM_CLICK, 0, 0);
        return 0;
      }
      if (id == IDCANCEL) return 0;  // Escape does not close the browser
      if (!clicked) break;
      if (id == Id("cmdGo")) Browse();
      else if (id == Id("cmdFlat")) Busy([this] { browser_.Create(Search(), SelectedRow()); });
      else if (id == Id("cmdBatal")) Busy([this] { browser_.Cancel(Search(), SelectedRow()); });
      else if (id == Id("cmdConnect")) Busy([this] { browser_.Communicate(); });
      else if (id == Id("cmdClose")) ::DestroyWindow(hwnd());
      else break;
      return 0;
    }
    default: break;
  }
  return FormWindow::Handle(message, wparam, lparam);
}

}  // namespace sevrik::win32
