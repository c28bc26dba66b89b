// The windows as a user meets them, on Qt's offscreen platform: every control where the form
// puts it, searches typed and clicked, the actions answered through scripted message boxes,
// the log viewer clicked through.
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QStyleOptionComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

#include "base/text.h"
#include "core/lookups/lookups.h"
#include "core/startup.h"
#include "platform/fs.h"
#include "platform/runlock.h"
#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tests/twips.h"
#include "tools/package/package.h"
#include "views/qt/frmCheck.h"
#include "views/qt/frmHistory.h"
#include "views/qt/frmKb.h"
#include "views/qt/frmProgress.h"
#include "views/qt/frmViewLog.h"
#include "views/qt/layout.h"

namespace sevrik::qt {
namespace {

// A form's rectangle in pixels, from its twips (tests/twips.h).
QRect TestTwipsRect(int left, int top, int width, int height, int dpi) {
  return QRect(test::PixelsOf(left, dpi), test::PixelsOf(top, dpi), test::PixelsOf(width, dpi), test::PixelsOf(height, dpi));
}
namespace fs = std::filesystem;

const std::string kCar1 = tools::kDemoBC23Car;
const std::string kCar2 = tools::kDemoBC23Car2;

// A control where its table draws it: a drop-down list, a text box and a button in their row,
// as wide as their texts need (each whole: LaidOutInOneFaceWithEveryTextWhole); everything
// else exactly.
void ExpectPlaced(const QWidget& w, const QRect& table) {
  if (qobject_cast<const QComboBox*>(&w) || qobject_cast<const QLineEdit*>(&w) || qobject_cast<const QPushButton*>(&w)) {
    EXPECT_EQ(w.geometry().top(), table.top());
    EXPECT_EQ(w.geometry().height(), table.height());
  } else {
    EXPECT_EQ(w.geometry(), table);
  }
}

class QtWindows : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  QRect Twips(int l, int t, int w, int h, const QWidget& on) { return TestTwipsRect(l, t, w, h, Dpi(on)); }
  std::string Cell(const BrowserWindow& b, int row, int column) {
    return b.lView1->model()->index(row, column).data().toString().toStdString();
  }
  int Rows(const BrowserWindow& b) { return b.lView1->model()->rowCount(); }
  void Select(BrowserWindow& b, const std::string& car) {
    for (int r = 0; r < Rows(b); ++r)
      if (Cell(b, r, 0) == car) {
        b.lView1->setCurrentIndex(b.lView1->model()->index(r, 0));
        return;
      }
    FAIL() << car << " is not listed";
  }
  bool Has(const std::string& name) const { return InPackage(name); }
};

TEST_F(QtWindows, TheBrowserIsLaidOutAsTheForm) {
  BrowserWindow b(*session, nullptr);
  EXPECT_EQ(b.windowTitle().toStdString(), "EDI Interface for TPB Ver. 2.0.0");
  EXPECT_EQ(b.size(), Twips(0, 0, 10185, 6000, b).size());
  EXPECT_EQ(b.minimumSize(), b.maximumSize());
  EXPECT_FALSE(b.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(b.windowFlags() & Qt::WindowMaximizeButtonHint);
  const struct {
    const char* name;
    int l, t, w, h;
    const char* caption;
  } controls[] = {
      {"Frame1", 120, 90, 9975, 5325, "Browse Data"}, {"Label1", 135, 360, 1230, 270, "Cari data"},
      {"cbDok", 1020, 330, 1140, 315, nullptr},       {"cbFld", 2205, 330, 1620, 315, nullptr},
      {"txtQ", 3885, 330, 4290, 315, nullptr},        {"cmdGo", 8250, 330, 1605, 345, "Browse .."},
      {"lView1", 90, 765, 9750, 4245, nullptr},       {"Label2", 105, 5040, 555, 210, "Total :"},
      {"txtTot", 705, 5055, 1470, 225, ""},           {"cmdConnect", 4455, 5520, 1335, 390, "&Komunikasi"},
      {"cmdBatal", 5865, 5520, 1485, 390, "&Batal EDIFACT"}, {"cmdFlat", 7380, 5520, 1470, 390, "&Create EDIFACT"},
      {"cmdClose", 9000, 5505, 1110, 390, "&Close"},
  };
  for (const auto& c : controls) {
    SCOPED_TRACE(c.name);
    auto* w = b.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    ExpectPlaced(*w, Twips(c.l, c.t, c.w, c.h, b));
    if (!c.caption) continue;
    if (auto* box = qobject_cast<QGroupBox*>(w)) {
      EXPECT_EQ(box->title().toStdString(), c.caption);
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
      EXPECT_EQ(label->text().toStdString(), c.caption);
    }
    if (auto* button = qobject_cast<QPushButton*>(w)) {
      EXPECT_EQ(button->text().toStdString(), c.caption);
    }
  }
  EXPECT_EQ(b.cmdGo->toolTip().toStdString(), "Klik disini untuk melihat data.");
  EXPECT_EQ(b.txtQ->parentWidget(), b.Frame1);
  EXPECT_EQ(b.cmdFlat->parentWidget(), &b);
  EXPECT_FALSE(b.cbDok->isEditable());
  ASSERT_EQ(b.cbDok->count(), 3);
  EXPECT_EQ(b.cbDok->itemText(2).toStdString(), "BC 4.0");
  EXPECT_EQ(b.cbDok->currentIndex(), 0);
  ASSERT_EQ(b.cbFld->count(), 2);
  EXPECT_EQ(b.cbFld->itemText(1).toStdString(), "Nama Pemasok");
  EXPECT_EQ(b.cbFld->currentIndex(), 0);
  const QHeaderView* header = b.lView1->header();
  ASSERT_EQ(b.lView1->model()->columnCount(), 9);
  const struct {
    const char* header;
    int twips;
  } columns[] = {{"No. Pengajuan", 2440}, {"Tg. Aju", 1040}, {"KPBC", 740},     {"Pemasok", 3440}, {"Bruto", 1440},
                 {"Netto", 1440},         {"Jm. Cont", 740}, {"Jm. Brg.", 740}, {"Status", 1440}};
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(b.lView1->model()->headerData(i, Qt::Horizontal).toString().toStdString(), columns[i].header);
    EXPECT_GE(header->sectionSize(i), test::PixelsOf(columns[i].twips, Dpi(b))) << i;  // or as its header
  }
  EXPECT_EQ(header->sectionSize(3), test::PixelsOf(3440, Dpi(b)));
  EXPECT_EQ(Rows(b), 0);  // nothing is read before the first Browse

  // The tab order of the form.
  QWidget* expected[] = {b.cbDok, b.cbFld, b.txtQ, b.cmdGo, b.lView1, b.cmdClose, b.cmdFlat, b.cmdBatal, b.cmdConnect};
  for (size_t i = 0; i + 1 < std::size(expected); ++i) {
    QWidget* next = expected[i]->nextInFocusChain();
    while (next->focusPolicy() == Qt::NoFocus || !next->isEnabled()) next = next->nextInFocusChain();
    EXPECT_EQ(next, expected[i + 1]) << i;
  }
}

TEST_F(QtWindows, BrowseByClickAndByEnterAndAnEmptyResult) {
  BrowserWindow b(*session, nullptr);
  b.show();
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  EXPECT_EQ(b.Frame1->title().toStdString(), "Browse Data --> BC 2.3");
  ASSERT_EQ(Rows(b), 2);
  EXPECT_EQ(b.txtTot->text().toStdString(), "2");
  EXPECT_EQ(Cell(b, 0, 0), kCar1);
  EXPECT_EQ(Cell(b, 0, 1), "01-12-2026");
  EXPECT_EQ(Cell(b, 0, 4), "12501");
  EXPECT_EQ(Cell(b, 0, 8), "Siap dikirim");
  EXPECT_EQ(b.lView1->model()->index(0, 4).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
  EXPECT_EQ(b.lView1->model()->index(0, 3).data(Qt::TextAlignmentRole).toInt() & Qt::AlignLeft, Qt::AlignLeft);

  b.cbDok->setCurrentIndex(1);
  b.cbFld->setCurrentIndex(1);
  QTest::keyClicks(b.txtQ, "MITRA");
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  EXPECT_EQ(b.Frame1->title().toStdString(), "Browse Data --> BC 2.5");
  ASSERT_EQ(Rows(b), 1);
  EXPECT_EQ(Cell(b, 0, 3), "CV. MITRA RETAIL INDONESIA");
  EXPECT_EQ(b.txtTot->text().toStdString(), "1");
  EXPECT_TRUE(dialogs.boxes.empty());  // Enter pressed no button

  QTest::keyClicks(b.txtQ, "'X");
  QTest::keyClick(b.txtQ, Qt::Key_Enter);
  EXPECT_EQ(Rows(b), 0);
  EXPECT_EQ(b.txtTot->text().toStdString(), "1");  // the last count stays
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Data yang dicari tidak ditemukan.");
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Critical);
}

TEST_F(QtWindows, ABrowseThatFailsIsToldAndTheWindowStays) {
  sql->Exec("drop table TBLBC40HDR");
  BrowserWindow b(*session, nullptr);
  b.show();
  b.cbDok->setCurrentIndex(2);
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
  EXPECT_NE(dialogs.boxes[0].text.find("TBLBC40HDR"), std::string::npos) << dialogs.boxes[0].text;
  b.cbDok->setCurrentIndex(0);
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  EXPECT_EQ(Rows(b), 2);
  EXPECT_TRUE(b.isVisible());
}

TEST_F(QtWindows, CreateAndCancelWithYesAndNo) {
  ProgressWindow progress;
  BrowserWindow b(*session, &progress);
  b.show();
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  // Nothing selected: nothing asked, nothing run.
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  EXPECT_TRUE(dialogs.boxes.empty());

  Select(b, kCar1);
  dialogs.answers = {MsgAnswer::No};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Akan membentuk EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar1);
  EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Question);
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_FALSE(Has("calls.log"));
  EXPECT_FALSE(Has("ipdata/BC23.FLT"));
  EXPECT_EQ(State(kCar1), "-/01");

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " berhasil!");
  EXPECT_EQ(dialogs.boxes[1].icon, MsgIcon::Information);
  EXPECT_TRUE(State(kCar1).ends_with("/02"));
  EXPECT_EQ(Cell(b, 0, 8), "Dalam antrian");  // browsed again
  EXPECT_EQ(progress.bar()->maximum(), 3);      // the document's three items
  EXPECT_EQ(progress.bar()->value(), 3);
  EXPECT_FALSE(progress.widget()->isVisible());

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::No};
  Select(b, kCar1);
  QTest::mouseClick(b.cmdBatal, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Akan membatalkan EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar1);
  EXPECT_FALSE(Has("ipdata/TPBUNQ.STA"));

  dialogs.boxes.clear();
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdBatal, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u) << dialogs.boxes.back().text;
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " berhasil!");
  EXPECT_TRUE(State(kCar1).ends_with("/01"));
  EXPECT_EQ(Cell(b, 0, 8), "Siap dikirim");
}

