#include "interface/windows/windows.h"

#include "interface/windows/frmKb.h"
#include "interface/windows/frmProgress.h"
#include "interface/windows/frmViewLog.h"
#include "interface/windows/twips.h"

namespace sevrik::windows {

void ShowWindow(Session& session, const std::string& command) {
  if (command == "list") {
    ProgressWindow progress;
    BrowserWindow browser(session, &progress);
    CentreOnScreen(browser);
    browser.exec();
    session.progress = nullptr;
  } else if (command == "log") {
    LogViewerWindow viewer(session);
    viewer.exec();
  }
}

}  // namespace sevrik::windows
