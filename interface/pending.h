// Document statuses that the translator confirmed, written into the document's header row.
// A status that the database cannot take at that moment (locked past its time-out, say) is
// kept in the pending file beside the program, so that no submission reference handed out is
// ever lost: every later start with arguments writes the kept updates first.
//
// Pending file program folder + "\SEVRIK.PND": Windows-1252, one update a line, CR LF:
//   <table>|<CAR>|<snrf>|<Status>
// An empty snrf field leaves snrf as it is (a cancellation sets the status alone). In each
// field "%", "|", CR and LF are written as "%25", "%7C", "%0D" and "%0A". The file is always
// replaced whole, through a temporary file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "interface/session.h"
#include "platform/error.h"

namespace sevrik {

// A document status that the translator confirmed.
struct StatusUpdate {
  std::string table;                     // the header table, "tblBC23Hdr"
  std::string car;
  std::optional<std::string> reference;  // a new snrf, or none (status only)
  std::string status;                    // "02", "01"

  friend bool operator==(const StatusUpdate&, const StatusUpdate&) = default;
};

// What StoreDocumentStatus raises when the database refused the update and it is kept in the
// pending file: the status is safe and is written at a later start.
class StatusKept : public Error {
 public:
  StatusKept(const Error& cause, StatusUpdate kept);
  const StatusUpdate& update() const { return update_; }

 private:
  StatusUpdate update_;
};

// What StoreDocumentStatus raises when the update can be stored nowhere: neither the database
// nor the pending file takes it. Its description gives the update, the reference included.
class StatusNotStored : public Error {
 public:
  using Error::Error;
};

// Saves the update on the document's header row (keyset recordset, optimistic check). When
// the database cannot take it, the update is kept in the pending file and StatusKept is raised
// with the database's number, whose description says so; when it cannot be kept either,
// StatusNotStored. No header row: error 3021, nothing
// kept (there is no document to give the status to).
void StoreDocumentStatus(const Session& session, const StatusUpdate& update);

// Writes the kept updates in the order they were kept. Those written, and those whose header
// row no longer exists, leave the file (the file goes when it is empty); those the database
// still cannot take stay for the next start. Every failure is appended to the run log; none
// is raised, so the run's own action goes on. A pending file that cannot be read or written is
// reported in the run log and left as it is.
void ApplyPendingUpdates(const Session& session);

// The pending file's lines, and the updates read from its text (for tests and the start).
std::string FormatPendingUpdates(const std::vector<StatusUpdate>& updates);
std::vector<StatusUpdate> ParsePendingUpdates(const std::string& cp1252_text);

// program folder + "\SEVRIK.PND"
std::string PendingFilePath(const Session& session);

}  // namespace sevrik
