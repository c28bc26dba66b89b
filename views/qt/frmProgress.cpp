#include "views/qt/frmProgress.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>

#include "core/forms/forms.h"
#include "views/qt/layout.h"

namespace sevrik::qt {

ProgressWindow::ProgressWindow() : window_(std::make_unique<QWidget>(nullptr, WindowFlagsOf(forms::kFrmProgress))) {
  BuildForm(*window_, forms::kFrmProgress);  // its caption is never shown: no title bar
  bar_ = Get<QProgressBar>(*window_, "ProgressBar1");
  notice_ = Get<QLabel>(*window_, "lblNotice");
  notice_->setAlignment(Qt::AlignCenter);
}

ProgressWindow::~ProgressWindow() {
  if (window_ && window_->parentWidget()) window_->setParent(nullptr);  // this window is ours, not the owner's
}

void ProgressWindow::SetOwner(QWidget* owner) {
  // A tool window with a parent stays above it (its transient parent for the window manager).
  window_->setParent(owner, WindowFlagsOf(forms::kFrmProgress));
}

void ProgressWindow::Draw(bool centre, bool repaint) {
  bar_->setRange(0, static_cast<int>(model().maximum()));
  bar_->setValue(static_cast<int>(model().value()));
  notice_->setText(QString::fromStdString(model().notice()));
  notice_->setVisible(model().notice_shown());
  bar_->setVisible(!model().notice_shown());
  if (centre) CentreOnScreen(*window_);
  window_->setVisible(model().visible());
  if (repaint) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void ProgressWindow::DrawValue() {
  bar_->setValue(static_cast<int>(model().value()));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace sevrik::qt