TEST_F(QtWindows, AFailedCreateSaysWhy) {
  sql->Exec("update TBLBC23HDR set angkutnama = '" + std::string(36, 'A') + "' where CAR = '" + kCar1 + "'");
  BrowserWindow b(*session, nullptr);
  b.show();
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  Select(b, kCar1);
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text,
            "CAR = " + kCar1 + " gagal!\r\n"
            "Dokumen tidak dikirim ke translator, datanya bermasalah:\r\n"
            "HDEC0801 TBLBC23HDR.angkutnama: 36 karakter, paling banyak 35 (\"" + std::string(30, 'A') + "...\")");
  EXPECT_EQ(dialogs.boxes[1].icon, MsgIcon::Exclamation);
  EXPECT_FALSE(Has("calls.log"));
}

// An earlier run's "0" left beside an action that could not produce its own answer is never
// shown as this document's success.
TEST_F(QtWindows, AnEarlierSuccessIsNeverThisActionsOutcome) {
  test::WriteFile(ws.package + "/ipdata/TPBUNQ.STA", "0\r\nSUCCESS\r\n");
  sql->Exec("delete from tblPartner");
  BrowserWindow b(*session, nullptr);
  b.show();
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  Select(b, kCar1);
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdBatal, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " gagal!\r\n"
            "Dokumen atau mitranya (tblPartner) tidak ditemukan; translator tidak dijalankan.");

  test::WriteFile(ws.package + "/ipdata/TPBQUE.STA", "0\r\nSUCCESS\r\n");
  // The status cannot be removed (a file in use), or its name stays after the removal.
  for (const auto fault : {&test::FaultFileSystem::FailRemoval, &test::FaultFileSystem::KeepAfterRemoval}) {
    test::FaultFileSystem faults;
    (faults.*fault)(ws.package + "/ipdata/TPBQUE.STA");
    dialogs.boxes.clear();
    dialogs.answers = {MsgAnswer::Yes};
    Select(b, kCar1);  // the list was browsed again after the cancel
    QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
    ASSERT_EQ(dialogs.boxes.size(), 2u);
    EXPECT_TRUE(dialogs.boxes[1].text.starts_with("CAR = " + kCar1 + " gagal!\r\n"
                                                  "Status translator sebelumnya tidak dapat dihapus"))
        << dialogs.boxes[1].text;
    EXPECT_EQ(State(kCar1), "-/01");
    EXPECT_FALSE(Has("calls.log"));
  }
}

