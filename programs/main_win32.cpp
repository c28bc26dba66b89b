// SEVRIK.exe: the interface between the TPB customs application and the EDI translator, on
// Windows. The command-line actions run on the ODBC adapter; "list" and "log" show the windows
// on the Win32 common controls, and a BC 2.3 build started from the command line shows
// frmProgress.
#include <iostream>
#include <memory>

#include "base/error.h"
#include "base/text.h"
#include "core/forms/console_progress.h"
#include "core/lookups/document_types.h"
#include "core/lookups/program.h"
#include "core/startup.h"
#include "db/connect.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/dialogs_win32.h"
#include "platform/display.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "views/win32/frmProgress.h"
#include "views/win32/layout.h"
#include "views/win32/views.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  std::unique_ptr<Dialogs> dialogs;
  const bool on_display = DialogsOnDisplay();
  if (on_display) dialogs = std::make_unique<Win32Dialogs>(kAppTitle);
  else dialogs = std::make_unique<ConsoleDialogs>(kAppTitle, std::cin, std::cerr);
  MainEnvironment env{ProgramFolder(), *dialogs, ConnectDatabase, {}, nullptr,
                      [](const std::string& text) { std::cerr << text << std::endl; },
                      [](const std::string& line) { std::cout << ToCp1252(line) << "\n" << std::flush; }};
  env.report_in_box = DialogsOnDisplay();
  env.show_window = [](Session& session, const std::string& window) { win32::ShowForm(session, window); };
  // The windows repaint while the program waits for a child process; they take no input then.
  SetPendingEventsHandler([] { win32::PaintPending(); });

  // A BC 2.3 build shows its progress: in frmProgress with message boxes as windows, else as a
  // line on a terminal; nothing when the error stream is a file or a pipe.
  const std::string arguments = ProgramArgumentText(argc, argv);
  win32::ProgressWindow progress_window;
  ConsoleProgress console_progress(std::cerr);
  if (ShowsBuildProgress(arguments)) {
    if (on_display) env.progress = &progress_window;
    else if (StandardErrorIsTerminal()) env.progress = &console_progress;
  }
  return RunMain(arguments, env);
}
