// The forms of SEVRIK on Qt Widgets, shown on a display: the document browser ("list") and the
// log viewer ("log"). Needs a QApplication.
#pragma once

#include <string>

#include "core/lookups/session.h"

namespace sevrik::qt {

// Shows the form named by the command ("list" or "log") and returns when it is closed.
void ShowForm(Session& session, const std::string& command);

}  // namespace sevrik::qt
