#include "interface/journal.h"

#include <chrono>
#include <ctime>
#include <map>
#include <random>
#include <thread>

#include "interface/pending.h"
#include "interface/results.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/runlog.h"
#include "platform/text.h"

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

std::string Record(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& f : fields) line += (line.empty() ? "" : "|") + EscapeField(f);
  return ToCp1252(line) + "\r\n";
}

std::string BeginRecord(const JournalEntry& e) {
  return Record({"B", e.id, e.time, e.action, e.type, e.table, e.car, e.translator});
}
std::string ProcessRecord(const JournalEntry& e) {
  return Record({"P", e.id, std::to_string(e.process->pid), std::to_string(e.process->started)});
}
std::string EndRecord(const JournalEntry& e) {
  return Record({"E", e.id, e.end_time, e.status, e.reason, e.reference});
}

// A process id or start time; none for a field that is no number.
std::optional<unsigned long long> Number(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 19)
    return std::nullopt;
  return std::stoull(text);
}

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

void RunJournal::Begin(JournalEntry& entry) const {
  static std::mt19937_64 random{std::random_device{}()};
  entry.time = Now();
  entry.id = std::to_string(std::chrono::system_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(random() % 1000000000);
  AppendFileBytesSynced(path_, BeginRecord(entry));
}

void RunJournal::Started(const JournalEntry& entry, const ProcessIdentity& process) const {
  JournalEntry e = entry;
  e.process = process;
  AppendFileBytesSynced(path_, ProcessRecord(e));
}

void RunJournal::End(JournalEntry& entry, const std::string& status, const std::string& reason,
                     const std::string& reference) const {
  entry.ended = true;
  entry.end_time = Now();
  entry.status = status;
  entry.reason = reason;
  entry.reference = reference;
  AppendFileBytesSynced(path_, EndRecord(entry));
}

std::vector<JournalEntry> RunJournal::Entries(size_t* bytes) const {
  std::vector<JournalEntry> entries;
  if (bytes) *bytes = 0;
  if (!FileExists(path_)) return entries;
  const std::string text = ReadFileBytes(path_);
  if (bytes) *bytes = text.size();
  std::map<std::string, size_t> by_id;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::vector<std::string> f = Split(FromCp1252(line), "|");
    for (std::string& field : f) field = UnescapeField(field);
    if (f.size() < 2) continue;
    const auto found = by_id.find(f[1]);
    if (f[0] == "B" && f.size() == 8 && found == by_id.end()) {
      by_id.emplace(f[1], entries.size());
      JournalEntry e;
      e.id = f[1];
      e.time = f[2];
      e.action = f[3];
      e.type = f[4];
      e.table = f[5];
      e.car = f[6];
      e.translator = f[7];
      entries.push_back(std::move(e));
    } else if (f[0] == "P" && f.size() == 4 && found != by_id.end()) {
      const auto pid = Number(f[2]), started = Number(f[3]);
      if (pid && started) entries[found->second].process = ProcessIdentity{static_cast<long long>(*pid), *started};
    } else if (f[0] == "E" && f.size() == 6 && found != by_id.end()) {
      JournalEntry& e = entries[found->second];
      e.ended = true;
      e.end_time = f[2];
      e.status = f[3];
      e.reason = f[4];
      e.reference = f[5];
    }
  }
  return entries;
}

void RunJournal::Compact(const std::vector<JournalEntry>& entries, size_t bytes, size_t limit) const {
  if (bytes <= limit) return;
  // The last ended entry of each document, and every open one, in their order.
  std::map<std::pair<std::string, std::string>, size_t> last;
  for (size_t i = 0; i < entries.size(); ++i)
    if (entries[i].ended) last[{AsciiLower(entries[i].table), entries[i].car}] = i;
  std::string text;
  for (size_t i = 0; i < entries.size(); ++i) {
    const JournalEntry& e = entries[i];
    if (e.ended && last[{AsciiLower(e.table), e.car}] != i) continue;
    text += BeginRecord(e);
    if (e.process) text += ProcessRecord(e);
    if (e.ended) text += EndRecord(e);
  }
  ReplaceFileBytes(path_, text);
}

void CompleteOpenRuns(const Session& session, const std::function<void()>& waiting) {
  const RunJournal journal(JournalPath(session));
  size_t bytes = 0;
  std::vector<JournalEntry> entries = journal.Entries(&bytes);
  // Only the last run of a profile can have left its files: each run removes the earlier
  // run's before it begins.
  std::map<std::string, size_t> last_of_action;
  for (size_t i = 0; i < entries.size(); ++i) last_of_action[entries[i].action] = i;
  bool told = false;
  for (size_t i = 0; i < entries.size(); ++i) {
    JournalEntry& e = entries[i];
    if (e.ended) continue;
    if (e.process && ProcessRuns(*e.process)) {
      if (!told && waiting) waiting();
      told = true;
      while (ProcessRuns(*e.process)) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::string status, reason, reference;
    const bool own_files = last_of_action[e.action] == i;
    if (e.action == "QUE" && own_files) {
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
        try {
          reference = ApplyQueueLog(session, e.table, e.car);
        } catch (const StatusKept& kept) {
          reference = kept.update().reference.value_or("");
          AppendToRunLog(session.RunLogPath(), kept);
        } catch (const StatusNotStored&) {
          throw;  // stored nowhere: the entry stays open
        } catch (const Error& err) {
          AppendToRunLog(session.RunLogPath(), err);
          status = kStatusNoResult;
          reason = DescribeError(err);
        }
      }
    } else if (e.action == "UNQ" && own_files) {
      if (const auto sta = ReadStatus(session, "TPBUNQ.STA")) {
        status = sta->first;
        reason = sta->second;
      }
      if (status == "0") {
        try {
          StoreDocumentStatus(session, {e.table, e.car, std::nullopt, "01"});
        } catch (const StatusKept& kept) {
          AppendToRunLog(session.RunLogPath(), kept);
        } catch (const StatusNotStored&) {
          throw;
        } catch (const Error& err) {
          AppendToRunLog(session.RunLogPath(), err);
          status = kStatusNoResult;
          reason = DescribeError(err);
        }
      }
    } else if (e.action == "COM") {
      status = "0";
      reason = "selesai";
    }
    if (status.empty()) {
      status = kStatusNoResult;
      reason = "Proses SEVRIK berhenti sebelum hasil translator disimpan; translator tidak meninggalkan status.";
    }
    journal.End(e, status, reason, reference);
  }
  try {
    journal.Compact(entries, bytes);
  } catch (const Error& err) {
    AppendToRunLog(session.RunLogPath(), err);
  }
}

}  // namespace sevrik
