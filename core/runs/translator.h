// The runs of the translator package: which translator is installed, the package folder
// current while it runs and the program folder current again afterwards, an earlier run's
// result files removed before it starts, the program started and waited for, and what it
// answered, as a value. The queueing (queue.h), the cancellation and the communication run all
// go through TranslatorRun.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

#include "base/error.h"
#include "core/flat/step_log.h"
#include "core/lookups/session.h"
#include "core/runs/journal.h"
#include "core/runs/pending.h"

namespace sevrik {

// The programs that can run a profile, by what the package folder holds.
enum class Translator {
  Export,   // "\p_edi.exe": the older translator, run through its "EXPORT" command
  Ranuvel,  // "\ranuvel.exe"
  Shim,     // neither: the shim ZUL with the profile's word
};

// Which translator runs a profile in the package folder: "\p_edi.exe" first (only where the
// profile has an export route), then "\ranuvel.exe", else the shim. A program file counts with
// or without ".exe", in any case.
Translator InstalledTranslator(const std::string& package_folder, bool with_export);

// Why a run started no translator.
enum class NotStarted {
  No,                   // it was started
  NoDocument,           // the document, or its partner row, has no row
  PreviousResultStays,  // an earlier run's status or log could not be removed
  InputNotReady,        // the translator's input could not be prepared
  IncompleteFlatFile,   // a record of the flat file failed
  JournalNotWritten,    // what the run starts could not be written down first
};

// What one run of a profile did.
struct RunOutcome {
  Translator translator = Translator::Shim;
  bool started = false;                       // this run started the translator
  NotStarted why_not = NotStarted::No;        // when it did not: why
  std::optional<Error> not_started;           // and the error behind it, where there was one
  // The status file after the run: its first line ("0" is success) and its second. Besides
  // the translator's answer this may be a status of the system's own (results.h: "SVK01" for
  // an incomplete flat file, never "0"). Empty when there was none to read.
  std::string status;
  std::string reason;
  std::optional<Error> status_error;  // why the status file could not be read
  std::string reference;             // the submission reference stored on success, if any
  std::optional<Error> first_error;  // the first failure of the run, logged or raised
  // A failure that no status file tells (an earlier status that stays, a status or a journal
  // that could not be written, a reference stored nowhere): the command line ends with it.
  std::optional<Error> untold;

  bool Succeeded() const { return started && status == "0"; }
};

// One run of a profile ("TPBQUE", "TPBUNQ", "TPBCOM"). Its steps go through its step log:
// each failure either goes to the run log and the run goes on (the queueing's rule), or,
// without `log_and_go_on`, the program folder is made current again and the failure raised.
// The first failure becomes the outcome's first_error either way.
class TranslatorRun {
 public:
  TranslatorRun(const Session& session, std::string profile, bool log_and_go_on);
  TranslatorRun(const TranslatorRun&) = delete;
  TranslatorRun& operator=(const TranslatorRun&) = delete;

  // The run's steps, and the failures met outside a step (Fail).
  StepLog& steps() { return steps_; }

  // The package folder's drive (its first three characters), then the folder, made current.
  void EnterPackageFolder();
  // The program's own folder current again: drive, then folder.
  void EnterProgramFolder();

  // Removes "\ipdata\<profile>.<extension>" for each extension, where present. A file counts
  // as removed only when its name is gone. Returns false when one stays: the run then must not
  // start its translator, and outcome().not_started tells why.
  bool RemovePreviousResults(std::initializer_list<const char*> extensions);

  // Has the run written down in the run journal before its translator starts, and its outcome
  // by Finish: the action ("QUE", "UNQ", "COM") and the document (type, header table, CAR).
  void Journal(std::string action, std::string type, std::string table, std::string car);

  // Starts the command line and waits for its end. A journaled run whose entry cannot be
  // written starts nothing: the failure is the outcome's untold error.
  void Start(const std::string& command_line);

  // Writes the outcome (status, reason, reference) into the journal entry of a started run;
  // with `failure`, that failure instead. Once: a later call does nothing.
  void Finish(const Error* failure = nullptr);

  // Stores the document's status that the translator confirmed (StoreDocumentStatus) and
  // settles the journal entry by what became of it, under the run's rule:
  // - written: the reference becomes the outcome's;
  // - kept beside the program (SEVRIK.PND, SEVRIK.PNX): so too, the entry ends with the
  //   outcome and where the status went is reported;
  // - stored nowhere: the entry stays open, so that a later start stores the status from the
  //   translator's files, and the run's untold error says so;
  // - failed: the entry ends with the failure, which is reported.
  StatusStored Store(const StatusUpdate& update);

  // Reads "\ipdata\<profile>.STA" into the outcome: its first and second line. A file that
  // is missing (53) or empty (62) is a failure of the step.
  bool ReadStatus();

  const Session& session() const { return s_; }
  RunOutcome& outcome() { return outcome_; }

 private:
  const Session& s_;
  std::string profile_;
  StepLog steps_;
  bool in_package_folder_ = false;
  RunOutcome outcome_;
  std::optional<JournalEntry> entry_;  // journaled runs
  bool begun_ = false;                 // its entry is written
  bool settled_ = false;               // its entry ended, or is left open for a later start
};

}  // namespace sevrik