TEST_F(QtWindows, CreateForBc25AndBc40) {
  // An earlier run's success must not be reported for a BC 2.5 file, which starts no translator.
  test::WriteFile(ws.package + "/ipdata/TPBQUE.STA", "0\r\nSUCCESS\r\n");
  sql->Exec("update TBLBC25HDR set penerimanama = '" + std::string(60, 'P') + "' where CAR = '" +
            tools::kDemoBC25Car2 + "'");
  BrowserWindow b(*session, nullptr);
  b.show();
  b.cbDok->setCurrentIndex(1);
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  Select(b, tools::kDemoBC25Car);
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[0].text, "Akan membentuk EDIFACT dokumen BC25 ini ?\r\nCAR = " + std::string(tools::kDemoBC25Car));
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + std::string(tools::kDemoBC25Car) + " berhasil!");

  dialogs.boxes.clear();
  Select(b, tools::kDemoBC25Car2);
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_TRUE(dialogs.boxes[1].text.starts_with("CAR = " + std::string(tools::kDemoBC25Car2) + " gagal!\r\n"));
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + std::string(tools::kDemoBC25Car2) +
                                       " gagal!\r\nFlat file BC25 tidak dibentuk, datanya bermasalah:\r\n"
                                       "HDEC1001 TBLBC25HDR.penerimanama: 60 karakter, paling banyak 50 (\"" +
                                       std::string(30, 'P') + "...\")");

  dialogs.boxes.clear();
  b.cbDok->setCurrentIndex(2);
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  Select(b, "05010000020220261205000005");
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Dokumen BC40 tidak dapat dibentuk EDIFACT.");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
}

// The keyboard as a clerk uses it: Tab into the list selects the focused row (the first when
// none has the focus), the arrows, Home, End, Page Up and Page Down move the selection, Enter
// presses a focused button, Escape closes nothing; Close and the close box do.
TEST_F(QtWindows, TheKeyboardSelectsRowsAndPressesButtons) {
  BrowserWindow b(*session, nullptr);
  b.show();
  QApplication::setActiveWindow(&b);
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 2);
  EXPECT_EQ(b.SelectedRow(), std::nullopt);  // a plain search selects nothing
  b.lView1->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(b.SelectedRow(), std::optional<size_t>(0));
  const struct {
    Qt::Key key;
    size_t row;
  } moves[] = {{Qt::Key_Down, 1}, {Qt::Key_Home, 0}, {Qt::Key_End, 1}, {Qt::Key_PageUp, 0}, {Qt::Key_PageDown, 1},
               {Qt::Key_Up, 0}};
  for (const auto& m : moves) {
    QTest::keyClick(b.lView1, m.key);
    EXPECT_EQ(b.SelectedRow(), std::optional<size_t>(m.row)) << m.key;
  }

  // One row found: the list takes the focus with it selected.
  b.txtQ->setFocus(Qt::TabFocusReason);
  b.txtQ->setText("1201");
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 1);
  EXPECT_EQ(b.SelectedRow(), std::nullopt);
  b.lView1->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  EXPECT_EQ(b.SelectedKey(), kCar1);

  // Enter on a focused button presses it.
  b.txtQ->setText("");
  b.cmdGo->setFocus(Qt::TabFocusReason);
  QTest::keyClick(b.cmdGo, Qt::Key_Return);
  EXPECT_EQ(Rows(b), 2);
  EXPECT_TRUE(dialogs.boxes.empty());

  // Escape in the search text and on the window closes nothing.
  QTest::keyClick(b.txtQ, Qt::Key_Escape);
  QTest::keyClick(&b, Qt::Key_Escape);
  EXPECT_TRUE(b.isVisible());
  b.cmdClose->setFocus(Qt::TabFocusReason);
  QTest::keyClick(b.cmdClose, Qt::Key_Enter);
  EXPECT_FALSE(b.isVisible());
  b.show();
  EXPECT_TRUE(b.close());  // the close box
  EXPECT_FALSE(b.isVisible());
}

