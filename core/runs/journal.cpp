#include "core/runs/journal.h"

#include <chrono>
#include <ctime>
#include <map>
#include <random>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "core/runs/journal_format.h"
#include "core/runs/pending.h"
#include "core/runs/results.h"
#include "platform/fs.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

std::string Now() {
  const std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

std::string Payload(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "|") + EscapeField(f);
  return ToCp1252(line);
}

std::string BeginPayload(const JournalEntry& e) {
  return Payload({"B", e.id, e.time, e.action, e.type, e.table, e.car, e.translator, e.origin});
}
std::string ProcessPayload(const JournalEntry& e) {
  return Payload({"P", e.id, std::to_string(e.process->pid), std::to_string(e.process->started), e.process->group});
}
std::string WithoutTranslatorPayload(const JournalEntry& e) {
  return Payload({"R", e.id, e.time, e.action, e.type, e.table, e.car, e.origin, e.status, e.reason});
}
std::string EndPayload(const JournalEntry& e) {
  return Payload({"E", e.id, e.end_time, e.status, e.reason, e.reference});
}

// A process id or start time; none for a field that is no number.
std::optional<unsigned long long> Number(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19)
    return std::nullopt;
  return std::stoull(text);
}

// The entries of the records, in the order begun. A record of an entry whose begin record is
// missing, a second begin of one id, or a record of the wrong shape is passed over.
JournalContents EntriesOf(const JournalScan& scan, size_t bytes) {
  JournalContents c;
  c.bytes = bytes;
  c.damaged = scan.damaged.size();
  c.torn = scan.torn;
  std::map<std::string, size_t> by_id;
  for (const std::string& payload : scan.payloads) {
    std::vector<std::string> f = Split(FromCp1252(payload), "|");
    for (std::string& field : f) field = UnescapeField(field);
    if (f.size() < 2) continue;
    if (f[0] == "C" && f.size() == 2) {
      if (const auto size = Number(f[1])) c.compacted = static_cast<size_t>(*size);
      continue;
    }
    const auto found = by_id.find(f[1]);
    if (f[0] == "B" && (f.size() == 8 || f.size() == 9) && found == by_id.end()) {
      by_id.emplace(f[1], c.entries.size());
      JournalEntry e;
      e.id = f[1];
      e.time = f[2];
      e.action = f[3];
      e.type = f[4];
      e.table = f[5];
      e.car = f[6];
      e.translator = f[7];
      if (f.size() == 9) e.origin = f[8];
      c.entries.push_back(std::move(e));
    } else if (f[0] == "R" && f.size() == 10 && found == by_id.end()) {
      by_id.emplace(f[1], c.entries.size());
      JournalEntry e;
      e.id = f[1];
      e.time = e.end_time = f[2];
      e.action = f[3];
      e.type = f[4];
      e.table = f[5];
      e.car = f[6];
      e.origin = f[7];
      e.ended = true;
      e.status = f[8];
      e.reason = f[9];
      c.entries.push_back(std::move(e));
    } else if (f[0] == "P" && (f.size() == 4 || f.size() == 5) && found != by_id.end()) {
      const auto pid = Number(f[2]), started = Number(f[3]);
      if (pid && started && *pid < (1ull << 62))
        c.entries[found->second].process =
            ProcessIdentity{static_cast<long long>(*pid), *started, f.size() == 5 ? f[4] : std::string()};
    } else if (f[0] == "E" && f.size() == 6 && found != by_id.end()) {
      JournalEntry& e = c.entries[found->second];
      e.ended = true;
      e.end_time = f[2];
      e.status = f[3];
      e.reason = f[4];
      e.reference = f[5];
    }
  }
  return c;
}

// The key of an entry's document: its table without regard to case and its CAR; COM runs
// share one.
std::pair<std::string, std::string> DocumentKey(const JournalEntry& e) { return {AsciiLower(e.table), e.car}; }

