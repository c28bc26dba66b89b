// The shim's argument rules on any argument text.
#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "shim/zul_args.h"
#include "tests/fuzz/fuzz_check.h"

using sevrik::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  sevrik::zul::Arguments args;
  bool too_many = false;
  try {
    args = sevrik::zul::SplitArguments(text);
  } catch (const sevrik::Error& e) {
    Check(e.number() == sevrik::err::kSubscriptOutOfRange, "the only error is too many tokens");
    too_many = true;
  }
  if (!too_many) {
    Check(args[0].empty(), "slot 0 is never used");
    const std::string line = sevrik::zul::TranslatorCommandLine(args);
    Check(line.starts_with("Ranuvel"), "the translator's word comes first");
    Check(line.find(".zul") == std::string::npos, "no \".zul\" is left");
  }

  // Without quotes the tokens are the words between blanks, at most 20 of them, and the
  // translator's line is "Ranuvel" and every word but the second.
  if (text.find('"') != std::string_view::npos) return 0;
  std::vector<std::string> words;
  for (const std::string& w : sevrik::Split(text, " "))
    if (!w.empty()) words.push_back(w);
  Check(too_many == (words.size() > 20), "more than 20 words, and only then, are too many");
  if (too_many) return 0;
  std::string expected = "Ranuvel";
  for (size_t i = 0; i < words.size(); ++i) {
    Check(args[i + 1] == words[i], "each word fills its slot");
    if (i != 1) expected += " " + words[i];
  }
  for (size_t slot = words.size() + 1; slot < args.size(); ++slot) Check(args[slot].empty(), "the rest is empty");
  Check(sevrik::zul::TranslatorCommandLine(args) == sevrik::ReplaceAll(expected, ".zul", ".ext"),
        "the translator's line drops the second word");
  return 0;
}
