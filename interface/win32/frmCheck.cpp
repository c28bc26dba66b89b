#include "interface/win32/frmCheck.h"

#include "interface/forms.h"

namespace sevrik::win32 {
namespace {

constexpr int kTutup = ControlId(forms::kFrmCheck, "cmdTutup");

}  // namespace

CheckWindow::CheckWindow(HWND owner, const std::string& caption, const std::string& text)
    : FormWindow(forms::kFrmCheck), owner_(owner) {
  Create(owner);
  ::SetWindowTextW(hwnd(), Wide(caption).c_str());
  HWND box = Control("txtCheck");
  ::SendMessageW(box, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  ::SendMessageW(box, EM_SETREADONLY, TRUE, 0);
  ::SetWindowTextW(box, Wide(text).c_str());
}

CheckWindow::~CheckWindow() {
  if (hwnd()) ::DestroyWindow(hwnd());
  if (text_font_) ::DeleteObject(text_font_);
}

void CheckWindow::Laid() {
  HFONT old = text_font_;
  text_font_ = MakeFont(forms::kLogTextFont.family, forms::kLogTextFont.points, dpi());
  ::SendMessageW(Control("txtCheck"), WM_SETFONT, reinterpret_cast<WPARAM>(text_font_), TRUE);
  if (old) ::DeleteObject(old);
}

void CheckWindow::RunModal() {
  if (owner_) ::EnableWindow(owner_, FALSE);
  Show();
  ::SetFocus(Control("txtCheck"));
  RunWindow(*this);
  if (owner_) ::EnableWindow(owner_, TRUE);
}

void CheckWindow::Close() {
  // The owner is enabled before this window goes, so that it takes the activation back.
  if (owner_) ::EnableWindow(owner_, TRUE);
  ::DestroyWindow(hwnd());
}

LRESULT CheckWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:  // the close box, and Escape in the multi-line text
      Close();
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == IDCANCEL || (id == kTutup && HIWORD(wparam) == BN_CLICKED)) {
        Close();
        return 0;
      }
      if (id == IDOK) {  // Enter on Tutup presses it
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
