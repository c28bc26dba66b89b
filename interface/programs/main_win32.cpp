// SEVRIK.exe: the interface between the TPB customs application and the EDI translator, on
// Windows. The command-line actions run on the ODBC adapter; the windows ("list", "log") are
// not built for Windows yet and say so.
#include <iostream>
#include <memory>

#include "db/connect.h"
#include "interface/mdlMain.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/dialogs_win32.h"
#include "platform/error.h"
#include "platform/fs.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  std::unique_ptr<Dialogs> dialogs;
  if (DialogsOnDisplay()) dialogs = std::make_unique<Win32Dialogs>(kAppTitle);
  else dialogs = std::make_unique<ConsoleDialogs>(kAppTitle, std::cin, std::cerr);
  MainEnvironment env{ProgramFolder(), *dialogs, ConnectDatabase, {}, nullptr,
                      [](const std::string& text) { std::cerr << text << std::endl; }};
  env.show_window = [](Session&, const std::string& window) {
    throw Error(err::kActionNotSupported,
                "Jendela \"" + window + "\" belum tersedia pada SEVRIK untuk Windows versi ini.");
  };
  return RunMain(ProgramArgumentText(argc, argv), env);
}
