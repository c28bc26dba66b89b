#include "shim/zul_args.h"

#include "base/error.h"
#include "base/text.h"

namespace sevrik::zul {
namespace {

void Store(Arguments& args, size_t slot, std::string token) {
  if (slot >= args.size()) {
    if (Trim(token).empty()) return;  // the empty slot a closing quote leaves behind
    throw Error(err::kSubscriptOutOfRange, "Terlalu banyak argumen: ZUL menerima paling banyak 20 argumen.");
  }
  args[slot] = std::move(token);
}

}  // namespace

Arguments SplitArguments(std::string_view text) {
  Arguments args;
  std::string rest(Trim(text));
  if (rest.empty()) return args;
  for (size_t slot = 1;; ++slot) {
    const size_t q = rest.find('"');
    const size_t b = rest.find(' ');
    if (q != std::string::npos && b != std::string::npos && q < b) {
      // q < b: the token begins with the quote, since text before a blank holds no other
      // quote position; a quote later in a word is ordinary.
      if (q > 0) {
        Store(args, slot, std::string(Trim(rest.substr(0, b))));
        rest = std::string(Trim(rest.substr(b)));
        continue;
      }
      const size_t close = rest.find('"', 1);
      if (close == std::string::npos) {
        Store(args, slot, rest.substr(1));
        return args;
      }
      Store(args, slot, rest.substr(1, close - 1));
      rest = std::string(Trim(rest.substr(close + 1)));
    } else if (b != std::string::npos) {
      Store(args, slot, std::string(Trim(rest.substr(0, b))));
      rest = std::string(Trim(rest.substr(b)));
    } else {
      Store(args, slot, std::string(Trim(rest)));
      return args;
    }
  }
}

std::string TranslatorCommandLine(const Arguments& arguments) {
  std::string line = "Ranuvel";
  for (size_t slot = 1; slot < arguments.size(); ++slot) {
    if (slot == 2 || Trim(arguments[slot]).empty()) continue;
    line += " " + arguments[slot];
  }
  return ReplaceAll(line, ".zul", ".ext");
}

}  // namespace sevrik::zul
