// Message boxes as Win32 windows.
#pragma once

#include <string>

#include "platform/dialogs.h"

namespace sevrik {

class Win32Dialogs : public Dialogs {
 public:
  explicit Win32Dialogs(std::string app_title) : app_title_(std::move(app_title)) {}
  // MessageBoxA with the buttons and the icon, owned by the active window of the thread (the
  // window that asks); text and title in the system's code page.
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title = {}) override;

 private:
  std::string app_title_;
};

}  // namespace sevrik
