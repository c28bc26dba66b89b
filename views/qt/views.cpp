#include "views/qt/views.h"

#include "views/qt/frmKb.h"
#include "views/qt/frmProgress.h"
#include "views/qt/frmViewLog.h"

namespace sevrik::qt {

void ShowForm(Session& session, const std::string& command) {
  if (command == "list") {
    ProgressWindow progress;
    BrowserWindow browser(session, &progress);  // centred, as its table places it
    browser.exec();
    session.progress = nullptr;
  } else if (command == "log") {
    LogViewerWindow viewer(session);
    viewer.exec();
  }
}

}  // namespace sevrik::qt
