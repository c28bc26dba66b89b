#include "core/forms/console_progress.h"

#include <algorithm>

namespace sevrik {

void ConsoleProgress::Show() {
  maximum_ = 0;
  drawn_percent_ = -1;
  Draw(0);
}

void ConsoleProgress::SetMaximum(long maximum) {
  maximum_ = std::max(0L, maximum);
  drawn_percent_ = -1;
  Draw(0);
}

void ConsoleProgress::SetValue(long value) {
  const long percent = maximum_ > 0 ? std::clamp(value * 100 / maximum_, 0L, 100L) : 0;
  if (percent == drawn_percent_) return;  // one redraw a percent, however many items
  drawn_percent_ = percent;
  Draw(value);
}

void ConsoleProgress::Draw(long value) {
  std::string line = "Membentuk flat file BC23";
  if (maximum_ > 0)
    line += ": " + std::to_string(std::min(value, maximum_)) + "/" + std::to_string(maximum_) + " barang (" +
            std::to_string(drawn_percent_ < 0 ? 0 : drawn_percent_) + "%)";
  else line += "...";
  const size_t pad = width_ > line.size() ? width_ - line.size() : 0;
  out_ << '\r' << line << std::string(pad, ' ') << std::flush;
  width_ = line.size();
}

void ConsoleProgress::Hide() {
  if (width_ == 0) return;
  out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
  width_ = 0;
}

}  // namespace sevrik
