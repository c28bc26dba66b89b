// Ranuvel Plug-In: installs the new SEVRIK beside it into the customs application's folder
// and says how it went in one message box.
#include "platform/dialogs.h"
#include "platform/fs.h"
#include "platform/install.h"
#include "updater/update.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  const updater::UpdateOutcome outcome = updater::RunUpdate(ProgramFolder(), HostProgramFormat());
  MakeProgramDialogs(argc, argv, updater::kTitle)->ShowMessage(outcome.message, MsgButtons::Ok, MsgIcon::None);
  return outcome.status;
}
