// The Create of a declaration: its flat file built and, for BC 2.3, queued through the
// installed translator; the outcome written into the document and the run journal.
#pragma once

#include <string>

#include "core/flat/builders.h"
#include "core/lookups/session.h"
#include "core/runs/translator.h"

namespace sevrik {

// What the BC 2.3 queueing did: the build, then the translator run over the file.
struct QueueResult {
  BuildResult build;
  RunOutcome run;
};

// The BC 2.3 queueing: BuildFlatBC23, then, for a whole file, QueueFlatBC23.
// A file in which a record failed is not handed to the translator: the status file gets the
// failure SVK01 with its reason, and the document keeps its status.
QueueResult CreateFlatBC23(Session& session, const std::string& car);

// The BC 2.5 Create: BuildFlatBC25, whose file is the whole result, kept in the document's
// history (the run journal) as a run without a translator.
BuildResult CreateFlatBC25(Session& session, const std::string& car);

// The queueing of the closed BC 2.3 flat file "\IPDATA\BC23.FLT" through the installed
// translator, under the step log's rule: the package folder current, the earlier status and
// queue log removed (when either stays, nothing is started), the route of the translator run,
// the program folder current again; on the status "0" the reference of the queue log is
// stored for the document with the status "02". A "0" whose queue log names no reference
// (missing, empty, unreadable) is no success: the status file gets SVK03 with the reason (or,
// where that cannot be written, the "0" is removed), the journal entry ends with the failure
// and the outcome's untold error says why. `recipient` is the recipient's EDI number of
// the header (empty without one).
RunOutcome QueueFlatBC23(const Session& session, const std::string& car, const std::string& recipient);

// When the BC 2.3 file is incomplete: the earlier status and queue log removed, and the
// status file given `code` and `reason`, so that nothing of an earlier run reads as this one's
// outcome. No translator starts; the journal keeps the refusal in the document's history.
RunOutcome RefuseQueueing(const Session& session, const std::string& car, const std::string& code,
                          const std::string& reason);

}  // namespace sevrik
