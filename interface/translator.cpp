#include "interface/translator.h"

#include "interface/mdlMain.h"
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

void TranslatorRun::Fail(const Error& e) {
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
    Fail(e);
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
        if (!FileExists(path)) return;
        RemoveFile(path);
        // A file held open by another program may be "deleted" while its name and contents
        // stay until that program lets go: it is not gone.
        if (FileExists(path))
          throw Error(err::kPathFileAccess, "File masih ada setelah dihapus: " + path);
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

void TranslatorRun::Start(const std::string& command_line) {
  Step([&] {
    outcome_.started = true;
    ShellAndWait(command_line);
  });
}

bool TranslatorRun::ReadStatus() {
  return Step([&] {
    const std::string bytes = ReadFileBytes(s_.package_folder + "\\ipdata\\" + profile_ + ".STA");
    outcome_.status = StatusFileLine(bytes);
    const std::vector<std::string> lines = Split(FromCp1252(bytes), "\r\n");
    outcome_.reason = lines.size() > 1 ? lines[1] : std::string();
  });
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
    run.outcome().not_started = not_ready;
    run.outcome().why_not = NotStarted::InputNotReady;
    run.Step([&] {
      WriteFailureStatus(s, "TPBQUE", kStatusNotStarted, "Translator tidak dijalankan: " + DescribeError(*not_ready));
    });
    return;
  }
  run.Start("EXPORT e-BC23.FLT");
  run.Step([&] {
    for (const std::string& name : ListFiles(f + "\\entity0\\flat\\e_error.*"))
      run.Step([&] { RemoveFile(f + "\\entity0\\flat\\" + name); });
  });
  run.Step([&] { CollectTranslatorResult(s, "TPBQUE"); });
}

}  // namespace

RunOutcome QueueFlatBC23(const Session& session, const std::string& car, const std::string& recipient) {
  const std::string& f = session.package_folder;
  TranslatorRun run(session, "TPBQUE", true);
  run.EnterPackageFolder();
  const bool cleared = run.RemovePreviousResults({"STA", "LOG"});
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
  if (cleared && run.ReadStatus() && run.outcome().status == "0")
    run.Step([&] { run.outcome().reference = ApplyQueueLog(session, "tblBC23Hdr", car); });
  return run.outcome();
}

RunOutcome RefuseQueueing(const Session& session, const std::string& code, const std::string& reason) {
  TranslatorRun run(session, "TPBQUE", true);
  run.outcome().why_not = NotStarted::IncompleteFlatFile;
  run.RemovePreviousResults({"STA", "LOG"});
  if (run.Step([&] { WriteFailureStatus(session, "TPBQUE", code, reason); })) {
    run.outcome().status = code;
    run.outcome().reason = reason;
  }
  run.EnterProgramFolder();
  return run.outcome();
}

}  // namespace sevrik
