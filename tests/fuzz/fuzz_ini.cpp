// The profile reader on any INI text, section, key, default and buffer size.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "base/text.h"
#include "platform/ini.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  const size_t buffer = input.ConsumeIntegralInRange<size_t>(0, 300);
  const std::string section = input.ConsumeRandomLengthString(40);
  const std::string key = input.ConsumeRandomLengthString(40);
  const std::string fallback = input.ConsumeRandomLengthString(80);
  const std::string text = input.ConsumeRemainingBytesAsString();

  const std::string value = sevrik::ProfileString(text, section, key, fallback, buffer);
  Check(buffer == 0 ? value.empty() : sevrik::Cp1252Length(value) < buffer, "the value fits the buffer");

  // The first matching section and key win, whatever follows them.
  Check(sevrik::ProfileString("[Probe]\r\n  Key = Value \r\n" + text, " probe ", "KEY", fallback, 64) == "Value",
        "a key of the first section is found");
  // A text without sections holds no key: the default comes back.
  if (text.find('[') == std::string::npos)
    Check(value == sevrik::ProfileString({}, section, key, fallback, buffer), "no section, the default");
  return 0;
}
