#include "core/runs/pending.h"

#include <cstdint>

#include "base/error.h"
#include "base/text.h"
#include "platform/file_stream.h"
#include "platform/fs.h"
#include "platform/runlog.h"

namespace sevrik {
namespace {

// One line of the file (without its line end): the update it holds, or none for a line that
// is not one.
std::optional<StatusUpdate> ParseLine(std::string_view line) {
  const std::vector<std::string> f = Split(line, "|");
  if (f.size() != 4 || f[0].empty() || f[3].empty()) return std::nullopt;
  StatusUpdate u{UnescapeField(FromCp1252(f[0])), UnescapeField(FromCp1252(f[1])), std::nullopt,
                 UnescapeField(FromCp1252(f[3]))};
  if (!f[2].empty()) u.reference = UnescapeField(FromCp1252(f[2]));
  return u;
}

std::string FormatLine(const StatusUpdate& u) {
  return ToCp1252(EscapeField(u.table) + "|" + EscapeField(u.car) + "|" + EscapeField(u.reference.value_or("")) +
                  "|" + EscapeField(u.status)) +
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

// The table as kStatusTables names it, or empty.
std::string HeaderTable(std::string_view table) {
  for (const char* known : kStatusTables)
    if (AsciiLower(table) == AsciiLower(known)) return known;
  return {};
}

// A character of the C0 or C1 control sets, or DEL, in UTF-8 text.
bool HasControl(std::string_view s) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x20 || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) < 0xA0) return true;
  }
  return false;
}

void WriteRow(const Session& s, const StatusUpdate& u) {
  // Only a table of the list ever reaches the statement's text; the rest are parameters.
  auto rs = s.db.Open("select * from " + HeaderTable(u.table) + " Where car =?", {Variant(u.car)}, CursorType::Keyset);
  if (u.reference) rs->SetField("snrf", Variant(*u.reference));
  rs->SetField("Status", Variant(u.status));
  rs->Update();
}

// A text fit for the run log and a message box: control characters as "?", cut when long.
std::string Shown(std::string_view s) {
  std::string out;
  for (char c : s.substr(0, 200)) out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) ? '?' : c;
  if (s.size() > 200) out += "...";
  return out;
}

std::string Describe(const StatusUpdate& u) {
  return Shown(u.table + " CAR " + u.car + (u.reference ? " snrf " + *u.reference : std::string()) + " Status " +
               u.status);
}

bool SameDocument(const StatusUpdate& a, const StatusUpdate& b) {
  return AsciiLower(a.table) == AsciiLower(b.table) && a.car == b.car;
}

void AppendLines(const std::string& path, std::string_view lines) {
  LineAppender file(path);
  file.Write(lines);
  file.Commit();
}

// Kept updates of a document whose newer status has just been written are out of date: left
// in the file, the next start would write them over the newer one. When they cannot be taken
// out, the newer one goes after them, so that it is written last.
void DropOlderUpdates(const Session& session, const StatusUpdate& written) {
  const std::string path = PendingFilePath(session);
  if (!FileExists(path)) return;
  try {
    std::optional<FileReplacement> rest;
    bool dropped = false;
    {
      LineReader reader(path, Links::Refuse);
      rest.emplace(path);
      std::string line;
      for (LineReader::Piece p; (p = reader.Next(line, kMaxPendingLineBytes)) != LineReader::Piece::End;) {
        if (p == LineReader::Piece::Line) {
          const std::string_view text = std::string_view(line).substr(0, line.ends_with('\r') ? line.size() - 1 : line.size());
          const std::optional<StatusUpdate> u = ParseLine(text);
          if (u && SameDocument(*u, written)) {
            dropped = true;
            continue;
          }
        }
        rest->Write(line);
        if (p == LineReader::Piece::Line) rest->Write("\n");
      }
    }
    if (!dropped) return;
    if (rest->size() == 0) rest->CommitAsRemoval();
    else rest->Commit();
  } catch (const Error& e) {
    try {
      AppendLines(path, FormatLine(written));
      AppendToRunLog(session.RunLogPath(),
                     Error(e.number(), "SEVRIK.PND: status lama tidak dapat dihapus, status baru ditambahkan (" +
                                           Describe(written) + "): " + e.description()));
    } catch (const Error& append_error) {
      throw Error(e.number(), "Status dokumen (" + Describe(written) +
                                  ") sudah ditulis, tetapi SEVRIK.PND masih memuat status lama dokumen ini dan tidak "
                                  "dapat diubah: " +
                                  e.description() + "; " + append_error.description());
    }
  }
}

