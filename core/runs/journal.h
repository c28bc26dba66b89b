// The run journal: what each run hands to the translator, written down before the translator
// starts, and the outcome once it is stored. A run that dies while its translator runs (a
// crash, a killed process, a power cut) leaves an entry without outcome; the next run waits
// for that translator and every process it started to end and completes the entry from what
// they left, before it removes anything, so that no reference a translator handed out is lost
// and no run reads another run's result.
//
// Journal file program folder + "\SEVRIK.JNL": a write-ahead log of framed records
// (journal_format.h: "J|<length>|<crc32c>|<payload>" CR LF). Each payload is a line of fields
// cut by "|", Windows-1252; in each field "%", "|", CR and LF are written as "%25", "%7C",
// "%0D" and "%0A":
//   B|<id>|<time>|<action>|<type>|<table>|<CAR>|<translator>|<origin>   a run begins (before the start)
//   P|<id>|<process id>|<process start time>|<group>           its translator's process
//   E|<id>|<time>|<status>|<reason>|<reference>                its outcome, stored
//   R|<id>|<time>|<action>|<type>|<table>|<CAR>|<origin>|<status>|<reason>
//                                                              a run that started no translator,
//                                                              with its outcome (one record)
//   C|<bytes>                                                  the file was compacted to <bytes>
// <action> is QUE, UNQ or COM; <table> the document's header table (empty for COM);
// <translator> EXPORT, ranuvel or zul (the route); <origin> "command line" or "window";
// <time> "YYYY-MM-DD HH:MM:SS", local;
// <group> the process group or job of the translator and all it starts (process.h). Every
// record is on the disk before the call that writes it returns. The released format (the same
// payloads as unframed lines, B without <origin>, P without <group>) is still read.
//
// Recovery: at open (CompleteOpenRuns) and before any record is appended, bytes after the last
// whole record (a torn write) are cut off through a synced temporary file renamed over the
// journal, and the run log says how many. A damaged record between whole ones is skipped,
// never read as part of another, and named in the run log at open.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/lookups/session.h"
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
  std::string translator;  // "EXPORT", "ranuvel", "zul": the route; empty: no translator started
  std::string origin;      // "command line" or "window"; empty in records of the released format
  std::optional<ProcessIdentity> process;
  // The outcome, once stored.
  bool ended = false;
  std::string end_time, status, reason, reference;
};

// What the journal file holds.
struct JournalContents {
  std::vector<JournalEntry> entries;  // in the order begun, each with its process and outcome
  size_t bytes = 0;                   // the file's size
  size_t compacted = 0;               // its size after the last compaction (0: never compacted)
  size_t damaged = 0;                 // damaged records skipped
  size_t torn = 0;                    // bytes after the last whole record
};

// How many ended entries of each document a compaction keeps.
inline constexpr size_t kKeptOutcomes = 20;
// A journal is compacted only above this size, and only once it has grown to twice its size
// after the last compaction.
inline constexpr size_t kCompactionSize = 256 * 1024;

class RunJournal {
 public:
  // `run_log`, when given, is where the recovery at open says what it cut and skipped.
  explicit RunJournal(std::string path, std::string run_log = {})
      : path_(std::move(path)), run_log_(std::move(run_log)) {}

  // Gives the entry its id and time and appends it. Raises when it cannot be written: the
  // translator must then not start.
  void Begin(JournalEntry& entry) const;
  // Appends the translator's process.
  void Started(const JournalEntry& entry, const ProcessIdentity& process) const;
  // Appends the outcome.
  void End(JournalEntry& entry, const std::string& status, const std::string& reason,
           const std::string& reference) const;
  // Appends, in one record, a run that started no translator and its outcome (a flat file
  // refused for its data, a BC 2.5 file written or not): for the document's history. Such a
  // run owns no status file and overtakes no entry.
  void Ended(JournalEntry& entry, const std::string& status, const std::string& reason) const;

  // Everything the file holds, in time linear in its size; no file: nothing.
  JournalContents Read() const;
  std::vector<JournalEntry> Entries() const { return Read().entries; }

  // Reads the file, and cuts off a torn tail (synced temporary file, renamed over), logging it
  // and any damaged record to the run log.
  JournalContents Open() const;

  // Rewrites the file with every open entry and the last kKeptOutcomes ended entries of each
  // document (COM runs counting as one document), in their order, when it is larger than
  // `limit` and at least twice its size after the last compaction. Returns whether it did.
  bool Compact(const JournalContents& contents, size_t limit = kCompactionSize) const;

 private:
  void Append(const std::string& payload) const;
  std::string path_, run_log_;
};

// program folder + "\SEVRIK.JNL"
std::string JournalPath(const Session& session);

// The entries of one document (header table without regard to case, and CAR), in their order:
// time, action, route and origin, outcome code and reason, reference. For COM runs: table and
// CAR empty.
std::vector<JournalEntry> DocumentHistory(const std::vector<JournalEntry>& entries, const std::string& table,
                                          const std::string& car);

// Completes every entry without outcome. First it waits, telling `waiting` once, while any
// process of such an entry's group runs. Then, in journal order:
//  - an entry that a later entry for the same document overtook is closed as SVK05 and not
//    applied: the document keeps the later entry's outcome;
//  - an entry of an action whose later entry owns the status files is closed as SVK06, its
//    outcome unknown; a reference that the queue log names is reported in the run log, not
//    stored (COM runs read no status file and end as they ran);
//  - the last entry of its action completes from what its translator left: a queueing with
//    the status "0" stores its reference for its document (and the status "02"), a
//    cancellation with "0" the status "01"; anything else is journaled as that document's
//    failure with its reason.
// An outcome that can be stored nowhere raises the error that gives the reference, and its
// entry stays open.
void CompleteOpenRuns(const Session& session, const std::function<void()>& waiting);

// Journals a run of the session's origin that started no translator (RunJournal::Ended). A
// journal that cannot be written is told in the run log; the run's outcome stands.
void JournalRunWithoutTranslator(const Session& session, const std::string& action, const std::string& type,
                                 const std::string& table, const std::string& car, const std::string& status,
                                 const std::string& reason);

}  // namespace sevrik
