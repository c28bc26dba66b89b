// The run journal's reader: any bytes give whole records, skipped stretches and a torn tail
// that together cover the file, and every record it reads is one that was framed as it stands.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/runs/journal_format.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const sevrik::JournalScan scan = sevrik::ScanJournal(bytes);
  Check(scan.whole_end + scan.torn == size, "the tail ends the file");
  Check(scan.payloads.size() == scan.framed.size(), "each record is framed or released");
  size_t end = 0;
  for (const auto& d : scan.damaged) {
    Check(d.offset >= end && d.length > 0 && d.offset + d.length <= scan.whole_end, "damage lies before the tail, in order");
    end = d.offset + d.length;
  }
  std::string framed_again;
  for (size_t i = 0; i < scan.payloads.size(); ++i) {
    const std::string& p = scan.payloads[i];
    Check(p.find_first_of("\r\n") == std::string::npos, "a record is one line");
    if (scan.framed[i]) {
      const std::string line = sevrik::FrameRecord(p);
      Check(bytes.find(line) != std::string_view::npos, "a framed record stands in the file as framed");
    }
  }
  // Whatever came before, a whole record appended after the cut tail reads back as the last.
  std::string appended(bytes.substr(0, scan.whole_end));
  appended += sevrik::FrameRecord("E|x|t|0|SUCCESS|R");
  const sevrik::JournalScan again = sevrik::ScanJournal(appended);
  Check(again.torn == 0 && !again.payloads.empty() && again.payloads.back() == "E|x|t|0|SUCCESS|R",
        "a record appended after the cut reads back");
  return 0;
}