// Periksa dokumen by the keyboard: Shift+F10 or the menu key opens the row's menu, Enter takes
// its item, frmCheck shows the report read-only and Escape closes it; F4 does the same at once,
// and Tutup closes it.
TEST_F(QtWindows, TheCheckFromTheRowsMenuAndF4) {
  sql->Exec("update TBLBC23DTL set merk = '1234567890123456' where CAR = '" + kCar2 + "' and Serial = 2");
  BrowserWindow b(*session, nullptr);
  b.show();
  QApplication::setActiveWindow(&b);
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 2);
  b.lView1->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  QTest::keyClick(b.lView1, Qt::Key_Down);
  ASSERT_EQ(b.SelectedKey(), kCar2);
  const std::string report = "Pemeriksaan dokumen BC23 CAR = " + kCar2 +
                             "\nMenghalangi pengiriman (1):\nDDEC0201 TBLBC23DTL.merk, barang ke-2: 16 karakter, "
                             "paling banyak 15 (\"1234567890123456\")\nDokumen tidak dapat dikirim.\n";
  for (const auto& [key, modifiers] : {std::pair{Qt::Key_F10, Qt::ShiftModifier}, {Qt::Key_Menu, Qt::NoModifier}}) {
    SCOPED_TRACE(key);
    std::vector<std::string> items;
    QTimer::singleShot(0, [&] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (QAction* a : menu->actions()) items.push_back((a->text() + " " + a->shortcut().toString()).toStdString());
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(b.lView1, key, modifiers);
    EXPECT_EQ(items, (std::vector<std::string>{"Periksa dokumen\u2026 F4", "Riwayat dokumen\u2026 F3",
                                               "Hanya yang gagal "}));
    CheckWindow* check = b.check_window();
    ASSERT_NE(check, nullptr);
    EXPECT_TRUE(check->isVisible());
    EXPECT_EQ(check->windowTitle().toStdString(), "Periksa dokumen BC23");
    EXPECT_EQ(check->txtCheck->toPlainText().toStdString(), report);
    EXPECT_TRUE(check->txtCheck->isReadOnly());
    QTest::keyClick(check->txtCheck, Qt::Key_Escape);
    EXPECT_FALSE(check->isVisible());
  }
  // A right-click on a row selects it and opens the same menu; Escape closes it, choosing nothing.
  bool menu_shown = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    menu_shown = menu != nullptr;
    if (menu) QTest::keyClick(menu, Qt::Key_Escape);
  });
  const QRect first = b.lView1->visualRect(b.lView1->model()->index(0, 2));
  // (What the window system sends on a right-click.)
  QContextMenuEvent click(QContextMenuEvent::Mouse, first.center(), b.lView1->viewport()->mapToGlobal(first.center()));
  QApplication::sendEvent(b.lView1->viewport(), &click);
  EXPECT_TRUE(menu_shown);
  EXPECT_EQ(b.SelectedKey(), kCar1);
  EXPECT_FALSE(b.check_window()->isVisible());
  QApplication::setActiveWindow(&b);  // as the closed window gives it back
  QTest::keyClick(b.lView1, Qt::Key_F4);
  EXPECT_TRUE(b.check_window()->isVisible());
  EXPECT_EQ(b.check_window()->txtCheck->toPlainText().toStdString(),
            "Pemeriksaan dokumen BC23 CAR = " + kCar1 + "\nTidak ada masalah.\nDokumen dapat dikirim.\n");
  QTest::mouseClick(b.check_window()->cmdTutup, Qt::LeftButton);
  EXPECT_FALSE(b.check_window()->isVisible());
  EXPECT_TRUE(dialogs.boxes.empty());
  EXPECT_FALSE(Has("ipdata/BC23.FLT"));
}

// Riwayat dokumen and Hanya yang gagal by the keyboard: Shift+F10, Down and Enter open
// frmHistory with the document's runs, newest first, walked with the arrows and closed with
// Escape; F3 opens it at once; the menu's last item lists the documents whose last run failed
// (the reason in the row's tool tip), and Browse returns to the search.
TEST_F(QtWindows, TheHistoryAndTheFailedListByTheKeyboard) {
  session->origin = "window";
  BrowserWindow b(*session, nullptr);
  b.show();
  QApplication::setActiveWindow(&b);
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 2);
  const auto create = [&](const std::string& car, bool fail) {
    if (fail) test::WriteFile(ws.package + "/standin.ctl", "result=7\n");
    Select(b, car);
    dialogs.answers = {MsgAnswer::Yes};
    QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
    std::remove((ws.package + "/standin.ctl").c_str());
  };
  create(kCar1, true);
  create(kCar1, false);
  create(kCar2, true);
  ASSERT_EQ(dialogs.boxes.size(), 6u);
  // (Menu items by their place: Down moves from the first.)
  const auto menu_item = [&](int downs, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTimer::singleShot(0, [&, downs] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      for (int i = 0; i < downs; ++i) QTest::keyClick(menu, Qt::Key_Down);
      QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(b.lView1, key, modifiers);
  };
  Select(b, kCar1);
  b.lView1->setFocus(Qt::TabFocusReason);
  menu_item(1, Qt::Key_F10, Qt::ShiftModifier);
  HistoryWindow* h = b.history_window();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(h->isVisible());
  EXPECT_EQ(h->windowTitle().toStdString(), "Riwayat dokumen BC23");
  EXPECT_EQ(h->lblRiwayat->text().toStdString(), "CAR = " + kCar1 + ": 2 proses, terbaru di atas");
  const QAbstractItemModel& runs = *h->lvRiwayat->model();
  ASSERT_EQ(runs.rowCount(), 2);
  const auto cell = [&](int row, int column) { return runs.index(row, column).data().toString().toStdString(); };
  EXPECT_EQ(cell(0, 1), "Create EDIFACT dari jendela");
  EXPECT_EQ(cell(0, 2), "Berhasil");
  EXPECT_FALSE(cell(0, 3).empty());
  EXPECT_EQ(cell(1, 2).rfind("Gagal (", 0), 0u) << cell(1, 2);
  const QFontMetrics metrics(h->lvRiwayat->font());
  for (const int column : {0, 1, 3})  // the time, the action and the reference whole
    EXPECT_GT(h->lvRiwayat->header()->sectionSize(column), metrics.horizontalAdvance(QString::fromStdString(cell(0, column))));
  EXPECT_EQ(h->lvRiwayat->currentIndex().row(), 0);
  EXPECT_EQ(h->focusWidget(), h->lvRiwayat);  // the list has the keyboard when the window is active
  QTest::keyClick(h->lvRiwayat, Qt::Key_Down);
  EXPECT_EQ(h->lvRiwayat->currentIndex().row(), 1);
  QTest::keyClick(h->lvRiwayat, Qt::Key_Escape);
  EXPECT_FALSE(h->isVisible());

  QApplication::setActiveWindow(&b);
  Select(b, kCar2);
  QTest::keyClick(b.lView1, Qt::Key_F3);
  EXPECT_TRUE(h->isVisible());
  EXPECT_EQ(runs.rowCount(), 1);
  QTest::keyClick(h->lvRiwayat, Qt::Key_Tab);
  QTest::keyClick(h->cmdTutup, Qt::Key_Return);
  EXPECT_FALSE(h->isVisible());

  QApplication::setActiveWindow(&b);
  menu_item(2, Qt::Key_Menu, Qt::NoModifier);
  EXPECT_EQ(b.Frame1->title().toStdString(), "Browse Data --> BC 2.3, hanya yang gagal");
  ASSERT_EQ(Rows(b), 1);
  EXPECT_EQ(Cell(b, 0, 0), kCar2);
  const std::string tip = b.lView1->model()->index(0, 3).data(Qt::ToolTipRole).toString().toStdString();
  EXPECT_NE(tip.find(": gagal ("), std::string::npos) << tip;
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  EXPECT_EQ(b.Frame1->title().toStdString(), "Browse Data --> BC 2.3");
  EXPECT_EQ(Rows(b), 2);
  EXPECT_EQ(dialogs.boxes.size(), 6u);
}

