#include "interface/actions.h"

#include <memory>
#include <optional>

#include "interface/mdlBatalEDIFACT.h"
#include "interface/mdlConnect.h"
#include "interface/mdlCreateFlat.h"
#include "interface/mdlMain.h"
#include "interface/results.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/runlock.h"
#include "platform/text.h"

namespace sevrik {
namespace {

constexpr const char* kTitle = "Perhatian";

// The first entry of run-log text: its number and description.
std::optional<Error> FirstLoggedError(const std::string& log) {
  const std::vector<std::string> lines = Split(log, "\r\n");
  if (lines.size() < 2 || Trim(lines[0]).empty()) return std::nullopt;
  try {
    return Error(std::stoi(std::string(Trim(lines[0]))), FromCp1252(lines[1]));
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

// The second line of a status file, or empty.
std::string StatusReason(const Session& s, const std::string& name) {
  try {
    const std::vector<std::string> lines = Split(FromCp1252(ReadFileBytes(s.package_folder + "\\ipdata\\" + name)), "\r\n");
    return lines.size() > 1 ? lines[1] : std::string();
  } catch (const Error&) {
    return {};
  }
}

// The run lock for one window action; while it waits, the progress display says so.
std::unique_ptr<RunLock> LockForAction(const Session& s) {
  bool waited = false;
  auto lock = std::make_unique<RunLock>(s.RunLockPath(), [&] {
    waited = true;
    if (s.progress) s.progress->Notice(kWaitingNotice);
  });
  if (waited && s.progress) s.progress->Hide();
  return lock;
}

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

size_t DocumentActions::RunLogSize() const {
  try {
    return ReadFileBytes(s_.RunLogPath()).size();
  } catch (const Error&) {
    return 0;
  }
}

std::string DocumentActions::RunLogSince(size_t offset) const {
  try {
    const std::string log = ReadFileBytes(s_.RunLogPath());
    return offset < log.size() ? log.substr(offset) : std::string();
  } catch (const Error&) {
    return {};
  }
}

bool DocumentActions::Create(std::string_view type_text, const std::string& car) {
  if (car.empty()) return false;
  const std::string token = DocumentTypeToken(type_text);
  if (token != "BC23" && token != "BC25") {
    s_.dialogs.ShowMessage("Dokumen " + token + " tidak dapat dibentuk EDIFACT.", MsgButtons::Ok, MsgIcon::Exclamation,
                          kTitle);
    return false;
  }
  if (!Confirm("membentuk", token, car)) return false;
  {
    const std::unique_ptr<RunLock> lock = LockForAction(s_);
    const size_t log_start = RunLogSize();
    std::optional<Error> escaped;
    bool own_status = true;  // TPBQUE.STA, if any, is this run's
    try {
      if (token == "BC23") own_status = CreateFlatBC23(s_, car);
      else CreateFlatBC25(s_, car);
    } catch (const Error& e) {
      escaped = e;  // the outcome below reports it
    }
    std::optional<Error> logged = FirstLoggedError(RunLogSince(log_start));
    if (!logged) logged = escaped;
    bool success;
    std::string reason;
    if (token == "BC23") {
      // The translation run's own status, which this run wrote or left removed.
      try {
        success = own_status && ReadStatusFile(s_, "TPBQUE.STA") == "0";
      } catch (const Error&) {
        success = false;
      }
      if (!own_status) {
        reason += "\r\nStatus translator sebelumnya tidak dapat dihapus; translator tidak dijalankan.";
      } else if (!success) {
        const std::string second = StatusReason(s_, "TPBQUE.STA");
        if (!second.empty()) reason += "\r\n" + second;
      }
    } else {
      // The BC 2.5 build starts no translator: its result is its own file, whole.
      std::string flat;
      try {
        flat = ReadFileBytes(s_.package_folder + "\\ipdata\\BC25.FLT");
      } catch (const Error&) {
      }
      success = !logged && flat.ends_with("\r\nUNZ00101\r\n");
    }
    if (!success && logged) reason += "\r\nLihat SEVRIK.log: " + DescribeError(*logged);
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
    if (!CancelEdifact(s_, token, car)) {
      Outcome(car, false, "\r\nDokumen atau mitranya (tblPartner) tidak ditemukan; translator tidak dijalankan.");
    } else if (ReadStatusFile(s_, "TPBUNQ.STA") == "0") {
      Outcome(car, true, {});
    } else {
      const std::string second = StatusReason(s_, "TPBUNQ.STA");
      Outcome(car, false, second.empty() ? std::string() : "\r\n" + second);
    }
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
