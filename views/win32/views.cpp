#include "views/win32/views.h"

#include "views/win32/frmKb.h"
#include "views/win32/frmProgress.h"
#include "views/win32/frmViewLog.h"

namespace sevrik::win32 {

void ShowForm(Session& session, const std::string& command) {
  if (command == "list") {
    BrowserWindow browser(session);
    // The BC 2.3 build and an action that waits show frmProgress, above the browser.
    ProgressWindow progress(browser.hwnd());
    ProgressSink* before = session.progress;
    session.progress = &progress;
    browser.Show();
    RunWindow(browser);
    session.progress = before;
  } else if (command == "log") {
    LogViewerWindow viewer(session);
    viewer.Show();
    RunWindow(viewer);
  }
}

}  // namespace sevrik::win32
