#include "views/win32/frmCheck.h"

#include "core/forms/forms.h"

namespace sevrik::win32 {

CheckWindow::CheckWindow(HWND owner, const std::string& caption, const std::string& text)
    : ModalForm(forms::kFrmCheck, owner) {
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

void CheckWindow::RunModal() { ModalForm::RunModal(Control("txtCheck")); }

}  // namespace sevrik::win32
