#include "platform/dialogs_win32.h"

#include <iostream>

#include "platform/win32.h"

namespace sevrik {

MsgAnswer Win32Dialogs::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                   const std::string& title) {
  UINT style = buttons == MsgButtons::YesNo ? MB_YESNO : MB_OK;
  switch (icon) {
    case MsgIcon::None: break;
    case MsgIcon::Critical: style |= MB_ICONHAND; break;
    case MsgIcon::Question: style |= MB_ICONQUESTION; break;
    case MsgIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
    case MsgIcon::Information: style |= MB_ICONASTERISK; break;
  }
  // The box belongs to the window that asks (the thread's active window), which it keeps
  // disabled while it is shown; without one it belongs to the task, in front of the others.
  HWND owner = ::GetActiveWindow();
  style |= (owner ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND;
  const int answer = ::MessageBoxA(owner, ToAnsi(text).c_str(), ToAnsi(title.empty() ? app_title_ : title).c_str(),
                                   style);
  if (buttons == MsgButtons::Ok) return MsgAnswer::Ok;
  // A box that could not be shown (answer 0) asks nothing: No, as a closed console's input.
  return answer == IDYES ? MsgAnswer::Yes : MsgAnswer::No;
}

std::unique_ptr<Dialogs> MakeProgramDialogs(int&, char**, const std::string& app_title) {
  if (DialogsOnDisplay()) return std::make_unique<Win32Dialogs>(app_title);
  return std::make_unique<ConsoleDialogs>(app_title, std::cin, std::cerr);
}

}  // namespace sevrik