// A click on a header or Ctrl+<column> sorts; the second time the other way; the selected
// document stays selected and in view.
TEST_F(QtWindows, SortingByHeaderAndKeysKeepsTheSelection) {
  for (int i = 0; i < 60; ++i)
    sql->Exec("INSERT INTO TBLBC23HDR (CAR, Kdkpbc, Pasoknama, Bruto, Status) VALUES ('0501000002022026120000" +
              std::to_string(1000 + i) + "', '050100', 'pemasok " + std::to_string(i) + "', " + std::to_string(i) +
              ", '01')");
  BrowserWindow b(*session, nullptr);
  b.show();
  QApplication::setActiveWindow(&b);
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 62);
  Select(b, kCar1);
  const auto in_view = [&] {
    const QModelIndex selected = b.lView1->model()->index(static_cast<int>(*b.SelectedRow()), 0);
    return b.lView1->viewport()->rect().contains(b.lView1->visualRect(selected).center());
  };
  QHeaderView* header = b.lView1->header();
  const auto click = [&](int column) {
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, 5));
  };
  click(4);
  EXPECT_EQ(Cell(b, 0, 4), "0");
  EXPECT_EQ(Cell(b, 61, 4), "12501");
  EXPECT_EQ(b.SelectedKey(), kCar1);
  EXPECT_EQ(b.SelectedRow(), std::optional<size_t>(61));
  EXPECT_TRUE(in_view());
  EXPECT_EQ(header->sortIndicatorSection(), 4);
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
  click(4);
  EXPECT_EQ(Cell(b, 0, 4), "12501");
  EXPECT_EQ(b.SelectedRow(), std::optional<size_t>(0));
  EXPECT_TRUE(in_view());
  EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
  QTest::keyClick(b.lView1, Qt::Key_4, Qt::ControlModifier);  // Pemasok, without regard to case
  EXPECT_EQ(Cell(b, 0, 3), "GUANGZHOU TEXTILE MACHINERY CO., LTD.");
  EXPECT_EQ(Cell(b, 1, 3), "OSAKA PRECISION PARTS K.K.");
  EXPECT_EQ(Cell(b, 2, 3), "pemasok 0");
  EXPECT_EQ(b.SelectedKey(), kCar1);
  QTest::keyClick(b.lView1, Qt::Key_4, Qt::ControlModifier);
  EXPECT_EQ(Cell(b, 61, 3), "GUANGZHOU TEXTILE MACHINERY CO., LTD.");
  EXPECT_EQ(b.SelectedRow(), std::optional<size_t>(61));
  EXPECT_TRUE(in_view());
}

// After an action the same document stays selected and in view, in a list longer than the
// window; its row's tool tip tells the run.
TEST_F(QtWindows, TheDocumentActedOnStaysSelectedAndInView) {
  for (int i = 0; i < 60; ++i)
    sql->Exec("INSERT INTO TBLBC23HDR (CAR, Kdkpbc, Pasoknama, Status) VALUES ('0501000002022026120000" +
              std::to_string(1000 + i) + "', '050100', 'PEMASOK " + std::to_string(i) + "', '01')");
  BrowserWindow b(*session, nullptr);
  b.resize(b.size());
  b.show();
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 62);
  int row = -1;
  for (int r = 0; r < Rows(b); ++r)
    if (Cell(b, r, 0) == kCar1) row = r;
  ASSERT_GE(row, 0);
  b.lView1->setCurrentIndex(b.lView1->model()->index(row, 0));
  b.lView1->scrollToTop();
  dialogs.answers = {MsgAnswer::Yes};
  QTest::mouseClick(b.cmdFlat, Qt::LeftButton);
  ASSERT_EQ(dialogs.boxes.size(), 2u);
  EXPECT_EQ(dialogs.boxes[1].text, "CAR = " + kCar1 + " berhasil!");
  EXPECT_EQ(b.SelectedKey(), kCar1);
  const QModelIndex selected = b.lView1->model()->index(static_cast<int>(*b.SelectedRow()), 0);
  EXPECT_TRUE(b.lView1->viewport()->rect().contains(b.lView1->visualRect(selected).center()));
  const std::string tip = selected.data(Qt::ToolTipRole).toString().toStdString();
  EXPECT_NE(tip.find("Proses terakhir: Create EDIFACT BC23, "), std::string::npos) << tip;
  EXPECT_NE(tip.find(": berhasil"), std::string::npos) << tip;
}

