// The run log: per error, one line with the number between single blanks, one line with the
// description, Windows-1252, CR LF.
#pragma once

#include <string_view>

#include "base/error.h"

namespace sevrik {

// Appends `error` to the log file (created if missing). A log that cannot be written is
// passed over silently: the log is the error path itself.
void AppendToRunLog(std::string_view log_path, const Error& error);

// Creates or empties the log file; errors go to the caller.
void ResetRunLog(std::string_view log_path);

}  // namespace sevrik
