#include "core/forms/progress_model.h"

#include <algorithm>
#include <cstdint>

namespace sevrik {

bool ProgressModel::Show() {
  notice_shown_ = false;
  value_ = 0;
  drawn_value_ = 0;
  drawn_percent_ = -1;
  drawn_at_ = {};
  visible_ = true;
  return true;
}

bool ProgressModel::SetMaximum(long maximum) {
  maximum_ = std::clamp<long>(maximum, 0, INT32_MAX);
  if (value_ > maximum_) value_ = 0;
  drawn_value_ = value_;  // the whole window is drawn
  return true;
}

long long ProgressModel::Percent(long value) const {
  return maximum_ > 0 ? static_cast<long long>(value) * 100 / maximum_ : 100;
}

bool ProgressModel::SetValue(long value) {
  value_ = std::clamp<long>(value, 0, maximum_);
  if (value_ == drawn_value_) return false;
  const long long percent = Percent(value_);
  const bool first = drawn_percent_ < 0;
  const Clock::time_point now = first || value_ >= maximum_ || percent != drawn_percent_ ? now_() : drawn_at_;
  if (first || value_ >= maximum_ || (percent != drawn_percent_ && now - drawn_at_ >= kDrawInterval)) {
    drawn_value_ = value_;
    drawn_percent_ = percent;
    drawn_at_ = now;
    return true;
  }
  return false;
}

bool ProgressModel::FlushValue() {
  if (!visible_ || notice_shown_ || !value_undrawn()) return false;
  drawn_value_ = value_;
  return true;
}

bool ProgressModel::Hide() {
  notice_shown_ = false;
  visible_ = false;
  return true;
}

bool ProgressModel::Notice(std::string text) {
  notice_ = std::move(text);
  notice_shown_ = true;
  visible_ = true;
  return true;
}

}  // namespace sevrik