// The CAR, the date and the status are never cut; no drop-down entry or caption is clipped;
// every cell shows whole in its tool tip.
TEST_F(QtWindows, NoCarDateStatusOrEntryIsCut) {
  sql->Exec("UPDATE tblTabel SET URAIAN = 'DALAM ANTRIAN PENGIRIMAN ULANG' WHERE KDTAB = '01' AND KDREC = '01'");
  for (int dpi_scale : {0, 1}) {
    SCOPED_TRACE(dpi_scale);
    BrowserWindow b(*session, nullptr);
    if (dpi_scale) {
      QFont bigger = b.font();
      bigger.setPointSizeF(bigger.pointSizeF() * 1.5);
      b.lView1->setFont(bigger);
    }
    b.show();
    QTest::keyClick(b.txtQ, Qt::Key_Return);
    ASSERT_EQ(Rows(b), 2);
    const QFontMetrics metrics(b.lView1->font());
    for (int column : {0, 1, 8})
      for (int r = 0; r < Rows(b); ++r)
        EXPECT_GE(b.lView1->header()->sectionSize(column),
                  metrics.horizontalAdvance(QString::fromStdString(Cell(b, r, column))))
            << column << " " << Cell(b, r, column);
    const std::string tip = b.lView1->model()->index(0, 3).data(Qt::ToolTipRole).toString().toStdString();
    EXPECT_NE(tip.find("Pemasok: GUANGZHOU TEXTILE MACHINERY CO., LTD."), std::string::npos) << tip;
    for (QComboBox* combo : {b.cbDok, b.cbFld}) {
      QStyleOptionComboBox option;
      option.initFrom(combo);
      const int field =
          combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
      for (int i = 0; i < combo->count(); ++i)
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), field) << combo->itemText(i).toStdString();
    }
    for (QLabel* label : b.findChildren<QLabel*>())
      EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << label->text().toStdString();
  }
}

// Both forms in one face, every text whole: each control in the form's font (the log's text in
// its own fixed-pitch one), each drop-down entry within its closed field, each button's caption
// with the room of its focus rectangle, each header within its column; the controls of a row
// in their order, apart, inside their container and its row's right edge. Also run with the
// fonts at 150 % (window_test_150).
TEST_F(QtWindows, LaidOutInOneFaceWithEveryTextWhole) {
  BrowserWindow kb(*session, nullptr);
  LogViewerWindow log(*session);
  kb.show();
  log.show();
  QTest::keyClick(kb.txtQ, Qt::Key_Return);
  const int dpi = Dpi(kb);
  const struct {
    const forms::Form& form;
    QWidget& widget;
  } views[] = {{forms::kFrmKb, kb}, {forms::kFrmViewLog, log}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.form.name);
    for (const forms::Control& c : v.form.controls) {
      SCOPED_TRACE(c.name);
      auto* w = v.widget.findChild<QWidget*>(c.name);
      ASSERT_NE(w, nullptr);
      if (c.kind != forms::ControlKind::TextBox) {
        EXPECT_EQ(w->font(), v.widget.font());
      }
      EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()));
      if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
        EXPECT_GT(combo->count(), 0);
        for (int i = 0; i < combo->count(); ++i)
          EXPECT_LE(combo->fontMetrics().horizontalAdvance(combo->itemText(i)), field.width()) << combo->itemText(i).toStdString();
      }
      if (auto* button = qobject_cast<QPushButton*>(w)) {
        // The caption as drawn, without its access-key mark; 90 twips (6 pixels at 96 DPI) each side.
        const QString caption = button->text().remove('&');
        EXPECT_LE(button->fontMetrics().horizontalAdvance(caption) + 2 * test::PixelsOf(90, dpi), button->width());
      }
      // Its row: the controls of its container beside it, in the table's order, apart, within
      // the row's right edge as drawn.
      int row_right = Twips(c.rect.left, 0, c.rect.width, 0, v.widget).right();
      for (const forms::Control& o : v.form.controls) {
        if (&o == &c || std::string(o.container) != c.container || c.kind == forms::ControlKind::Frame ||
            o.kind == forms::ControlKind::Frame || o.rect.top >= c.rect.top + c.rect.height ||
            c.rect.top >= o.rect.top + o.rect.height)
          continue;
        row_right = std::max(row_right, Twips(o.rect.left, 0, o.rect.width, 0, v.widget).right());
        if (o.rect.left > c.rect.left && c.kind != forms::ControlKind::Label) {  // a label reaches under its field
          EXPECT_LE(w->geometry().right(), v.widget.findChild<QWidget*>(o.name)->geometry().left()) << o.name;
        }
      }
      EXPECT_LE(w->geometry().right(), row_right);
    }
  }
  QHeaderView* header = kb.lView1->header();
  ASSERT_EQ(header->count(), 9);
  for (int i = 0; i < header->count(); ++i)
    EXPECT_GE(header->sectionSize(i), header->sectionSizeHint(i)) << i;
}

// A page of the list formats the rows it shows, once: neither a search nor drawing a page nor
// moving a page down formats more.
TEST_F(QtWindows, APageOfTheListFormatsOnlyItsRows) {
  sql->Exec("BEGIN");
  sql->Exec("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
            "INSERT INTO TBLBC23HDR (CAR, Kdkpbc, Pasoknama, Status) "
            "SELECT printf('0501000002022026121%07d', i), '050100', 'PEMASOK ' || i, '01' FROM n");
  sql->Exec("COMMIT");
  BrowserWindow b(*session, nullptr);
  b.show();
  QApplication::setActiveWindow(&b);
  QTest::keyClick(b.txtQ, Qt::Key_Return);
  ASSERT_EQ(Rows(b), 3002);
  const DocumentRows& rows = b.browser().outcome().rows;
  EXPECT_EQ(rows.cells_formatted(), 0u);  // the search and the columns' widths format no row
  b.lView1->setFocus(Qt::TabFocusReason);
  const int page = b.lView1->viewport()->height() / b.lView1->sizeHintForRow(0) + 1;
  size_t before = 0;
  for (int press = 0; press < 6; ++press) {
    if (press) QTest::keyClick(b.lView1, Qt::Key_PageDown);
    b.lView1->grab();  // the list drawn as it shows
    const size_t drawn = rows.cells_formatted() - before;
    EXPECT_GT(drawn, 0u) << press;
    EXPECT_LE(drawn, static_cast<size_t>(9 * (page + 1))) << press;
    before = rows.cells_formatted();
  }
  EXPECT_GT(*b.SelectedRow(), static_cast<size_t>(4 * (page - 2)));
}

