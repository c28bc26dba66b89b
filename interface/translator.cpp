#include "interface/translator.h"

#include "interface/mdlMain.h"
#include "interface/pending.h"
#include "interface/results.h"
#include "platform/args.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/runlog.h"
#include "platform/text.h"

namespace sevrik {

Translator InstalledTranslator(const std::string& package_folder, bool with_export) {
  if (with_export && !FindProgramFile(package_folder + "\\p_edi.exe").empty()) return Translator::Export;
  if (!FindProgramFile(package_folder + "\\ranuvel.exe").empty()) return Translator::Ranuvel;
  return Translator::Shim;
}

TranslatorRun::TranslatorRun(const Session& session, std::string profile, bool log_and_go_on)
    : s_(session), profile_(std::move(profile)), log_and_go_on_(log_and_go_on) {}

void TranslatorRun::Report(const Error& e) {
  if (!outcome_.first_error) outcome_.first_error = e;
  if (log_and_go_on_) {
    AppendToRunLog(s_.RunLogPath(), e);
    return;
  }
  if (in_package_folder_) {
    try {
      EnterFolder(s_.program_folder);
      in_package_folder_ = false;
    } catch (const Error&) {  // the step's own error is the one to report
    }
  }
  throw e;
}

bool TranslatorRun::Step(const std::function<void()>& step) {
  try {
    step();
    return true;
  } catch (const Error& e) {
    Report(e);
    return false;
  }
}

void TranslatorRun::EnterPackageFolder() {
  in_package_folder_ = true;
  Step([&] { ChangeDrive(s_.package_folder); });
  Step([&] { ChangeDirectory(s_.package_folder); });
}

void TranslatorRun::EnterProgramFolder() {
  Step([&] { ChangeDrive(s_.program_folder); });
  Step([&] { ChangeDirectory(s_.program_folder); });
  in_package_folder_ = false;
}

bool TranslatorRun::RemovePreviousResults(std::initializer_list<const char*> extensions) {
  bool removed = true;
  for (const char* extension : extensions) {
    const std::string path = s_.package_folder + "\\ipdata\\" + profile_ + "." + extension;
    removed &= Step([&] {
      try {
        // RemoveFile counts a file as removed only when its name is gone.
        if (FileExists(path)) RemoveFile(path);
      } catch (const Error& e) {
        if (!outcome_.not_started) {
          outcome_.not_started = e;
          outcome_.why_not = NotStarted::PreviousResultStays;
        }
        throw;
      }
    });
  }
  return removed;
}

void TranslatorRun::Journal(std::string action, std::string type, std::string table, std::string car) {
  JournalEntry e;
  e.action = std::move(action);
  e.type = std::move(type);
  e.table = std::move(table);
  e.car = std::move(car);
  e.origin = s_.origin;
  entry_ = std::move(e);
}

namespace {

const char* TranslatorName(Translator t) {
  switch (t) {
    case Translator::Export: return "EXPORT";
    case Translator::Ranuvel: return "ranuvel";
    case Translator::Shim: return "zul";
  }
  return "";
}

}  // namespace

void TranslatorRun::Start(const std::string& command_line) {
  const RunJournal journal(JournalPath(s_), s_.RunLogPath());
  if (entry_) {
    entry_->translator = TranslatorName(outcome_.translator);
    try {
      journal.Begin(*entry_);
      begun_ = true;
    } catch (const Error& e) {
      const Error loud(e.number(), "Jurnal SEVRIK.JNL tidak dapat ditulis; translator tidak dijalankan: " + e.description());
      outcome_.why_not = NotStarted::JournalNotWritten;
      outcome_.not_started = loud;
      outcome_.untold = loud;
      Report(loud);
      return;
    }
  }
  Step([&] {
    outcome_.started = true;
    ShellAndWait(command_line, begun_ ? entry_->id : std::string(), [&](const ProcessIdentity& process) {
      if (!begun_) return;
      try {
        journal.Started(*entry_, process);
      } catch (const Error& e) {
        // The entry stands; a later run still finds this translator by the run's name.
        AppendToRunLog(s_.RunLogPath(), e);
      }
    });
  });
}

void TranslatorRun::Finish(const Error* failure) {
  if (!begun_) return;
  try {
    std::string status = outcome_.status, reason = outcome_.reason;
    if (failure) {
      status = kStatusNoResult;
      reason = DescribeError(*failure);
    } else if (status.empty()) {
      status = kStatusNoResult;
      reason = outcome_.first_error ? DescribeError(*outcome_.first_error) : std::string();
    }
    RunJournal(JournalPath(s_), s_.RunLogPath()).End(*entry_, status, reason, outcome_.reference);
  } catch (const Error& e) {
    // The outcome is stored; a later run completes the entry once more from the same files.
    AppendToRunLog(s_.RunLogPath(), e);
  }
}

bool TranslatorRun::ReadStatus() {
  try {
    StatusLines lines = ReadStatusLines(s_, profile_ + ".STA");
    outcome_.status = std::move(lines.first);
    outcome_.reason = std::move(lines.second);
    return true;
  } catch (const Error& e) {
    outcome_.status_error = e;
    Report(e);
    return false;
  }
}

namespace {

// The older translator: its old processing records cleared, the flat file copied into its
// input folder, the export run, its error files deleted, its records condensed. The export
// runs only on this document's file and only when no old record remains to be read as its
// result; otherwise the status file tells why nothing was started.
void ExportRoute(TranslatorRun& run) {
  const Session& s = run.session();
  const std::string& f = s.package_folder;
  std::optional<Error> not_ready;
  const auto prepare = [&](auto&& step) {
    try {
      step();
    } catch (const Error& e) {
      AppendToRunLog(s.RunLogPath(), e);
      if (!not_ready) not_ready = e;
      if (!run.outcome().first_error) run.outcome().first_error = e;
    }
  };
  if (AnyFileMatches(f + "\\entity0\\log\\*.idt", s.dialogs))
    prepare([&] {
      for (const std::string& name : ListFiles(f + "\\entity0\\log\\*.idt"))
        prepare([&] { RemoveFile(f + "\\entity0\\log\\" + name); });
    });
  prepare([&] { CopyFileTo(f + "\\ipdata\\BC23.FLT", f + "\\entity0\\flat\\e-BC23.flt"); });
  if (not_ready) {
    RunOutcome& outcome = run.outcome();
    outcome.not_started = not_ready;
    outcome.why_not = NotStarted::InputNotReady;
    const std::string reason = "Translator tidak dijalankan: " + DescribeError(*not_ready);
    if (!run.Step([&] { WriteFailureStatus(s, "TPBQUE", kStatusNotStarted, reason); }))
      outcome.untold = Error(not_ready->number(), reason);
    return;
  }
  run.Start("EXPORT e-BC23.FLT");
  run.Step([&] {
    for (const std::string& name : ListFiles(f + "\\entity0\\flat\\e_error.*"))
      run.Step([&] { RemoveFile(f + "\\entity0\\flat\\" + name); });
  });
  run.Step([&] { CollectTranslatorResult(s, "TPBQUE"); });
}

// The translator's "0" beside a queue log that names no reference (none, empty, unreadable):
// nothing can be stored for the document, so it is no success. SVK03 takes the place of the
// "0" (or, where it cannot be written, the "0" is removed), the document keeps its status, the
// journal entry ends with the failure and the run ends with the run-time error.
void RefuseZeroWithoutReference(TranslatorRun& run, const std::optional<Error>& log_error) {
  const Session& s = run.session();
  RunOutcome& outcome = run.outcome();
  const std::string log = s.package_folder + "\\ipdata\\TPBQUE.LOG";
  int number = err::kInputPastEnd;
  std::string why = "kosong atau tanpa referensi";
  if (log_error) {
    number = log_error->number();
    why = "tidak dapat dibaca: " + DescribeError(*log_error);
  } else if (!FileExists(log)) {
    number = err::kFileNotFound;
    why = "tidak ada";
  }
  const std::string reason = "Translator menjawab 0, tetapi log antrean (ipdata\\TPBQUE.LOG) " + why +
                             "; dokumen tidak diubah";
  outcome.status = kStatusNoResult;
  outcome.reason = reason;
  Error failure(number, reason);
  const std::string status = s.package_folder + "\\ipdata\\TPBQUE.STA";
  try {
    WriteFailureStatus(s, "TPBQUE", kStatusNoResult, reason);
  } catch (const Error& e) {
    AppendToRunLog(s.RunLogPath(), e);
    try {
      RemoveFile(status);  // the "0" must not stay to be read as this run's success
    } catch (const Error& removal) {
      AppendToRunLog(s.RunLogPath(), removal);
    }
    failure = Error(number, reason + " (status " + std::string(kStatusNoResult) + " tidak dapat ditulis: " +
                                e.description() + ")");
  }
  outcome.untold = failure;
  run.Report(failure);
  run.Finish(&failure);
}

}  // namespace

RunOutcome QueueFlatBC23(const Session& session, const std::string& car, const std::string& recipient) {
  const std::string& f = session.package_folder;
  TranslatorRun run(session, "TPBQUE", true);
  run.EnterPackageFolder();
  const bool cleared = run.RemovePreviousResults({"STA", "LOG"});
  run.Journal("QUE", "BC23", "tblBC23Hdr", car);
  if (cleared) {
    Translator translator = Translator::Shim;
    run.Step([&] { translator = InstalledTranslator(f, true); });
    run.outcome().translator = translator;
    switch (translator) {
      case Translator::Export:
        ExportRoute(run);
        break;
      case Translator::Ranuvel: {
        std::string partner;
        run.Step([&] { partner = GetPartnerNameByEdi(session.db, recipient); });
        // Each value stays one argument of the translator, whatever quotes it holds.
        run.Start("ranuvel " + QuoteArgument(f + "\\TPBQUE.ext") + " " + QuoteArgument(f + "\\IPDATA\\BC23.FLT") +
                  " " + QuoteArgument(partner) + " \"Dokumen BC23\" BC23");
        break;
      }
      case Translator::Shim:
        run.Start("zul TPBQUE -p " + f + "\\IPDATA\\BC23.FLT \"Dokumen BC23\" BC23");
        break;
    }
  }
  run.EnterProgramFolder();
  // Only a status of this run is read; the queue log is applied only after a "0".
  RunOutcome& outcome = run.outcome();
  const bool read = cleared && run.ReadStatus();
  // A translator that left no status tells nothing, not even that it failed.
  if (cleared && !read && outcome.started && outcome.status_error)
    outcome.untold = Error(outcome.status_error->number(), "Translator tidak meninggalkan status (ipdata\\TPBQUE.STA): " +
                                                               outcome.status_error->description());
  if (read && outcome.status == "0") {
    std::string reference;
    std::optional<Error> log_error;
    try {
      reference = QueueLogReference(session);
    } catch (const Error& e) {
      log_error = e;
    }
    if (reference.empty()) {
      RefuseZeroWithoutReference(run, log_error);
      return outcome;
    }
    try {
      StoreDocumentStatus(session, {"tblBC23Hdr", car, reference, "02"});
      outcome.reference = reference;
    } catch (const StatusKept& kept) {
      outcome.reference = kept.update().reference.value_or("");
      run.Report(kept);  // logged: the status is written at a later start
    } catch (const StatusNotStored& e) {
      // Stored nowhere: the journal entry stays open, so that a later start stores it from the
      // queue log, and the run ends saying so.
      outcome.untold = e;
      run.Report(e);
      return outcome;
    } catch (const Error& e) {
      run.Report(e);
      run.Finish(&e);
      return outcome;
    }
  }
  if (cleared && outcome.why_not == NotStarted::No) run.Finish();
  // An earlier status that stays would be read as this run's by anyone who reads it.
  if (outcome.why_not == NotStarted::PreviousResultStays && !outcome.untold)
    outcome.untold = Error(outcome.not_started->number(),
                           "Status translator sebelumnya tidak dapat dihapus; translator tidak dijalankan: " +
                               outcome.not_started->description());
  return outcome;
}

RunOutcome RefuseQueueing(const Session& session, const std::string& car, const std::string& code,
                          const std::string& reason) {
  TranslatorRun run(session, "TPBQUE", true);
  run.outcome().why_not = NotStarted::IncompleteFlatFile;
  run.RemovePreviousResults({"STA", "LOG"});
  RunOutcome& outcome = run.outcome();
  try {
    WriteFailureStatus(session, "TPBQUE", code, reason);
    outcome.status = code;
    outcome.reason = reason;
  } catch (const Error& e) {
    run.Report(e);
    // Nothing tells why this document was not queued, and an earlier status may still read
    // as this run's.
    outcome.untold = Error(e.number(), "Status " + code + " tidak dapat ditulis (" + reason + "): " + e.description());
  }
  run.EnterProgramFolder();
  JournalRunWithoutTranslator(session, "QUE", "BC23", "tblBC23Hdr", car, code, reason);
  return outcome;
}

}  // namespace sevrik
