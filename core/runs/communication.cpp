#include "core/runs/communication.h"

#include "platform/args.h"

namespace sevrik {

RunOutcome RunCommunication(const Session& session) {
  const std::string& f = session.package_folder;
  const Translator translator = InstalledTranslator(f, false);
  TranslatorRun run(session, "TPBCOM", false);
  run.outcome().translator = translator;
  run.Journal("COM", "", "", "");
  run.EnterPackageFolder();
  if (translator == Translator::Ranuvel) {
    const std::string line = "Ranuvel " + QuoteArgument(f + "\\TPBCOM.ext") + " " + QuoteArgument("Leased Line");
    session.dialogs.ShowMessage(line, MsgButtons::Ok, MsgIcon::None);
    run.Start(line);  // the package folder stays current
  } else {
    run.Start("zul TPBCOM.ZUL -p " + session.network_profile);
    run.EnterProgramFolder();
  }
  run.outcome().status = "0";  // the run reads no result: it ended
  run.outcome().reason = "selesai";
  run.Finish();
  return run.outcome();
}

}  // namespace sevrik
