// The Windows-1252 conversions on any bytes.
#include <array>
#include <cstdint>
#include <string>

#include "base/text.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // Every byte string read from a file comes back unchanged when it is written again.
  const std::string utf8 = sevrik::FromCp1252(bytes);
  Check(sevrik::fuzz::IsValidUtf8(utf8), "FromCp1252 gives well-formed UTF-8");
  Check(sevrik::ToCp1252(utf8) == bytes, "ToCp1252(FromCp1252(b)) == b");

  // The same bytes taken as UTF-8, well-formed or not.
  const std::string out = sevrik::ToCp1252(bytes);
  Check(out.size() == sevrik::Cp1252Length(bytes), "Cp1252Length is the length of ToCp1252");
  if (sevrik::fuzz::IsValidUtf8(bytes)) {
    size_t characters = 0;
    for (char c : bytes) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    Check(out.size() == characters, "well-formed UTF-8: one byte per character");
  }
  // Only an ASCII byte gives an ASCII character: no overlong form decodes to "/" or NUL.
  std::array<size_t, 128> in_count{}, out_count{};
  for (char c : bytes)
    if (static_cast<unsigned char>(c) < 0x80) ++in_count[static_cast<unsigned char>(c)];
  for (char c : out)
    if (static_cast<unsigned char>(c) < 0x80) ++out_count[static_cast<unsigned char>(c)];
  for (size_t c = 0; c < 128; ++c)
    if (c != '?') Check(in_count[c] == out_count[c], "ASCII characters pass one for one");
  return 0;
}
