// Ranuvel Plug-In.exe: installs the new SEVRIK.exe beside it into the customs application's
// folder and says how it went in one message box.
#include <iostream>

#include "platform/dialogs.h"
#include "platform/dialogs_win32.h"
#include "platform/fs.h"
#include "updater/update.h"

int main() {
  using namespace sevrik;
  const updater::UpdateOutcome outcome = updater::RunUpdate(ProgramFolder(), updater::ProgramFormat::Pe);
  if (DialogsOnDisplay()) Win32Dialogs(updater::kTitle).ShowMessage(outcome.message, MsgButtons::Ok, MsgIcon::None);
  else ConsoleDialogs(updater::kTitle, std::cin, std::cerr).ShowMessage(outcome.message, MsgButtons::Ok, MsgIcon::None);
  return outcome.status;
}
