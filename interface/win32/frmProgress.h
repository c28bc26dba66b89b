// frmProgress on the Win32 common controls: the borderless window with one progress bar that a
// BC 2.3 build shows while it walks its items. It draws what the core's ProgressModel holds.
#pragma once

#include <memory>

#include "interface/progress_model.h"
#include "interface/session.h"
#include "interface/win32/layout.h"

namespace sevrik::win32 {

class ProgressWindow : public ProgressSink {
 public:
  // `owner`: the window that it stays above while it is shown (none from the command line).
  explicit ProgressWindow(HWND owner = nullptr);
  ~ProgressWindow() override;
  void Show() override;
  void SetMaximum(long maximum) override;
  void SetValue(long value) override;
  void Hide() override;
  // A line of text in the bar's place (that the run waits for another run), shown at once.
  void Notice(const std::string& text) override;

  HWND hwnd() const { return form_ ? form_->hwnd() : nullptr; }

 private:
  // Makes the window at its first showing; draws the model; `centre` centres it first;
  // `repaint` paints now.
  void Draw(bool centre, bool repaint);
  ProgressModel model_;
  HWND owner_;
  std::unique_ptr<FormWindow> form_;
};

}  // namespace sevrik::win32
