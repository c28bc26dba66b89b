// frmProgress: the borderless window with one progress bar that a BC 2.3 build shows while it
// walks its items.
#pragma once

#include <memory>

#include "interface/session.h"

class QWidget;
class QProgressBar;
class QLabel;

namespace sevrik::windows {

class ProgressWindow : public ProgressSink {
 public:
  ProgressWindow();
  ~ProgressWindow() override;
  void Show() override;
  void SetMaximum(long maximum) override;
  void SetValue(long value) override;
  void Hide() override;
  // A line of text in the window (that the run waits for another run), shown at once.
  void Notice(const std::string& text) override;

  QWidget* widget() const { return window_.get(); }
  QProgressBar* bar() const { return bar_; }

 private:
  void Repaint();
  std::unique_ptr<QWidget> window_;
  QProgressBar* bar_ = nullptr;
  QLabel* notice_ = nullptr;
  long last_painted_ = -1;
};

}  // namespace sevrik::windows
