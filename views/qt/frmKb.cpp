#include "views/qt/frmKb.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTreeView>

#include "core/forms/forms.h"
#include "views/qt/frmCheck.h"
#include "views/qt/frmHistory.h"
#include "views/qt/frmProgress.h"
#include "views/qt/layout.h"

namespace sevrik::qt {

// lView1's rows, read from the browser's last outcome: nothing is copied.
class DocumentModel : public QAbstractTableModel {
 public:
  DocumentModel(const DocumentBrowser& browser, QObject* parent) : QAbstractTableModel(parent), browser_(browser) {}

  void BeginReset() { beginResetModel(); }
  void EndReset() { endResetModel(); }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(browser_.outcome().rows.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(kListColumns.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const size_t column = static_cast<size_t>(index.column());
    // A cell of a row the list draws: the row is formatted once for all its cells (the core
    // keeps the last pages' rows), nothing is read from the database.
    if (role == Qt::DisplayRole)
      return QString::fromStdString(browser_.outcome().rows.Cell(static_cast<size_t>(index.row()), column));
    if (role == Qt::TextAlignmentRole) return Alignment(column);
    // Every cell whole, and the document's last run.
    if (role == Qt::ToolTipRole) return QString::fromStdString(browser_.RowToolTip(static_cast<size_t>(index.row())));
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    if (role == Qt::DisplayRole) return QString(kListColumns[static_cast<size_t>(section)].header);
    if (role == Qt::TextAlignmentRole) return Alignment(static_cast<size_t>(section));
    return {};
  }

 private:
  static QVariant Alignment(size_t column) {
    return QVariant::fromValue(Qt::Alignment((kListColumns[column].right ? Qt::AlignRight : Qt::AlignLeft) |
                                             Qt::AlignVCenter));
  }
  const DocumentBrowser& browser_;
};

BrowserWindow::BrowserWindow(Session& session, ProgressWindow* progress)
    : QDialog(nullptr, WindowFlagsOf(forms::kFrmKb)),
      browser_(session, *this) {
  BuildForm(*this, forms::kFrmKb);
  setWindowTitle(QString::fromStdString(BrowserCaption()));
  Frame1 = Get<QGroupBox>(*this, "Frame1");
  cbDok = Get<QComboBox>(*this, "cbDok");
  cbFld = Get<QComboBox>(*this, "cbFld");
  txtQ = Get<QLineEdit>(*this, "txtQ");
  cmdGo = Get<QPushButton>(*this, "cmdGo");
  lView1 = Get<QTreeView>(*this, "lView1");
  txtTot = Get<QLabel>(*this, "txtTot");
  cmdConnect = Get<QPushButton>(*this, "cmdConnect");
  cmdBatal = Get<QPushButton>(*this, "cmdBatal");
  cmdFlat = Get<QPushButton>(*this, "cmdFlat");
  cmdClose = Get<QPushButton>(*this, "cmdClose");

  for (const char* type : kDocumentTypes) cbDok->addItem(QString(type));
  cbDok->setCurrentIndex(0);
  for (const char* field : kSearchFields) cbFld->addItem(QString(field));
  cbFld->setCurrentIndex(0);
  FitForm(*this, forms::kFrmKb);  // the drop-down lists as wide as their entries need

  model_ = new DocumentModel(browser_, lView1);
  lView1->setModel(model_);
  lView1->header()->setStretchLastSection(false);
  lView1->header()->setSectionsMovable(false);
  lView1->header()->setSectionsClickable(true);
  lView1->header()->setSortIndicatorShown(false);
  SizeColumns();
  // A click on a header, or Ctrl+1..9, sorts by the column; the core keeps the selection.
  connect(lView1->header(), &QHeaderView::sectionClicked, this,
          [this](int section) { Busy([&] { browser_.SortBy(static_cast<size_t>(section), SelectedRow()); }); });
  for (int n = 1; n <= kSortKeyColumns; ++n) {
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n)), this);
    connect(key, &QShortcut::activated, this,
            [this, n] { Busy([&] { browser_.SortBy(static_cast<size_t>(n - 1), SelectedRow()); }); });
  }
  lView1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(lView1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) { RowMenu(at); });
  auto* check_key = new QShortcut(QKeySequence(Qt::Key_F4), this);
  connect(check_key, &QShortcut::activated, this, [this] { CheckSelected(); });
  auto* history_key = new QShortcut(QKeySequence(Qt::Key_F3), this);
  connect(history_key, &QShortcut::activated, this, [this] { HistorySelected(); });

  connect(cmdGo, &QPushButton::clicked, this, [this] { Browse(); });
  connect(txtQ, &QLineEdit::returnPressed, this, [this] { Browse(); });
  connect(cmdFlat, &QPushButton::clicked, this, [this] { Busy([this] { browser_.Create(Search(), SelectedRow()); }); });
  connect(cmdBatal, &QPushButton::clicked, this, [this] { Busy([this] { browser_.Cancel(Search(), SelectedRow()); }); });
  connect(cmdConnect, &QPushButton::clicked, this, [this] { Busy([this] { browser_.Communicate(); }); });
  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
  lView1->installEventFilter(this);
  for (QPushButton* button : {cmdGo, cmdConnect, cmdBatal, cmdFlat, cmdClose}) button->installEventFilter(this);
  if (progress) {
    session.progress = progress;  // the BC 2.3 build and a waiting action show it
    progress->SetOwner(this);     // above the browser
    progress_ = progress;
  }
}

