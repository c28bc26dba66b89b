// Drives the windows of another program as a person would, for the tests: finds its windows by
// caption and their controls by id, reads texts, geometry and the rows and cells of lists,
// selects entries, types, presses keys and buttons, and answers message boxes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"

namespace sevrik::test {

// Waits until `done` answers true, looking every 20 ms; false after `timeout_ms`.
bool WaitFor(const std::function<bool()>& done, int timeout_ms = 20000);

// A program started for a test, ended (killed, if it still runs) when it goes.
class DrivenProgram {
 public:
  // Starts the command line in `folder` with the environment entries changed ("NAME=value").
  DrivenProgram(const std::string& command_line, const std::string& folder, const std::vector<std::string>& env);
  ~DrivenProgram();
  DrivenProgram(const DrivenProgram&) = delete;
  DrivenProgram& operator=(const DrivenProgram&) = delete;

  // Its visible top-level window with the caption (and of the class, when given), waited for;
  // then, with `settle`, until its thread has handled what was sent and posted before (a
  // program that shows a window without waiting for input, as a command-line build does,
  // is not waited for).
  HWND Window(const std::string& caption, const char* cls = nullptr, int timeout_ms = 20000,
              bool settle = true) const;
  // Whether it has ended; its exit status when it has, waiting up to `timeout_ms`.
  std::optional<DWORD> Ended(int timeout_ms = 0) const;
  DWORD id() const { return info_.dwProcessId; }
  // Ends it at once, as a kill does: nothing of its own runs after.
  void Kill() const;
  // Waits until its window thread has handled every message sent or posted before.
  void Settle(HWND window) const;

 private:
  PROCESS_INFORMATION info_{};
};

// The control of a window by its id.
HWND ControlOf(HWND form, int id);
// A window's text (caption, a control's text).
std::string TextOf(HWND window);
// A control's rectangle in its form's client area, and a window's client size.
RECT RectIn(HWND form, HWND control);
SIZE ClientSize(HWND window);
// Whether a window's style has all the bits.
bool HasStyle(HWND window, LONG style);
bool HasExStyle(HWND window, LONG style);

// A list view of another process: its rows, a cell's text, the selected row (-1: none), a
// column's width and header.
int ListRows(HWND list);
std::string ListCell(HWND list, int row, int column);
int ListSelected(HWND list);
int ListFocused(HWND list);
int ListColumnWidth(HWND list, int column);
int ListColumns(HWND list);
std::string ListHeader(HWND list, int column);
// The width of the text in the list's font, as the list measures it.
int ListTextWidth(HWND list, const std::string& text);
// The list's first visible row and how many rows it shows.
int ListTopRow(HWND list);
int ListVisibleRows(HWND list);
// Selects a row as a click does.
void ClickListRow(HWND list, int row);
// A right-click on a row: the button's messages to the list, then the context menu's message
// that the window system sends to the form.
void RightClickListRow(HWND form, HWND list, int row);
// Clicks a column's header with the mouse.
void ClickListHeader(HWND list, int column);

// A drop-down list's entries and its selection; selecting an entry as a person does.
std::vector<std::string> ComboEntries(HWND combo);
int ComboSelected(HWND combo);
void SelectCombo(HWND form, HWND combo, int index);
// The rectangle in which a drop-down list's closed field draws its entry (its client area's).
RECT ComboField(HWND combo);
// The font a control draws with: its handle's value, the same for the controls of one font.
uintptr_t FontOf(HWND control);
// A list box's entries and its selection; a click on an entry.
std::vector<std::string> ListBoxEntries(HWND list);
int ListBoxSelected(HWND list);
void ClickListBox(HWND form, HWND list, int index);
// Clicks an entry of a list box with the mouse (a press and a release on its middle).
void MouseClickListBox(HWND list, int index);

// Types the text into an edit box (replacing its text).
void Type(HWND edit, const std::string& text);
// Presses the button with the mouse.
void Click(HWND button);
// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND form);
// Presses a key (with Shift) on the window's focused control, through the window's message
// queue as the keyboard's own messages arrive; `ch` is the character that the key types (0:
// none).
void PressKey(HWND form, WORD key, bool shift = false, wchar_t ch = 0);

// Ctrl with a key, as the keyboard sends it to the focused control.
void PressCtrlKey(HWND form, WORD key);

// The visible popup menu of the process (class "#32768"), or null.
HWND PopupMenuOf(DWORD process);

// Alt with a letter (an access key), as the keyboard sends it to the focused control.
void PressAltKey(HWND form, char letter);

// A message box of the program, as it was shown, and answered.
struct Box {
  std::string title, text, buttons;  // buttons: "ok ", "yes no "
  HWND owner = nullptr;
};
// Waits for a visible message box with the title in the process, reads it and presses the
// button ("ok", "yes", "no"). Nothing when none came in time.
std::optional<Box> AnswerBox(DWORD process, const std::string& title, const std::string& button,
                             int timeout_ms = 20000);
// Whether a message box of the process is shown now.
bool BoxShown(DWORD process);

}  // namespace sevrik::test
