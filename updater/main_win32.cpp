// Ranuvel Plug-In.exe: installs the new SEVRIK.exe beside it into the customs application's
// folder and says how it went in one message box.
#include <iostream>

#include "platform/dialogs.h"
#include "platform/dialogs_win32.h"
#include "platform/fs.h"
#include "updater/update.h"

int main() {
  using namespace sevrik;
  const std::string message = updater::RunUpdate(ProgramFolder());
  if (DialogsOnDisplay()) Win32Dialogs(updater::kTitle).ShowMessage(message, MsgButtons::Ok, MsgIcon::None);
  else ConsoleDialogs(updater::kTitle, std::cin, std::cerr).ShowMessage(message, MsgButtons::Ok, MsgIcon::None);
  return 0;
}
