// Start-up, the lookups of EDI numbers and partner names, the file-existence check and the
// deletion of the communication logs.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "interface/session.h"

namespace sevrik {

inline constexpr int kVersionMajor = 2, kVersionMinor = 0, kVersionRevision = 0;
inline constexpr const char* kAppTitle = "SEVRIK";
inline constexpr const char* kDatabasePassword = "TarovLinesKepas";

// "SEVRIK Ver. 2.0.0", CR LF, "Harus dijalankan dari aplikasi TPB".
std::string VersionNotice();

// "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=<folder>\dbTPB.mdb;Jet oledb:Database password=..."
std::string BuildConnectionString(std::string_view program_folder);

// What Main needs from the program that runs it.
struct MainEnvironment {
  std::string program_folder;
  Dialogs& dialogs;
  std::function<std::unique_ptr<Database>(const std::string& connection_string)> connect;
  // Shows the window "list" (frmKb) or "log" (frmViewLog) and returns when it is closed.
  // Empty when the program has no windows.
  std::function<void(Session&, const std::string& window)> show_window;
  ProgressSink* progress = nullptr;
  // Tells the user something that needs no answer while the run goes on (that it waits for
  // another run). Empty: nothing is told.
  std::function<void(const std::string& text)> notice;
  // Writes one line of a report to standard output ("CHK"). Empty: the lines go nowhere.
  std::function<void(const std::string& line)> output;
  // Whether message boxes are windows (a display answers): a report is then shown in a box
  // too, for a user who started the program without a console.
  bool report_in_box = false;
};

// What a run that waits for another one tells the user, once.
inline constexpr const char* kWaitingNotice = "Menunggu proses SEVRIK lain selesai...";

// Main of SEVRIK for the argument text of its command line. Returns the exit status: 0, or
// 1 after the run-time error box when an error that nothing trapped ended the run.
// "CHK BC23 <CAR>" and "CHK BC25 <CAR>" check the document (CheckDocument) and write its
// report to the output; the status is 1 when a problem keeps the document from being queued.
// The actions that write flat files, start the translator or read its results ("QUE", "UNQ",
// "COM", "logdel") hold the run lock program folder + "\SEVRIK.LCK" for their whole run,
// from before the run log is emptied; a second run waits for the first. Every start with
// arguments writes the pending status updates (SEVRIK.PND) before its action.
int RunMain(const std::string& argument_text, MainEnvironment& env);

// The own EDI number: tblData.edinum of the first row, decoded; empty without a row.
std::string GetOwnEdiNumber(Database& db);
// Turns the stored, scrambled own EDI number back into the number.
std::string DecodeEdiNumber(std::string_view stored);
// NomorEDI of the first tblPartner row of the customs office (code trimmed), or empty.
std::string GetPartnerEdiNumber(Database& db, std::string_view office_code);
// namalokal of the first tblPartner row with the EDI number (trimmed), or empty.
std::string GetPartnerNameByEdi(Database& db, std::string_view edi_number);

// True when at least one plain file matches the pattern (wildcards in its last part). A
// listing that fails shows "Error : " and the description, and answers false.
bool AnyFileMatches(std::string_view pattern, Dialogs& dialogs);


}  // namespace sevrik
