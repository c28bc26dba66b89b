// The forms' layouts as data: frmKb, frmViewLog and frmProgress, each control with its kind,
// container, caption, tool tip, rectangle, tab index and access key, as the forms were drawn.
// A view builds its controls from these tables (Qt Widgets on Linux, the Win32 common
// controls on Windows); the list columns of frmKb are kListColumns (browser.h).
// Rectangles are in twips (1/1440 inch): left, top, width, height, relative to the container.
#pragma once

#include <algorithm>
#include <array>
#include <span>
#include <string_view>
#include <vector>

namespace sevrik::forms {

enum class ControlKind {
  Frame,        // a group box with a caption
  Label,        // a caption that takes no focus
  Combo,        // a drop-down list without free text
  Edit,         // a single-line text box
  Button,       // a push button; never the default button (Enter in a text box presses none)
  ListView,     // a list in report view: column headers, whole rows selected, one at a time
  ListBox,      // a list of names (the file list box)
  TextBox,      // a multi-line text box with horizontal and vertical scroll bars, no wrapping
  Divider,      // a thin vertical line, no behaviour
  ProgressBar,  // a bar from 0 to its maximum, without text
};

// Whether a control of the kind takes the focus, and so a place in the tab order.
constexpr bool TakesFocus(ControlKind kind) {
  return kind == ControlKind::Combo || kind == ControlKind::Edit || kind == ControlKind::Button ||
         kind == ControlKind::ListView || kind == ControlKind::ListBox || kind == ControlKind::TextBox;
}

struct TwipsRect {
  int left, top, width, height;
};

struct Control {
  const char* name;
  ControlKind kind;
  const char* container;  // the form's name, or the frame's
  const char* caption;    // "&" marks the access key; "" for none
  const char* tool_tip;   // "" for none
  TwipsRect rect;
  int tab;          // tab index on the form
  char access_key;  // the letter after "&" in the caption, 0 for none
  bool hidden;      // not shown until the form's logic shows it
};

enum class Border {
  FixedDialog,  // title bar with a close box, no minimise or maximise box, not resizable
  None,         // no title bar, no border
};

enum class Placement {
  CentreOfScreen,  // centred on the screen when shown
  SystemDefault,   // where the system puts new windows
};

struct Font {
  const char* family;  // "" for the system's dialog font
  double points;
};

struct Form {
  const char* name;
  const char* caption;  // at design; frmKb appends its version at load
  int width, height;    // client area, twips
  Border border;
  Placement placement;
  Font font;  // points 0: the system's default
  std::span<const Control> controls;
};

// The control of the form with the name. Every name a view asks for is in its table: asked
// at compile time, a missing name does not compile.
constexpr const Control& Find(const Form& form, std::string_view name) {
  for (const Control& c : form.controls)
    if (name == c.name) return c;
  throw "no such control";
}

// The controls that take the focus, in the order of their tab indexes.
inline std::vector<const Control*> TabOrder(const Form& form) {
  std::vector<const Control*> order;
  for (const Control& c : form.controls)
    if (TakesFocus(c.kind)) order.push_back(&c);
  std::stable_sort(order.begin(), order.end(), [](const Control* a, const Control* b) { return a->tab < b->tab; });
  return order;
}

using enum ControlKind;

// frmKb: the search row across the top of the frame, the list filling it, the total at its
// bottom left, the four action buttons in one row below it.
inline constexpr std::array<Control, 13> kFrmKbControls = {{
    {"Frame1", Frame, "frmKb", "Browse Data", "", {120, 90, 9975, 5325}, 0, 0, false},
    {"Label1", Label, "Frame1", "Cari data", "", {135, 360, 1230, 270}, 1, 0, false},
    {"cbDok", Combo, "Frame1", "", "", {1020, 330, 1140, 315}, 2, 0, false},
    {"cbFld", Combo, "Frame1", "", "", {2205, 330, 1620, 315}, 3, 0, false},
    {"txtQ", Edit, "Frame1", "", "", {3885, 330, 4290, 315}, 4, 0, false},
    {"cmdGo", Button, "Frame1", "Browse ..", "Klik disini untuk melihat data.", {8250, 330, 1605, 345}, 5, 0, false},
    {"lView1", ListView, "Frame1", "", "", {90, 765, 9750, 4245}, 6, 0, false},
    {"Label2", Label, "Frame1", "Total :", "", {105, 5040, 555, 210}, 9, 0, false},
    {"txtTot", Label, "Frame1", "", "", {705, 5055, 1470, 225}, 10, 0, false},
    {"cmdConnect", Button, "frmKb", "&Komunikasi", "", {4455, 5520, 1335, 390}, 12, 'K', false},
    {"cmdBatal", Button, "frmKb", "&Batal EDIFACT", "", {5865, 5520, 1485, 390}, 11, 'B', false},
    {"cmdFlat", Button, "frmKb", "&Create EDIFACT", "", {7380, 5520, 1470, 390}, 8, 'C', false},
    {"cmdClose", Button, "frmKb", "&Close", "", {9000, 5505, 1110, 390}, 7, 'C', false},
}};
// The form is laid out for an 8-point dialog font; the system's larger default would cut the
// cells of the narrow columns.
inline constexpr Form kFrmKb = {"frmKb", "EDI Interface for TPB", 10185, 6000, Border::FixedDialog,
                                Placement::CentreOfScreen, {"", 8.0}, kFrmKbControls};

// frmViewLog: the file names down the left, the selected file's text on the right, Close
// below the frame at the right.
inline constexpr std::array<Control, 7> kFrmViewLogControls = {{
    {"Frame1", Frame, "frmViewLog", "Tessaro View Log", "", {120, 120, 8895, 4935}, 0, 0, false},
    {"Label1", Label, "Frame1", "File Name", "", {195, 315, 1800, 240}, 4, 0, false},
    {"File1", ListBox, "Frame1", "", "", {180, 570, 2025, 4185}, 1, 0, false},
    {"splitter1", Divider, "Frame1", "", "", {2205, 585, 45, 4155}, 6, 0, false},
    {"Label2", Label, "Frame1", "Message", "", {2265, 300, 3090, 255}, 5, 0, false},
    {"txtMsg", TextBox, "Frame1", "", "", {2280, 570, 6450, 4185}, 2, 0, false},
    {"cmdClose", Button, "frmViewLog", "&Close", "", {7785, 5160, 1245, 375}, 3, 'C', false},
}};
inline constexpr Form kFrmViewLog = {"frmViewLog", "View Log", 9150, 5640, Border::FixedDialog,
                                     Placement::SystemDefault, {"", 8.0}, kFrmViewLogControls};
// txtMsg's fixed-pitch font (where Courier New is missing, the system's fixed-pitch font).
inline constexpr Font kLogTextFont = {"Courier New", 8.25};

// frmCheck: the check's report of a document, read-only and scrollable, Tutup below it at
// the right (Escape closes it too).
inline constexpr std::array<Control, 2> kFrmCheckControls = {{
    {"txtCheck", TextBox, "frmCheck", "", "", {120, 120, 8895, 4935}, 0, 0, false},
    {"cmdTutup", Button, "frmCheck", "&Tutup", "", {7785, 5160, 1245, 375}, 1, 'T', false},
}};
inline constexpr Form kFrmCheck = {"frmCheck", "Periksa dokumen", 9150, 5640, Border::FixedDialog,
                                   Placement::CentreOfScreen, {"", 8.0}, kFrmCheckControls};

// frmHistory: a document's runs from the run journal, read-only. The line above the list says
// whose runs they are (or that there are none), Tutup below it at the right (Escape closes it
// too). The list's columns are kHistoryColumns (history.h).
inline constexpr std::array<Control, 3> kFrmHistoryControls = {{
    {"lblRiwayat", Label, "frmHistory", "", "", {120, 120, 9945, 255}, 2, 0, false},
    {"lvRiwayat", ListView, "frmHistory", "", "", {120, 420, 9945, 4635}, 0, 0, false},
    {"cmdTutup", Button, "frmHistory", "&Tutup", "", {8820, 5160, 1245, 375}, 1, 'T', false},
}};
// As wide as frmKb (wider than frmCheck): the time, the action and the reference whole leave the
// outcome its room, and at 150 % it still fits where the browser fits.
inline constexpr Form kFrmHistory = {"frmHistory", "Riwayat dokumen", 10185, 5640, Border::FixedDialog,
                                     Placement::CentreOfScreen, {"", 8.0}, kFrmHistoryControls};

// frmProgress: one frame without caption holding the bar. lblNotice, in the bar's place, says
// that the run waits for another one.
inline constexpr std::array<Control, 3> kFrmProgressControls = {{
    {"Frame1", Frame, "frmProgress", "", "", {0, 15, 6945, 840}, 0, 0, false},
    {"ProgressBar1", ProgressBar, "Frame1", "", "", {60, 135, 6825, 630}, 1, 0, false},
    {"lblNotice", Label, "Frame1", "", "", {60, 135, 6825, 630}, 2, 0, true},
}};
inline constexpr Form kFrmProgress = {"frmProgress", "frmProgress", 6960, 870, Border::None,
                                      Placement::CentreOfScreen, {"", 0}, kFrmProgressControls};
// ProgressBar1's maximum at design.
inline constexpr long kProgressDesignMaximum = 100;

}  // namespace sevrik::forms
