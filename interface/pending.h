// TEMPORARY on branch h-cancel: the declaration that main brings; replaced when main is merged.
#pragma once

#include <optional>
#include <string>

#include "interface/session.h"

namespace sevrik {

// A document status that the translator confirmed.
struct StatusUpdate {
  std::string table;                      // the header table, e.g. "tblBC23Hdr"
  std::string car;
  std::optional<std::string> reference;   // a new snrf, or none (status only)
  std::string status;                     // "02", "01"
};
// Saves the update on the document's header row (keyset recordset, optimistic check). When
// the database cannot take it, the update is kept in program folder + "\SEVRIK.PND" for the
// next start and an Error is raised that says so. No header row: error 3021, nothing kept.
void StoreDocumentStatus(const Session& session, const StatusUpdate& update);

}  // namespace sevrik