// The status file's lines, or none when it cannot be read.
std::optional<StatusLines> ReadStatus(const Session& s, const std::string& name) {
  try {
    return ReadStatusLines(s, name);
  } catch (const Error&) {
    return std::nullopt;
  }
}

}  // namespace

std::string JournalPath(const Session& session) { return session.program_folder + "\\SEVRIK.JNL"; }

void RunJournal::Append(const std::string& payload) const {
  // A torn tail is cut off before anything is added after it, so that the new record never
  // lands in the middle of a damaged line.
  if (FileExists(path_)) {
    const std::string bytes = ReadFileBytes(path_);
    if (!bytes.empty() && !bytes.ends_with("\r\n")) Open();
  }
  AppendFileBytesSynced(path_, FrameRecord(payload));
}

namespace {

// A new entry's id and time.
void Stamp(JournalEntry& entry) {
  static std::mt19937_64 random{std::random_device{}()};
  entry.time = Now();
  entry.id = std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(random() % 1000000000);
}

}  // namespace

void RunJournal::Begin(JournalEntry& entry) const {
  Stamp(entry);
  Append(BeginPayload(entry));
}

void RunJournal::Ended(JournalEntry& entry, const std::string& status, const std::string& reason) const {
  Stamp(entry);
  entry.translator.clear();
  entry.ended = true;
  entry.end_time = entry.time;
  entry.status = status;
  entry.reason = reason;
  Append(WithoutTranslatorPayload(entry));
}

void RunJournal::Started(const JournalEntry& entry, const ProcessIdentity& process) const {
  JournalEntry e = entry;
  e.process = process;
  Append(ProcessPayload(e));
}

void RunJournal::End(JournalEntry& entry, const std::string& status, const std::string& reason,
                     const std::string& reference) const {
  entry.ended = true;
  entry.end_time = Now();
  entry.status = status;
  entry.reason = reason;
  entry.reference = reference;
  Append(EndPayload(entry));
}

JournalContents RunJournal::Read() const {
  if (!FileExists(path_)) return {};
  const std::string bytes = ReadFileBytes(path_);
  return EntriesOf(ScanJournal(bytes), bytes.size());
}

JournalContents RunJournal::Open() const {
  if (!FileExists(path_)) return {};
  const std::string bytes = ReadFileBytes(path_);
  const JournalScan scan = ScanJournal(bytes);
  for (const JournalScan::Stretch& d : scan.damaged)
    if (!run_log_.empty())
      AppendToRunLog(run_log_, Error(err::kPathFileAccess, "Jurnal SEVRIK.JNL: rekaman rusak dilewati (" +
                                                                std::to_string(d.length) + " byte pada posisi " +
                                                                std::to_string(d.offset) + ")"));
  JournalContents c = EntriesOf(scan, bytes.size());
  if (scan.torn > 0) {
    ReplaceFileBytes(path_, std::string_view(bytes).substr(0, scan.whole_end));
    c.bytes = scan.whole_end;
    if (!run_log_.empty())
      AppendToRunLog(run_log_, Error(err::kInputPastEnd, "Jurnal SEVRIK.JNL: ekor terpotong sebanyak " +
                                                             std::to_string(scan.torn) +
                                                             " byte setelah rekaman utuh terakhir dibuang"));
  }
  return c;
}

bool RunJournal::Compact(const JournalContents& contents, size_t limit) const {
  if (contents.bytes <= limit || contents.bytes < 2 * contents.compacted) return false;
  const std::vector<JournalEntry>& entries = contents.entries;
  // Of each document the last kKeptOutcomes ended entries, and every open one, in their order.
  std::map<std::pair<std::string, std::string>, size_t> later;  // ended entries seen from the end
  std::vector<bool> keep(entries.size());
  for (size_t i = entries.size(); i-- > 0;) {
    if (!entries[i].ended) keep[i] = true;
    else keep[i] = ++later[DocumentKey(entries[i])] <= kKeptOutcomes;
  }
  std::string text;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!keep[i]) continue;
    const JournalEntry& e = entries[i];
    if (e.ended && e.translator.empty() && !e.process) {
      text += FrameRecord(WithoutTranslatorPayload(e));
      continue;
    }
    text += FrameRecord(BeginPayload(e));
    if (e.process) text += FrameRecord(ProcessPayload(e));
    if (e.ended) text += FrameRecord(EndPayload(e));
  }
  // The first record gives the size of the whole new file, itself included.
  size_t total = text.size();
  std::string marker;
  for (int i = 0; i < 3; ++i) {
    marker = FrameRecord(Payload({"C", std::to_string(total)}));
    total = text.size() + marker.size();
  }
  ReplaceFileBytes(path_, marker + text);
  return true;
}

