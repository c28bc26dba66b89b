// The rules that turn the forms' tables (forms.h) into pixels, shared by both sets of views so
// that neither repeats them: the rounding of twips, the room a drop-down entry, a button's
// caption and a list's header need, and the layout that gives a control the width its content
// needs within its row. A view measures texts in its own font and draws what these rules give.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "core/forms/forms.h"

namespace sevrik::forms {

// Twips (1/1440 inch) in pixels at the DPI, to the nearest pixel: 15 twips a pixel at 96 DPI.
constexpr int Px(int twips, int dpi) { return (twips * dpi + 720) / 1440; }

// The room beside a button's caption, each side: the button's edge, its focus rectangle and a
// clear gap between the rectangle and the letters (6 pixels at 96 DPI).
inline constexpr int kButtonSideTwips = 90;
// The room beside the text of a drop-down list's closed field, besides its frame and arrow.
inline constexpr int kComboTextSideTwips = 45;
// The room a list keeps beside a cell's or a header's text, both sides together (12 pixels at
// 96 DPI: the list's own 6 each side).
inline constexpr int kCellMarginTwips = 180;
// The room between a combo's entry font and its field, above and below together.
inline constexpr int kComboFieldPadTwips = 30;

// What a button needs across for a caption `text_px` wide.
constexpr int ButtonWidth(int text_px, int dpi) { return text_px + 2 * Px(kButtonSideTwips, dpi); }
// What a closed drop-down list needs across for its widest entry, `chrome_px` being its frame
// and arrow button as the toolkit draws them.
constexpr int ComboWidth(int widest_entry_px, int chrome_px, int dpi) {
  return widest_entry_px + chrome_px + 2 * Px(kComboTextSideTwips, dpi);
}
// The height of a closed drop-down list's field for entries `font_px` high (the text centred).
constexpr int ComboFieldHeight(int font_px, int dpi) { return font_px + Px(kComboFieldPadTwips, dpi); }

// A caption without its access-key mark: "&Create EDIFACT" reads "Create EDIFACT".
std::string CaptionText(std::string_view caption);

struct PixelRect {
  int left, top, width, height;
  int right() const { return left + width; }
  bool operator==(const PixelRect&) const = default;
};

// The pixel rectangle of each control of the form (in the table's order), relative to its
// container, at the DPI. `needed(c)` is what the control's content needs across in pixels
// (0 for nothing beyond the table). A control is as the table draws it unless it needs more;
// then it is widened, and its row (the other controls of its container beside it, sharing some
// of its height) makes the room without passing the row's own right edge: the controls to its
// right move right, the first text box among them (a field that takes any width) giving up the
// width it can spare (down to half its own); what still runs past the row's right edge moves
// the whole row left into the free space before it (down to the container's left margin, the
// leftmost control of the container). What no room is left for is not widened.
std::vector<PixelRect> LayOut(const Form& form, int dpi, const std::function<int(const Control&)>& needed);

// The rectangle of the named control in a layout of the form.
const PixelRect& RectOf(const Form& form, const std::vector<PixelRect>& layout, std::string_view name);

}  // namespace sevrik::forms
