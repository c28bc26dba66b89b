// What one run of the interface shares between its procedures: the connection, the folders
// and the network profile read at start-up, the message boxes and the progress display.
#pragma once

#include <string>

#include "db/database.h"
#include "platform/dialogs.h"
#include "platform/locale.h"

namespace sevrik {

// Receives the progress of a long build. The window implements it; without a window nothing
// is shown.
class ProgressSink {
 public:
  virtual ~ProgressSink() = default;
  virtual void Show() {}
  virtual void SetMaximum(long) {}
  virtual void SetValue(long) {}
  virtual void Hide() {}
  // Tells the user that the run waits (for another run); Show or Hide ends the notice.
  virtual void Notice(const std::string&) {}
};

struct Session {
  Database& db;
  Dialogs& dialogs;
  std::string program_folder;   // the folder of SEVRIK, without a trailing separator
  std::string package_folder;   // tblSetting.FOLDERNUVAR, placed by FolderSettingPath
  std::string network_profile;  // tblSetting.NETWORKNUVAR, as stored
  LocaleInfo locale = UserLocale();  // held by value: a temporary given here must not dangle
  ProgressSink* progress = nullptr;
  // Where the actions come from: "command line", or "window" once a window shows.
  std::string origin = "command line";

  // The run log; "\SEVRIK.LOG" and "\SEVRIK.log" name the same file.
  std::string RunLogPath() const { return program_folder + "\\SEVRIK.log"; }
  // The file whose lock lets one run at a time write flat files and start the translator.
  std::string RunLockPath() const { return program_folder + "\\SEVRIK.LCK"; }
};

}  // namespace sevrik
