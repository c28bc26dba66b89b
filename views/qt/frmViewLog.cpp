#include "views/qt/frmViewLog.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QEvent>

#include "core/forms/forms.h"
#include "views/qt/layout.h"

namespace sevrik::qt {

LogViewerWindow::LogViewerWindow(Session& session)
    : QDialog(nullptr, WindowFlagsOf(forms::kFrmViewLog)),
      viewer_(session) {
  BuildForm(*this, forms::kFrmViewLog);
  File1 = Get<QListWidget>(*this, "File1");
  txtMsg = Get<QPlainTextEdit>(*this, "txtMsg");
  cmdClose = Get<QPushButton>(*this, "cmdClose");
  txtMsg->setFont(TextFont());

  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
  // The selected file shows, whether a click or the keyboard selected it; a click on the file
  // that is already selected shows it again.
  File1->viewport()->installEventFilter(this);
  connect(File1, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item, QListWidgetItem*) {
    if (!item) return;
    ShowFile(item->text().toStdString());
    changed_by_press_ = true;  // a press that made the change shows nothing more
  });
  connect(File1, &QListWidget::itemPressed, this, [this](QListWidgetItem* item) {
    if (!changed_by_press_) ShowFile(item->text().toStdString());
  });

  // The list is filled once, here; what went wrong is told once the window shows.
  LogListing listing = viewer_.List();
  for (const std::string& name : listing.names) File1->addItem(QString::fromStdString(name));
  if (listing.error)
    QMetaObject::invokeMethod(this, [this, e = *listing.error] { viewer_.Report(e); }, Qt::QueuedConnection);
}

bool LogViewerWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == File1->viewport() && event->type() == QEvent::MouseButtonPress) changed_by_press_ = false;
  return QDialog::eventFilter(watched, event);
}

void LogViewerWindow::ShowFile(const std::string& name) {
  if (const auto text = viewer_.Read(name, "\n")) txtMsg->setPlainText(QString::fromStdString(*text));
}

}  // namespace sevrik::qt
