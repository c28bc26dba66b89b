// The run journal: what each run hands to the translator, written down before the translator
// starts, and the outcome once it is stored. A run that dies while its translator runs (a
// crash, a killed process, a power cut) leaves an entry without outcome; the next run waits
// for that translator to end and completes the entry from what it left, before it removes
// anything, so that no reference a translator handed out is lost and no run reads another
// run's result.
//
// Journal file program folder + "\SEVRIK.JNL": Windows-1252, one line a record, CR LF; in each
// field "%", "|", CR and LF are written as "%25", "%7C", "%0D" and "%0A":
//   B|<id>|<time>|<action>|<type>|<table>|<CAR>|<translator>    a run begins (before the start)
//   P|<id>|<process id>|<process start time>                   its translator's process
//   E|<id>|<time>|<status>|<reason>|<reference>                its outcome, stored
// <action> is QUE, UNQ or COM; <table> the document's header table (empty for COM);
// <translator> EXPORT, ranuvel or zul; <time> "YYYY-MM-DD HH:MM:SS", local. Every line is on the
// disk before the call that writes it returns. A line that cannot be read is passed over.
// Once the file grows past 256 KB it is rewritten with the runs still open and the last
// outcome of each document.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "interface/session.h"
#include "platform/process.h"

namespace sevrik {

// One run of a translator, as the journal knows it.
struct JournalEntry {
  std::string id;
  std::string time;
  std::string action;  // "QUE", "UNQ", "COM"
  std::string type;    // "BC23", "BC25", "BC40"; empty for COM
  std::string table;   // the header table; empty for COM
  std::string car;
  std::string translator;  // "EXPORT", "ranuvel", "zul"
  std::optional<ProcessIdentity> process;
  // The outcome, once stored.
  bool ended = false;
  std::string end_time, status, reason, reference;
};

class RunJournal {
 public:
  explicit RunJournal(std::string path) : path_(std::move(path)) {}

  // Gives the entry its id and time and appends it. Raises when it cannot be written: the
  // translator must then not start.
  void Begin(JournalEntry& entry) const;
  // Appends the translator's process.
  void Started(const JournalEntry& entry, const ProcessIdentity& process) const;
  // Appends the outcome.
  void End(JournalEntry& entry, const std::string& status, const std::string& reason,
           const std::string& reference) const;

  // Every entry in the order begun, with its process and outcome; in time linear in the
  // file's size, which `bytes` receives when given. No file: none.
  std::vector<JournalEntry> Entries(size_t* bytes = nullptr) const;

  // Rewrites a file of `bytes` bytes, larger than `limit`, with the open entries and the last
  // ended entry of each document, from the entries just read.
  void Compact(const std::vector<JournalEntry>& entries, size_t bytes, size_t limit = 256 * 1024) const;

 private:
  std::string path_;
};

// program folder + "\SEVRIK.JNL"
std::string JournalPath(const Session& session);

// Completes every entry without outcome. Where its translator still runs, `waiting` is called
// once and the run waits for it to end. Then, from what that translator left: a queueing with
// the status "0" stores its reference for its document (and the status "02"), a cancellation
// with "0" the status "01"; anything else is journaled as that document's failure with its
// reason. An outcome that can be stored nowhere raises the error that gives the reference, and
// its entry stays open.
void CompleteOpenRuns(const Session& session, const std::function<void()>& waiting);

}  // namespace sevrik
