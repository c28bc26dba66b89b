// The progress of a BC 2.3 build on a terminal, for runs without a display: one line,
// rewritten in place, gone when the file is closed.
#pragma once

#include <ostream>
#include <string>

#include "core/lookups/session.h"

namespace sevrik {

class ConsoleProgress : public ProgressSink {
 public:
  explicit ConsoleProgress(std::ostream& out) : out_(out) {}
  void Show() override;
  void SetMaximum(long maximum) override;
  void SetValue(long value) override;
  void Hide() override;

 private:
  void Draw(long value);
  std::ostream& out_;
  long maximum_ = 0;
  long drawn_percent_ = -1;
  size_t width_ = 0;  // of the line drawn last, to clear it
};

}  // namespace sevrik
