// Cancellation of a queued EDIFACT submission through the translator's profile "TPBUNQ".
#pragma once

#include <string>

#include "core/lookups/session.h"
#include "core/runs/translator.h"

namespace sevrik {

// The document types whose header table "tbl" + type + "Hdr" may be named.
bool IsDocumentType(const std::string& type);

// Asks the installed translator to cancel the document's submission and, when this run's
// "\ipdata\TPBUNQ.STA" begins with the line "0", sets the document's Status to "01".
//
// - `type` must be "BC23", "BC25" or "BC40"; anything else is error 5 before any statement is
//   built or any program is started. The CAR is data (a bound parameter).
// - No header row, or no tblPartner row for its customs office: nothing is started, read or
//   changed.
// - The package folder is current while the translator runs ("Ranuvel TPBUNQ.EXT" when
//   "\ranuvel.exe" is installed, else "zul TPBUNQ.ZUL -p"), followed by the partner's local
//   name, the type and the submission reference, unquoted; a null adds nothing. Afterwards the
//   program folder is current again.
// - A status file of an earlier run is removed before the translator starts; when it cannot
//   be removed, that error goes to the caller and the translator is not started. No status
//   file after the run: error 53. Either way the document keeps its status.
// - A status the database cannot take is kept in the pending file (StoreDocumentStatus).
// Returns what the run did: not started (NotStarted::NoDocument) when the document or its
// partner has no row; else started, with this run's status.
RunOutcome CancelEdifact(const Session& session, const std::string& type, const std::string& car);

}  // namespace sevrik
