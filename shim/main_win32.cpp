// ZUL.exe: runs the translator for a command line of the shim's form.
#include <iostream>
#include <memory>

#include "platform/process.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/dialogs_win32.h"
#include "platform/error.h"
#include "platform/text.h"
#include "shim/zul_args.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  try {
    const zul::Arguments args = zul::SplitArguments(Trim(ProgramArgumentText(argc, argv)));
    ShellAndWait(zul::TranslatorCommandLine(args));
  } catch (const Error& e) {
    const std::string text = std::to_string(e.number()) + " - " + e.description();
    if (DialogsOnDisplay()) Win32Dialogs("ZUL").ShowMessage(text, MsgButtons::Ok, MsgIcon::None);
    else ConsoleDialogs("ZUL", std::cin, std::cerr).ShowMessage(text, MsgButtons::Ok, MsgIcon::None);
  }
  return 0;
}
