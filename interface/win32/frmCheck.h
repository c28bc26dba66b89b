// frmCheck on the Win32 common controls: the check's report of a document in a read-only
// multi-line text box (scrolled, selected and copied as any text), modal to the browser;
// Tutup or Escape closes it.
#pragma once

#include <string>

#include "interface/win32/layout.h"

namespace sevrik::win32 {

class CheckWindow : public FormWindow {
 public:
  // Makes the window, hidden, above `owner`, with the caption and the report (CR LF lines).
  CheckWindow(HWND owner, const std::string& caption, const std::string& text);
  ~CheckWindow() override;
  // Shows it with the owner disabled and returns when it is closed.
  void RunModal();

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Laid() override;

 private:
  void Close();

  HWND owner_;
  HFONT text_font_ = nullptr;
};

}  // namespace sevrik::win32