// The text of a status that can be stored nowhere: what a person must write down.
std::string Unstored(const StatusUpdate& u) {
  return (u.reference ? "Referensi " + Shown(*u.reference) : "Status " + Shown(u.status)) + " untuk CAR " +
         Shown(u.car) + " (" + Shown(u.table) + ", Status " + Shown(u.status) + ") tidak dapat disimpan: ";
}

// One replay of the pending file: where each line goes, and the run log kept short.
class Replay {
 public:
  Replay(const Session& session, const std::string& path) : session_(session), path_(path) {}

  void Run() {
    std::optional<LineReader> reader;
    try {
      reader.emplace(path_, Links::Refuse);
      // Before anything is written: the file can be replaced (the folder takes a new file).
      rest_.emplace(path_);
    } catch (const Error& e) {
      throw Error(e.number(), "SEVRIK.PND tidak dapat dibaca atau ditulis ulang; status yang tersimpan di dalamnya "
                              "belum ditulis: " + e.description());
    }
    try {
      std::string line;
      bool empty = true;
      for (LineReader::Piece p; (p = reader->Next(line, kMaxPendingLineBytes)) != LineReader::Piece::End;) {
        empty = false;
        if (p == LineReader::Piece::Part) SetAsideLong(*reader, line);
        else Take(line);
      }
      reader.reset();
      if (empty) changed_ = true;  // an empty file goes
      if (!changed_) return;
      if (aside_) aside_->Commit();
      if (rest_->size() == 0) rest_->CommitAsRemoval();
      else rest_->Commit();
    } catch (const Error& e) {
      throw Error(e.number(), "SEVRIK.PND tidak dapat diproses atau ditulis ulang; status yang tersimpan di "
                              "dalamnya ditulis lagi saat SEVRIK dijalankan lagi: " + e.description());
    }
    if (skipped_ > 0)
      AppendToRunLog(session_.RunLogPath(),
                     Error(err::kInvalidArgument,
                           "SEVRIK.PND: " + std::to_string(skipped_) + " catatan lain tidak ditulis di log (ditulis " +
                               std::to_string(written_) + ", dipindahkan ke SEVRIK.PNX " + std::to_string(set_aside_) +
                               ", dokumen tidak ditemukan " + std::to_string(dropped_) + ", tetap di SEVRIK.PND " +
                               std::to_string(kept_) + ")"));
  }

 private:
  void Log(int number, const std::string& text) {
    if (logged_ >= kMaxPendingLogEntries) {
      ++skipped_;
      return;
    }
    ++logged_;
    AppendToRunLog(session_.RunLogPath(), Error(number, "SEVRIK.PND: " + text));
  }

  LineAppender& Aside() {
    if (!aside_) aside_.emplace(SetAsideFilePath(session_));
    return *aside_;
  }

  void SetAside(std::string_view line, int number, const std::string& why) {
    Aside().Write(line);
    Aside().Write("\r\n");
    ++set_aside_;
    changed_ = true;
    Log(number, "baris dipindahkan ke SEVRIK.PNX (" + why + "): " + Shown(FromCp1252(line)));
  }

  // A line longer than any update: moved aside whole, piece by piece.
  void SetAsideLong(LineReader& reader, std::string& line) {
    const std::string head = Shown(FromCp1252(line.substr(0, 60)));
    uint64_t size = 0;
    LineReader::Piece p = LineReader::Piece::Part;
    for (; p == LineReader::Piece::Part; p = reader.Next(line, kMaxPendingLineBytes)) {
      Aside().Write(line);
      size += line.size();
    }
    if (line.ends_with('\r')) line.pop_back();
    Aside().Write(line);
    Aside().Write("\r\n");
    size += line.size();
    ++set_aside_;
    changed_ = true;
    Log(err::kInvalidArgument,
        "baris dipindahkan ke SEVRIK.PNX (baris terlalu panjang, " + std::to_string(size) + " byte): " + head);
  }

  void Keep(std::string_view line) {
    rest_->Write(line);
    rest_->Write("\r\n");
    ++kept_;
  }

