#include "views/win32/layout.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sevrik::win32 {
namespace {

using forms::ControlKind;

// A function of user32 that Windows 7 lacks, found when the system has it.
template <class Function>
Function User32(const char* name) {
  static HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
  FARPROC found = user32 ? ::GetProcAddress(user32, name) : nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later

void LoadCommonControls() {
  static const bool loaded = [] {
    INITCOMMONCONTROLSEX init{sizeof(INITCOMMONCONTROLSEX),
                              ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    return ::InitCommonControlsEx(&init) != FALSE;
  }();
  (void)loaded;
}

struct KindClass {
  const wchar_t* cls;
  DWORD style;
  DWORD ex_style;
};

KindClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::Frame: return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Label: return {L"STATIC", SS_LEFT, 0};
    case ControlKind::Combo: return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, 0};
    case ControlKind::Edit: return {WC_EDITW, ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::Button: return {L"BUTTON", BS_PUSHBUTTON, 0};
    case ControlKind::ListView:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA, WS_EX_CLIENTEDGE};
    case ControlKind::ListBox:
      return {WC_LISTBOXW, LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::TextBox:
      return {WC_EDITW, ES_MULTILINE | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_WANTRETURN | WS_HSCROLL | WS_VSCROLL,
              WS_EX_CLIENTEDGE};
    case ControlKind::Divider: return {L"STATIC", SS_ETCHEDVERT, 0};
    case ControlKind::ProgressBar: return {PROGRESS_CLASSW, 0, 0};
  }
  return {L"STATIC", 0, 0};
}

// The drop-down list's height below a combo's selection field.
int DropHeight(int dpi) { return Px(2400, dpi); }

void RegisterFormClass(WNDPROC procedure) {
  static const bool registered = [procedure] {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof cls;
    cls.style = CS_DBLCLKS;
    cls.lpfnWndProc = procedure;
    cls.hInstance = ::GetModuleHandleW(nullptr);
    cls.hIcon = ::LoadIconW(cls.hInstance, MAKEINTRESOURCEW(1));  // the program's icon, when it has one
    cls.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    cls.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    cls.lpszClassName = kFormClass;
    return ::RegisterClassExW(&cls) != 0;
  }();
  if (!registered) throw LastWin32Error();
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

int WindowDpi(HWND window) {
  static const auto for_window = User32<GetDpiForWindowFn>("GetDpiForWindow");
  if (for_window && window) {
    const UINT dpi = for_window(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

RECT ControlRect(const forms::Form& table, const std::vector<forms::PixelRect>& layout, const forms::Control& c) {
  int left = 0, top = 0;
  if (std::string_view(c.container) != table.name) {
    const forms::PixelRect& frame = forms::RectOf(table, layout, c.container);
    left = frame.left;
    top = frame.top;
  }
  const forms::PixelRect& r = forms::RectOf(table, layout, c.name);
  return RECT{left + r.left, top + r.top, left + r.right(), top + r.top + r.height};
}

HFONT MakeFont(std::string_view family, double points, int dpi) {
  LOGFONTW font{};
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) font = metrics.lfMessageFont;
  else lstrcpynW(font.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  if (!family.empty()) {
    lstrcpynW(font.lfFaceName, Wide(family).c_str(), LF_FACESIZE);
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;  // where the family is missing, a fixed-pitch one
  }
  font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  font.lfWidth = 0;
  font.lfWeight = FW_NORMAL;
  font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
  font.lfCharSet = DEFAULT_CHARSET;
  return ::CreateFontIndirectW(&font);
}

FormWindow::FormWindow(const forms::Form& table) : table_(table) {}

FormWindow::~FormWindow() {
  if (hwnd_) ::DestroyWindow(hwnd_);
  if (font_) ::DeleteObject(font_);
}

DWORD FormWindow::Style() const {
  // Not clipping its children: the form paints the inside of its frames, which paint only
  // their edge and caption.
  if (table_.border == forms::Border::None) return WS_POPUP;
  // An overlapped window: the system places it where the table leaves that to the system.
  return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
}

DWORD FormWindow::ExStyle() const {
  if (table_.border == forms::Border::None) return WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
  return WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
}

void FormWindow::Create(HWND owner) {
  LoadCommonControls();
  RegisterFormClass(&FormWindow::Procedure);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  const int x = table_.placement == forms::Placement::SystemDefault ? CW_USEDEFAULT : 0;
  if (!::CreateWindowExW(ExStyle(), kFormClass, Wide(table_.caption).c_str(), Style(), x, x, 100, 100, owner,
                         nullptr, instance, this))
    throw LastWin32Error();
  dpi_ = WindowDpi(hwnd_);

  // The controls in the order of their tab indexes: the dialog manager's Tab follows it.
  std::vector<const forms::Control*> order;
  for (const forms::Control& c : table_.controls) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(),
                   [](const forms::Control* a, const forms::Control* b) { return a->tab < b->tab; });
  for (const forms::Control* c : order) {
    const KindClass k = ClassOf(c->kind);
    DWORD style = WS_CHILD | k.style | (c->hidden ? 0 : WS_VISIBLE);
    if (forms::TakesFocus(c->kind)) style |= WS_TABSTOP | WS_GROUP;
    HWND control = ::CreateWindowExW(k.ex_style, k.cls, Wide(c->caption).c_str(), style, 0, 0, 10, 10, hwnd_,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(table_, c->name))),
                                     instance, nullptr);
    if (!control) throw LastWin32Error();
    if (c->kind == ControlKind::ProgressBar) ::SendMessageW(control, PBM_SETRANGE32, 0, forms::kProgressDesignMaximum);
    if (*c->tool_tip) {
      if (!tips_)
        tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance, nullptr);
      std::wstring tip = Wide(c->tool_tip);
      TTTOOLINFOW info{};
      info.cbSize = TTTOOLINFOW_V2_SIZE;
      info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      info.hwnd = hwnd_;
      info.uId = reinterpret_cast<UINT_PTR>(control);
      info.lpszText = tip.data();
      ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
    }
  }
  Layout(dpi_);
}

HWND FormWindow::Control(std::string_view name) const { return ::GetDlgItem(hwnd_, ControlId(table_, name)); }

int FormWindow::TextWidth(std::string_view utf8) const {
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ before = ::SelectObject(dc, font_);
  const std::wstring text = Wide(utf8);
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, before);
  ::ReleaseDC(hwnd_, dc);
  return static_cast<int>(size.cx);
}

