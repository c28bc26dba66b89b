// Answers a message box for the tests, as a person would:
//   boxanswer <title> <ok|yes|no> [timeout ms, default 30000]
// Waits for a message box with that title, writes "title=<title>", "text=<text>" and
// "buttons=<the buttons it has>" to its output, presses the button and ends with status 0;
// status 1 when no such box came in time, 2 when the box lacks the button.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32.h"

namespace {

constexpr const char* kDialogClass = "#32770";
constexpr int kTextId = 0xFFFF;  // the message box's text control

struct Found {
  const char* title;
  HWND box = nullptr;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
  auto* found = reinterpret_cast<Found*>(data);
  char cls[64], title[256];
  if (!::GetClassNameA(window, cls, sizeof cls) || std::string(cls) != kDialogClass) return TRUE;
  ::GetWindowTextA(window, title, sizeof title);
  if (std::string(title) != found->title || !::IsWindowVisible(window)) return TRUE;
  found->box = window;
  return FALSE;
}

std::string Text(HWND control) {
  char text[4096] = "";
  ::GetWindowTextA(control, text, sizeof text);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 3;
  _setmode(_fileno(stdout), _O_BINARY);  // the box's own line ends as they are
  const std::string button = argv[2];
  const int timeout_ms = argc > 3 ? std::atoi(argv[3]) : 30000;
  Found found{argv[1]};
  for (int waited = 0; !found.box; waited += 50) {
    if (waited > timeout_ms) return 1;
    ::Sleep(50);
    ::EnumWindows(Visit, reinterpret_cast<LPARAM>(&found));
  }
  std::string text = Text(::GetDlgItem(found.box, kTextId));
  std::printf("title=%s\ntext=%s\nbuttons=", argv[1], text.c_str());
  const struct {
    int id;
    const char* name;
  } kButtons[] = {{IDOK, "ok"}, {IDYES, "yes"}, {IDNO, "no"}, {IDCANCEL, "cancel"}};
  int id = 0;
  for (const auto& b : kButtons)
    if (::GetDlgItem(found.box, b.id)) {
      std::printf("%s ", b.name);
      if (button == b.name) id = b.id;
    }
  std::printf("\n");
  std::fflush(stdout);
  if (!id) return 2;
  ::PostMessageA(found.box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(found.box, id)));
  return 0;
}
