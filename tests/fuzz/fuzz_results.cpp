// The readers of the translator's result files: a processing record, the status-text table,
// a status file's first line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "base/error.h"
#include "base/text.h"
#include "core/runs/results.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

namespace {

bool IsOneField(const std::string& s) {
  return s.find('|') == std::string::npos && s.find("\r\n") == std::string::npos;
}

void ProcessingRecord(const std::string& text) {
  try {
    const auto record = sevrik::ParseProcessingRecord(text);
    if (!record) return;
    for (const std::string* f : {&record->name, &record->code, &record->reference, &record->line3, &record->date,
                                 &record->line6})
      Check(IsOneField(*f), "a record field holds no separator");
    if (!record->full) Check(record->reference.empty() && record->date.empty(), "four lines give name and code only");
  } catch (const sevrik::Error& e) {
    Check(e.number() == sevrik::err::kSubscriptOutOfRange, "too few fields is the only error");
  }
}

void StatusTable(FuzzedDataProvider& input) {
  const std::string code = input.ConsumeRandomLengthString(8);
  const std::string table = input.ConsumeRemainingBytesAsString();
  std::string text;
  try {
    text = sevrik::StatusTextIn(table, code);
  } catch (const sevrik::Error& e) {
    Check(e.number() == sevrik::err::kSubscriptOutOfRange, "a short matching line is the only error");
    return;
  }
  Check(text.find('|') == std::string::npos && text.find('\n') == std::string::npos, "the text is one field");
  // The last matching line wins.
  if (code.find_first_of("|\n") != std::string::npos || sevrik::Trim(code) != code) return;
  // The table's last line ended, without changing it: a lone CR at its end only needs its LF (a
  // CR LF after it would make a line of a CR, which a code of a CR matches).
  const std::string ended = table.empty() || table.back() == '\n' ? table
                             : table.back() == '\r'              ? table + "\n"
                                                                 : table + "\r\n";
  const std::string more = ended + code + "|01|GAGAL|Last\r\n";
  Check(sevrik::StatusTextIn(more, code) == "Last", "the last matching line gives the text");
}

void StatusFile(const std::string& bytes) {
  std::string line;
  try {
    line = sevrik::StatusFileLine(bytes);
  } catch (const sevrik::Error& e) {
    Check(e.number() == sevrik::err::kInputPastEnd && bytes.empty(), "only an empty file is past its end");
    return;
  }
  Check(line.find_first_of("\r\n") == std::string::npos, "the first line has no line end");
  Check(bytes.starts_with(sevrik::ToCp1252(line)), "the line is the file's first bytes");
}

}  // namespace

// The first byte picks the reader; the rest is its input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  FuzzedDataProvider input(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0: ProcessingRecord(sevrik::FromCp1252(input.ConsumeRemainingBytesAsString())); break;
    case 1: StatusTable(input); break;
    default: StatusFile(input.ConsumeRemainingBytesAsString()); break;
  }
  return 0;
}