void FormWindow::Layout(int dpi) {
  dpi_ = dpi;
  HFONT old = font_;
  font_ = MakeFont(table_.font.family, table_.font.points > 0 ? table_.font.points : 8.0, dpi);
  RECT frame{0, 0, Px(table_.width, dpi), Px(table_.height, dpi)};
  static const auto adjust = User32<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  if (adjust) adjust(&frame, Style(), FALSE, ExStyle(), static_cast<UINT>(dpi));
  else ::AdjustWindowRectEx(&frame, Style(), FALSE, ExStyle());
  ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The font's height and what a closed drop-down list draws besides its text: its frame and
  // its arrow button, at this DPI (the system's metrics are those of the system's DPI).
  HDC dc = ::GetDC(hwnd_);
  HGDIOBJ before = ::SelectObject(dc, font_);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc, &metrics);
  ::SelectObject(dc, before);
  ::ReleaseDC(hwnd_, dc);
  const int system_dpi = [] {
    HDC screen = ::GetDC(nullptr);
    const int d = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ::ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  const auto metric = [&](int index) { return ::MulDiv(::GetSystemMetrics(index), dpi, system_dpi); };
  const int combo_chrome = metric(SM_CXVSCROLL) + 2 * metric(SM_CXEDGE);
  const std::vector<forms::PixelRect> layout = forms::LayOut(table_, dpi, [&](const forms::Control& c) {
    HWND control = Control(c.name);
    if (c.kind == ControlKind::Button) return forms::ButtonWidth(TextWidth(forms::CaptionText(c.caption)), dpi);
    if (c.kind != ControlKind::Combo) return 0;
    int widest = 0;
    const int count = static_cast<int>(::SendMessageW(control, CB_GETCOUNT, 0, 0));
    for (int e = 0; e < count; ++e) {
      std::wstring entry(static_cast<size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(e), 0)), L'\0');
      ::SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(e), reinterpret_cast<LPARAM>(entry.data()));
      widest = std::max(widest, TextWidth(Utf8(entry)));
    }
    return forms::ComboWidth(widest, combo_chrome, dpi);
  });
  for (const forms::Control& c : table_.controls) {
    HWND control = Control(c.name);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    RECT r = ControlRect(table_, layout, c);
    int height = r.bottom - r.top;
    if (c.kind == ControlKind::Combo) {
      // The closed field as high as its font needs (the system draws the entry from the field's
      // top), centred in the table's rectangle; the list drops below it.
      const int field = std::min(forms::ComboFieldHeight(metrics.tmHeight, dpi), std::max(height - 6, 1));
      ::SendMessageW(control, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
      r.top += (height - (field + 6)) / 2;
      height = field + 6 + DropHeight(dpi);
    }
    ::MoveWindow(control, r.left, r.top, r.right - r.left, height, TRUE);
  }
  if (old) ::DeleteObject(old);
  Laid();
}

