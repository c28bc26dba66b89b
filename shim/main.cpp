// ZUL: runs the translator for a command line of the shim's form. A window system is started
// only to show the error box on a display that answers.
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/process.h"
#include "shim/zul_args.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  try {
    const zul::Arguments args = zul::SplitArguments(Trim(ProgramArgumentText(argc, argv)));
    ShellAndWait(zul::TranslatorCommandLine(args));
  } catch (const Error& e) {
    MakeProgramDialogs(argc, argv, "ZUL")->ShowMessage(std::to_string(e.number()) + " - " + e.description(),
                                                       MsgButtons::Ok, MsgIcon::None);
  }
  return 0;
}
