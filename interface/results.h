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
//   "\ipdata\<base>.STA"    "0" and "SUCCESS", or the code and its text.
//   "\ipdata\<base>.LOG"    six lines on success: document name, reference, line 3, status
//                           text, date, line 6.
#pragma once

#include <string>

#include "interface/session.h"

namespace sevrik {

// Condenses the processing records into "\ipdata\<base>.STA" and, on success, the result log
// "\ipdata\<base>.LOG"; on failure a result log of an earlier run is deleted. Both files are
// replaced whole (a failed write leaves the old file). A used record with too few fields is
// error 9.
void CollectTranslatorResult(const Session& session, const std::string& base_name);

// The first line of "\ipdata\<name>", without its line end. Missing: error 53; empty: 62.
std::string ReadStatusFile(const Session& session, const std::string& name);

// Stores the reference of "\ipdata\TPBQUE.LOG" (its second line) as the document's snrf and
// sets its Status to "02". No log, or an empty reference: nothing happens. A log of one line:
// error 9; no header row: error 3021.
void ApplyQueueLog(const Session& session, const std::string& header_table, const std::string& car);

// The text of a result code in "\entity0\log\status.txt" (the last matching line), or empty.
std::string LookupStatusText(const Session& session, const std::string& code);

}  // namespace sevrik
