#include "interface/windows/frmProgress.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

#include "interface/windows/twips.h"

namespace sevrik::windows {

void CentreOnScreen(QWidget& w) {
  const QScreen* screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
}

ProgressWindow::ProgressWindow() : window_(std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint | Qt::Tool)) {
  QWidget& w = *window_;
  w.setObjectName("frmProgress");
  w.setWindowTitle(QStringLiteral("frmProgress"));  // never shown: the window has no title bar
  const int dpi = Dpi(w);
  w.setFixedSize(Px(6960, dpi), Px(870, dpi));
  auto* frame = new QGroupBox(&w);
  frame->setObjectName("Frame1");
  Place(frame, 0, 15, 6945, 840, dpi);
  bar_ = new QProgressBar(frame);
  bar_->setObjectName("ProgressBar1");
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  Place(bar_, 60, 135, 6825, 630, dpi);
  notice_ = new QLabel(frame);
  notice_->setObjectName("lblNotice");
  notice_->setAlignment(Qt::AlignCenter);
  notice_->hide();
  Place(notice_, 60, 135, 6825, 630, dpi);
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::Repaint() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

void ProgressWindow::Show() {
  notice_->hide();
  bar_->show();
  bar_->setValue(0);
  last_painted_ = -1;
  CentreOnScreen(*window_);
  window_->show();
  Repaint();
}

void ProgressWindow::SetMaximum(long maximum) {
  bar_->setRange(0, static_cast<int>(std::max<long>(0, std::min<long>(maximum, INT32_MAX))));
  Repaint();
}

void ProgressWindow::SetValue(long value) {
  bar_->setValue(static_cast<int>(std::min<long>(value, bar_->maximum())));
  // Repainting costs far more than an item: at most about two hundred times a build.
  const long step = std::max(1, bar_->maximum() / 200);
  if (last_painted_ < 0 || value - last_painted_ >= step || value >= bar_->maximum()) {
    last_painted_ = value;
    Repaint();
  }
}

void ProgressWindow::Hide() {
  notice_->hide();
  bar_->show();
  window_->hide();
  Repaint();
}

void ProgressWindow::Notice(const std::string& text) {
  notice_->setText(QString::fromStdString(text));
  bar_->hide();
  notice_->show();
  CentreOnScreen(*window_);
  window_->show();
  Repaint();
}

}  // namespace sevrik::windows
