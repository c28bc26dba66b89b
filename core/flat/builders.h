// The flat-file builders: one document (one CAR) written as the fixed-width records that the
// EDI translator reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "core/flat/flat_check.h"
#include "core/lookups/session.h"

namespace sevrik {

// What a build of a flat file did.
struct BuildResult {
  bool whole = false;                // the file was written with every record and closed
  std::optional<Error> first_error;  // the first error the build logged, if any
  size_t errors = 0;                 // how many it logged
  // BC 2.3: the first failure that keeps the file from the translator (a record failed), and
  // the recipient's EDI number that the header names (empty without one).
  std::optional<Error> first_failure;
  std::string recipient;
};

// Writes package folder + "\ipdata\BC25.FLT" for the document (the Create of a BC 2.5
// declaration, CreateFlatBC25, journals it as well). Errors met while reading the
// own EDI number and opening the document's recordsets go to the caller; any later error is
// appended to the run log and leaves the file cut short, without its trailer. No header row:
// no file is written, and the result is not whole.
BuildResult BuildFlatBC25(Session& session, const std::string& car);

// Writes package folder + "\IPDATA\BC23.FLT" under the step log's rule: a failed step is
// logged and the next step runs, so that a failing record is only missing from the file. The
// result is whole only when no step that counts failed.
BuildResult BuildFlatBC23(Session& session, const std::string& car);

// The check of a document before it is sent: the builder of its type runs over the document
// with the file kept in memory and notes every problem in the list instead of stopping at
// the first; nothing is written to the package folder or the run log, no translator starts,
// no status changes. `type` is "BC23" or "BC25" (another: error 5, the document type has no
// builder); a document without a header row is error 3021, which names the CAR.
CheckList CheckDocument(Session& session, std::string_view type, const std::string& car);
// The builders' own checks, which CheckDocument runs.
void CheckFlatBC23(Session& session, const std::string& car, CheckList& check);
void CheckFlatBC25(Session& session, const std::string& car, CheckList& check);

}  // namespace sevrik
