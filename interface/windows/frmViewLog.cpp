#include "interface/windows/frmViewLog.h"

#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/text.h"
#include "interface/windows/twips.h"

namespace sevrik::windows {
namespace {

// Courier New where it is installed, else the system's fixed-pitch font; 8.25 points.
QFont LogFont() {
  QFont font = QFontDatabase::hasFamily(QStringLiteral("Courier New")) ? QFont(QStringLiteral("Courier New"))
                                                                       : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSizeF(8.25);
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

}  // namespace

LogViewerWindow::LogViewerWindow(Session& session)
    : QDialog(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      s_(session) {
  setObjectName("frmViewLog");
  QFont font = this->font();  // the form's 8-point dialog font, as the browser's
  font.setPointSizeF(8.0);
  setFont(font);
  setWindowTitle(QStringLiteral("View Log"));
  const int dpi = Dpi(*this);
  setFixedSize(Px(9150, dpi), Px(5640, dpi));
  auto* frame = new QGroupBox(QStringLiteral("Tessaro View Log"), this);
  frame->setObjectName("Frame1");
  Place(frame, 120, 120, 8895, 4935, dpi);
  auto* label1 = new QLabel(QStringLiteral("File Name"), frame);
  label1->setObjectName("Label1");
  Place(label1, 195, 315, 1800, 240, dpi);
  File1 = new QListWidget(frame);
  File1->setObjectName("File1");
  Place(File1, 180, 570, 2025, 4185, dpi);
  auto* splitter = new QFrame(frame);
  splitter->setObjectName("splitter1");
  splitter->setFrameShape(QFrame::VLine);
  Place(splitter, 2205, 585, 45, 4155, dpi);
  auto* label2 = new QLabel(QStringLiteral("Message"), frame);
  label2->setObjectName("Label2");
  Place(label2, 2265, 300, 3090, 255, dpi);
  txtMsg = new QPlainTextEdit(frame);
  txtMsg->setObjectName("txtMsg");
  txtMsg->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  txtMsg->setFont(LogFont());
  Place(txtMsg, 2280, 570, 6450, 4185, dpi);
  cmdClose = new QPushButton(QStringLiteral("&Close"), this);
  cmdClose->setObjectName("cmdClose");
  cmdClose->setAutoDefault(false);
  Place(cmdClose, 7785, 5160, 1245, 375, dpi);
  setTabOrder(File1, txtMsg);
  setTabOrder(txtMsg, cmdClose);

  connect(cmdClose, &QPushButton::clicked, this, [this] { close(); });
  connect(File1, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowFile(item->text().toStdString()); });

  // The list is filled once, here; a missing folder is told, and the viewer stays usable.
  if (!DirectoryExists(Folder())) {
    QMetaObject::invokeMethod(this, [this] { Report(Error(err::kPathNotFound, StandardDescription(err::kPathNotFound) + ": " + Folder())); }, Qt::QueuedConnection);
    return;
  }
  try {
    for (const std::string& name : ListFiles(Folder() + "\\*.log")) File1->addItem(QString::fromStdString(name));
  } catch (const Error& e) {
    QMetaObject::invokeMethod(this, [this, e] { Report(e); }, Qt::QueuedConnection);
  }
}

void LogViewerWindow::ShowFile(const std::string& name) {
  try {
    txtMsg->setPlainText(QString::fromStdString(ReplaceAll(FromCp1252(ReadFileBytes(Folder() + "\\" + name)), "\r\n", "\n")));
  } catch (const Error& e) {
    Report(e);
  }
}

void LogViewerWindow::Report(const Error& e) {
  s_.dialogs.ShowMessage(RunTimeErrorText(e), MsgButtons::Ok, MsgIcon::Exclamation, "Perhatian");
}

}  // namespace sevrik::windows
