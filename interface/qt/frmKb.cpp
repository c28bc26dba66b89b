#include "interface/qt/frmKb.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "interface/forms.h"
#include "interface/qt/frmProgress.h"
#include "interface/qt/layout.h"

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
    if (role == Qt::DisplayRole)
      return QString::fromStdString(browser_.outcome().rows[static_cast<size_t>(index.row())][column]);
    if (role == Qt::TextAlignmentRole) return Alignment(column);
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

  model_ = new DocumentModel(browser_, lView1);
  lView1->setModel(model_);
  lView1->header()->setStretchLastSection(false);
  lView1->header()->setSectionsMovable(false);
  const int dpi = Dpi(*this);
  for (size_t i = 0; i < kListColumns.size(); ++i)
    lView1->header()->resizeSection(static_cast<int>(i), Px(kListColumns[i].width_twips, dpi));

  connect(cmdGo, &QPushButton::clicked, this, [this] { Browse(); });
  connect(txtQ, &QLineEdit::returnPressed, this, [this] { Browse(); });
  connect(cmdFlat, &QPushButton::clicked, this, [this] { browser_.Create(Search(), SelectedRow()); });
  connect(cmdBatal, &QPushButton::clicked, this, [this] { browser_.Cancel(Search(), SelectedRow()); });
  connect(cmdConnect, &QPushButton::clicked, this, [this] { browser_.Communicate(); });
  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
  if (progress) session.progress = progress;  // the BC 2.3 build and a waiting action show it
}

BrowserWindow::~BrowserWindow() {
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

void BrowserWindow::Browse() { browser_.Browse(Search()); }

std::string BrowserWindow::SelectedKey() const { return browser_.KeyOf(SelectedRow()); }

void BrowserWindow::RowsAboutToChange() { model_->BeginReset(); }

void BrowserWindow::Draw(const BrowseOutcome& outcome) {
  model_->EndReset();
  Frame1->setTitle(QString::fromStdString(outcome.frame_caption));
  txtTot->setText(QString::fromStdString(outcome.total));
  if (outcome.selected) lView1->setCurrentIndex(model_->index(static_cast<int>(*outcome.selected), 0));
}

}  // namespace sevrik::qt
