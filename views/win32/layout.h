// The forms' layouts (core/forms/forms.h) on the Win32 common controls: twips turned into pixels
// at the window's DPI (15 twips a pixel at 96 DPI, 10 at 144), and a top-level window whose
// controls are built from its table. The controls of a frame are the form's children placed
// inside the frame's rectangle, so that their notifications reach the form; each has the id
// ControlId gives it, and they are made in the order of their tab indexes, which is the order
// in which the dialog manager's Tab visits them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/forms/form_layout.h"
#include "core/forms/forms.h"
#include "platform/win32.h"

#include <commctrl.h>  // after the Windows headers

namespace sevrik::win32 {

using forms::Px;

// The id of a form's control: 100 + its place in the table (the ids 1 and 2 stay the dialog
// manager's Enter and Escape).
constexpr int ControlId(const forms::Form& form, std::string_view name) {
  int index = 0;
  for (const forms::Control& c : form.controls) {
    if (name == c.name) return 100 + index;
    ++index;
  }
  throw "no such control";
}

// The window's class name, for every form.
inline constexpr const wchar_t* kFormClass = L"SevrikForm";

// UTF-8 and UTF-16, the text of the "W" functions.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

// The window's DPI (its monitor's, for a per-monitor DPI aware program), else the system's.
int WindowDpi(HWND window);

// The pixel rectangle of a control of a layout of the table (forms::LayOut), relative to the
// form's client area.
RECT ControlRect(const forms::Form& table, const std::vector<forms::PixelRect>& layout, const forms::Control& c);

// A top-level window built from a form's table. The caption, the font, the client size and the
// controls' places follow the table at the window's DPI, and again when the DPI changes: every
// control in the form's one font, each drop-down list and button as wide as its entries and
// caption need (forms::LayOut), a drop-down list's entries centred in its closed field.
class FormWindow {
 public:
  explicit FormWindow(const forms::Form& table);
  virtual ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Makes the window (hidden) and its controls. `owner`: the window it stays above.
  void Create(HWND owner);
  HWND hwnd() const { return hwnd_; }
  HWND Control(std::string_view name) const;
  int dpi() const { return dpi_; }
  HFONT font() const { return font_; }
  // Shows the window, centred on its monitor's work area when the table places it there.
  void Show();
  // A message of the loop before the dialog manager sees it (the form's own keys): true when
  // the form took it.
  virtual bool PreTranslate(const MSG& /*message*/) { return false; }

  // The system's busy cursor while `run` runs.
  template <class Run>
  void Busy(Run&& run) {
    ++busy_;
    HCURSOR before = ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)));  // IDC_WAIT
    struct Restore {
      FormWindow& w;
      HCURSOR before;
      ~Restore() {
        --w.busy_;
        ::SetCursor(before);
      }
    } restore{*this, before};
    run();
  }

 protected:
  // A message of the window; the default is the system's.
  virtual LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  // After the controls are placed at `dpi`: what a kind needs beyond the table.
  virtual void Laid() {}
  // The text width in the form's font.
  int TextWidth(std::string_view utf8) const;
  // Lays the controls out at the DPI (again, after their contents changed).
  void Layout(int dpi);
  const forms::Form& table() const { return table_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  DWORD Style() const;
  DWORD ExStyle() const;

  const forms::Form& table_;
  HWND hwnd_ = nullptr;
  HWND tips_ = nullptr;
  // The control that has the focus when the window is activated: the first of the tab order
  // until the window was deactivated with the focus on another.
  HWND focus_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = 96;
  int busy_ = 0;
};

// Makes a font of the family (empty: the system's dialog font) at the points and DPI.
HFONT MakeFont(std::string_view family, double points, int dpi);

// Runs the window's message loop, with the dialog manager's keyboard, until it is destroyed.
// A message the form takes first (PreTranslate) goes no further.
void RunWindow(FormWindow& form);

// Paints what waits to be painted, without taking the user's input.
void PaintPending();

// A form shown above its owner with the owner disabled, closed by its "Tutup" button, Escape,
// Enter on "Tutup" or the close box (frmCheck, frmHistory).
class ModalForm : public FormWindow {
 public:
  ModalForm(const forms::Form& table, HWND owner) : FormWindow(table), owner_(owner) {}
  // Shows it, gives `focus` the focus, and returns when it is closed.
  void RunModal(HWND focus);

 protected:
  // The closing messages; the rest go to FormWindow.
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Close();

 private:
  HWND owner_;
};

// The width of texts in a control's font, for the columns of a list: the control's device
// context held while it lives.
class ControlTextWidths {
 public:
  explicit ControlTextWidths(HWND control);
  ~ControlTextWidths();
  ControlTextWidths(const ControlTextWidths&) = delete;
  ControlTextWidths& operator=(const ControlTextWidths&) = delete;
  int operator()(const std::string& utf8) const;

 private:
  HWND control_;
  HDC dc_;
  HGDIOBJ before_;
};

// Makes `list` a list view of whole rows with grid lines, tool tips and double buffering.
void SetListStyle(HWND list);
// Adds column `index` to the list view: its header, its width in twips at `dpi`, its alignment.
void InsertListColumn(HWND list, size_t index, const std::string& header, int width_twips, bool right, int dpi);

// Answers a list view's request for a row's tool tip with `text`, cut to its room.
void AnswerInfoTip(NMLVGETINFOTIPW& tip, const std::string& text);

}  // namespace sevrik::win32