  void Take(std::string& line) {
    if (line.ends_with('\r')) line.pop_back();
    if (line.empty()) {
      changed_ = true;
      return;
    }
    const std::optional<StatusUpdate> u = ParseLine(line);
    const std::string problem = u ? StatusUpdateProblem(*u) : "bukan baris status";
    if (!problem.empty()) return SetAside(line, err::kInvalidArgument, problem);
    if (waiting_) return Keep(line);
    try {
      WriteRow(session_, *u);
      ++written_;
      changed_ = true;
    } catch (const Error& e) {
      if (e.number() == err::kNoCurrentRecord) {
        ++dropped_;
        changed_ = true;
        Log(e.number(), "dokumen tidak ditemukan, status dibuang (" + Describe(*u) + "): " + e.description());
      } else if (e.number() == err::kInvalidArgument) {
        SetAside(line, e.number(), "ditolak database: " + e.description());
      } else {
        // The database cannot take it now: neither this one nor any later one is written, so
        // that they keep their order.
        waiting_ = true;
        Log(e.number(), "status belum dapat ditulis, tetap di SEVRIK.PND bersama status sesudahnya (" +
                            Describe(*u) + "): " + e.description());
        Keep(line);
      }
    }
  }

  const Session& session_;
  const std::string& path_;
  std::optional<FileReplacement> rest_;
  std::optional<LineAppender> aside_;
  bool changed_ = false, waiting_ = false;
  int logged_ = 0;
  uint64_t skipped_ = 0, written_ = 0, set_aside_ = 0, dropped_ = 0, kept_ = 0;
};

}  // namespace

std::string PendingFilePath(const Session& session) { return session.program_folder + "\\SEVRIK.PND"; }
std::string SetAsideFilePath(const Session& session) { return session.program_folder + "\\SEVRIK.PNX"; }

std::string StatusUpdateProblem(const StatusUpdate& u) {
  if (HeaderTable(u.table).empty()) return "tabel bukan tabel header dokumen";
  if (u.car.empty()) return "CAR kosong";
  if (u.status != "01" && u.status != "02") return "status bukan 01 atau 02";
  if (u.status == "02" && (!u.reference || u.reference->empty())) return "status 02 tanpa referensi";
  if (HasControl(u.table) || HasControl(u.car) || HasControl(u.reference.value_or("")) || HasControl(u.status))
    return "mengandung karakter kontrol";
  return {};
}

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

StoreResult StoreDocumentStatus(const Session& session, const StatusUpdate& update) {
  if (const std::string problem = StatusUpdateProblem(update); !problem.empty())
    return {StatusStored::Failed,
            Error(err::kInvalidArgument, "Status dokumen (" + Describe(update) + ") tidak ditulis: " + problem)};
  try {
    WriteRow(session, update);
  } catch (const Error& e) {
    if (e.number() == err::kNoCurrentRecord) return {StatusStored::Failed, e};
    // A value longer than its column never fits: kept for a person, not for the next start.
    const bool never = e.number() == err::kInvalidArgument;
    const std::string path = never ? SetAsideFilePath(session) : PendingFilePath(session);
    const char* name = never ? "SEVRIK.PNX" : "SEVRIK.PND";
    try {
      AppendLines(path, FormatLine(update));
    } catch (const Error& kept_error) {
      return {StatusStored::Nowhere, Error(e.number(), Unstored(update) + e.description() + " -- " + name + ": " +
                                                           kept_error.description())};
    }
    if (never)
      return {StatusStored::SetAside, Error(e.number(), e.description() + " -- Status dokumen (" + Describe(update) +
                                                            ") tidak dapat ditulis ke database dan disimpan di SEVRIK.PNX.")};
    return {StatusStored::Kept, Error(e.number(), e.description() + " -- Status dokumen (" + Describe(update) +
                                                      ") disimpan di SEVRIK.PND dan ditulis saat SEVRIK dijalankan lagi.")};
  }
  try {
    DropOlderUpdates(session, update);
  } catch (const Error& e) {
    return {StatusStored::Failed, e};
  }
  return {};
}

void ApplyPendingUpdates(const Session& session) {
  const std::string path = PendingFilePath(session);
  if (!FileExists(path)) return;
  Replay(session, path).Run();
}

}  // namespace sevrik
