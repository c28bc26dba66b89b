#include "views/qt/frmCheck.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "core/forms/forms.h"
#include "views/qt/layout.h"

namespace sevrik::qt {

CheckWindow::CheckWindow(QWidget* owner) : QDialog(owner, WindowFlagsOf(forms::kFrmCheck)) {
  BuildForm(*this, forms::kFrmCheck);
  txtCheck = Get<QPlainTextEdit>(*this, "txtCheck");
  cmdTutup = Get<QPushButton>(*this, "cmdTutup");
  txtCheck->setFont(TextFont());
  txtCheck->setReadOnly(true);
  txtCheck->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  connect(cmdTutup, &QPushButton::clicked, this, [this] { close(); });
  setWindowModality(Qt::WindowModal);
}

void CheckWindow::ShowReport(const std::string& caption, const std::string& text) {
  setWindowTitle(QString::fromStdString(caption));
  QString shown = QString::fromStdString(text);
  shown.replace("\r\n", "\n");
  txtCheck->setPlainText(shown);
  show();
  raise();
  activateWindow();
  txtCheck->setFocus();
}

}  // namespace sevrik::qt
