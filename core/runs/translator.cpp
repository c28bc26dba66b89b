#include "core/runs/translator.h"

#include "base/text.h"
#include "core/runs/results.h"
#include "platform/args.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "platform/runlog.h"

namespace sevrik {

Translator InstalledTranslator(const std::string& package_folder, bool with_export) {
  if (with_export && !FindProgramFile(package_folder + "\\p_edi.exe").empty()) return Translator::Export;
  if (!FindProgramFile(package_folder + "\\ranuvel.exe").empty()) return Translator::Ranuvel;
  return Translator::Shim;
}

TranslatorRun::TranslatorRun(const Session& session, std::string profile, bool log_and_go_on)
    : s_(session),
      profile_(std::move(profile)),
      steps_(log_and_go_on ? StepLog(session.RunLogPath()) : StepLog::Raising([this] {
        if (!in_package_folder_) return;
        try {
          EnterFolder(s_.program_folder);
          in_package_folder_ = false;
        } catch (const Error&) {  // the step's own error is the one to report
        }
      })) {
  steps_.OnFailure([this](const Error& e) {
    if (!outcome_.first_error) outcome_.first_error = e;
  });
}

void TranslatorRun::EnterPackageFolder() {
  in_package_folder_ = true;
  steps_.Step([&] { ChangeDrive(s_.package_folder); });
  steps_.Step([&] { ChangeDirectory(s_.package_folder); });
}

void TranslatorRun::EnterProgramFolder() {
  steps_.Step([&] { ChangeDrive(s_.program_folder); });
  steps_.Step([&] { ChangeDirectory(s_.program_folder); });
  in_package_folder_ = false;
}

bool TranslatorRun::RemovePreviousResults(std::initializer_list<const char*> extensions) {
  bool removed = true;
  for (const char* extension : extensions) {
    const std::string path = s_.package_folder + "\\ipdata\\" + profile_ + "." + extension;
    removed &= steps_.Step([&] {
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
      steps_.Fail(loud);
      return;
    }
  }
  steps_.Step([&] {
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
  if (!begun_ || settled_) return;
  settled_ = true;
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

StatusStored TranslatorRun::Store(const StatusUpdate& update) {
  const StoreResult stored = StoreDocumentStatus(s_, update);
  if (stored.written() || stored.kept()) outcome_.reference = update.reference.value_or(std::string());
  if (stored.written()) return stored.where;
  if (stored.where == StatusStored::Nowhere) {
    settled_ = true;  // left open
    outcome_.untold = stored.error;
  } else {
    Finish(stored.kept() ? nullptr : &*stored.error);
  }
  steps_.Fail(*stored.error);
  return stored.where;
}

bool TranslatorRun::ReadStatus() {
  try {
    StatusLines lines = ReadStatusLines(s_, profile_ + ".STA");
    outcome_.status = std::move(lines.first);
    outcome_.reason = std::move(lines.second);
    return true;
  } catch (const Error& e) {
    outcome_.status_error = e;
    steps_.Fail(e);
    return false;
  }
}

}  // namespace sevrik
