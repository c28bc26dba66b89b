// Ranuvel Plug-In: installs the new SEVRIK beside it into the customs application's folder
// and says how it went in one message box.
#include <QApplication>
#include <iostream>
#include <memory>

#include "platform/dialogs.h"
#include "platform/dialogs_qt.h"
#include "platform/fs.h"
#include "updater/update.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  const updater::UpdateOutcome outcome = updater::RunUpdate(ProgramFolder(), updater::ProgramFormat::Elf);
  std::unique_ptr<QApplication> app;
  std::unique_ptr<Dialogs> dialogs;
  if (DialogsOnDisplay()) {
    app = std::make_unique<QApplication>(argc, argv);
    dialogs = std::make_unique<QtDialogs>(updater::kTitle);
  } else {
    dialogs = std::make_unique<ConsoleDialogs>(updater::kTitle, std::cin, std::cerr);
  }
  dialogs->ShowMessage(outcome.message, MsgButtons::Ok, MsgIcon::None);
  return outcome.status;
}
