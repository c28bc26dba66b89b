// Message boxes as Qt windows. Needs a QApplication.
#pragma once

#include "platform/dialogs.h"

namespace sevrik {

class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(std::string app_title) : app_title_(std::move(app_title)) {}
  MsgAnswer ShowMessage(const std::string& text, MsgButtons buttons, MsgIcon icon,
                       const std::string& title = {}) override;

 private:
  std::string app_title_;
};

}  // namespace sevrik
