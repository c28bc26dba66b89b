#include "interface/windows/frmKb.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include "interface/mdlMain.h"
#include "interface/windows/frmProgress.h"
#include "interface/windows/twips.h"

namespace sevrik::windows {

// The rows of lView1, held once as the core lists them.
class DocumentModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void Reset(std::vector<DocumentRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
  }
  const std::vector<DocumentRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(kListColumns.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const size_t column = static_cast<size_t>(index.column());
    if (role == Qt::DisplayRole) return QString::fromStdString(rows_[static_cast<size_t>(index.row())][column]);
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
  std::vector<DocumentRow> rows_;
};

namespace {

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* b = new QPushButton(QString(caption), parent);
  b->setObjectName(name);
  b->setAutoDefault(false);  // Enter in the search text browses; it never presses a button
  b->setDefault(false);
  return b;
}

QLabel* Label(QWidget* parent, const char* name, const char* caption) {
  auto* l = new QLabel(QString(caption), parent);
  l->setObjectName(name);
  return l;
}

QComboBox* List(QWidget* parent, const char* name, std::initializer_list<const char*> entries) {
  auto* c = new QComboBox(parent);
  c->setObjectName(name);
  c->setEditable(false);
  for (const char* e : entries) c->addItem(QString(e));
  c->setCurrentIndex(0);
  return c;
}

}  // namespace

BrowserWindow::BrowserWindow(Session& session, ProgressWindow* progress)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      s_(session),
      actions_(session) {
  setObjectName("frmKb");
  // The form is laid out for an 8-point dialog font; the system's larger default would cut
  // the cells of the narrow columns.
  QFont font = this->font();
  font.setPointSizeF(8.0);
  setFont(font);
  setWindowTitle(QString("EDI Interface for TPB Ver. %1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision));
  const int dpi = Dpi(*this);
  setFixedSize(Px(10185, dpi), Px(6000, dpi));

  Frame1 = new QGroupBox(QString("Browse Data"), this);
  Frame1->setObjectName("Frame1");
  Place(Frame1, 120, 90, 9975, 5325, dpi);
  Place(Label(Frame1, "Label1", "Cari data"), 135, 360, 1230, 270, dpi);
  cbDok = List(Frame1, "cbDok", {kDocumentTypes[0], kDocumentTypes[1], kDocumentTypes[2]});
  Place(cbDok, 1020, 330, 1140, 315, dpi);
  cbFld = List(Frame1, "cbFld", {kSearchFields[0], kSearchFields[1]});
  Place(cbFld, 2205, 330, 1620, 315, dpi);
  txtQ = new QLineEdit(Frame1);
  txtQ->setObjectName("txtQ");
  Place(txtQ, 3885, 330, 4290, 315, dpi);
  cmdGo = Button(Frame1, "cmdGo", "Browse ..");
  cmdGo->setToolTip(QString("Klik disini untuk melihat data."));
  Place(cmdGo, 8250, 330, 1605, 345, dpi);

  lView1 = new QTreeView(Frame1);
  lView1->setObjectName("lView1");
  model_ = new DocumentModel(lView1);
  lView1->setModel(model_);
  lView1->setRootIsDecorated(false);
  lView1->setItemsExpandable(false);
  lView1->setUniformRowHeights(true);
  lView1->setAllColumnsShowFocus(true);
  lView1->setSelectionMode(QAbstractItemView::SingleSelection);
  lView1->setSelectionBehavior(QAbstractItemView::SelectRows);
  lView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lView1->header()->setStretchLastSection(false);
  lView1->header()->setSectionsMovable(false);
  for (size_t i = 0; i < kListColumns.size(); ++i)
    lView1->header()->resizeSection(static_cast<int>(i), Px(kListColumns[i].width_twips, dpi));
  Place(lView1, 90, 765, 9750, 4245, dpi);

  Place(Label(Frame1, "Label2", "Total :"), 105, 5040, 555, 210, dpi);
  txtTot = Label(Frame1, "txtTot", "");
  Place(txtTot, 705, 5055, 1470, 225, dpi);

  cmdConnect = Button(this, "cmdConnect", "&Komunikasi");
  Place(cmdConnect, 4455, 5520, 1335, 390, dpi);
  cmdBatal = Button(this, "cmdBatal", "&Batal EDIFACT");
  Place(cmdBatal, 5865, 5520, 1485, 390, dpi);
  cmdFlat = Button(this, "cmdFlat", "&Create EDIFACT");
  Place(cmdFlat, 7380, 5520, 1470, 390, dpi);
  cmdClose = Button(this, "cmdClose", "&Close");
  Place(cmdClose, 9000, 5505, 1110, 390, dpi);

  // The tab order of the form: search row, list, then Close, Create, Batal, Komunikasi.
  QWidget* order[] = {cbDok, cbFld, txtQ, cmdGo, lView1, cmdClose, cmdFlat, cmdBatal, cmdConnect};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  connect(cmdGo, &QPushButton::clicked, this, [this] { Browse(); });
  connect(txtQ, &QLineEdit::returnPressed, this, [this] { Browse(); });
  connect(cmdFlat, &QPushButton::clicked, this, [this] { Flat(); });
  connect(cmdBatal, &QPushButton::clicked, this, [this] { Batal(); });
  connect(cmdConnect, &QPushButton::clicked, this, [this] { Connect(); });
  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
  if (progress) s_.progress = progress;  // the BC 2.3 build and a waiting action show it
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::Browse() {
  const size_t document = static_cast<size_t>(std::max(0, cbDok->currentIndex()));
  const size_t field = static_cast<size_t>(std::max(0, cbFld->currentIndex()));
  Frame1->setTitle(QString::fromStdString(BrowseFrameCaption(document)));
  std::vector<DocumentRow> rows;
  try {
    rows = ListDocuments(s_.db, document, BuildBrowseQuery(document, field, txtQ->text().toStdString()), s_.locale);
  } catch (const Error& e) {
    model_->Reset({});
    actions_.ShowError(e);
    return;
  }
  const size_t count = rows.size();
  model_->Reset(std::move(rows));
  if (count == 0) {
    s_.dialogs.ShowMessage("Data yang dicari tidak ditemukan.", MsgButtons::Ok, MsgIcon::Critical, "Perhatian");
    return;
  }
  txtTot->setText(QString::number(static_cast<qulonglong>(count)));
}

std::string BrowserWindow::SelectedKey() const {
  const QModelIndex current = lView1->selectionModel()->currentIndex();
  if (!current.isValid() || !lView1->selectionModel()->isRowSelected(current.row(), {})) return {};
  return model_->rows()[static_cast<size_t>(current.row())][0];
}

void BrowserWindow::Flat() {
  try {
    if (actions_.Create(cbDok->currentText().toStdString(), SelectedKey())) Browse();
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

void BrowserWindow::Batal() {
  try {
    if (actions_.Cancel(cbDok->currentText().toStdString(), SelectedKey())) Browse();
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

void BrowserWindow::Connect() {
  try {
    actions_.Communicate();
  } catch (const Error& e) {
    actions_.ShowError(e);
  }
}

}  // namespace sevrik::windows
