// frmProgress on Qt Widgets: the borderless window with one progress bar that a BC 2.3 build
// shows while it walks its items. It draws what the core's ProgressModel holds.
#pragma once

#include <memory>

#include "interface/progress_model.h"
#include "interface/session.h"

class QWidget;
class QProgressBar;
class QLabel;

namespace sevrik::qt {

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

  // The window stays above `owner` while it is shown (none: a window of its own).
  void SetOwner(QWidget* owner);

  QWidget* widget() const { return window_.get(); }
  QProgressBar* bar() const { return bar_; }

 private:
  // Draws the model; `centre` centres the window on its screen first; `repaint` paints now.
  void Draw(bool centre, bool repaint);
  ProgressModel model_;
  std::unique_ptr<QWidget> window_;
  QProgressBar* bar_ = nullptr;
  QLabel* notice_ = nullptr;
};

}  // namespace sevrik::qt