// The progress window stays above the browser; a search runs under the busy cursor, and a box
// shows the arrow.
TEST_F(QtWindows, TheProgressWindowStaysAboveAndASearchLooksBusy) {
  ProgressWindow progress;
  {
    BrowserWindow b(*session, &progress);
    EXPECT_EQ(progress.widget()->parentWidget(), &b);
    EXPECT_TRUE(progress.widget()->windowFlags() & Qt::Tool);
    EXPECT_TRUE(progress.widget()->isWindow());

    class CursorDialogs : public Dialogs {
     public:
      MsgAnswer ShowMessage(const std::string&, MsgButtons, MsgIcon, const std::string&) override {
        shapes.push_back(QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
        return MsgAnswer::Ok;
      }
      std::vector<Qt::CursorShape> shapes;
    } cursors;
    Session watched{session->db, cursors, session->program_folder, session->package_folder,
                    session->network_profile, session->locale, nullptr};
    BrowserWindow w(watched, nullptr);
    w.show();
    w.txtQ->setText("TIDAK ADA");
    QTest::mouseClick(w.cmdGo, Qt::LeftButton);
    ASSERT_EQ(cursors.shapes.size(), 1u);
    EXPECT_EQ(cursors.shapes[0], Qt::WaitCursor);  // the not-found box comes at the end of the search
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(progress.widget()->parentWidget(), nullptr);  // the browser gone, the window stays whole
}

TEST_F(QtWindows, KomunikasiRunsAndTheAccessKeys) {
  BrowserWindow b(*session, nullptr);
  b.show();
  QTest::mouseClick(b.cmdGo, Qt::LeftButton);
  QTest::mouseClick(b.cmdConnect, Qt::LeftButton);
  EXPECT_NE(test::ReadFile(ws.package + "/calls.log").find("TPBCOM"), std::string::npos);
  EXPECT_EQ(Rows(b), 2);  // nothing refreshed, no outcome of its own
  ASSERT_EQ(dialogs.boxes.size(), 1u);  // the command line only
  EXPECT_EQ(dialogs.boxes[0].text, "Ranuvel \"" + ws.package + "\\TPBCOM.ext\" \"Leased Line\"");

  // The access keys; "&Create EDIFACT" and "&Close" share Alt+C, which Qt then treats as
  // ambiguous: it moves the focus between the two without pressing either.
  EXPECT_EQ(b.cmdConnect->shortcut(), QKeySequence(Qt::ALT | Qt::Key_K));
  EXPECT_EQ(b.cmdBatal->shortcut(), QKeySequence(Qt::ALT | Qt::Key_B));
  EXPECT_EQ(b.cmdFlat->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
  EXPECT_EQ(b.cmdClose->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
}

TEST_F(QtWindows, AnActionWaitsForAnotherRunAndSaysSoInTheProgressWindow) {
  ProgressWindow progress;
  BrowserWindow b(*session, &progress);
  b.show();
  auto held = std::make_unique<RunLock>(ws.program + "/SEVRIK.LCK", nullptr);  // another run
  std::thread other([&] {
    ::usleep(300000);
    held.reset();
  });
  QTest::mouseClick(b.cmdConnect, Qt::LeftButton);
  other.join();
  EXPECT_EQ(progress.widget()->findChild<QLabel*>("lblNotice")->text().toStdString(), test::kWaitingText);
  EXPECT_FALSE(progress.widget()->isVisible());
  EXPECT_NE(test::ReadFile(ws.package + "/calls.log").find("TPBCOM"), std::string::npos);
}

TEST_F(QtWindows, TheLogViewerListsShowsAndReplaces) {
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nREF-1\r\n");
  test::WriteFile(ws.package + "/ipdata/run.log", "baris \xE9\r\nkedua\r\n");
  test::WriteFile(ws.package + "/ipdata/empty.log", "");
  test::WriteFile(ws.package + "/ipdata/BC23.FLT", "x");
  LogViewerWindow v(*session);
  v.show();
  EXPECT_EQ(v.windowTitle().toStdString(), "View Log");
  EXPECT_EQ(v.size(), Twips(0, 0, 9150, 5640, v).size());
  EXPECT_EQ(v.findChild<QGroupBox*>("Frame1")->title().toStdString(), "Tessaro View Log");
  EXPECT_EQ(v.File1->geometry(), Twips(180, 570, 2025, 4185, v));
  EXPECT_EQ(v.txtMsg->geometry(), Twips(2280, 570, 6450, 4185, v));
  const QFontMetrics metrics(v.txtMsg->font());  // fixed pitch: every character as wide as any other
  EXPECT_EQ(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("MMMM")) << QFontInfo(v.txtMsg->font()).family().toStdString();
  ASSERT_EQ(v.File1->count(), 3);
  EXPECT_EQ(v.File1->item(0)->text().toStdString(), "empty.log");
  EXPECT_EQ(v.File1->item(1)->text().toStdString(), "run.log");
  EXPECT_EQ(v.File1->item(2)->text().toStdString(), "TPBQUE.LOG");

  const auto click = [&](int row) {
    QListWidgetItem* item = v.File1->item(row);
    QTest::mouseClick(v.File1->viewport(), Qt::LeftButton, {}, v.File1->visualItemRect(item).center());
  };
  click(1);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "baris \xC3\xA9\nkedua\n");
  click(2);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "BC23\nREF-1\n");
  click(0);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "");
  // The keyboard shows the file it selects, as a click does; a click on the selected file
  // shows it again.
  QTest::keyClick(v.File1, Qt::Key_End);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "BC23\nREF-1\n");
  QTest::keyClick(v.File1, Qt::Key_Up);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "baris \xC3\xA9\nkedua\n");
  v.txtMsg->setPlainText("diubah");
  click(1);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "baris \xC3\xA9\nkedua\n");
  click(0);
  EXPECT_TRUE(dialogs.boxes.empty());
  // A file gone by the time it is clicked is told; the viewer stays.
  fs::remove(ws.package + "/ipdata/run.log");
  click(1);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
  EXPECT_TRUE(v.isVisible());
}

