// The forms of SEVRIK on the Win32 common controls: the document browser ("list") and the log
// viewer ("log"), each run with the dialog manager's keyboard until it is closed.
#pragma once

#include <string>

#include "core/lookups/session.h"

namespace sevrik::win32 {

// Shows the form named by the command ("list" or "log") and returns when it is closed.
void ShowForm(Session& session, const std::string& command);

}  // namespace sevrik::win32
