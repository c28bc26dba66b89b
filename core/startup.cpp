#include "core/startup.h"

#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/document_types.h"
#include "core/lookups/program.h"
#include "core/runs/cancel.h"
#include "core/runs/comm_logs.h"
#include "core/runs/communication.h"
#include "core/runs/journal.h"
#include "core/runs/pending.h"
#include "core/runs/queue.h"
#include "platform/fs.h"
#include "platform/runlock.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

// The token of a command line; a missing one is error 9, as for an array read past its end.
const std::string& Token(const std::vector<std::string>& tokens, size_t index) {
  if (index >= tokens.size()) throw Error(err::kSubscriptOutOfRange);
  return tokens[index];
}

// A window asked for where none can be shown (no display, or one that does not answer).
[[noreturn]] void NoDisplay(const std::string& action) {
  throw Error(err::kDeviceUnavailable, "Jendela \"" + action +
                                            "\" tidak dapat ditampilkan: tidak ada tampilan (display) yang tersedia.");
}

std::string SettingText(const Recordset& rs, const char* column) {
  return ToText(rs.Field(column), LocaleInfo::Classic());
}

bool TakesRunLock(const std::string& action) {
  return action == "QUE" || action == "UNQ" || action == "COM" || action == "logdel";
}

// Returns the exit status of an action that ends normally.
int Dispatch(const std::vector<std::string>& tokens, Session& session, MainEnvironment& env) {
  const std::string& action = Token(tokens, 0);
  if (action == "QUE") {
    const DocumentType* type = FindDocumentType(Token(tokens, 1));
    const FlatRoute route = type ? type->route : FlatRoute::None;
    // A failure that no status file tells ends the run with the run-time error.
    if (route == FlatRoute::Queued) {
      if (const QueueResult r = CreateFlatBC23(session, Token(tokens, 2)); r.run.untold) throw *r.run.untold;
    } else if (route == FlatRoute::FileOnly) {
      // The BC 2.5 build leaves no status file: a file it could not write whole is told here.
      if (const BuildResult r = CreateFlatBC25(session, Token(tokens, 2)); r.first_error)
        throw Error(r.first_error->number(),
                    "Flat file BC25 tidak dapat ditulis dengan lengkap: " + r.first_error->description());
    }
  } else if (action == "UNQ") {
    if (const RunOutcome r = CancelEdifact(session, Token(tokens, 1), Token(tokens, 2)); r.untold) throw *r.untold;
  } else if (action == "COM") {
    if (const RunOutcome r = RunCommunication(session); r.untold) throw *r.untold;
  } else if (action == "log" || action == "list") {
    if (!env.show_window) NoDisplay(action);
    session.origin = "window";
    env.show_window(session, action);
  } else if (action == "logdel") {
    DeleteCommLogs(session);
  } else if (action == "CHK") {
    const std::string& type = Token(tokens, 1);
    const std::string& car = Token(tokens, 2);
    const CheckList check = CheckDocument(session, type, car);
    const std::vector<std::string> lines = CheckReportLines(type, car, check);
    if (env.output)
      for (const std::string& line : lines) env.output(line);
    if (env.report_in_box) {
      // The box names the first ten problems; standard output has them all.
      std::string text;
      for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 11 && i + 1 < lines.size()) {
          if (i == 12) text += "\r\ndan " + std::to_string(lines.size() - 13) + " baris lainnya";
          continue;
        }
        text += (i ? "\r\n" : "") + lines[i];
      }
      session.dialogs.ShowMessage(text, MsgButtons::Ok, check.blocking() ? MsgIcon::Exclamation : MsgIcon::Information,
                                  "Perhatian");
    }
    return check.blocking() ? 1 : 0;
  }
  return 0;
}

}  // namespace

int RunMain(const std::string& argument_text, MainEnvironment& env) {
  if (argument_text.empty()) {
    env.dialogs.ShowMessage(VersionNotice(), MsgButtons::Ok, MsgIcon::None);
    return 0;
  }
  try {
    const std::vector<std::string> tokens = Split(argument_text, " ");
    std::optional<RunLock> lock;
    if (TakesRunLock(tokens[0]))
      lock.emplace(env.program_folder + "\\SEVRIK.LCK", [&] {
        if (env.notice) env.notice(kWaitingNotice);
      });
    ResetRunLog(env.program_folder + "\\SEVRIK.LOG");
    std::unique_ptr<Database> db = env.connect(BuildConnectionString(env.program_folder));
    Session session{*db, env.dialogs, env.program_folder, {}, {}};
    session.progress = env.progress;
    {
      std::unique_ptr<Recordset> settings = db->Execute("Select * From tblSetting");
      if (!settings->Eof()) {
        session.package_folder = FolderSettingPath(SettingText(*settings, "FOLDERNUVAR"), env.program_folder);
        session.network_profile = SettingText(*settings, "NETWORKNUVAR");
      }
    }
    // The kept statuses are written under the run lock, so that no running action adds to the
    // file meanwhile. A start that holds no lock (a window, an unknown action) takes it only
    // when it is free; while another run holds it, a later start writes them.
    // A run that was killed is completed first, from what its translator left, before
    // anything is removed; then the kept statuses are written.
    const auto catch_up = [&] {
      // What a killed rewrite of the journal or the pending file left; no rewrite runs now.
      RemoveLeftoverReplacements(JournalPath(session));
      RemoveLeftoverReplacements(PendingFilePath(session));
      CompleteOpenRuns(session, [&] {
        if (env.notice) env.notice(kWaitingNotice);
      });
      ApplyPendingUpdates(session);
    };
    if (lock) {
      catch_up();
    } else if (FileExists(PendingFilePath(session)) || FileExists(JournalPath(session))) {
      if (auto brief = RunLock::TryLock(session.RunLockPath())) catch_up();
    }
    return Dispatch(tokens, session, env);
  } catch (const Error& e) {
    env.dialogs.ShowMessage(RunTimeErrorText(e), MsgButtons::Ok, MsgIcon::Critical);
    return 1;
  } catch (const std::exception& e) {
    // Anything else the run met (memory exhausted, a library's own failure) ends it the same way.
    env.dialogs.ShowMessage(RunTimeErrorText(Error(51, std::string("Internal error: ") + e.what())), MsgButtons::Ok,
                           MsgIcon::Critical);
    return 1;
  }
}

}  // namespace sevrik
