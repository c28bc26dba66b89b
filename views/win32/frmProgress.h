// frmProgress on the Win32 common controls: the borderless window with one progress bar that a
// BC 2.3 build shows while it walks its items. It draws what the core's ProgressModel holds.
#pragma once

#include <memory>

#include "core/forms/progress_model.h"
#include "core/lookups/session.h"
#include "views/win32/layout.h"

namespace sevrik::win32 {

class ProgressWindow : public ModelledProgress {
 public:
  // `owner`: the window that it stays above while it is shown (none from the command line).
  explicit ProgressWindow(HWND owner = nullptr);
  ~ProgressWindow() override;

  HWND hwnd() const { return form_ ? form_->hwnd() : nullptr; }

 private:
  void Draw(bool centre, bool repaint) override;
  void DrawValue() override;
  HWND owner_;
  std::unique_ptr<FormWindow> form_;
};

}  // namespace sevrik::win32
