#include "interface/mdlConnect.h"

#include "interface/mdlINI.h"
#include "platform/args.h"
#include "platform/fs.h"

namespace sevrik {

void RunCommunication(const Session& session) {
  const std::string& f = session.package_folder;
  const bool ranuvel = !FindProgramFile(f + "\\ranuvel.exe").empty();
  EnterPackageFolder(session);
  if (ranuvel) {
    const std::string line = "Ranuvel " + QuoteArgument(f + "\\TPBCOM.ext") + " " + QuoteArgument("Leased Line");
    session.dialogs.ShowMessage(line, MsgButtons::Ok, MsgIcon::None);
    ShellAndWait(line);
  } else {
    ShellAndWait("zul TPBCOM.ZUL -p " + session.network_profile);
    EnterProgramFolder(session);
  }
}

}  // namespace sevrik
