#include "interface/pending.h"

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/runlog.h"
#include "platform/text.h"

namespace sevrik {
namespace {

std::string Escape(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '%': out += "%25"; break;
      case '|': out += "%7C"; break;
      case '\r': out += "%0D"; break;
      case '\n': out += "%0A"; break;
      default: out += c;
    }
  }
  return out;
}

// The field back; a "%" not followed by one of the four codes stands for itself.
std::string Unescape(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size()) {
      const std::string_view code = s.substr(i + 1, 2);
      const char c = code == "25" ? '%' : code == "7C" ? '|' : code == "0D" ? '\r' : code == "0A" ? '\n' : 0;
      if (c) {
        out += c;
        i += 2;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

// One line of the file: the update it holds, or none for a line that is not one.
std::optional<StatusUpdate> ParseLine(const std::string& line) {
  const std::vector<std::string> f = Split(line, "|");
  if (f.size() != 4 || f[0].empty() || f[3].empty()) return std::nullopt;
  StatusUpdate u{Unescape(FromCp1252(f[0])), Unescape(FromCp1252(f[1])), std::nullopt, Unescape(FromCp1252(f[3]))};
  if (!f[2].empty()) u.reference = Unescape(FromCp1252(f[2]));
  return u;
}

std::string FormatLine(const StatusUpdate& u) {
  return ToCp1252(Escape(u.table) + "|" + Escape(u.car) + "|" + Escape(u.reference.value_or("")) + "|" +
                  Escape(u.status)) +
         "\r\n";
}

std::vector<std::string> FileLines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::string& l : Split(text, "\n")) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (!l.empty()) lines.push_back(std::move(l));
  }
  return lines;
}

void WriteRow(const Session& s, const StatusUpdate& u) {
  auto rs = s.db.Open("select * from " + u.table + " Where car =?", {Variant(u.car)}, CursorType::Keyset);
  if (u.reference) rs->SetField("snrf", Variant(*u.reference));
  rs->SetField("Status", Variant(u.status));
  rs->Update();
}

std::string Describe(const StatusUpdate& u) {
  return u.table + " CAR " + u.car + (u.reference ? " snrf " + *u.reference : std::string()) + " Status " + u.status;
}

bool SameDocument(const StatusUpdate& a, const StatusUpdate& b) {
  return AsciiLower(a.table) == AsciiLower(b.table) && a.car == b.car;
}

// Kept updates of a document whose newer status has just been written are out of date: left
// in the file, the next start would write them over the newer one.
void DropOlderUpdates(const Session& session, const StatusUpdate& written) {
  const std::string path = PendingFilePath(session);
  if (!FileExists(path)) return;
  try {
    std::string keep;
    bool dropped = false;
    for (const std::string& line : FileLines(ReadFileBytes(path))) {
      const std::optional<StatusUpdate> u = ParseLine(line);
      if (u && SameDocument(*u, written)) dropped = true;
      else keep += line + "\r\n";
    }
    if (!dropped) return;
    if (keep.empty()) RemoveFile(path);
    else ReplaceFileBytes(path, keep);
  } catch (const Error& e) {
    AppendToRunLog(session.RunLogPath(), Error(e.number(), "SEVRIK.PND: " + e.description()));
  }
}

}  // namespace

StatusKept::StatusKept(const Error& cause, StatusUpdate kept)
    : Error(cause.number(), cause.description() + " -- Status dokumen (" + Describe(kept) +
                                ") disimpan di SEVRIK.PND dan ditulis saat SEVRIK dijalankan lagi."),
      update_(std::move(kept)) {}

std::string PendingFilePath(const Session& session) { return session.program_folder + "\\SEVRIK.PND"; }

std::string FormatPendingUpdates(const std::vector<StatusUpdate>& updates) {
  std::string out;
  for (const StatusUpdate& u : updates) out += FormatLine(u);
  return out;
}

std::vector<StatusUpdate> ParsePendingUpdates(const std::string& cp1252_text) {
  std::vector<StatusUpdate> out;
  for (const std::string& line : FileLines(cp1252_text))
    if (auto u = ParseLine(line)) out.push_back(std::move(*u));
  return out;
}

void StoreDocumentStatus(const Session& session, const StatusUpdate& update) {
  try {
    WriteRow(session, update);
    DropOlderUpdates(session, update);
  } catch (const Error& e) {
    if (e.number() == err::kNoCurrentRecord) throw;
    const std::string path = PendingFilePath(session);
    try {
      const std::string kept = FileExists(path) ? ReadFileBytes(path) : std::string();
      const std::string sep = kept.empty() || kept.ends_with("\n") ? "" : "\r\n";
      ReplaceFileBytes(path, kept + sep + FormatLine(update));
    } catch (const Error& kept_error) {
      throw StatusNotStored(e.number(), e.description() + " -- Status dokumen (" + Describe(update) +
                                            ") juga tidak dapat disimpan di SEVRIK.PND: " +
                                            kept_error.description());
    }
    throw StatusKept(e, update);
  }
}

void ApplyPendingUpdates(const Session& session) {
  const std::string path = PendingFilePath(session);
  if (!FileExists(path)) return;
  const std::string log = session.RunLogPath();
  std::string text;
  try {
    text = ReadFileBytes(path);
  } catch (const Error& e) {
    AppendToRunLog(log, Error(e.number(), "SEVRIK.PND: " + e.description()));
    return;
  }
  std::string keep;
  bool changed = false;
  for (const std::string& line : FileLines(text)) {
    const std::optional<StatusUpdate> u = ParseLine(line);
    if (!u) {
      // Not an update: kept as it stands, for a person to look at.
      AppendToRunLog(log, Error(err::kTypeMismatch, "SEVRIK.PND: baris tidak dikenal: " + FromCp1252(line)));
      keep += line + "\r\n";
      continue;
    }
    try {
      WriteRow(session, *u);
      changed = true;
    } catch (const Error& e) {
      if (e.number() == err::kNoCurrentRecord) {
        AppendToRunLog(log, Error(e.number(), "SEVRIK.PND: dokumen tidak ditemukan, status dibuang (" + Describe(*u) +
                                                  "): " + e.description()));
        changed = true;
      } else {
        AppendToRunLog(log, Error(e.number(), "SEVRIK.PND: status belum dapat ditulis (" + Describe(*u) +
                                                  "): " + e.description()));
        keep += line + "\r\n";
      }
    }
  }
  if (!changed) return;
  try {
    if (keep.empty()) RemoveFile(path);
    else ReplaceFileBytes(path, keep);
  } catch (const Error& e) {
    // The rows are written; the next start writes them once more.
    AppendToRunLog(log, Error(e.number(), "SEVRIK.PND: " + e.description()));
  }
}

}  // namespace sevrik
