// The run journal's bytes: how one record is framed and how a file of records is read back,
// whole records apart from torn and damaged ones. Pure functions over bytes, so that the
// reader can be fuzzed and its cases pinned with hand-written bytes.
//
// A record is one line:  J|<length>|<crc>|<payload> CR LF
//   <length>  the payload's length in bytes, decimal, no leading zeros (1 to 7 digits)
//   <crc>     the CRC-32C (Castagnoli) of the payload, 8 lower-case hex digits
//   <payload> the record's fields (journal.h), Windows-1252, never CR or LF
// A record counts as whole only when its length, checksum and CR LF all agree. The released
// format, before records were framed, wrote the payload alone as the line (B|..., P|..., E|...
// ended by CR LF); such lines are still read, without a checksum to check.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sevrik {

// CRC-32C of `bytes` (reflected polynomial 0x82F63B78, initial and final value all ones), so
// Crc32c("123456789") is 0xE3069283.
uint32_t Crc32c(std::string_view bytes);

// The framed line of one payload, CR LF included. The payload holds no CR or LF.
std::string FrameRecord(std::string_view payload);

// What a journal file's bytes hold.
struct JournalScan {
  // A stretch of bytes that is no whole record.
  struct Stretch {
    size_t offset = 0;
    size_t length = 0;
  };
  std::vector<std::string> payloads;  // every whole record's payload, in file order
  std::vector<bool> framed;           // for each payload: a framed record (else a released-format line)
  size_t whole_end = 0;               // where the last whole record ends (0 when there is none)
  std::vector<Stretch> damaged;       // skipped stretches before whole_end, in order
  size_t torn = 0;                    // bytes after whole_end: a torn tail
};

// Reads every record of the file's bytes. A stretch that is no whole record is skipped up to
// the next place where a record begins (a "J|", or a new line) and never read as part of a
// record; what follows the last whole record is the torn tail. Linear in the size for any
// file that this system writes.
JournalScan ScanJournal(std::string_view bytes);

}  // namespace sevrik
