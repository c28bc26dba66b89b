#include "views/win32/frmViewLog.h"

#include <optional>

#include "core/forms/forms.h"

namespace sevrik::win32 {
namespace {

constexpr UINT kReportListing = WM_APP + 1;  // tells what went wrong listing, once the window shows
constexpr int kFile1 = ControlId(forms::kFrmViewLog, "File1");
constexpr int kClose = ControlId(forms::kFrmViewLog, "cmdClose");

}  // namespace

LogViewerWindow::LogViewerWindow(Session& session) : FormWindow(forms::kFrmViewLog), viewer_(session) {
  Create(nullptr);
  ::SendMessageW(Control("txtMsg"), EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  // The list is filled once, here; what went wrong is told once the window shows.
  LogListing listing = viewer_.List();
  HWND list = Control("File1");
  for (const std::string& name : listing.names)
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  listing_error_ = listing.error;
  if (listing_error_) ::PostMessageW(hwnd(), kReportListing, 0, 0);
}

LogViewerWindow::~LogViewerWindow() {
  if (hwnd()) ::DestroyWindow(hwnd());
  if (text_font_) ::DeleteObject(text_font_);
}

void LogViewerWindow::Laid() {
  HFONT old = text_font_;
  text_font_ = MakeFont(forms::kLogTextFont.family, forms::kLogTextFont.points, dpi());
  ::SendMessageW(Control("txtMsg"), WM_SETFONT, reinterpret_cast<WPARAM>(text_font_), TRUE);
  if (old) ::DeleteObject(old);
}

void LogViewerWindow::ShowFile(const std::string& name) {
  if (const std::optional<std::string> text = viewer_.Read(name, "\r\n"))
    ::SetWindowTextW(Control("txtMsg"), Wide(*text).c_str());
}

LRESULT LogViewerWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      // The list takes the focus with a name selected (the first when none is) and shown, as
      // the keyboard selects it: the first Down shows the next file.
      if (id == kFile1 && HIWORD(wparam) == LBN_SETFOCUS) {
        HWND list = Control("File1");
        if (::SendMessageW(list, LB_GETCURSEL, 0, 0) == LB_ERR && ::SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
          ::SendMessageW(list, LB_SETCURSEL, 0, 0);
          ::PostMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(kFile1, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        }
        return 0;
      }
      // The selection moved, by a click or by the keyboard: the file shows.
      if (id == kFile1 && HIWORD(wparam) == LBN_SELCHANGE) {
        HWND list = Control("File1");
        const LRESULT at = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (at == LB_ERR) return 0;
        std::wstring name(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0)), L'\0');
        ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name.data()));
        ShowFile(Utf8(name));
        return 0;
      }
      if (id == kClose && HIWORD(wparam) == BN_CLICKED) {
        ::DestroyWindow(hwnd());
        return 0;
      }
      if (id == IDOK) {  // Enter on a focused button presses it
        HWND focus = ::GetFocus();
        if (focus == Control("cmdClose")) ::SendMessageW(focus, BM_CLICK, 0, 0);
        return 0;
      }
      if (id == IDCANCEL) return 0;  // Escape closes nothing
      break;
    }
    case kReportListing: {
      if (listing_error_) viewer_.Report(*listing_error_);
      listing_error_.reset();
      return 0;
    }
    default: break;
  }
  return FormWindow::Handle(message, wparam, lparam);
}

}  // namespace sevrik::win32
