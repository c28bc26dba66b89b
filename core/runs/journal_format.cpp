#include "core/runs/journal_format.h"

#include <array>
#include <cstdio>

namespace sevrik {
namespace {

constexpr size_t kMaxPayload = 9'999'999;  // 7 digits

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0x82F63B78u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLowerHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f'); }

// The end of the framed record that starts at `at`, or 0 when none whole starts there.
size_t FramedRecordEnd(std::string_view bytes, size_t at, std::string_view& payload) {
  if (bytes.substr(at, 2) != "J|") return 0;
  size_t p = at + 2;
  size_t length = 0, digits = 0;
  while (p < bytes.size() && IsDigit(bytes[p]) && digits < 8) length = length * 10 + (bytes[p++] - '0'), ++digits;
  if (digits == 0 || digits > 7 || (digits > 1 && bytes[at + 2] == '0') || length > kMaxPayload) return 0;
  if (p >= bytes.size() || bytes[p] != '|') return 0;
  ++p;
  if (bytes.size() - p < 9) return 0;
  uint32_t crc = 0;
  for (size_t i = 0; i < 8; ++i) {
    const char c = bytes[p + i];
    if (!IsLowerHex(c)) return 0;
    crc = crc * 16 + static_cast<uint32_t>(IsDigit(c) ? c - '0' : c - 'a' + 10);
  }
  p += 8;
  if (bytes[p] != '|') return 0;
  ++p;
  if (bytes.size() - p < length + 2) return 0;
  if (bytes.substr(p + length, 2) != "\r\n") return 0;
  const std::string_view body = bytes.substr(p, length);
  if (body.find_first_of("\r\n") != std::string_view::npos || Crc32c(body) != crc) return 0;
  payload = body;
  return p + length + 2;
}

// The end of a released-format line (B|, P| or E|, ended by LF) that starts at `at`, or 0.
size_t ReleasedLineEnd(std::string_view bytes, size_t at, std::string_view& payload) {
  if (at + 2 > bytes.size() || bytes[at + 1] != '|' || (bytes[at] != 'B' && bytes[at] != 'P' && bytes[at] != 'E'))
    return 0;
  const size_t lf = bytes.find('\n', at);
  if (lf == std::string_view::npos) return 0;
  std::string_view line = bytes.substr(at, lf - at);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.find('\r') != std::string_view::npos) return 0;
  payload = line;
  return lf + 1;
}

}  // namespace

uint32_t Crc32c(std::string_view bytes) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (const char b : bytes) c = table[(c ^ static_cast<unsigned char>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string FrameRecord(std::string_view payload) {
  char crc[9];
  std::snprintf(crc, sizeof crc, "%08x", Crc32c(payload));
  return "J|" + std::to_string(payload.size()) + "|" + crc + "|" + std::string(payload) + "\r\n";
}

JournalScan ScanJournal(std::string_view bytes) {
  JournalScan scan;
  size_t at = 0;
  constexpr size_t kNone = static_cast<size_t>(-1);
  size_t damage_from = kNone;
  while (at < bytes.size()) {
    std::string_view payload;
    size_t end = FramedRecordEnd(bytes, at, payload);
    bool framed = end != 0;
    if (!framed) end = ReleasedLineEnd(bytes, at, payload);
    if (end == 0) {
      if (damage_from == kNone) damage_from = at;
      // The next place where a record may begin: a "J|", or the start of a line.
      size_t next = at + 1;
      while (next < bytes.size() && bytes[next - 1] != '\n' && bytes.substr(next, 2) != "J|") ++next;
      at = next;
      continue;
    }
    if (damage_from != kNone) scan.damaged.push_back({damage_from, at - damage_from});
    damage_from = kNone;
    scan.payloads.emplace_back(payload);
    scan.framed.push_back(framed);
    scan.whole_end = end;
    at = end;
  }
  scan.torn = bytes.size() - scan.whole_end;
  return scan;
}

}  // namespace sevrik
