// SEVRIK's windows live in a module of their own, loaded only when a window is shown (a
// message box on a display, "list", "log"), so that the console actions never load the
// window system's libraries.
#pragma once

#include <memory>
#include <string>

#include "core/lookups/session.h"
#include "platform/dialogs.h"

namespace sevrik {

class WindowModule {
 public:
  virtual ~WindowModule() = default;
  // Message boxes as windows.
  virtual Dialogs& dialogs() = 0;
  // Shows the window "list" (frmKb) or "log" (frmViewLog) and returns when it is closed.
  virtual void ShowWindow(Session& session, const std::string& window) = 0;
  // Lets the windows repaint while the program waits for a child process.
  virtual void ProcessEvents() = 0;
  // frmProgress, for a BC 2.3 build started from the command line.
  virtual ProgressSink& progress() = 0;
};

}  // namespace sevrik
