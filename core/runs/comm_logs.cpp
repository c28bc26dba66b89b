// The deletion of the communication logs: the table tblKomLog and the files
// "\LogKom\*.TXT" of the program folder.
#include "core/runs/comm_logs.h"
#include "base/error.h"
#include "core/lookups/lookups.h"
#include "platform/fs.h"

namespace sevrik {

void DeleteCommLogs(const Session& session) {
  if (session.dialogs.ShowMessage("Anda yakin ingin menghapus semua log komunikasi?", MsgButtons::YesNo,
                                 MsgIcon::Question, "Perhatian") != MsgAnswer::Yes)
    return;
  session.db.Execute("DELETE FROM tblKomLog");
  const std::string folder = session.program_folder + "\\LogKom\\";
  for (const std::string& name : ListFiles(folder + "*.TXT")) {
    session.dialogs.ShowMessage(name, MsgButtons::Ok, MsgIcon::None);
    try {
      RemoveFile(folder + name);
    } catch (const Error& e) {
      throw Error(e.number(), e.description() + ": " + folder + name);
    }
  }
}

}  // namespace sevrik
