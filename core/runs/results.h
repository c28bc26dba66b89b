// The translator's results: its processing records condensed into a status file and a
// result log, the status file read back, the queue log applied to the document.
//
// Formats (all under the package folder, Windows-1252, CR LF):
//   "\entity0\log\*.idt"    processing record: used only with exactly 4 or 6 lines; fields are
//                           the text with every CR LF made "|", cut at "|", numbered across
//                           the file. 4 lines: 2 flat-file name, 11 result code. 6 lines: 2 name,
//                           14 result line 3, 16 line 6, 17 processing date, 20 reference,
//                           33 result code. Code "107" is success.
//   "\entity0\log\status.txt"  lines "code|..|..|text": field 0 trimmed is the code.
//   "\ipdata\<base>.STA"    "0" and "SUCCESS", or the code and its text. Besides the
//                           translator's codes the system writes codes of its own, never
//                           "0", for outcomes that no translator reported:
//                             SVK01  the flat file is incomplete: a record failed; it was not
//                                    handed to the translator
//                             SVK02  the translator was not started: its input or an earlier
//                                    run's files could not be prepared
//                             SVK03  the translator's processing records could not be read or
//                                    its result files not be written, or its "0" came with a
//                                    queue log that names no reference
//                             SVK04  the translator's result code was "0", which is no success
//                                    code of its processing records
//                           The second line then tells why, in Indonesian, with the error's
//                           number and description where there was one.
//   "\ipdata\<base>.LOG"    six lines on success: document name, reference, line 3, status
//                           text, date, line 6.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "core/lookups/session.h"
#include "core/runs/pending.h"

namespace sevrik {

inline constexpr const char* kStatusIncompleteFlatFile = "SVK01";
inline constexpr const char* kStatusNotStarted = "SVK02";
inline constexpr const char* kStatusNoResult = "SVK03";
inline constexpr const char* kStatusZeroCode = "SVK04";
// Outcomes that only the run journal records (no status file carries them): an entry that a
// later entry for the same document overtook, closed without being applied; and an entry whose
// outcome is unknown because a later entry of its action owns the status files.
inline constexpr const char* kStatusOvertaken = "SVK05";
inline constexpr const char* kStatusUnknownOutcome = "SVK06";

// "kesalahan <number> (<description>)", as the second line of such a status names an error.
std::string DescribeError(const Error& error);

// Replaces "\ipdata\<base>.STA" by a failure status (`code` must not be "0") and deletes a
// result log "\ipdata\<base>.LOG" of an earlier run. Line breaks inside the texts become
// blanks, so the file always has its two lines.
void WriteFailureStatus(const Session& session, const std::string& base_name, const std::string& code,
                        const std::string& text);

// Condenses the processing records into "\ipdata\<base>.STA" and, on success, the result log
// "\ipdata\<base>.LOG"; on failure a result log of an earlier run is deleted. Both files are
// replaced whole, the result log first, so that "0" is only ever written beside this run's
// log. A used record with too few fields, a status-text table that cannot be read or a
// result file that cannot be written is raised as an error after the status file, where it
// can be written, has been given the failure SVK03: a status that reads as success comes only
// from this run's "107".
void CollectTranslatorResult(const Session& session, const std::string& base_name);

// The first line of "\ipdata\<name>", without its line end. Missing: error 53; empty: 62.
std::string ReadStatusFile(const Session& session, const std::string& name);

// The first line of "\ipdata\<name>" and its second (the reason; empty without one), with
// ReadStatusFile's errors.
struct StatusLines {
  std::string first, second;
};
StatusLines ReadStatusLines(const Session& session, const std::string& name);

// The reference that "\ipdata\TPBQUE.LOG" names (its second line); empty when there is no
// log or its reference line is empty. A log of one line (an empty file too): error 9; one that
// cannot be read: its error.
std::string QueueLogReference(const Session& session);

// Stores the reference of "\ipdata\TPBQUE.LOG" (its second line) as the document's snrf with
// its Status "02" (StoreDocumentStatus), and returns the reference with what became of the
// update. No log, or an empty reference: nothing happens, the reference is empty. A log of one
// line: error 9; one that cannot be read: its error.
struct AppliedQueueLog {
  std::string reference;
  StoreResult stored;
};
AppliedQueueLog ApplyQueueLog(const Session& session, const std::string& header_table, const std::string& car);

// The text of a result code in "\entity0\log\status.txt" (the last matching line), or empty.
std::string LookupStatusText(const Session& session, const std::string& code);

// The readings behind the procedures above, on texts already read and decoded.

// What one processing record gives.
struct ProcessingRecord {
  bool full = false;  // six lines: every field; four lines: name and code only
  std::string name, code, reference, line3, date, line6;
};
// The fields of a processing record's text; nothing unless it has exactly 4 or 6 lines. Too
// few fields: error 9.
std::optional<ProcessingRecord> ParseProcessingRecord(std::string_view text);

// The text of `code` in a status-text table's text (the last matching line's fourth field), or
// empty. A matching line with fewer than four fields: error 9.
std::string StatusTextIn(std::string_view table, std::string_view code);

// The first line of a status file's bytes, without its line end, as UTF-8. Empty: error 62.
std::string StatusFileLine(std::string_view bytes);

}  // namespace sevrik
