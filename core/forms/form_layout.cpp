#include "core/forms/form_layout.h"

#include <algorithm>
#include <string>

namespace sevrik::forms {

std::string CaptionText(std::string_view caption) {
  std::string text;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;  // "&&" is one "&"
    text += caption[i];
  }
  return text;
}

std::vector<PixelRect> LayOut(const Form& form, int dpi, const std::function<int(const Control&)>& needed) {
  const std::span<const Control> controls = form.controls;
  std::vector<PixelRect> rects;
  for (const Control& c : controls)
    rects.push_back({Px(c.rect.left, dpi), Px(c.rect.top, dpi), Px(c.rect.width, dpi), Px(c.rect.height, dpi)});
  const auto same_band = [&](size_t a, size_t b) {
    const TwipsRect& x = controls[a].rect;
    const TwipsRect& y = controls[b].rect;
    return x.top < y.top + y.height && y.top < x.top + x.height;
  };
  for (size_t i = 0; i < controls.size(); ++i) {
    const int missing = needed(controls[i]) - rects[i].width;
    if (missing <= 0) continue;
    // The row of the control, left to right, and the limits it keeps.
    std::vector<size_t> row;
    int left_limit = rects[i].left, right_limit = rects[i].right();
    for (size_t j = 0; j < controls.size(); ++j) {
      if (std::string_view(controls[j].container) != controls[i].container) continue;
      left_limit = std::min(left_limit, rects[j].left);
      if (controls[j].kind == ControlKind::Frame || !same_band(i, j)) continue;
      row.push_back(j);
      right_limit = std::max(right_limit, rects[j].right());
    }
    std::stable_sort(row.begin(), row.end(), [&](size_t a, size_t b) { return rects[a].left < rects[b].left; });
    std::vector<PixelRect> tried = rects;
    tried[i].width += missing;
    int shift = missing;
    for (size_t j : row) {
      if (j == i || rects[j].left < rects[i].left) continue;
      tried[j].left += shift;
      if (controls[j].kind == ControlKind::Edit) {
        const int give = std::min(shift, rects[j].width - Px(controls[j].rect.width, dpi) / 2);
        if (give > 0) {
          tried[j].width -= give;
          shift -= give;
        }
      }
    }
    int over = 0, first = rects[i].left;
    for (size_t j : row) {
      over = std::max(over, tried[j].right() - right_limit);
      first = std::min(first, tried[j].left);
    }
    const int moved = std::min(over, first - left_limit);
    if (moved > 0)
      for (size_t j : row) tried[j].left -= moved;
    over -= std::max(moved, 0);
    if (over > 0) {
      // No room for all of it: the control keeps the width the row could give it.
      if (over >= missing) continue;
      tried[i].width -= over;
      for (size_t j : row)
        if (j != i && rects[j].left >= rects[i].left) tried[j].left -= over;
    }
    rects = std::move(tried);
  }
  return rects;
}

const PixelRect& RectOf(const Form& form, const std::vector<PixelRect>& layout, std::string_view name) {
  for (size_t i = 0; i < form.controls.size(); ++i)
    if (name == form.controls[i].name) return layout.at(i);
  throw "no such control";
}

}  // namespace sevrik::forms
