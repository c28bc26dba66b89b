// frmViewLog's logic without a window: the log folder (the package folder's "ipdata"), the
// "*.log" names in it, a file's text as the view shows it, and the box that tells what could
// not be listed or read. The viewer only reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "core/lookups/session.h"

namespace sevrik {

// The names (without folder) of a listing, and what went wrong making it.
struct LogListing {
  std::vector<std::string> names;
  std::optional<Error> error;
};

// The bytes of a log file (Windows-1252, lines ended by CR LF) as UTF-8 text whose lines end
// with `line_end` ("\n" for a view that breaks lines at LF, "\r\n" for one that needs both).
std::string DecodeLogText(std::string_view bytes, std::string_view line_end);

class LogViewer {
 public:
  // Reads the session's package folder and shows its boxes through the session's Dialogs;
  // the session outlives the viewer.
  explicit LogViewer(const Session& session);

  // Package folder + "\ipdata".
  std::string Folder() const;
  // The names in the folder that match "*.log" (any case), in listing order; the list is read
  // once, when the form loads. A folder that does not exist is error 76 naming it, a listing
  // that fails its own error: the names are then empty and the error is for Report.
  LogListing List() const;
  // The whole text of the named file of the folder, decoded, or nothing after the error box
  // when it cannot be read (removed or locked since it was listed): the view keeps its text.
  std::optional<std::string> Read(const std::string& name, std::string_view line_end) const;
  // The error box: "Run-time error 'N':", an empty line, the description; title "Perhatian",
  // OK, the exclamation icon.
  void Report(const Error& error) const;

 private:
  const Session& s_;
};

}  // namespace sevrik