std::vector<JournalEntry> DocumentHistory(const std::vector<JournalEntry>& entries, const std::string& table,
                                          const std::string& car) {
  std::vector<JournalEntry> history;
  const std::pair<std::string, std::string> key{AsciiLower(table), car};
  for (const JournalEntry& e : entries)
    if (DocumentKey(e) == key) history.push_back(e);
  return history;
}

namespace {

// The outcome of the last open entry of its action, from what its translator left.
void CompleteFromFiles(const Session& session, JournalEntry& e, std::string& status, std::string& reason,
                       std::string& reference) {
  // What became of the document's status: a failure ends the entry as SVK03.
  const auto settle = [&](const StoreResult& stored, const std::string& stored_reference) {
    switch (stored.where) {
      case StatusStored::Written:
        reference = stored_reference;
        return;
      case StatusStored::Kept:
      case StatusStored::SetAside:
        reference = stored_reference;
        AppendToRunLog(session.RunLogPath(), *stored.error);
        return;
      case StatusStored::Nowhere:
        throw *stored.error;  // stored nowhere: the entry stays open
      case StatusStored::Failed:
        break;
    }
    AppendToRunLog(session.RunLogPath(), *stored.error);
    status = kStatusNoResult;
    reason = DescribeError(*stored.error);
    reference.clear();
  };
  if (e.action == "QUE") {
    // The older translator's result is condensed from its processing records after it ends.
    if (e.translator == "EXPORT" && !FileExists(session.package_folder + "\\ipdata\\TPBQUE.STA")) {
      try {
        CollectTranslatorResult(session, "TPBQUE");
      } catch (const Error& err) {
        AppendToRunLog(session.RunLogPath(), err);
      }
    }
    if (const auto sta = ReadStatus(session, "TPBQUE.STA")) {
      status = sta->first;
      reason = sta->second;
    }
    if (status == "0") {
      AppliedQueueLog applied;
      try {
        applied = ApplyQueueLog(session, e.table, e.car);
      } catch (const Error& err) {  // the queue log cannot be read
        applied.stored = {StatusStored::Failed, err};
      }
      settle(applied.stored, applied.reference);
    }
  } else if (e.action == "UNQ") {
    if (const auto sta = ReadStatus(session, "TPBUNQ.STA")) {
      status = sta->first;
      reason = sta->second;
    }
    if (status == "0") settle(StoreDocumentStatus(session, {e.table, e.car, std::nullopt, "01"}), reference);
  } else if (e.action == "COM") {
    status = "0";
    reason = "selesai";
  }
}

// A queueing closed without its outcome: a reference that the queue log names may be the one
// its translator handed out. It is told, not stored, so that a person can check it.
void ReportUnstoredReference(const Session& session, const JournalEntry& e, const std::string& why) {
  if (e.action != "QUE") return;
  std::string named;
  try {
    named = QueueLogReference(session);
  } catch (const Error&) {
    return;
  }
  if (named.empty()) return;
  AppendToRunLog(session.RunLogPath(),
                 Error(err::kPathFileAccess, "Referensi " + named + " di log antrean tidak disimpan untuk CAR " +
                                                 e.car + " (proses " + e.time + "): " + why + "."));
}

}  // namespace

