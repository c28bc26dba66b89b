#include "interface/progress_model.h"

#include <algorithm>
#include <cstdint>

namespace sevrik {

bool ProgressModel::Show() {
  notice_shown_ = false;
  value_ = 0;
  last_painted_ = -1;
  visible_ = true;
  return true;
}

bool ProgressModel::SetMaximum(long maximum) {
  maximum_ = std::clamp<long>(maximum, 0, INT32_MAX);
  if (value_ > maximum_) value_ = 0;
  return true;
}

bool ProgressModel::SetValue(long value) {
  value_ = std::clamp<long>(value, 0, maximum_);
  const long step = std::max<long>(1, maximum_ / 200);
  if (last_painted_ < 0 || value - last_painted_ >= step || value >= maximum_) {
    last_painted_ = value;
    return true;
  }
  return false;
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
