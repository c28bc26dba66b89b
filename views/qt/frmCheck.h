// frmCheck on Qt Widgets: the check's report of a document, read-only, scrolled and copied
// as any text; Tutup or Escape closes it.
#pragma once

#include <QDialog>
#include <string>

class QPlainTextEdit;
class QPushButton;

namespace sevrik::qt {

class CheckWindow : public QDialog {
 public:
  explicit CheckWindow(QWidget* owner);
  // Shows the report, modal to its owner, with the caption; returns at once.
  void ShowReport(const std::string& caption, const std::string& text);

  QPlainTextEdit* txtCheck = nullptr;
  QPushButton* cmdTutup = nullptr;
};

}  // namespace sevrik::qt
