// Message boxes. The core asks through this interface; the programs choose a window or the
// console (DESIGN: a window when a display is there and SEVRIK_DIALOGS is not "console").
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

namespace sevrik {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgAnswer { Ok, Yes, No };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows `text` (lines broken by CR LF) and waits for the user. An empty title shows the
  // application's title.
  virtual MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                               const std::string& title = {}) = 0;
};

// Title and text to the error stream; a Yes/No question reads one line from the input,
// where "y" or "yes" in any case is Yes and anything else, end of input included, is No.
class ConsoleDialogs : public Dialogs {
 public:
  ConsoleDialogs(std::string app_title, std::istream& in, std::ostream& err);
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title = {}) override;

 private:
  std::string app_title_;
  std::istream& in_;
  std::ostream& err_;
};

// The message boxes of a program that shows nothing but boxes (ZUL, Ranuvel Plug-In): windows
// when DialogsOnDisplay(), else the console. A window system that must be started for them (Qt)
// is started at the first box. `argc` and `argv` must outlive the result.
std::unique_ptr<Dialogs> MakeProgramDialogs(int& argc, char** argv, const std::string& app_title);

// True when message boxes are shown as windows: SEVRIK_DIALOGS is not "console" and a
// display is reachable (platform/display.h).
bool DialogsOnDisplay();

}  // namespace sevrik