void FormWindow::Show() {
  if (table_.placement == forms::Placement::CentreOfScreen) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    HWND near_window = ::GetWindow(hwnd_, GW_OWNER) ? ::GetWindow(hwnd_, GW_OWNER) : hwnd_;
    ::GetMonitorInfoW(::MonitorFromWindow(near_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT r;
    ::GetWindowRect(hwnd_, &r);
    const RECT& area = monitor.rcWork;
    const int x = area.left + (area.right - area.left - (r.right - r.left)) / 2;
    const int y = area.top + (area.bottom - area.top - (r.bottom - r.top)) / 2;
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const bool takes_focus = table_.border != forms::Border::None;
  if (takes_focus) {
    // The first control of the tab order has the focus whenever the window is activated, until
    // the user moves it: the system may activate the window after it shows (a window manager
    // does so when it maps it), and the activation gives the focus to the control kept here.
    const std::vector<const forms::Control*> order = forms::TabOrder(table_);
    if (!order.empty() && !focus_) focus_ = Control(order.front()->name);
  }
  ::ShowWindow(hwnd_, takes_focus ? SW_SHOW : SW_SHOWNA);
  if (takes_focus && focus_) ::SetFocus(focus_);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATE:
      // The focus comes back to the control that had it, as in a dialog.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd_, focus)) focus_ = focus;
      } else if (focus_ && ::IsWindow(focus_)) {
        ::SetFocus(focus_);
        return 0;
      }
      break;
    case WM_SETFOCUS:
      // The form itself never keeps the focus: it goes on to its control.
      if (focus_ && ::IsWindow(focus_)) {
        ::SetFocus(focus_);
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // Labels, frames and read-only boxes on the form's face, as in a dialog.
      ::SetBkColor(reinterpret_cast<HDC>(wparam), ::GetSysColor(COLOR_BTNFACE));
      ::SetTextColor(reinterpret_cast<HDC>(wparam), ::GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    case WM_SETCURSOR:
      if (busy_) {
        ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));
        return TRUE;
      }
      break;
    case kDpiChanged: {
      Layout(HIWORD(wparam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    case WM_CLOSE:
      ::DestroyWindow(hwnd_);
      return 0;
    default: break;
  }
  return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    form->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<FormWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form) return ::DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    form->hwnd_ = nullptr;
    form->tips_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return form->Handle(message, wparam, lparam);
}

namespace {

// Whether a key's message is the repeat of a held scroll key that a later message of the same
// key already waits behind: another repeat (the list moves once for both) or the key's release
// (the list stops where it is when the key is let go).
bool RepeatOvertaken(const MSG& message) {
  if (message.message != WM_KEYDOWN || !(message.lParam & (1 << 30))) return false;
  switch (message.wParam) {
    case VK_PRIOR: case VK_NEXT: case VK_UP: case VK_DOWN: break;
    default: return false;
  }
  MSG later;
  for (UINT kind : {WM_KEYDOWN, WM_KEYUP})
    if (::PeekMessageW(&later, message.hwnd, kind, kind, PM_NOREMOVE | PM_NOYIELD) && later.wParam == message.wParam)
      return true;
  return false;
}

}  // namespace

void RunWindow(FormWindow& form) {
  MSG message;
  while (form.hwnd() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (RepeatOvertaken(message)) continue;
    if (form.PreTranslate(message)) continue;
    if (form.hwnd() && ::IsDialogMessageW(form.hwnd(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void PaintPending() {
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);  // delivers the messages sent to the windows
  for (int i = 0; i < 64 && ::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE); ++i)
    ::DispatchMessageW(&message);
}

void ModalForm::RunModal(HWND focus) {
  if (owner_) ::EnableWindow(owner_, FALSE);
  Show();
  ::SetFocus(focus);
  RunWindow(*this);
  if (owner_) ::EnableWindow(owner_, TRUE);
}

void ModalForm::Close() {
  // The owner is enabled before this window goes, so that it takes the activation back.
  if (owner_) ::EnableWindow(owner_, TRUE);
  ::DestroyWindow(hwnd());
}

LRESULT ModalForm::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:  // the close box, and Escape in a multi-line text
      Close();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDCANCEL || (id == ControlId(table(), "cmdTutup") && HIWORD(wparam) == BN_CLICKED)) {
        Close();
        return 0;
      }
      if (id == IDOK) {  // Enter on Tutup presses it; anywhere else it does nothing
        if (::GetFocus() == Control("cmdTutup")) Close();
        return 0;
      }
      break;
    }
    default: break;
  }
  return FormWindow::Handle(message, wparam, lparam);
}

ControlTextWidths::ControlTextWidths(HWND control)
    : control_(control),
      dc_(::GetDC(control)),
      before_(::SelectObject(dc_, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)))) {}

ControlTextWidths::~ControlTextWidths() {
  ::SelectObject(dc_, before_);
  ::ReleaseDC(control_, dc_);
}

int ControlTextWidths::operator()(const std::string& utf8) const {
  const std::wstring wide = Wide(utf8);
  SIZE size{};
  ::GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
  return static_cast<int>(size.cx);
}

void SetListStyle(HWND list) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP |
                                              LVS_EX_LABELTIP | LVS_EX_DOUBLEBUFFER);
}

void InsertListColumn(HWND list, size_t index, const std::string& header, int width_twips, bool right, int dpi) {
  std::wstring text = Wide(header);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
  column.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
  column.cx = Px(width_twips, dpi);
  column.pszText = text.data();
  column.iSubItem = static_cast<int>(index);
  ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void AnswerInfoTip(NMLVGETINFOTIPW& tip, const std::string& text) {
  if (tip.cchTextMax <= 0) return;
  lstrcpynW(tip.pszText, Wide(text).c_str(), tip.cchTextMax);
}

}  // namespace sevrik::win32
