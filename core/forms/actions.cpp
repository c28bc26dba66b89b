#include "core/forms/actions.h"

#include <memory>
#include <optional>

#include "base/error.h"
#include "base/text.h"
#include "core/flat/builders.h"
#include "core/lookups/document_types.h"
#include "core/lookups/program.h"
#include "core/runs/cancel.h"
#include "core/runs/communication.h"
#include "core/runs/journal.h"
#include "core/runs/queue.h"
#include "core/runs/results.h"
#include "core/runs/translator.h"
#include "platform/runlock.h"

namespace sevrik {
namespace {

constexpr const char* kTitle = "Perhatian";

// The run lock for one window action, with a killed run completed first; while it waits, for
// another run or for a translator that a killed run left, the progress display says so.
std::unique_ptr<RunLock> LockForAction(const Session& s) {
  bool waited = false;
  const auto notice = [&] {
    waited = true;
    if (s.progress) s.progress->Notice(kWaitingNotice);
  };
  auto lock = std::make_unique<RunLock>(s.RunLockPath(), notice);
  CompleteOpenRuns(s, notice);
  if (waited && s.progress) s.progress->Hide();
  return lock;
}

// The problems in the document's data that kept its build from being whole, as lines for
// the outcome box after `heading` (the first ten, then how many more); empty when the check
// finds none there (the build failed for another reason) or cannot run.
std::string DataProblems(Session& s, const std::string& token, const std::string& car, const char* heading) {
  try {
    const CheckList check = CheckDocument(s, token, car);
    if (check.blocking()) return "\r\n" + std::string(heading) + "\r\n" + BlockingSummary(check);
  } catch (const Error&) {
  }
  return {};
}

// The second line of a status, as a line of its own in the outcome box.
std::string ReasonLine(const RunOutcome& run) { return run.reason.empty() ? std::string() : "\r\n" + run.reason; }

}  // namespace

std::string DocumentTypeToken(std::string_view type_text) {
  return ReplaceAll(ReplaceAll(type_text, ".", ""), " ", "");
}

DocumentActions::DocumentActions(Session& session) : s_(session) {}

bool DocumentActions::Confirm(const std::string& verb, const std::string& token, const std::string& car) {
  return s_.dialogs.ShowMessage("Akan " + verb + " EDIFACT dokumen " + token + " ini ?\r\nCAR = " + car,
                               MsgButtons::YesNo, MsgIcon::Question, kTitle) == MsgAnswer::Yes;
}

void DocumentActions::Outcome(const std::string& car, bool success, const std::string& reason) {
  if (success) s_.dialogs.ShowMessage("CAR = " + car + " berhasil!", MsgButtons::Ok, MsgIcon::Information, kTitle);
  else s_.dialogs.ShowMessage("CAR = " + car + " gagal!" + reason, MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
}

void DocumentActions::ShowError(const Error& error) {
  s_.dialogs.ShowMessage(RunTimeErrorText(error), MsgButtons::Ok, MsgIcon::Exclamation, kTitle);
}

bool DocumentActions::Create(std::string_view type_text, const std::string& car) {
  if (car.empty()) return false;
  const std::string token = DocumentTypeToken(type_text);
  const DocumentType* type = FindDocumentType(token);
  if (!type || type->route == FlatRoute::None) {
    s_.dialogs.ShowMessage("Dokumen " + token + " tidak dapat dibentuk EDIFACT.", MsgButtons::Ok, MsgIcon::Exclamation,
                           kTitle);
    return false;
  }
  if (!Confirm("membentuk", token, car)) return false;
  {
    const std::unique_ptr<RunLock> lock = LockForAction(s_);
    std::optional<Error> first;  // the first error of this action: logged, or escaped
    bool success = false;
    std::string reason;
    std::string data;  // the problems in the document's data, when they made the build fail
    try {
      if (type->route == FlatRoute::Queued) {
        const QueueResult result = CreateFlatBC23(s_, car);
        first = result.build.first_error ? result.build.first_error : result.run.first_error;
        if (!result.build.whole) data = DataProblems(s_, token, car, "Dokumen tidak dikirim ke translator, datanya bermasalah:");
        success = result.run.Succeeded();
        if (result.run.why_not == NotStarted::PreviousResultStays)
          reason = "\r\nStatus translator sebelumnya tidak dapat dihapus; translator tidak dijalankan.";
        else if (!success)
          reason = ReasonLine(result.run);
        // (A status that could not be read is told by the run log's line below.)
        if (result.run.untold && result.run.why_not != NotStarted::PreviousResultStays && !result.run.status_error &&
            result.run.untold->description() != result.run.reason)
          reason += "\r\n" + result.run.untold->description();
      } else {
        // The BC 2.5 build starts no translator: its result is its own file, whole.
        const BuildResult result = CreateFlatBC25(s_, car);
        first = result.first_error;
        success = result.whole && !first;
        if (first) data = DataProblems(s_, token, car, "Flat file BC25 tidak dibentuk, datanya bermasalah:");
      }
    } catch (const Error& e) {
      first = e;  // the outcome below reports it
    }
    // A failure in the document's data names every problem; any other names the first error.
    if (!success && !data.empty()) reason = data;
    else if (!success && first) reason += "\r\nLihat SEVRIK.log: " + DescribeError(*first);
    Outcome(car, success, reason);
  }
  return true;
}

bool DocumentActions::Cancel(std::string_view type_text, const std::string& car) {
  if (car.empty()) return false;
  const std::string token = DocumentTypeToken(type_text);
  if (!Confirm("membatalkan", token, car)) return false;
  const std::unique_ptr<RunLock> lock = LockForAction(s_);
  try {
    const RunOutcome run = CancelEdifact(s_, token, car);
    if (run.why_not == NotStarted::NoDocument)
      Outcome(car, false, "\r\nDokumen atau mitranya (tblPartner) tidak ditemukan; translator tidak dijalankan.");
    else
      Outcome(car, run.Succeeded(), run.Succeeded() ? std::string() : ReasonLine(run));
  } catch (const Error& e) {
    // A cancellation that failed on its way, or left no status to read: said as it is.
    ShowError(e);
  }
  return true;
}

void DocumentActions::Communicate() {
  const std::unique_ptr<RunLock> lock = LockForAction(s_);
  RunCommunication(s_);
}

}  // namespace sevrik
