// Communication runs of the translator package with the profile "TPBCOM".
#pragma once

#include "core/lookups/session.h"
#include "core/runs/translator.h"

namespace sevrik {

// Starts one communication run and waits for it to end; reads no result and changes nothing
// in the database. Returns whether it started.
// - "\ranuvel.exe" installed in the package folder: the package folder is made current, the
//   line "Ranuvel" + the quoted profile path (package folder + "\TPBCOM.ext") + the quoted
//   "Leased Line" is shown in a message box and run once the box is closed; the package folder
//   stays current.
// - Otherwise "zul TPBCOM.ZUL -p " + the network profile, unquoted, is run in the package
//   folder, and the program folder is made current again.
// A package folder that cannot be made current (an unmapped drive: error 68, a missing
// folder: error 76) goes to the caller before anything is started.
RunOutcome RunCommunication(const Session& session);

}  // namespace sevrik
