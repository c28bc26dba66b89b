// The window module: Qt Widgets behind WindowModule.
#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>

#include "interface/window_module.h"
#include "platform/dialogs_qt.h"
#include "platform/error.h"

namespace sevrik {
namespace {

class QtWindowModule : public WindowModule {
 public:
  QtWindowModule(int* argc, char** argv, const char* app_title) : app_(*argc, argv), dialogs_(app_title) {}
  Dialogs& dialogs() override { return dialogs_; }
  void ShowWindow(Session&, const std::string& window) override {
    throw Error(err::kActionNotSupported, "Aksi \"" + window + "\" belum tersedia pada versi ini.");
  }
  void ProcessEvents() override { QCoreApplication::processEvents(); }

 private:
  QApplication app_;
  QtDialogs dialogs_;
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
