// frmCheck on the Win32 common controls: the check's report of a document in a read-only
// multi-line text box (scrolled, selected and copied as any text), modal to the browser;
// Tutup or Escape closes it.
#pragma once

#include <string>

#include "views/win32/layout.h"

namespace sevrik::win32 {

class CheckWindow : public ModalForm {
 public:
  // Makes the window, hidden, above `owner`, with the caption and the report (CR LF lines).
  CheckWindow(HWND owner, const std::string& caption, const std::string& text);
  ~CheckWindow() override;
  // Shows it with the owner disabled, the report focused, and returns when it is closed.
  void RunModal();

 protected:
  void Laid() override;

 private:
  HFONT text_font_ = nullptr;
};

}  // namespace sevrik::win32
