// The windows of SEVRIK on a display: the document browser ("list") and the log viewer
// ("log"). Needs a QApplication.
#pragma once

#include <string>

#include "interface/session.h"

namespace sevrik::windows {

// Shows the window named by the command ("list" or "log") and returns when it is closed.
void ShowWindow(Session& session, const std::string& command);

}  // namespace sevrik::windows
