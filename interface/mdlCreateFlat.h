// The flat-file builders: one document (one CAR) written as the fixed-width records that the
// EDI translator reads.
#pragma once

#include <string>

#include "interface/session.h"

namespace sevrik {

// Writes package folder + "\ipdata\BC25.FLT" for the document. Errors met while reading the
// own EDI number and opening the document's recordsets go to the caller; any later error is
// appended to the run log and leaves the file cut short, without its trailer.
void CreateFlatBC25(Session& session, const std::string& car);

// Writes package folder + "\IPDATA\BC23.FLT", runs the installed translator over it and, on
// success, stores the submission reference and status "02". A failed step is logged and the
// next step runs. Returns whether "\ipdata\TPBQUE.STA" can be read as this run's outcome:
// false when an earlier run's status and queue log could not be removed (the file, if any,
// is not this run's).
bool CreateFlatBC23(Session& session, const std::string& car);

// The BC 2.3 flat file alone, under the same rule, without the translation run.
void BuildFlatBC23(Session& session, const std::string& car);

}  // namespace sevrik