void CompleteOpenRuns(const Session& session, const std::function<void()>& waiting) {
  const RunJournal journal(JournalPath(session), session.RunLogPath());
  JournalContents contents = journal.Open();
  std::vector<JournalEntry>& entries = contents.entries;
  // No translator that a killed run started, nor anything it started, may still be writing.
  bool told = false;
  for (const JournalEntry& e : entries) {
    if (e.ended) continue;
    while ((e.process && ProcessGroupRuns(*e.process)) || RunGroupRuns(e.id)) {
      if (!told && waiting) waiting();
      told = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  // Each run removes its action's earlier status files before it begins, so only the last
  // entry of an action can own them; an entry for a document that a later entry overtook is
  // never applied over it.
  std::map<std::string, size_t> last_of_action;
  std::map<std::pair<std::string, std::string>, size_t> last_of_document;
  for (size_t i = 0; i < entries.size(); ++i) {
    // A run that started no translator owns no status file and overtakes nothing.
    if (entries[i].ended && entries[i].translator.empty()) continue;
    last_of_action[entries[i].action] = i;
    if (entries[i].action != "COM") last_of_document[DocumentKey(entries[i])] = i;
  }
  for (size_t i = 0; i < entries.size(); ++i) {
    JournalEntry& e = entries[i];
    if (e.ended) continue;
    std::string status, reason, reference;
    const auto later_document = last_of_document.find(DocumentKey(e));
    // A communication run reads no status file: none is owned, and each ends as it ran.
    const bool owns_files = e.action == "COM" || last_of_action[e.action] == i;
    if (e.action != "COM" && later_document != last_of_document.end() && later_document->second != i) {
      const JournalEntry& later = entries[later_document->second];
      status = kStatusOvertaken;
      reason = "Dilewati oleh proses " + later.action + " yang lebih baru (" + later.time +
               ") untuk dokumen ini; hasil proses ini tidak diterapkan.";
      if (owns_files) ReportUnstoredReference(session, e, "dokumen ini sudah diproses lagi sesudahnya");
    } else if (!owns_files) {
      const JournalEntry& later = entries[last_of_action[e.action]];
      status = kStatusUnknownOutcome;
      reason = "Hasil tidak diketahui: berkas status milik proses " + later.action + " yang lebih baru (" +
               later.time + (later.car.empty() ? "" : ", CAR " + later.car) + ").";
      ReportUnstoredReference(session, e, "log antrean mungkin milik proses " + later.time);
    } else {
      CompleteFromFiles(session, e, status, reason, reference);
    }
    if (status.empty()) {
      status = kStatusNoResult;
      reason = "Proses SEVRIK berhenti sebelum hasil translator disimpan; translator tidak meninggalkan status.";
    }
    journal.End(e, status, reason, reference);
    // The killed run could not tell its failure; this start does.
    if (status != "0")
      AppendToRunLog(session.RunLogPath(),
                     Error(err::kPathFileAccess, "Proses " + e.action + (e.type.empty() ? "" : " " + e.type) +
                                                     (e.car.empty() ? "" : " CAR " + e.car) + " (" + e.time +
                                                     ") yang terhenti diselesaikan sebagai " + status + ": " + reason));
  }
  try {
    journal.Compact(contents);
  } catch (const Error& err) {
    AppendToRunLog(session.RunLogPath(), err);
  }
}

void JournalRunWithoutTranslator(const Session& session, const std::string& action, const std::string& type,
                                 const std::string& table, const std::string& car, const std::string& status,
                                 const std::string& reason) {
  JournalEntry e;
  e.action = action;
  e.type = type;
  e.table = table;
  e.car = car;
  e.origin = session.origin;
  try {
    RunJournal(JournalPath(session), session.RunLogPath()).Ended(e, status, reason);
  } catch (const Error& err) {
    AppendToRunLog(session.RunLogPath(),
                   Error(err.number(), "Jurnal SEVRIK.JNL tidak dapat ditulis; proses " + action + " " + type + " CAR " +
                                           car + " tidak tercatat di riwayat dokumen: " + err.description()));
  }
}

}  // namespace sevrik
