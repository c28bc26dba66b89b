// SEVRIK: the interface between the TPB customs application and the EDI translator.
// The windows are loaded only when one is shown; the console actions run without them.
#include <iostream>
#include <memory>

#include "base/error.h"
#include "core/forms/console_progress.h"
#include "core/lookups/document_types.h"
#include "core/lookups/program.h"
#include "core/startup.h"
#include "db/connect.h"
#include "platform/args.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/module.h"
#include "platform/process.h"
#include "views/qt/window_module_entry.h"

namespace sevrik {
namespace {

// The window module, loaded at the first window.
class Windows {
 public:
  Windows(int* argc, char** argv) : argc_(argc), argv_(argv) {}

  // The module when a display is reachable and the module loads; else null, with the
  // reason in why().
  WindowModule* Get() {
    if (tried_) return module_;
    tried_ = true;
    const DisplayKind display = ReachableDisplay();
    if (display == DisplayKind::None) {
      why_ = "tidak ada tampilan (DISPLAY, WAYLAND_DISPLAY) yang dapat dijangkau";
      return nullptr;
    }
    const auto entry = reinterpret_cast<WindowModuleEntry>(
        LoadModuleSymbol(kWindowModuleFile, SEVRIK_WINDOW_MODULE_DIR, kWindowModuleEntry, why_));
    if (!entry) return nullptr;
    module_ = entry(argc_, argv_, kAppTitle, QtPlatformFor(display).c_str());
    SetPendingEventsHandler([m = module_] { m->ProcessEvents(); });
    return module_;
  }
  const std::string& why() const { return why_; }

 private:
  int* argc_;
  char** argv_;
  bool tried_ = false;
  WindowModule* module_ = nullptr;
  std::string why_;
};

// Message boxes on the console until one is shown on a reachable display.
class ProgramDialogs : public Dialogs {
 public:
  explicit ProgramDialogs(Windows& windows) : windows_(windows), console_(kAppTitle, std::cin, std::cerr) {}
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override {
    if (DialogsOnDisplay())
      if (WindowModule* m = windows_.Get()) return m->dialogs().ShowMessage(text, buttons, icon, title);
    return console_.ShowMessage(text, buttons, icon, title);
  }

 private:
  Windows& windows_;
  ConsoleDialogs console_;
};

}  // namespace
}  // namespace sevrik

int main(int argc, char** argv) {
  using namespace sevrik;
  Windows windows(&argc, argv);
  ProgramDialogs dialogs(windows);
  MainEnvironment env{ProgramFolder(), dialogs, ConnectDatabase, {}, nullptr,
                      [](const std::string& text) { std::cerr << text << std::endl; },
                      [](const std::string& line) { std::cout << line << '\n' << std::flush; }};
  env.report_in_box = DialogsOnDisplay();
  env.show_window = [&windows](Session& session, const std::string& window) {
    WindowModule* m = windows.Get();
    if (!m)
      throw Error(err::kDeviceUnavailable,
                  "Jendela \"" + window + "\" tidak dapat ditampilkan: " + windows.why() + ".");
    m->ShowWindow(session, window);
  };
  // A BC 2.3 build shows its progress: in frmProgress on a display, else as a line on a
  // terminal; nothing when the error stream is a file or a pipe.
  ConsoleProgress console_progress(std::cerr);
  const std::string arguments = ArgumentText(argc, argv);
  if (ShowsBuildProgress(arguments)) {
    if (DialogsOnDisplay()) {
      if (WindowModule* m = windows.Get()) env.progress = &m->progress();
    } else if (StandardErrorIsTerminal()) {
      env.progress = &console_progress;
    }
  }
  return RunMain(arguments, env);
}
