// Start-up and dispatch: the command line's action run on a session of its own, under the run
// lock where it writes, after the catch-up of a killed run and the kept statuses.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/lookups/session.h"

namespace sevrik {

// What Main needs from the program that runs it.
struct MainEnvironment {
  std::string program_folder;
  Dialogs& dialogs;
  std::function<std::unique_ptr<Database>(const std::string& connection_string)> connect;
  // Shows the window "list" (frmKb) or "log" (frmViewLog) and returns when it is closed.
  // Empty when the program has no windows.
  std::function<void(Session&, const std::string& window)> show_window;
  ProgressSink* progress = nullptr;
  // Tells the user something that needs no answer while the run goes on (that it waits for
  // another run). Empty: nothing is told.
  std::function<void(const std::string& text)> notice;
  // Writes one line of a report to standard output ("CHK"). Empty: the lines go nowhere.
  std::function<void(const std::string& line)> output;
  // Whether message boxes are windows (a display answers): a report is then shown in a box
  // too, for a user who started the program without a console.
  bool report_in_box = false;
};

// Main of SEVRIK for the argument text of its command line. Returns the exit status: 0, or
// 1 after the run-time error box when an error that nothing trapped ended the run.
// "CHK BC23 <CAR>" and "CHK BC25 <CAR>" check the document (CheckDocument) and write its
// report to the output; the status is 1 when a problem keeps the document from being queued.
// The actions that write flat files, start the translator or read its results ("QUE", "UNQ",
// "COM", "logdel") hold the run lock program folder + "\SEVRIK.LCK" for their whole run,
// from before the run log is emptied; a second run waits for the first. Every start with
// arguments writes the pending status updates (SEVRIK.PND) before its action.
int RunMain(const std::string& argument_text, MainEnvironment& env);

}  // namespace sevrik
