#include <istream>
#include <ostream>
#include <string>

#include "base/text.h"
#include "platform/dialogs.h"
#include "platform/display.h"

namespace sevrik {

ConsoleDialogs::ConsoleDialogs(std::string app_title, std::istream& in, std::ostream& err)
    : app_title_(std::move(app_title)), in_(in), err_(err) {}

MsgAnswer ConsoleDialogs::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                     const std::string& title) {
  const char* mark = "";
  switch (icon) {
    case MsgIcon::Critical: mark = "[x] "; break;
    case MsgIcon::Question: mark = "[?] "; break;
    case MsgIcon::Exclamation: mark = "[!] "; break;
    case MsgIcon::Information: mark = "[i] "; break;
    case MsgIcon::None: break;
  }
  err_ << "== " << (title.empty() ? app_title_ : title) << " ==\n"
       << mark << ReplaceAll(text, "\r\n", "\n") << "\n";
  if (buttons == MsgButtons::Ok) {
    err_.flush();
    return MsgAnswer::Ok;
  }
  err_ << "(y/n) " << std::flush;
  std::string line;
  if (!std::getline(in_, line)) return MsgAnswer::No;
  const std::string answer = AsciiLower(Trim(ReplaceAll(line, "\r", "")));
  return answer == "y" || answer == "yes" ? MsgAnswer::Yes : MsgAnswer::No;
}

bool DialogsOnDisplay() {
  const char* mode = std::getenv("SEVRIK_DIALOGS");
  if (mode && std::string(mode) == "console") return false;
  return ReachableDisplay() != DisplayKind::None;
}

}  // namespace sevrik
