// ZUL: runs the translator for a command line of the shim's form. Qt is started only to show
// the error box on a display that is there.
#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "platform/process.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/dialogs_qt.h"
#include "platform/display.h"
#include "platform/error.h"
#include "platform/text.h"
#include "shim/zul_args.h"

namespace {

void ShowError(int& argc, char** argv, const std::string& text) {
  using namespace sevrik;
  if (DialogsOnDisplay()) {
    const std::string platform = QtPlatformFor(ReachableDisplay());
    if (!platform.empty()) ::setenv("QT_QPA_PLATFORM", platform.c_str(), 0);
    QApplication app(argc, argv);
    QtDialogs("ZUL").ShowMessage(text, MsgButtons::Ok, MsgIcon::None);
    return;
  }
  ConsoleDialogs("ZUL", std::cin, std::cerr).ShowMessage(text, MsgButtons::Ok, MsgIcon::None);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace sevrik;
  try {
    const zul::Arguments args = zul::SplitArguments(Trim(ArgumentText(argc, argv)));
    ShellAndWait(zul::TranslatorCommandLine(args));
  } catch (const Error& e) {
    ShowError(argc, argv, std::to_string(e.number()) + " - " + e.description());
  }
  return 0;
}
