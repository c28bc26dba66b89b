// The command-line cutter and the quoting that must survive it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/args.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);

  // Any line: its arguments, each quoted again and joined, cut into the same arguments.
  const std::string line = input.ConsumeRandomLengthString(512);
  const std::vector<std::string> args = sevrik::SplitCommandLine(line);
  std::string requoted;
  for (const std::string& a : args) requoted += (requoted.empty() ? "" : " ") + sevrik::QuoteArgument(a);
  Check(sevrik::SplitCommandLine(requoted) == args, "quoted arguments cut back into themselves");

  // Any value, quoted, is exactly one argument, also between others.
  const std::string value = input.ConsumeRandomLengthString(256);
  Check(sevrik::SplitCommandLine(sevrik::QuoteArgument(value)) == std::vector<std::string>{value},
        "a quoted value is one argument equal to the value");
  Check(sevrik::SplitCommandLine("p " + sevrik::QuoteArgument(value) + " q") ==
            std::vector<std::string>{"p", value, "q"},
        "a quoted value stays one argument between others");

  // Program arguments (C strings: the rest cut at NUL) without quotes: the argument text
  // cuts back into them. Empty ones are left out: they leave only a second blank.
  std::vector<std::string> argv_text{"ZUL"};
  std::string current;
  for (char c : input.ConsumeRemainingBytesAsString() + '\0') {
    if (c == '"') continue;
    if (c != '\0') {
      current += c;
    } else if (!current.empty()) {
      argv_text.push_back(current);
      current.clear();
    }
  }
  std::vector<const char*> argv;
  for (const std::string& a : argv_text) argv.push_back(a.c_str());
  const std::string text = sevrik::ArgumentText(static_cast<int>(argv.size()), argv.data());
  Check(sevrik::SplitCommandLine(text) == std::vector<std::string>(argv_text.begin() + 1, argv_text.end()),
        "the argument text cuts back into the arguments");
  return 0;
}
