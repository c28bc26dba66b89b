// Document statuses that the translator confirmed, written into the document's header row.
// A status that the database cannot take at that moment (locked past its time-out, say) is
// kept in the pending file beside the program, so that no submission reference handed out is
// ever lost: every later start with arguments writes the kept updates first.
//
// Pending file program folder + "\SEVRIK.PND": Windows-1252, one update a line, CR LF:
//   <table>|<CAR>|<snrf>|<Status>
// An empty snrf field leaves snrf as it is (a cancellation sets the status alone). In each
// field "%", "|", CR and LF are written as "%25", "%7C", "%0D" and "%0A".
// The file is data only: a line is written only when its table is one of kStatusTables
// (without regard to case; the statement names the table as the list does), its CAR is not
// empty, its status is "01" or "02", a "02" has a reference, and no field holds a control
// character (C0, DEL, C1, after the codes above are read back).
//
// Set-aside file program folder + "\SEVRIK.PNX": the lines of the pending file that will never
// be written, moved there as they stood (lines that break a rule above, or longer than
// kMaxPendingLineBytes, and updates that the database refuses with error 5, a value longer
// than its column), appended, each with a run-log entry, for a person to look at. Nothing
// reads it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "core/lookups/document_types.h"
#include "core/lookups/session.h"

namespace sevrik {

// The tables a kept status may be written to.
inline constexpr std::array<const char*, 3> kStatusTables = {
    kDocumentTypeTable[0].status_table, kDocumentTypeTable[1].status_table, kDocumentTypeTable[2].status_table};
// A longer line of the pending file is no update (a whole one takes a few hundred bytes).
inline constexpr size_t kMaxPendingLineBytes = 4096;
// The run log takes at most this many entries of one replay, then one line that counts the rest.
inline constexpr int kMaxPendingLogEntries = 20;

// A document status that the translator confirmed.
struct StatusUpdate {
  std::string table;                     // the header table, "tblBC23Hdr"
  std::string car;
  std::optional<std::string> reference;  // a new snrf, or none (status only)
  std::string status;                    // "02", "01"

  friend bool operator==(const StatusUpdate&, const StatusUpdate&) = default;
};

// What became of an update given to StoreDocumentStatus.
enum class StatusStored {
  Written,   // in the document's header row
  Kept,      // in SEVRIK.PND, written at a later start
  SetAside,  // in SEVRIK.PNX, for a person: a value that never fits its column
  Nowhere,   // neither the database nor the file took it: only the error's text names it
  Failed,    // refused (a rule broken, no header row), or written while SEVRIK.PND still holds
             // an older status of the document that could not be removed
};

struct StoreResult {
  StatusStored where = StatusStored::Written;
  // Unless written: what to tell. Kept and set aside: the database's number, and where the
  // update went; stored nowhere: the database's number, the update's reference (or status)
  // and CAR, so that a person can write them down; failed: why.
  std::optional<Error> error;

  bool written() const { return where == StatusStored::Written; }
  // Kept beside the program, in SEVRIK.PND or SEVRIK.PNX.
  bool kept() const { return where == StatusStored::Kept || where == StatusStored::SetAside; }
};

// Why the update may not be written (Indonesian), or empty when it may (the rules above).
std::string StatusUpdateProblem(const StatusUpdate& update);

// Saves the update on the document's header row (keyset recordset, optimistic check), drops
// the kept updates of the same document from the pending file (they are older), and returns
// what became of it; it raises nothing of its own.
// - An update that breaks a rule: Failed with error 5, nothing written or kept.
// - No header row: Failed with error 3021, nothing kept (no document to give the status to).
// - The database refuses with error 5 (a value longer than its column): SetAside in
//   SEVRIK.PNX; any other refusal (locked, busy): Kept in SEVRIK.PND.
// - Neither the database nor that file takes it: Nowhere, with the database's number and the
//   text "Referensi <ref> untuk CAR <car> tidak dapat disimpan: ...".
// - Written, but the older kept updates cannot be dropped: the new update is appended to the
//   pending file instead (it comes last, so it is written last) and the result is Written;
//   when even that fails, Failed says so.
[[nodiscard]] StoreResult StoreDocumentStatus(const Session& session, const StatusUpdate& update);

// Writes the kept updates in the order they were kept, reading the file line by line (memory
// and time do not grow faster than the file). Those written, and those whose header row no
// longer exists (run-log entry), leave the file; lines set aside (see above) go to SEVRIK.PNX;
// the first update the database cannot take yet, and every update after it, stay in the file
// in their order for the next start (so an older update never follows a newer one).
// The file is replaced whole through a temporary file, or removed when nothing stays. The
// temporary file is created before any update is written: when the file cannot be read, the
// folder takes no new file, or the file cannot be replaced or removed at the end, an Error is
// raised that says why, and the run's action must not run, so that an old status never lands
// over a newer one. At most kMaxPendingLogEntries run-log entries, then one summary line.
void ApplyPendingUpdates(const Session& session);

// The pending file's lines, and the updates read from its text (its form only; the rules are
// StatusUpdateProblem's).
std::string FormatPendingUpdates(const std::vector<StatusUpdate>& updates);
std::vector<StatusUpdate> ParsePendingUpdates(const std::string& cp1252_text);

// program folder + "\SEVRIK.PND"
std::string PendingFilePath(const Session& session);
// program folder + "\SEVRIK.PNX"
std::string SetAsideFilePath(const Session& session);

}  // namespace sevrik
