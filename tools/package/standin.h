// What the stand-in translator programs share: their package folder, the control file with
// which tests force an outcome, the record of every call, the flat-file check.
//
// Control file "<package>\standin.ctl", one setting a line:
//   result=<code>     fail with this code (ranuvel: status file; EXPORT: processing record)
//   silent            write no result at all
//   sleep=<ms>        wait this long before doing anything
//   pieces=4          EXPORT writes a 4-line processing record instead of a 6-line one
//   short             EXPORT writes a 4-line processing record with too few fields
//   log=<form>        ranuvel's queueing answers "0" but hands out no reference: its queue log
//                     is "missing", "empty" (no bytes), or "noref" (six lines, the reference
//                     line empty)
// Every call appends one line to "<package>\calls.log": the program, the current folder and
// each argument between "<" and ">".
#pragma once

#include <map>
#include <string>
#include <vector>

namespace sevrik::standin {

struct Control {
  std::string result;
  bool silent = false;
  int sleep_ms = 0;
  int pieces = 6;
  bool short_record = false;
  std::string log;
};

// The package folder: the current folder when it has an "ipdata" folder, else the folder of
// the running stand-in program.
std::string PackageFolder();
Control ReadControl(const std::string& package);
void RecordCall(const std::string& package, const std::string& program, int argc, char** argv);

// Checks a flat file: "ENV00101" first, "UNT00101" and "UNZ00101" last, CR LF lines, known
// tags only. Returns the empty text, or what is wrong.
std::string CheckFlatFile(const std::string& bytes);
// The document code of the envelope ("BC23"), or empty.
std::string DocumentCode(const std::string& bytes);

// The next submission reference of the package ("<own folder>\standin.seq").
std::string NextReference(const std::string& package);

std::string Today(const char* format);  // strftime of the local time
void WriteText(const std::string& path, const std::vector<std::string>& lines, bool final_line_end = true);

}  // namespace sevrik::standin