// From its first start the log viewer has the keyboard: the list of names has the focus, and
// the first Down shows a file.
TEST_F(QtWindows, TheLogViewerHasTheKeyboardFromItsStart) {
  test::WriteFile(ws.package + "/ipdata/TPBQUE.LOG", "BC23\r\nREF-1\r\n");
  test::WriteFile(ws.package + "/ipdata/run.log", "baris\r\n");
  LogViewerWindow v(*session);
  v.show();
  QApplication::setActiveWindow(&v);
  QApplication::processEvents();
  EXPECT_EQ(QApplication::focusWidget(), v.File1);
  EXPECT_EQ(v.File1->currentRow(), 0);  // the first name, selected and shown
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "baris\n");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  EXPECT_EQ(v.File1->currentRow(), 1);
  EXPECT_EQ(v.txtMsg->toPlainText().toStdString(), "BC23\nREF-1\n");
}

TEST_F(QtWindows, TheLogViewerWithoutItsFolder) {
  fs::remove_all(ws.package + "/ipdata");
  LogViewerWindow v(*session);
  v.show();
  QApplication::processEvents();
  EXPECT_EQ(v.File1->count(), 0);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
}

// The widget of each kind of the forms' tables.
bool IsOfKind(QWidget* w, forms::ControlKind kind) {
  using K = forms::ControlKind;
  switch (kind) {
    case K::Frame: return qobject_cast<QGroupBox*>(w);
    case K::Label: return qobject_cast<QLabel*>(w);
    case K::Combo: return qobject_cast<QComboBox*>(w) && !static_cast<QComboBox*>(w)->isEditable();
    case K::Edit: return qobject_cast<QLineEdit*>(w);
    case K::Button: return qobject_cast<QPushButton*>(w) && !static_cast<QPushButton*>(w)->autoDefault();
    case K::ListView: return qobject_cast<QTreeView*>(w);
    case K::ListBox: return qobject_cast<QListWidget*>(w);
    case K::TextBox: return qobject_cast<QPlainTextEdit*>(w);
    case K::Divider:
      return qobject_cast<QFrame*>(w) && !qobject_cast<QLabel*>(w) && static_cast<QFrame*>(w)->frameShape() == QFrame::VLine;
    case K::ProgressBar: return qobject_cast<QProgressBar*>(w);
  }
  return false;
}

// What a control shows as its caption.
std::string CaptionOf(QWidget* w) {
  if (auto* box = qobject_cast<QGroupBox*>(w)) return box->title().toStdString();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
  if (auto* button = qobject_cast<QPushButton*>(w)) return button->text().toStdString();
  return "";
}

// Each Qt view holds every control of its form's table, as the table gives it, and its tab
// order is the table's.
TEST_F(QtWindows, EachViewIsBuiltFromItsFormsTable) {
  BrowserWindow kb(*session, nullptr);
  LogViewerWindow log(*session);
  ProgressWindow progress;
  CheckWindow check(&kb);
  HistoryWindow history(&kb);
  kb.show();
  log.show();
  progress.Show();
  check.ShowReport("Periksa dokumen BC23", "");
  history.ShowHistory({"Riwayat dokumen BC23", "", {}});
  const struct {
    const forms::Form& form;
    QWidget& widget;
    size_t controls;
  } views[] = {{forms::kFrmKb, kb, 13},
               {forms::kFrmViewLog, log, 7},
               {forms::kFrmProgress, *progress.widget(), 3},
               {forms::kFrmCheck, check, 2},
               {forms::kFrmHistory, history, 3}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.form.name);
    EXPECT_EQ(v.form.controls.size(), v.controls);
    EXPECT_EQ(v.widget.objectName().toStdString(), v.form.name);
    EXPECT_TRUE(v.widget.windowTitle().toStdString().starts_with(v.form.caption));
    EXPECT_EQ(v.widget.size(), Twips(0, 0, v.form.width, v.form.height, v.widget).size());
    for (const forms::Control& c : v.form.controls) {
      SCOPED_TRACE(c.name);
      auto* w = v.widget.findChild<QWidget*>(c.name);
      ASSERT_NE(w, nullptr);
      EXPECT_TRUE(IsOfKind(w, c.kind));
      EXPECT_EQ(w->parentWidget()->objectName().toStdString(), c.container);
      ExpectPlaced(*w, Twips(c.rect.left, c.rect.top, c.rect.width, c.rect.height, v.widget));
      EXPECT_EQ(CaptionOf(w), c.caption);
      EXPECT_EQ(w->toolTip().toStdString(), c.tool_tip);
      EXPECT_EQ(w->isVisible(), !c.hidden);
      if (c.access_key) {
        EXPECT_EQ(static_cast<QPushButton*>(w)->shortcut(), QKeySequence(Qt::ALT | static_cast<Qt::Key>(c.access_key)));
      }
    }
    const std::vector<const forms::Control*> order = forms::TabOrder(v.form);
    for (size_t i = 0; i + 1 < order.size(); ++i) {
      QWidget* next = v.widget.findChild<QWidget*>(order[i]->name)->nextInFocusChain();
      while (next->focusPolicy() == Qt::NoFocus || !next->isEnabled()) next = next->nextInFocusChain();
      EXPECT_EQ(next->objectName().toStdString(), order[i + 1]->name) << i;
    }
  }
}

TEST(ProgressWindowLayout, BorderlessCentredWithItsBar) {
  ProgressWindow p;
  p.Show();
  QWidget& w = *p.widget();
  EXPECT_TRUE(w.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(w.size(), TestTwipsRect(0, 0, 6960, 870, Dpi(w)).size());
  EXPECT_EQ(p.bar()->parentWidget()->geometry(), TestTwipsRect(0, 15, 6945, 840, Dpi(w)));
  EXPECT_EQ(p.bar()->geometry(), TestTwipsRect(60, 135, 6825, 630, Dpi(w)));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(w.geometry().center().x(), area.center().x(), 1);
  EXPECT_NEAR(w.geometry().center().y(), area.center().y(), 1);
  p.SetMaximum(10);
  p.SetValue(4);
  EXPECT_EQ(p.bar()->value(), 4);
  p.Hide();
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
}  // namespace sevrik::qt

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return sevrik::test::TestProgramStatus(RUN_ALL_TESTS());
}
