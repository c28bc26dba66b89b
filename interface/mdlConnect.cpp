#include "interface/mdlConnect.h"

#include "interface/mdlINI.h"
#include "platform/fs.h"

namespace sevrik {
namespace {

// TODO: replace by QuoteArgument of platform/args.h once it is there.
// The value between double quotes so that the Windows command-line cutting gives back exactly
// the value: a quote inside becomes \", and the backslashes before a quote (or before the
// closing quote) are doubled.
std::string QuoteArgument(std::string_view value) {
  std::string out = "\"";
  size_t backslashes = 0;
  for (const char c : value) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    out += c;
  }
  out.append(2 * backslashes, '\\');
  return out + "\"";
}

}  // namespace

void RunCommunication(const Session& session) {
  const std::string& f = session.package_folder;
  const bool ranuvel = !FindProgramFile(f + "\\ranuvel.exe").empty();
  EnterPackageFolder(session);
  if (ranuvel) {
    const std::string line = "Ranuvel " + QuoteArgument(f + "\\TPBCOM.ext") + " " + QuoteArgument("Leased Line");
    session.dialogs.MessageBox(line, MsgButtons::Ok, MsgIcon::None);
    ShellAndWait(line);
  } else {
    ShellAndWait("zul TPBCOM.ZUL -p " + session.network_profile);
    EnterProgramFolder(session);
  }
}

}  // namespace sevrik
