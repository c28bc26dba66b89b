#include "views/win32/frmProgress.h"

#include <commctrl.h>

#include "core/forms/forms.h"

namespace sevrik::win32 {
namespace {

class ProgressForm : public FormWindow {
 public:
  ProgressForm() : FormWindow(forms::kFrmProgress) {}

 protected:
  void Laid() override {
    // The notice sits centred in the bar's place.
    HWND notice = Control("lblNotice");
    ::SetWindowLongPtrW(notice, GWL_STYLE, ::GetWindowLongPtrW(notice, GWL_STYLE) | SS_CENTER);
  }
};

}  // namespace

ProgressWindow::ProgressWindow(HWND owner) : owner_(owner) {}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::Draw(bool centre, bool repaint) {
  if (!form_) {
    if (!model().visible()) return;
    form_ = std::make_unique<ProgressForm>();
    form_->Create(owner_);
  }
  HWND bar = form_->Control("ProgressBar1");
  HWND notice = form_->Control("lblNotice");
  ::SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(model().maximum()));
  ::SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(model().value()), 0);
  ::SetWindowTextW(notice, Wide(model().notice()).c_str());
  ::ShowWindow(notice, model().notice_shown() ? SW_SHOWNA : SW_HIDE);
  ::ShowWindow(bar, model().notice_shown() ? SW_HIDE : SW_SHOWNA);
  if (model().visible()) {
    if (centre || !::IsWindowVisible(form_->hwnd())) form_->Show();
  } else {
    ::ShowWindow(form_->hwnd(), SW_HIDE);
  }
  if (repaint) {
    ::RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PaintPending();
  }
}

void ProgressWindow::DrawValue() {
  if (!form_) return;
  ::SendMessageW(form_->Control("ProgressBar1"), PBM_SETPOS, static_cast<WPARAM>(model().value()), 0);
  ::RedrawWindow(form_->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  PaintPending();
}

}  // namespace sevrik::win32
