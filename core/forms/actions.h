// The document browser's actions, without a window: create and cancel the EDIFACT submission
// of the selected document, run communication. Each asks and tells through the session's
// message boxes, exactly as the browser shows them, and runs under the run lock.
#pragma once

#include <string>
#include <string_view>

#include "base/error.h"
#include "core/lookups/session.h"

namespace sevrik {

// The document type token of the type list's text: "BC 2.3" gives "BC23".
std::string DocumentTypeToken(std::string_view type_text);

class DocumentActions {
 public:
  // While an action waits for another SEVRIK run, the session's progress display says so.
  explicit DocumentActions(Session& session);

  // Create EDIFACT for the document `car` of the type shown as `type_text`. Returns whether
  // the list is to be browsed again: false when there was no document, the user said No, or
  // the type has no builder.
  bool Create(std::string_view type_text, const std::string& car);
  // Batal EDIFACT; the same answer.
  bool Cancel(std::string_view type_text, const std::string& car);
  // Komunikasi: the communication run, with no message of its own beyond what the run shows
  // (and an error box when it fails).
  void Communicate();

  // Shows an error that an action or a search met, and leaves the window usable.
  void ShowError(const Error& error);

 private:
  bool Confirm(const std::string& verb, const std::string& token, const std::string& car);
  void Outcome(const std::string& car, bool success, const std::string& reason);

  Session& s_;
};

}  // namespace sevrik
