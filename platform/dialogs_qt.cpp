#include "platform/dialogs_qt.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdlib>
#include <iostream>

#include "base/text.h"
#include "platform/display.h"

namespace sevrik {
namespace {

// Qt's boxes in a program that has no window of its own: the application is made for the first.
class StartedQtDialogs : public Dialogs {
 public:
  StartedQtDialogs(int& argc, char** argv, std::string app_title)
      : argc_(argc), argv_(argv), boxes_(std::move(app_title)) {}
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title) override {
    if (!app_ && !QApplication::instance()) {
      const std::string platform = QtPlatformFor(ReachableDisplay());
      if (!platform.empty()) ::setenv("QT_QPA_PLATFORM", platform.c_str(), 0);
      app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    return boxes_.ShowMessage(text, buttons, icon, title);
  }

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> app_;
  QtDialogs boxes_;
};

}  // namespace

std::unique_ptr<Dialogs> MakeProgramDialogs(int& argc, char** argv, const std::string& app_title) {
  if (DialogsOnDisplay()) return std::make_unique<StartedQtDialogs>(argc, argv, app_title);
  return std::make_unique<ConsoleDialogs>(app_title, std::cin, std::cerr);
}

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
