// frmProgress on Qt Widgets: the borderless window with one progress bar that a BC 2.3 build
// shows while it walks its items. It draws what the core's ProgressModel holds.
#pragma once

#include <memory>

#include "core/forms/progress_model.h"
#include "core/lookups/session.h"

class QWidget;
class QProgressBar;
class QLabel;

namespace sevrik::qt {

class ProgressWindow : public ModelledProgress {
 public:
  ProgressWindow();
  ~ProgressWindow() override;

  // The window stays above `owner` while it is shown (none: a window of its own).
  void SetOwner(QWidget* owner);

  QWidget* widget() const { return window_.get(); }
  QProgressBar* bar() const { return bar_; }

 private:
  void Draw(bool centre, bool repaint) override;
  void DrawValue() override;
  std::unique_ptr<QWidget> window_;
  QProgressBar* bar_ = nullptr;
  QLabel* notice_ = nullptr;
};

}  // namespace sevrik::qt