BrowserWindow::~BrowserWindow() {
  if (progress_) progress_->SetOwner(nullptr);  // the progress window is not the browser's to delete
  // The rows go with the browser, before the list: the list lets go of its model first.
  lView1->setModel(nullptr);
  delete model_;
}

BrowseSearch BrowserWindow::Search() const {
  return {cbDok->currentIndex(), cbFld->currentIndex(), txtQ->text().toStdString()};
}

std::optional<size_t> BrowserWindow::SelectedRow() const {
  const QModelIndex current = lView1->selectionModel()->currentIndex();
  if (!current.isValid() || !lView1->selectionModel()->isRowSelected(current.row(), {})) return std::nullopt;
  return static_cast<size_t>(current.row());
}

template <class Run>
void BrowserWindow::Busy(Run&& run) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct Restore {
    ~Restore() { QApplication::restoreOverrideCursor(); }
  } restore;
  run();
}

void BrowserWindow::Browse() {
  Busy([this] { browser_.Browse(Search()); });
}

void BrowserWindow::CheckSelected() {
  Busy([this] { browser_.Check(Search(), SelectedRow()); });
}

void BrowserWindow::HistorySelected() {
  Busy([this] { browser_.History(Search(), SelectedRow()); });
}

void BrowserWindow::RowMenu(const QPoint& at) {
  // From the keyboard the point is where the list has the focus; the menu opens at the
  // selected row, or does nothing without one.
  QPoint where = at;
  const QModelIndex row = lView1->indexAt(at);
  if (row.isValid()) {
    Select(static_cast<size_t>(row.row()));
  } else {
    if (!SelectedRow()) return;
    const QRect rect = lView1->visualRect(lView1->currentIndex());
    where = rect.bottomLeft();
  }
  QMenu menu(this);
  for (size_t i = 0; i < kRowMenu.size(); ++i) {
    QAction* action = menu.addAction(QString::fromUtf8(kRowMenu[i].text));
    if (*kRowMenu[i].key) action->setShortcut(QKeySequence(QString::fromUtf8(kRowMenu[i].key)));
    action->setData(static_cast<int>(i));
  }
  menu.setActiveAction(menu.actions().value(0));
  QAction* chosen = menu.exec(lView1->viewport()->mapToGlobal(where));
  if (!chosen) return;
  switch (kRowMenu.at(static_cast<size_t>(chosen->data().toInt())).action) {
    case RowAction::Check: CheckSelected(); break;
    case RowAction::History: HistorySelected(); break;
    case RowAction::FailedOnly: Busy([this] { browser_.ListFailed(Search()); }); break;
  }
}

void BrowserWindow::ShowReport(const std::string& caption, const std::string& text) {
  if (!check_) check_ = new CheckWindow(this);
  check_->ShowReport(caption, text);
}

void BrowserWindow::ShowHistory(const HistoryList& history) {
  if (!history_) history_ = new HistoryWindow(this);
  history_->ShowHistory(history);
}

void BrowserWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool BrowserWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lView1 && event->type() == QEvent::FocusIn && model_->rowCount() > 0 && !SelectedRow()) {
    // The focused row is the selected row: the first when no row has the focus.
    const QModelIndex current = lView1->currentIndex();
    Select(current.isValid() ? static_cast<size_t>(current.row()) : 0);
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Shift+F10 and the menu key open the row's menu on every platform.
    if (watched == lView1 && (key->key() == Qt::Key_Menu ||
                              (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier))) {
      RowMenu(QPoint(-1, -1));
      return true;
    }
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier) {
      button->click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void BrowserWindow::Select(size_t row) {
  const QModelIndex index = model_->index(static_cast<int>(row), 0);
  lView1->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  lView1->scrollTo(index);
}

void BrowserWindow::SizeColumns() {
  const QFontMetrics metrics(lView1->font());
  const int frame = lView1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, lView1) * 2;
  const auto width_of = [&](const std::string& text) {
    return metrics.horizontalAdvance(QString::fromStdString(text)) + frame;
  };
  for (size_t column = 0; column < kListColumns.size(); ++column)
    lView1->header()->resizeSection(static_cast<int>(column),
                                    ColumnWidth(column, Dpi(*this), browser_.outcome().rows, width_of));
}

std::string BrowserWindow::SelectedKey() const { return browser_.KeyOf(SelectedRow()); }

void BrowserWindow::RowsAboutToChange() { model_->BeginReset(); }

void BrowserWindow::Draw(const BrowseOutcome& outcome) {
  model_->EndReset();
  Frame1->setTitle(QString::fromStdString(outcome.frame_caption));
  txtTot->setText(QString::fromStdString(outcome.total));
  SizeColumns();
  lView1->header()->setSortIndicatorShown(outcome.sort_column.has_value());
  if (outcome.sort_column)
    lView1->header()->setSortIndicator(static_cast<int>(*outcome.sort_column),
                                       outcome.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
  if (outcome.selected) Select(*outcome.selected);
}

}  // namespace sevrik::qt
