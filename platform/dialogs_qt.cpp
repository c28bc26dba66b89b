#include "platform/dialogs_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "platform/text.h"

namespace sevrik {

MsgAnswer QtDialogs::ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                                const std::string& title) {
  // The box belongs to the window that asks, and shows the arrow over a busy window.
  QMessageBox box(QApplication::activeWindow());
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  struct Restore {
    ~Restore() { QApplication::restoreOverrideCursor(); }
  } restore;
  box.setWindowTitle(QString::fromStdString(title.empty() ? app_title_ : title));
  box.setText(QString::fromStdString(ReplaceAll(text, "\r\n", "\n")));
  switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
  }
  if (buttons == MsgButtons::YesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
  }
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
  return MsgAnswer::Ok;
}

}  // namespace sevrik
