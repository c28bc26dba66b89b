// SEVRIK: the interface between the TPB customs application and the EDI translator.
#include <QApplication>
#include <QCoreApplication>
#include <iostream>
#include <memory>

#include "db/qt_database.h"
#include "interface/mdlINI.h"
#include "interface/mdlMain.h"
#include "interface/windows/frmProgress.h"
#include "interface/windows/windows.h"
#include "platform/args.h"
#include "platform/dialogs_qt.h"
#include "platform/fs.h"

int main(int argc, char** argv) {
  using namespace sevrik;
  const bool windows = WindowsAvailable();
  std::unique_ptr<QCoreApplication> app;
  std::unique_ptr<Dialogs> dialogs;
  if (windows) {
    app = std::make_unique<QApplication>(argc, argv);
    dialogs = std::make_unique<QtDialogs>(kAppTitle);
    SetPendingEventsHandler([] { QCoreApplication::processEvents(); });
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);
    dialogs = std::make_unique<ConsoleDialogs>(kAppTitle, std::cin, std::cerr);
  }
  MainEnvironment env{ProgramFolder(), *dialogs, ConnectDatabase, {}, nullptr,
                      [](const std::string& text) { std::cerr << text << std::endl; }};
  std::unique_ptr<windows::ProgressWindow> progress;
  if (windows) {
    env.show_window = [](Session& session, const std::string& command) { windows::ShowWindow(session, command); };
    progress = std::make_unique<windows::ProgressWindow>();
    env.progress = progress.get();
  }
  return RunMain(ArgumentText(argc, argv), env);
}
