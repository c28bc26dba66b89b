// frmHistory on Qt Widgets: a document's runs from the run journal, read-only, walked with the
// arrow keys; Tutup or Escape closes it. The rows and texts are the core's (history.h).
#pragma once

#include <QDialog>

#include "core/forms/history.h"

class QLabel;
class QPushButton;
class QStandardItemModel;
class QTreeView;

namespace sevrik::qt {

class HistoryWindow : public QDialog {
 public:
  explicit HistoryWindow(QWidget* owner);
  // Shows the history, modal to its owner, the newest run selected; returns at once.
  void ShowHistory(const HistoryList& history);

  QLabel* lblRiwayat = nullptr;
  QTreeView* lvRiwayat = nullptr;
  QPushButton* cmdTutup = nullptr;

 protected:
  // Enter on Tutup presses it.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QStandardItemModel* model_ = nullptr;
};

}  // namespace sevrik::qt
