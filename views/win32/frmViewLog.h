// frmViewLog on the Win32 common controls: the log files' names down the left, the selected
// one's text on the right in a fixed-pitch font. The folder, the listing, the reading and the
// error boxes are the core's LogViewer (log_viewer.h).
#pragma once

#include <optional>
#include <string>

#include "core/forms/log_viewer.h"
#include "core/lookups/session.h"
#include "views/win32/layout.h"

namespace sevrik::win32 {

class LogViewerWindow : public FormWindow {
 public:
  // Makes the window, hidden, with the names of the log folder listed.
  explicit LogViewerWindow(Session& session);
  ~LogViewerWindow() override;

  // Shows the named file of the log folder in txtMsg, replacing what it showed.
  void ShowFile(const std::string& name);

 protected:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;
  void Laid() override;

 private:
  LogViewer viewer_;
  HFONT text_font_ = nullptr;
  std::optional<Error> listing_error_;
};

}  // namespace sevrik::win32
