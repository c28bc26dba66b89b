// ZUL: runs the translator for a command line of the shim's form.
#include <QCoreApplication>
#include <iostream>
#include <memory>

#include "interface/mdlINI.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/dialogs_qt.h"
#include "platform/error.h"
#include "platform/text.h"
#include "shim/zul_args.h"

#include <QApplication>

int main(int argc, char** argv) {
  using namespace sevrik;
  std::unique_ptr<QCoreApplication> app;
  std::unique_ptr<Dialogs> dialogs;
  if (WindowsAvailable()) {
    app = std::make_unique<QApplication>(argc, argv);
    dialogs = std::make_unique<QtDialogs>("ZUL");
    SetPendingEventsHandler([] { QCoreApplication::processEvents(); });
  } else {
    dialogs = std::make_unique<ConsoleDialogs>("ZUL", std::cin, std::cerr);
  }
  try {
    const zul::Arguments args = zul::SplitArguments(Trim(ArgumentText(argc, argv)));
    ShellAndWait(zul::TranslatorCommandLine(args));
  } catch (const Error& e) {
    dialogs->MessageBox(std::to_string(e.number()) + " - " + e.description(), MsgButtons::Ok, MsgIcon::None);
  }
  return 0;
}
