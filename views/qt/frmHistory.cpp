#include "views/qt/frmHistory.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>

#include "core/forms/forms.h"
#include "views/qt/layout.h"

namespace sevrik::qt {

HistoryWindow::HistoryWindow(QWidget* owner) : QDialog(owner, WindowFlagsOf(forms::kFrmHistory)) {
  BuildForm(*this, forms::kFrmHistory);
  lblRiwayat = Get<QLabel>(*this, "lblRiwayat");
  lvRiwayat = Get<QTreeView>(*this, "lvRiwayat");
  cmdTutup = Get<QPushButton>(*this, "cmdTutup");
  model_ = new QStandardItemModel(0, static_cast<int>(kHistoryColumns.size()), this);
  for (size_t i = 0; i < kHistoryColumns.size(); ++i)
    model_->setHeaderData(static_cast<int>(i), Qt::Horizontal, QString(kHistoryColumns[i].header));
  lvRiwayat->setModel(model_);
  lvRiwayat->header()->setStretchLastSection(false);
  lvRiwayat->header()->setSectionsMovable(false);
  connect(cmdTutup, &QPushButton::clicked, this, [this] { close(); });
  setWindowModality(Qt::WindowModal);
}

void HistoryWindow::ShowHistory(const HistoryList& history) {
  setWindowTitle(QString::fromStdString(history.caption));
  lblRiwayat->setText(QString::fromStdString(history.summary));
  model_->removeRows(0, model_->rowCount());
  for (const HistoryRow& row : history.rows) {
    QList<QStandardItem*> items;
    const QString tip = QString::fromStdString(HistoryRowTip(row)).replace("\r\n", "\n");
    for (const std::string& cell : row) {
      auto* item = new QStandardItem(QString::fromStdString(cell));
      item->setEditable(false);
      item->setToolTip(tip);
      items.append(item);
    }
    model_->appendRow(items);
  }
  // The time, the action and the reference whole; the outcome in the room that is left.
  const QFontMetrics metrics(lvRiwayat->font());
  const int frame = lvRiwayat->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lvRiwayat) * 2;
  const int room = lvRiwayat->width() - 2 * lvRiwayat->frameWidth() -
                   lvRiwayat->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lvRiwayat);
  const std::array<int, 4> widths = HistoryColumnWidths(history, Dpi(*this), room, [&](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text)) + frame;
  });
  for (size_t i = 0; i < widths.size(); ++i) lvRiwayat->header()->resizeSection(static_cast<int>(i), widths[i]);
  show();
  raise();
  activateWindow();
  if (model_->rowCount() > 0) {
    lvRiwayat->setFocus();
    lvRiwayat->setCurrentIndex(model_->index(0, 0));
  } else {
    cmdTutup->setFocus();
  }
}

void HistoryWindow::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && focusWidget() == cmdTutup) {
    cmdTutup->click();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace sevrik::qt
