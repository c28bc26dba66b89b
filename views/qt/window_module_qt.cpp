// The window module on Qt Widgets behind WindowModule. It carries no core of its own: the
// core's symbols are SEVRIK's, resolved when the module is loaded.
#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "platform/dialogs_qt.h"
#include "views/qt/frmProgress.h"
#include "views/qt/views.h"
#include "views/qt/window_module_entry.h"

namespace sevrik {
namespace {

class QtWindowModule : public WindowModule {
 public:
  QtWindowModule(int* argc, char** argv, const char* app_title) : app_(*argc, argv), dialogs_(app_title) {}
  Dialogs& dialogs() override { return dialogs_; }
  void ShowWindow(Session& session, const std::string& window) override { qt::ShowForm(session, window); }
  void ProcessEvents() override { QCoreApplication::processEvents(); }
  ProgressSink& progress() override {
    if (!progress_) progress_ = std::make_unique<qt::ProgressWindow>();
    return *progress_;
  }

 private:
  QApplication app_;
  QtDialogs dialogs_;
  std::unique_ptr<qt::ProgressWindow> progress_;
};

}  // namespace
}  // namespace sevrik

extern "C" __attribute__((visibility("default"))) sevrik::WindowModule* SevrikWindowModule(int* argc, char** argv,
                                                                                        const char* app_title,
                                                                                        const char* qt_platform) {
  if (qt_platform && *qt_platform) ::setenv("QT_QPA_PLATFORM", qt_platform, 0);
  // One application for the program's life, never destroyed: it ends with the process.
  static sevrik::WindowModule* module = new sevrik::QtWindowModule(argc, argv, app_title);
  return module;
}
