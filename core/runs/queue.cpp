#include "core/runs/queue.h"

#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "core/lookups/lookups.h"
#include "core/runs/journal.h"
#include "core/runs/pending.h"
#include "core/runs/results.h"
#include "platform/args.h"
#include "platform/fs.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

// The older translator: its old processing records cleared, the flat file copied into its
// input folder, the export run, its error files deleted, its records condensed. The export
// runs only on this document's file and only when no old record remains to be read as its
// result; otherwise the status file tells why nothing was started.
void ExportRoute(TranslatorRun& run) {
  const Session& s = run.session();
  const std::string& f = s.package_folder;
  // The preparation's failures are the run's, and also tell that its input is not ready.
  StepLog prepare = StepLog::Within(run.steps());
  if (AnyFileMatches(f + "\\entity0\\log\\*.idt", s.dialogs))
    prepare.Step([&] {
      for (const std::string& name : ListFiles(f + "\\entity0\\log\\*.idt"))
        prepare.Step([&] { RemoveFile(f + "\\entity0\\log\\" + name); });
    });
  prepare.Step([&] { CopyFileTo(f + "\\ipdata\\BC23.FLT", f + "\\entity0\\flat\\e-BC23.flt"); });
  if (const std::optional<Error>& not_ready = prepare.first_failure()) {
    RunOutcome& outcome = run.outcome();
    outcome.not_started = not_ready;
    outcome.why_not = NotStarted::InputNotReady;
    const std::string reason = "Translator tidak dijalankan: " + DescribeError(*not_ready);
    if (!run.steps().Step([&] { WriteFailureStatus(s, "TPBQUE", kStatusNotStarted, reason); }))
      outcome.untold = Error(not_ready->number(), reason);
    return;
  }
  run.Start("EXPORT e-BC23.FLT");
  run.steps().Step([&] {
    for (const std::string& name : ListFiles(f + "\\entity0\\flat\\e_error.*"))
      run.steps().Step([&] { RemoveFile(f + "\\entity0\\flat\\" + name); });
  });
  run.steps().Step([&] { CollectTranslatorResult(s, "TPBQUE"); });
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
  run.steps().Fail(failure);
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
    run.steps().Step([&] { translator = InstalledTranslator(f, true); });
    run.outcome().translator = translator;
    switch (translator) {
      case Translator::Export:
        ExportRoute(run);
        break;
      case Translator::Ranuvel: {
        std::string partner;
        run.steps().Step([&] { partner = GetPartnerNameByEdi(session.db, recipient); });
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
    run.Store({"tblBC23Hdr", car, reference, "02"});
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
    run.steps().Fail(e);
    // Nothing tells why this document was not queued, and an earlier status may still read
    // as this run's.
    outcome.untold = Error(e.number(), "Status " + code + " tidak dapat ditulis (" + reason + "): " + e.description());
  }
  run.EnterProgramFolder();
  JournalRunWithoutTranslator(session, "QUE", "BC23", "tblBC23Hdr", car, code, reason);
  return outcome;
}

QueueResult CreateFlatBC23(Session& session, const std::string& car) {
  QueueResult result{BuildFlatBC23(session, car), {}};
  if (const std::optional<Error>& failure = result.build.first_failure)
    // A declaration with a record missing is never queued: the file stays for inspection, the
    // document keeps its status, and the status file tells why.
    result.run = RefuseQueueing(session, car, kStatusIncompleteFlatFile,
                                "Flat file BC23 tidak lengkap dan tidak dikirim ke translator: " + DescribeError(*failure));
  else
    result.run = QueueFlatBC23(session, car, result.build.recipient);
  return result;
}

BuildResult CreateFlatBC25(Session& session, const std::string& car) {
  BuildResult result = BuildFlatBC25(session, car);
  // The document's history keeps the build: its file is the whole result of a BC 2.5 Create.
  const bool whole = result.whole && !result.first_error;
  JournalRunWithoutTranslator(session, "QUE", "BC25", "tblBC25Hdr", car, whole ? "0" : kStatusIncompleteFlatFile,
                              whole ? std::string()
                                    : "Flat file BC25 tidak dibentuk dengan lengkap: " +
                                          (result.first_error ? DescribeError(*result.first_error) : std::string()));
  return result;
}

}  // namespace sevrik
