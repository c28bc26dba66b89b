// SEVRIK.exe's windows under Wine as a clerk meets them, driven from outside by the form driver
// (formdriver.h): every control where the form puts it, searches typed and clicked, the
// actions answered in their message boxes, the log viewer clicked and walked by keyboard. The
// data is a real SQLite file reached through ODBC, the translator the stand-in package; the
// script windows_views.sh lays them out and names them in the environment:
//   SEVRIK_TEST_PROGRAM  the program folder with SEVRIK.exe and dbTPB.orig
//   SEVRIK_TEST_PACKAGE  the package folder
//   SEVRIK_DATABASE      the ODBC connection string of the program folder's dbTPB.mdb
//   SEVRIK_TEST_GEOMETRY_ONLY  set: only the layout, at the display's DPI
//   SEVRIK_TEST_DPI      the DPI the display is set to
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "core/forms/forms.h"
#include "db/connect.h"
#include "platform/win32.h"
#include "tests/skips.h"
#include "tests/twips.h"
#include "tests/windows/formdriver.h"
#include "views/win32/layout.h"

#include <commctrl.h>  // after the Windows headers
#include <tlhelp32.h>

namespace sevrik {
namespace {

using win32::ControlId;
using test::PixelsOf;

const std::string kCar23 = "05010000020220261201000001";
const std::string kCar23b = "05010000020220261203000002";
const std::string kCar25 = "05010000020220261202000003";
const std::string kCar40 = "05010000020220261205000005";
const bool kGeometryOnly = !std::getenv("SEVRIK_TEST_GEOMETRY_ONLY") ? false : true;

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}
const std::string kProgram = Env("SEVRIK_TEST_PROGRAM");
const std::string kPackage = Env("SEVRIK_TEST_PACKAGE");

int ScreenDpi() {
  HDC dc = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
  ::ReleaseDC(nullptr, dc);
  return dpi;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteText(const std::string& path, const std::string& text) {
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  ::CloseHandle(f);
}

std::string ReadText(const std::string& path) {
  std::string text;
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
  if (f == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD n = 0;
  while (::ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
  ::CloseHandle(f);
  return text;
}

// The log folder with two log files, in both cases of their extension, and a file that is no log.
void LayOutLogs() {
  const std::string ipdata = kPackage + "\\ipdata\\";
  WIN32_FIND_DATAA found;
  HANDLE listing = ::FindFirstFileA((ipdata + "*.log").c_str(), &found);
  for (bool more = listing != INVALID_HANDLE_VALUE; more; more = ::FindNextFileA(listing, &found))
    ::DeleteFileA((ipdata + found.cFileName).c_str());
  if (listing != INVALID_HANDLE_VALUE) ::FindClose(listing);
  WriteText(ipdata + "TPBQUE.LOG", "antrian dimulai\r\nCAR 05010000020220261201000001\r\n");
  WriteText(ipdata + "tpbcom.log", "komunikasi selesai\r\n");
  WriteText(ipdata + "catatan.txt", "bukan log\r\n");
}

// Where the form puts a control: its twips, and those of its frame, in pixels at the DPI.
RECT Expected(const forms::Form& table, const forms::Control& c, int dpi) {
  int left = PixelsOf(c.rect.left, dpi), top = PixelsOf(c.rect.top, dpi);
  if (std::string(c.container) != table.name) {
    left += PixelsOf(forms::Find(table, c.container).rect.left, dpi);
    top += PixelsOf(forms::Find(table, c.container).rect.top, dpi);
  }
  return RECT{left, top, left + PixelsOf(c.rect.width, dpi), top + PixelsOf(c.rect.height, dpi)};
}

// What a posted click or key does shows once the program has taken it: the expression is
// asked again until it has the value, for at most 10 s.
#define EXPECT_SOON_EQ(expression, value)                                       \
  do {                                                                          \
    const auto want_ = (value);                                                 \
    test::WaitFor([&] { return (expression) == want_; }, 10000);                \
    EXPECT_EQ(expression, want_);                                               \
  } while (0)

// A control of a form by its name in the form's table.
HWND On(HWND form, const forms::Form& table, const char* name) {
  return test::ControlOf(form, ControlId(table, name));
}

class Win32Windows : public ::testing::Test {
 protected:
  void SetUp() override {
    if (kProgram.empty()) SEVRIK_CANNOT_RUN_HERE("runs only through windows_views.sh, which lays out its workspace");
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (kGeometryOnly && name.find("LaidOut") == std::string::npos) GTEST_SKIP() << "the layout only";
    // Each test starts from the workspace as it was laid out.
    ASSERT_TRUE(::CopyFileA((kProgram + "\\dbTPB.orig").c_str(), (kProgram + "\\dbTPB.mdb").c_str(), FALSE));
    for (const char* f : {"\\ipdata\\TPBQUE.STA", "\\ipdata\\TPBUNQ.STA", "\\ipdata\\TPBCOM.STA", "\\standin.ctl",
                          "\\calls.log"})
      ::DeleteFileA((kPackage + f).c_str());
    ::DeleteFileA((kProgram + "\\SEVRIK.JNL").c_str());
  }

  // SEVRIK.exe started with the command, message boxes as windows.
  std::unique_ptr<test::DrivenProgram> Start(const std::string& command) {
    return std::make_unique<test::DrivenProgram>(kProgram + "\\SEVRIK.exe " + command, kProgram,
                                                 std::vector<std::string>{"SEVRIK_DIALOGS="});
  }
  // "list": the program and its browser window.
  HWND StartBrowser() {
    program = Start("list");
    HWND form = program->Window("EDI Interface for TPB Ver. 2.0.0");
    EXPECT_NE(form, nullptr) << "no browser window";
    return form;
  }
  HWND Kb(const char* name) const { return On(browser, forms::kFrmKb, name); }
  void Settle() const { program->Settle(browser); }

  // Browse of the document type and search field indexes with the text, by a click on cmdGo.
  void Browse(int document, int field, const std::string& text) {
    test::SelectCombo(browser, Kb("cbDok"), document);
    test::SelectCombo(browser, Kb("cbFld"), field);
    test::Type(Kb("txtQ"), text);
    test::Click(Kb("cmdGo"));
    Settle();
  }
  std::vector<std::string> Column(int column) const {
    std::vector<std::string> cells;
    for (int r = 0; r < test::ListRows(Kb("lView1")); ++r) cells.push_back(test::ListCell(Kb("lView1"), r, column));
    return cells;
  }
  void SelectCar(const std::string& car) {
    const std::vector<std::string> cars = Column(0);
    for (size_t r = 0; r < cars.size(); ++r)
      if (cars[r] == car) {
        test::ClickListRow(Kb("lView1"), static_cast<int>(r));
        return;
      }
    FAIL() << car << " is not listed";
  }
  // A box of the program, answered; it must be owned by the browser.
  test::Box Answer(const std::string& title, const std::string& button) {
    std::optional<test::Box> box = test::AnswerBox(program->id(), title, button);
    EXPECT_TRUE(box.has_value()) << "no box " << title;
    if (!box) return {};
    EXPECT_EQ(box->owner, browser) << box->text;
    return *box;
  }
  // A column of the document's header row through ODBC.
  std::string Field(const std::string& table, const std::string& car, const std::string& column) {
    auto db = ConnectDatabase(Env("SEVRIK_DATABASE"));
    auto rs = db->Execute("SELECT " + column + " FROM " + table + " WHERE CAR = ?", {Variant(car)});
    return rs->Eof() ? "(none)" : ToText(rs->Field(column), LocaleInfo::Classic());
  }
  std::string Status(const std::string& table, const std::string& car) { return Field(table, car, "Status"); }
  void Close() {
    ::PostMessageW(browser, WM_CLOSE, 0, 0);
    const std::optional<DWORD> status = program->Ended(20000);
    ASSERT_TRUE(status.has_value()) << "the window did not close";
    EXPECT_EQ(*status, 0u);
  }

  std::unique_ptr<test::DrivenProgram> program;
  HWND browser = nullptr;
};

// The window's middle is the middle of the screen's work area, to the pixel.
void ExpectCentredOnTheWorkArea(HWND window) {
  RECT work{}, rect{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  ::GetWindowRect(window, &rect);
  EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(Win32Windows, TheBrowserIsLaidOutAsTheFormAtTheDisplaysDpi) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  const int dpi = ScreenDpi();
  if (!Env("SEVRIK_TEST_DPI").empty()) {
    EXPECT_EQ(dpi, std::atoi(Env("SEVRIK_TEST_DPI").c_str()));
  }
  const SIZE client = test::ClientSize(browser);
  EXPECT_EQ(client.cx, dpi == 96 ? 679 : PixelsOf(10185, dpi));
  EXPECT_EQ(client.cy, dpi == 96 ? 400 : PixelsOf(6000, dpi));
  EXPECT_TRUE(test::HasStyle(browser, WS_CAPTION | WS_SYSMENU | WS_DLGFRAME));
  EXPECT_FALSE(test::HasStyle(browser, WS_THICKFRAME));
  EXPECT_FALSE(test::HasStyle(browser, WS_MINIMIZEBOX));
  EXPECT_FALSE(test::HasStyle(browser, WS_MAXIMIZEBOX));
  ExpectCentredOnTheWorkArea(browser);

  for (const forms::Control& c : forms::kFrmKb.controls) {
    SCOPED_TRACE(c.name);
    HWND control = Kb(c.name);
    ASSERT_NE(control, nullptr);
    const RECT want = Expected(forms::kFrmKb, c, dpi);
    const RECT got = test::RectIn(browser, control);
    if (c.kind == forms::ControlKind::Combo) {
      // A closed drop-down list, centred where the table draws it (as wide as its entries need:
      // EveryControlIsLaidOutInOneFaceWithItsTextWhole).
      EXPECT_NEAR(got.top + got.bottom, want.top + want.bottom, 1);
      EXPECT_LE(got.bottom - got.top, want.bottom - want.top);
    } else {
      EXPECT_EQ(got.top, want.top);
      EXPECT_EQ(got.bottom, want.bottom);
    }
    if (c.kind != forms::ControlKind::Combo && c.kind != forms::ControlKind::Edit &&
        c.kind != forms::ControlKind::Button) {
      EXPECT_EQ(got.left, want.left);
      EXPECT_EQ(got.right, want.right);
    }
    if (c.kind != forms::ControlKind::Combo && c.kind != forms::ControlKind::Edit &&
        c.kind != forms::ControlKind::ListView) {
      EXPECT_EQ(test::TextOf(control), c.caption);
    }
  }
  EXPECT_EQ(test::TextOf(browser), "EDI Interface for TPB Ver. 2.0.0");
  EXPECT_EQ(test::ComboEntries(Kb("cbDok")), (std::vector<std::string>{"BC 2.3", "BC 2.5", "BC 4.0"}));
  EXPECT_EQ(test::ComboEntries(Kb("cbFld")), (std::vector<std::string>{"CAR", "Nama Pemasok"}));
  EXPECT_EQ(test::ComboSelected(Kb("cbDok")), 0);
  EXPECT_EQ(test::ComboSelected(Kb("cbFld")), 0);
  EXPECT_TRUE(test::HasStyle(Kb("cbDok"), CBS_DROPDOWNLIST));
  EXPECT_TRUE(test::HasStyle(Kb("lView1"), LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL));
  const struct {
    const char* header;
    int twips;
  } columns[] = {{"No. Pengajuan", 2440}, {"Tg. Aju", 1040}, {"KPBC", 740},     {"Pemasok", 3440}, {"Bruto", 1440},
                 {"Netto", 1440},         {"Jm. Cont", 740}, {"Jm. Brg.", 740}, {"Status", 1440}};
  ASSERT_EQ(test::ListColumns(Kb("lView1")), 9);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(test::ListHeader(Kb("lView1"), i), columns[i].header);
    const int design = PixelsOf(columns[i].twips, dpi);
    EXPECT_GE(test::ListColumnWidth(Kb("lView1"), i), design) << i;  // or its header's, or its cells'
    if (i == 3) {
      EXPECT_EQ(test::ListColumnWidth(Kb("lView1"), i), design);
    }
  }
  EXPECT_EQ(test::ListRows(Kb("lView1")), 0);  // nothing is read before the first Browse

  // The tab order of the form, as the dialog manager walks it, forwards and back.
  const char* order[] = {"cbDok", "cbFld", "txtQ", "cmdGo", "lView1", "cmdClose", "cmdFlat", "cmdBatal", "cmdConnect"};
  for (size_t i = 0; i < std::size(order); ++i) {
    const char* next = order[(i + 1) % std::size(order)];
    EXPECT_EQ(::GetNextDlgTabItem(browser, Kb(order[i]), FALSE), Kb(next)) << order[i];
    EXPECT_EQ(::GetNextDlgTabItem(browser, Kb(next), TRUE), Kb(order[i])) << next;
  }
  EXPECT_EQ(test::FocusOf(browser), Kb("cbDok"));  // the first in the tab order has the focus
  Close();
}

TEST_F(Win32Windows, TheLogViewerIsLaidOutAsTheForm) {
  program = Start("log");
  HWND viewer = program->Window("View Log");
  ASSERT_NE(viewer, nullptr);
  const int dpi = ScreenDpi();
  EXPECT_EQ(test::ClientSize(viewer).cx, PixelsOf(9150, dpi));
  EXPECT_EQ(test::ClientSize(viewer).cy, PixelsOf(5640, dpi));
  EXPECT_FALSE(test::HasStyle(viewer, WS_MINIMIZEBOX));
  EXPECT_FALSE(test::HasStyle(viewer, WS_MAXIMIZEBOX));
  EXPECT_FALSE(test::HasStyle(viewer, WS_THICKFRAME));
  for (const forms::Control& c : forms::kFrmViewLog.controls) {
    SCOPED_TRACE(c.name);
    const RECT want = Expected(forms::kFrmViewLog, c, dpi);
    const RECT got = test::RectIn(viewer, On(viewer, forms::kFrmViewLog, c.name));
    EXPECT_EQ(got.left, want.left);
    EXPECT_EQ(got.top, want.top);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.bottom, want.bottom);
  }
  HWND text = On(viewer, forms::kFrmViewLog, "txtMsg");
  EXPECT_TRUE(test::HasStyle(text, ES_MULTILINE | WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(::GetNextDlgTabItem(viewer, On(viewer, forms::kFrmViewLog, "File1"), FALSE), text);
  EXPECT_EQ(::GetNextDlgTabItem(viewer, text, FALSE), On(viewer, forms::kFrmViewLog, "cmdClose"));
  test::Click(On(viewer, forms::kFrmViewLog, "cmdClose"));
  ASSERT_TRUE(program->Ended(20000).has_value());
}

// Both forms in one face with every text whole, at the display's DPI: every control draws with
// the form's one font (the log's text with its fixed-pitch one), as high as the form's font at
// the DPI; each drop-down entry fits its closed field, which is as high as the font needs (the
// entry centred); each button's caption leaves the room of its focus rectangle; each header
// fits its column; the controls of a row keep their order, apart, inside their container.
TEST_F(Win32Windows, EveryControlIsLaidOutInOneFaceWithItsTextWhole) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  std::unique_ptr<test::DrivenProgram> log = Start("log");
  HWND viewer = log->Window("View Log");
  ASSERT_NE(viewer, nullptr);
  const int dpi = ScreenDpi();
  // The form's font at the DPI, as the test measures it.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  LOGFONTW face = metrics.lfMessageFont;
  face.lfHeight = -::MulDiv(8, dpi, 72);
  face.lfWeight = FW_NORMAL;
  HDC dc = ::GetDC(nullptr);
  HFONT made = ::CreateFontIndirectW(&face);
  HGDIOBJ before = ::SelectObject(dc, made);
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  ::SelectObject(dc, before);
  ::DeleteObject(made);
  ::ReleaseDC(nullptr, dc);

  HWND list = Kb("lView1");
  const struct {
    const forms::Form& form;
    HWND window;
  } views[] = {{forms::kFrmKb, browser}, {forms::kFrmViewLog, viewer}};
  for (const auto& v : views) {
    SCOPED_TRACE(v.form.name);
    const uintptr_t font = test::FontOf(On(v.window, v.form, "cmdClose"));
    for (const forms::Control& c : v.form.controls) {
      SCOPED_TRACE(c.name);
      HWND control = On(v.window, v.form, c.name);
      if (c.kind != forms::ControlKind::TextBox) {
        EXPECT_EQ(test::FontOf(control), font);
      }
      const RECT r = test::RectIn(v.window, control);
      if (c.kind == forms::ControlKind::Combo) {
        const RECT field = test::ComboField(control);
        // The field's edge above and below it, the font's height and the padding.
        EXPECT_LE(field.bottom - field.top, tm.tmHeight + PixelsOf(30, dpi) + 2);
        EXPECT_GE(field.bottom - field.top, tm.tmHeight);
        const std::vector<std::string> entries = test::ComboEntries(control);
        EXPECT_FALSE(entries.empty());
        for (const std::string& entry : entries)
          EXPECT_LE(test::ListTextWidth(list, entry), field.right - field.left) << entry;
      }
      if (c.kind == forms::ControlKind::Button) {
        // The caption as shown, without its access-key mark; 90 twips (6 pixels at 96 DPI) each side.
        std::string caption = test::TextOf(control);
        caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
        EXPECT_LE(test::ListTextWidth(list, caption) + 2 * PixelsOf(90, dpi), r.right - r.left);
      }
      // The next control of its row is to its right, and the row ends where the table's does.
      int row_right = Expected(v.form, c, dpi).right;
      for (const forms::Control& o : v.form.controls) {
        if (&o == &c || std::string(o.container) != c.container || c.kind == forms::ControlKind::Frame ||
            o.kind == forms::ControlKind::Frame || o.rect.top >= c.rect.top + c.rect.height ||
            c.rect.top >= o.rect.top + o.rect.height)
          continue;
        row_right = std::max(row_right, static_cast<int>(Expected(v.form, o, dpi).right));
        if (o.rect.left > c.rect.left && c.kind != forms::ControlKind::Label) {  // a label reaches under its field
          EXPECT_LE(r.right, test::RectIn(v.window, On(v.window, v.form, o.name)).left) << o.name;
        }
      }
      EXPECT_LE(r.right, row_right);
    }
  }
  // The list's font is the form's (ListTextWidth measures in it) at the form's height.
  EXPECT_EQ(test::ListTextWidth(list, "Nama Pemasok"), [&] {
    HDC screen = ::GetDC(nullptr);
    HFONT f = ::CreateFontIndirectW(&face);
    HGDIOBJ old = ::SelectObject(screen, f);
    SIZE size{};
    ::GetTextExtentPoint32W(screen, L"Nama Pemasok", 12, &size);
    ::SelectObject(screen, old);
    ::DeleteObject(f);
    ::ReleaseDC(nullptr, screen);
    return static_cast<int>(size.cx);
  }());
  EXPECT_EQ(test::ListColumns(list), 9);
  for (int i = 0; i < test::ListColumns(list); ++i)
    EXPECT_GE(test::ListColumnWidth(list, i), test::ListTextWidth(list, test::ListHeader(list, i)) +
                                                  PixelsOf(180, dpi))  // 12 pixels at 96 DPI
        << test::ListHeader(list, i);
  ::PostMessageW(viewer, WM_CLOSE, 0, 0);
  EXPECT_TRUE(log->Ended(20000).has_value());
  Close();
}

// Each document type by CAR and by name: the rows, their cells, the frame's caption, the total.
TEST_F(Win32Windows, BrowsesEachDocumentTypeByCarAndByName) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  const struct {
    int document, field;
    const char* text;
    std::vector<std::string> cars;
    const char* frame;
    const char* partner;  // the first row's partner cell
  } cases[] = {
      {0, 0, "1201", {kCar23}, "Browse Data --> BC 2.3", "GUANGZHOU TEXTILE MACHINERY CO., LTD."},
      {0, 1, "OSAKA", {kCar23b}, "Browse Data --> BC 2.3", "OSAKA PRECISION PARTS K.K."},
      {0, 0, "", {kCar23, kCar23b}, "Browse Data --> BC 2.3", "GUANGZHOU TEXTILE MACHINERY CO., LTD."},
      {1, 0, "1202", {kCar25}, "Browse Data --> BC 2.5", "PT. GARMEN LOKAL SEJAHTERA"},
      {1, 1, "MITRA", {"05010000020220261204000004"}, "Browse Data --> BC 2.5", "CV. MITRA RETAIL INDONESIA"},
      {2, 0, "", {kCar40}, "Browse Data --> BC 4.0", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.frame) + " " + c.text);
    Browse(c.document, c.field, c.text);
    EXPECT_EQ(Column(0), c.cars);
    EXPECT_EQ(test::TextOf(Kb("Frame1")), c.frame);
    EXPECT_EQ(test::TextOf(Kb("txtTot")), std::to_string(c.cars.size()));
    if (c.partner) {
      EXPECT_EQ(test::ListCell(Kb("lView1"), 0, 3), c.partner);
    }
    EXPECT_EQ(test::ListSelected(Kb("lView1")), -1);  // a plain search selects nothing
  }
  Browse(0, 0, "1201");
  EXPECT_EQ(test::ListCell(Kb("lView1"), 0, 1), "01-12-2026");
  EXPECT_EQ(test::ListCell(Kb("lView1"), 0, 8), "Siap dikirim");
  Close();
}

// Nothing found: the box (owned by the browser), the list emptied, the total of the search
// before kept.
TEST_F(Win32Windows, AnEmptyResultTellsItAndKeepsTheTotal) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  ASSERT_EQ(test::ListRows(Kb("lView1")), 2);
  test::SelectCombo(browser, Kb("cbDok"), 0);
  test::Type(Kb("txtQ"), "TIDAK ADA");
  test::Click(Kb("cmdGo"));
  const test::Box box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "Data yang dicari tidak ditemukan.");
  EXPECT_EQ(box.buttons, "ok ");
  Settle();
  EXPECT_EQ(test::ListRows(Kb("lView1")), 0);
  EXPECT_EQ(test::TextOf(Kb("txtTot")), "2");
  Close();
}

// The keyboard as a clerk uses it: Tab through the search row, Enter in the search text runs
// Browse, Tab into the list selects a row, the arrows and Home and End move the selection,
// Enter presses a focused button, Escape closes nothing.
TEST_F(Win32Windows, TheKeyboardDrivesTheBrowser) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  HWND list = Kb("lView1");
  const auto press = [&](WORD key, bool shift = false) {
    test::PressKey(browser, key, shift);
    Settle();
  };
  EXPECT_EQ(test::FocusOf(browser), Kb("cbDok"));
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("cbFld"));
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("txtQ"));
  press(VK_TAB, true);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("cbFld"));  // Shift+Tab goes back
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("txtQ"));
  test::Type(Kb("txtQ"), "");
  press(VK_RETURN);  // Enter in the search text: Browse
  EXPECT_SOON_EQ(test::ListRows(list), 2);
  EXPECT_EQ(test::ListSelected(list), -1);
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("cmdGo"));
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), list);
  EXPECT_SOON_EQ(test::ListSelected(list), 0);  // the focused row is the selected row
  press(VK_DOWN);
  EXPECT_SOON_EQ(test::ListSelected(list), 1);
  press(VK_HOME);
  EXPECT_SOON_EQ(test::ListSelected(list), 0);
  press(VK_END);
  EXPECT_SOON_EQ(test::ListSelected(list), 1);
  press(VK_PRIOR);
  EXPECT_SOON_EQ(test::ListSelected(list), 0);
  press(VK_NEXT);
  EXPECT_SOON_EQ(test::ListSelected(list), 1);

  // A search of one row: Tab into the list selects it.
  press(VK_TAB, true);
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("cmdGo"));
  test::Type(Kb("txtQ"), "1201");
  press(VK_RETURN);  // Enter on the focused Browse button presses it
  EXPECT_SOON_EQ(test::ListRows(list), 1);
  EXPECT_EQ(test::ListSelected(list), -1);
  press(VK_TAB);
  EXPECT_SOON_EQ(test::FocusOf(browser), list);
  EXPECT_SOON_EQ(test::ListSelected(list), 0);

  // The access keys: Alt+K presses Komunikasi (whose run shows its command line) and gives it
  // the focus; Tab goes on from there to the first control.
  test::PressAltKey(browser, 'k');
  EXPECT_NE(Answer("SEVRIK", "ok").text.find("TPBCOM"), std::string::npos);
  Settle();
  EXPECT_SOON_EQ(test::FocusOf(browser), Kb("cmdConnect"));

  // Escape in the search text closes nothing.
  for (const char* next : {"cbDok", "cbFld", "txtQ"}) {
    press(VK_TAB);
    EXPECT_SOON_EQ(test::FocusOf(browser), Kb(next));
  }
  press(VK_ESCAPE);
  EXPECT_FALSE(program->Ended(300).has_value());
  EXPECT_TRUE(::IsWindowVisible(browser));

  // Enter on the focused Close button closes the window, and the program ends.
  for (const char* next : {"cmdGo", "lView1", "cmdClose"}) {
    press(VK_TAB);
    EXPECT_SOON_EQ(test::FocusOf(browser), Kb(next));
  }
  test::PressKey(browser, VK_RETURN);
  const std::optional<DWORD> status = program->Ended(20000);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0u);
}

// Create and Batal EDIFACT of a BC 2.3 document: No runs nothing; Yes runs the translator, tells
// the outcome, browses again with the document still selected and in view, and its row's tool
// tip tells the run.
TEST_F(Win32Windows, CreateAndCancelAskTellAndKeepTheDocumentSelected) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  SelectCar(kCar23b);
  test::Click(Kb("cmdFlat"));
  test::Box box = Answer("Perhatian", "no");
  EXPECT_EQ(box.text, "Akan membentuk EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar23b);
  EXPECT_EQ(box.buttons, "yes no ");
  Settle();
  EXPECT_FALSE(test::BoxShown(program->id()));
  EXPECT_FALSE(Exists(kPackage + "\\ipdata\\BC23.FLT"));
  EXPECT_FALSE(Exists(kPackage + "\\calls.log"));
  EXPECT_EQ(Status("TBLBC23HDR", kCar23b), "01");

  SelectCar(kCar23);
  test::Click(Kb("cmdFlat"));
  Answer("Perhatian", "yes");
  box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "CAR = " + kCar23 + " berhasil!");
  Settle();
  EXPECT_EQ(Status("TBLBC23HDR", kCar23), "02");
  const int row = test::ListSelected(Kb("lView1"));
  ASSERT_GE(row, 0);
  EXPECT_EQ(test::ListCell(Kb("lView1"), row, 0), kCar23);  // the same document stays selected
  EXPECT_EQ(test::ListCell(Kb("lView1"), row, 8), "Dalam antrian");
  EXPECT_EQ(test::ListFocused(Kb("lView1")), row);
  EXPECT_GE(row, test::ListTopRow(Kb("lView1")));  // and in view
  EXPECT_LT(row, test::ListTopRow(Kb("lView1")) + test::ListVisibleRows(Kb("lView1")));

  test::Click(Kb("cmdBatal"));
  box = Answer("Perhatian", "no");
  EXPECT_EQ(box.text, "Akan membatalkan EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar23);
  Settle();
  EXPECT_FALSE(test::BoxShown(program->id()));
  EXPECT_FALSE(Exists(kPackage + "\\ipdata\\TPBUNQ.STA"));
  EXPECT_EQ(Status("TBLBC23HDR", kCar23), "02");

  test::Click(Kb("cmdBatal"));
  box = Answer("Perhatian", "yes");
  EXPECT_EQ(box.text, "Akan membatalkan EDIFACT dokumen BC23 ini ?\r\nCAR = " + kCar23);
  box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "CAR = " + kCar23 + " berhasil!");
  Settle();
  EXPECT_EQ(Status("TBLBC23HDR", kCar23), "01");
  EXPECT_EQ(test::ListCell(Kb("lView1"), test::ListSelected(Kb("lView1")), 0), kCar23);
  Close();
}

// A translator that fails: the outcome box with its reason; the status stays.
// Periksa dokumen by the keyboard: Shift+F10 (and the menu key) opens the row's menu, Down and
// Enter take its item, frmCheck shows the report and Escape closes it; F4 at once, and Tutup.
TEST_F(Win32Windows, TheCheckFromTheRowsMenuAndF4) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  HWND list = Kb("lView1");
  SelectCar(kCar23);
  for (int i = 0; i < 12 && test::FocusOf(browser) != list; ++i) {
    test::PressKey(browser, VK_TAB);
    Settle();
  }
  ASSERT_EQ(test::FocusOf(browser), list);
  EXPECT_EQ(test::ListSelected(list), 0);
  const auto press = [&](HWND form, WORD key, bool shift = false) {
    test::PressKey(form, key, shift);
    program->Settle(form);
  };
  const std::string clean = "Pemeriksaan dokumen BC23 CAR = " + kCar23 + "\r\nTidak ada masalah.\r\nDokumen dapat dikirim.\r\n";
  for (const WORD key : {WORD(VK_F10), WORD(VK_APPS)}) {
    SCOPED_TRACE(key);
    test::PressKey(browser, key, key == VK_F10);
    ASSERT_TRUE(test::WaitFor([&] { return test::PopupMenuOf(program->id()) != nullptr; })) << "no menu";
    test::PressKey(browser, VK_DOWN);
    test::PressKey(browser, VK_RETURN);
    HWND check = program->Window("Periksa dokumen BC23");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(test::TextOf(On(check, forms::kFrmCheck, "txtCheck")), clean);
    EXPECT_TRUE(test::HasStyle(On(check, forms::kFrmCheck, "txtCheck"), ES_READONLY));
    EXPECT_FALSE(::IsWindowEnabled(browser));
    press(check, VK_ESCAPE);
    EXPECT_SOON_EQ(::IsWindow(check) != FALSE, false);
    EXPECT_TRUE(::IsWindowEnabled(browser));
  }
  // A right-click on the second row selects it and opens the menu; Escape closes it.
  test::RightClickListRow(browser, list, 1);
  ASSERT_TRUE(test::WaitFor([&] { return test::PopupMenuOf(program->id()) != nullptr; })) << "no menu";
  EXPECT_EQ(test::ListSelected(list), 1);
  test::PressKey(browser, VK_ESCAPE);
  ASSERT_TRUE(test::WaitFor([&] { return test::PopupMenuOf(program->id()) == nullptr; }));
  test::ClickListRow(list, 0);
  Settle();
  press(browser, VK_F4);
  HWND check = program->Window("Periksa dokumen BC23");
  ASSERT_NE(check, nullptr);
  EXPECT_EQ(test::TextOf(On(check, forms::kFrmCheck, "txtCheck")), clean);
  test::Click(On(check, forms::kFrmCheck, "cmdTutup"));
  EXPECT_SOON_EQ(::IsWindow(check) != FALSE, false);
  EXPECT_FALSE(test::BoxShown(program->id()));
  EXPECT_EQ(Status("TBLBC23HDR", kCar23), "01");
  Close();
}

// Riwayat dokumen and Hanya yang gagal by the keyboard: Shift+F10, Down twice and Enter open
// frmHistory with the document's runs, newest first (Down walks them, Escape closes it); F3 at
// once, and Tutup; the menu key and the menu's last item list the documents whose last run
// failed, and Browse returns to the search.
TEST_F(Win32Windows, TheHistoryAndTheFailedListByTheKeyboard) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  HWND list = Kb("lView1");
  const auto create = [&](const std::string& car, bool fail) {
    if (fail) WriteText(kPackage + "\\standin.ctl", "result=7\r\n");
    SelectCar(car);
    test::Click(Kb("cmdFlat"));
    Answer("Perhatian", "yes");
    Answer("Perhatian", "ok");
    Settle();
    ::DeleteFileA((kPackage + "\\standin.ctl").c_str());
  };
  create(kCar23, true);
  create(kCar23, false);
  create(kCar23b, true);
  const auto focus_list = [&] {
    for (int i = 0; i < 12 && test::FocusOf(browser) != list; ++i) {
      test::PressKey(browser, VK_TAB);
      Settle();
    }
    ASSERT_EQ(test::FocusOf(browser), list);
  };
  const auto menu_item = [&](WORD key, int downs) {
    test::PressKey(browser, key, key == VK_F10);
    ASSERT_TRUE(test::WaitFor([&] { return test::PopupMenuOf(program->id()) != nullptr; })) << "no menu";
    for (int i = 0; i < downs; ++i) test::PressKey(browser, VK_DOWN);
    test::PressKey(browser, VK_RETURN);
  };
  const auto press = [&](HWND form, WORD key) {
    test::PressKey(form, key);
    program->Settle(form);
  };
  SelectCar(kCar23);
  focus_list();
  menu_item(VK_F10, 2);
  HWND history = program->Window("Riwayat dokumen BC23");
  ASSERT_NE(history, nullptr);
  HWND runs = On(history, forms::kFrmHistory, "lvRiwayat");
  EXPECT_EQ(test::TextOf(On(history, forms::kFrmHistory, "lblRiwayat")),
            "CAR = " + kCar23 + ": 2 proses, terbaru di atas");
  ASSERT_EQ(test::ListRows(runs), 2);
  EXPECT_EQ(test::ListCell(runs, 0, 1), "Create EDIFACT dari jendela");
  EXPECT_EQ(test::ListCell(runs, 0, 2), "Berhasil");
  EXPECT_FALSE(test::ListCell(runs, 0, 3).empty());
  EXPECT_EQ(test::ListCell(runs, 1, 2).rfind("Gagal (", 0), 0u) << test::ListCell(runs, 1, 2);
  EXPECT_EQ(test::ListSelected(runs), 0);
  EXPECT_EQ(test::FocusOf(history), runs);
  EXPECT_FALSE(::IsWindowEnabled(browser));
  press(history, VK_DOWN);
  EXPECT_SOON_EQ(test::ListSelected(runs), 1);
  press(history, VK_ESCAPE);
  EXPECT_SOON_EQ(::IsWindow(history) != FALSE, false);
  EXPECT_TRUE(::IsWindowEnabled(browser));

  SelectCar(kCar23b);
  Settle();
  press(browser, VK_F3);
  history = program->Window("Riwayat dokumen BC23");
  ASSERT_NE(history, nullptr);
  EXPECT_EQ(test::ListRows(On(history, forms::kFrmHistory, "lvRiwayat")), 1);
  test::Click(On(history, forms::kFrmHistory, "cmdTutup"));
  EXPECT_SOON_EQ(::IsWindow(history) != FALSE, false);

  focus_list();
  menu_item(VK_APPS, 3);
  Settle();
  EXPECT_SOON_EQ(test::TextOf(Kb("Frame1")), std::string("Browse Data --> BC 2.3, hanya yang gagal"));
  EXPECT_SOON_EQ(Column(0), std::vector<std::string>{kCar23b});
  test::Click(Kb("cmdGo"));
  Settle();
  EXPECT_SOON_EQ(test::TextOf(Kb("Frame1")), std::string("Browse Data --> BC 2.3"));
  EXPECT_EQ(Column(0).size(), 2u);
  EXPECT_FALSE(test::BoxShown(program->id()));
  Close();
}

// A click on a header or Ctrl+<column> sorts, the second time the other way; the selected
// document stays selected.
TEST_F(Win32Windows, SortingKeepsTheSelectedDocument) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  HWND list = Kb("lView1");
  SelectCar(kCar23);
  const std::vector<std::string> ascending = Column(0);
  ASSERT_EQ(ascending.size(), 2u);
  test::ClickListHeader(list, 4);  // Bruto: 830 before 12,501
  Settle();
  EXPECT_SOON_EQ(Column(0), (std::vector<std::string>{kCar23b, kCar23}));
  EXPECT_EQ(test::ListSelected(list), 1);
  test::ClickListHeader(list, 4);
  Settle();
  EXPECT_SOON_EQ(Column(0), (std::vector<std::string>{kCar23, kCar23b}));
  EXPECT_EQ(test::ListSelected(list), 0);
  test::PressCtrlKey(browser, '1');  // No. Pengajuan
  Settle();
  EXPECT_SOON_EQ(Column(0), (std::vector<std::string>{kCar23, kCar23b}));
  test::PressCtrlKey(browser, '1');
  Settle();
  EXPECT_SOON_EQ(Column(0), (std::vector<std::string>{kCar23b, kCar23}));
  EXPECT_EQ(test::ListSelected(list), 1);
  EXPECT_EQ(test::ListCell(list, 1, 0), kCar23);
  Close();
}

TEST_F(Win32Windows, AFailureTellsItsReason) {
  WriteText(kPackage + "\\standin.ctl", "result=7\r\n");
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "1201");
  test::ClickListRow(Kb("lView1"), 0);
  test::Click(Kb("cmdFlat"));
  Answer("Perhatian", "yes");
  const test::Box box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text.rfind("CAR = " + kCar23 + " gagal!\r\n", 0), 0u) << box.text;
  Settle();
  EXPECT_EQ(Status("TBLBC23HDR", kCar23), "01");
  EXPECT_EQ(test::ListSelected(Kb("lView1")), 0);
  Close();
}

// BC 2.5 writes its flat file and runs no translator; BC 4.0 has no builder; Komunikasi runs the
// communication profile and leaves the list as it was.
TEST_F(Win32Windows, TheOtherDocumentTypesAndKomunikasi) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(1, 0, "1202");
  test::ClickListRow(Kb("lView1"), 0);
  test::Click(Kb("cmdFlat"));
  test::Box box = Answer("Perhatian", "yes");
  EXPECT_EQ(box.text, "Akan membentuk EDIFACT dokumen BC25 ini ?\r\nCAR = " + kCar25);
  box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "CAR = " + kCar25 + " berhasil!");
  EXPECT_TRUE(Exists(kPackage + "\\ipdata\\BC25.FLT"));
  EXPECT_FALSE(Exists(kPackage + "\\calls.log"));

  Browse(2, 0, "");
  test::ClickListRow(Kb("lView1"), 0);
  test::Click(Kb("cmdFlat"));
  box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "Dokumen BC40 tidak dapat dibentuk EDIFACT.");

  Browse(0, 0, "");
  test::ClickListRow(Kb("lView1"), 1);
  test::Click(Kb("cmdConnect"));
  box = Answer("SEVRIK", "ok");  // the communication run shows its command line
  EXPECT_EQ(box.text, "Ranuvel \"" + kPackage + "\\TPBCOM.ext\" \"Leased Line\"");
  Settle();
  EXPECT_NE(ReadText(kPackage + "\\calls.log").find("TPBCOM"), std::string::npos);
  EXPECT_FALSE(test::BoxShown(program->id()));
  EXPECT_EQ(test::ListRows(Kb("lView1")), 2);
  EXPECT_EQ(test::ListSelected(Kb("lView1")), 1);
  Close();
}

// The progress window of a 5,000-item create: above the browser, centred, its bar moving to the
// document's item count, gone before the outcome.
TEST_F(Win32Windows, TheProgressWindowStaysAboveTheBrowserDuringALongCreate) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 1, "OSAKA");
  test::ClickListRow(Kb("lView1"), 0);
  test::Click(Kb("cmdFlat"));
  Answer("Perhatian", "yes");
  HWND progress = program->Window("frmProgress", "SevrikForm");
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(::GetWindow(progress, GW_OWNER), browser);  // an owned window stays above its owner
  const int dpi = ScreenDpi();
  EXPECT_EQ(test::ClientSize(progress).cx, PixelsOf(6960, dpi));
  EXPECT_EQ(test::ClientSize(progress).cy, PixelsOf(870, dpi));
  EXPECT_FALSE(test::HasStyle(progress, WS_CAPTION));
  ExpectCentredOnTheWorkArea(progress);
  HWND bar = On(progress, forms::kFrmProgress, "ProgressBar1");
  EXPECT_EQ(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 5000);
  // The bar is seen on its way. (It is drawn on whole percents at most every 50 ms, and the
  // window answers between drawings only: a fast build may show no value between 0 and the end.)
  EXPECT_TRUE(test::WaitFor([&] { return ::SendMessageW(bar, PBM_GETPOS, 0, 0) > 0; }));
  const test::Box box = Answer("Perhatian", "ok");
  EXPECT_EQ(box.text, "CAR = " + kCar23b + " berhasil!");
  EXPECT_FALSE(::IsWindowVisible(progress));
  EXPECT_EQ(::SendMessageW(bar, PBM_GETPOS, 0, 0), 5000);
  Close();
}

// "QUE BC23" from the command line shows frmProgress, centred, while it builds, and ends.
TEST_F(Win32Windows, TheCommandLineCreateShowsTheProgressWindow) {
  program = Start("QUE BC23 " + kCar23b);
  HWND progress = program->Window("frmProgress", "SevrikForm", 20000, false);
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(::GetWindow(progress, GW_OWNER), nullptr);
  ExpectCentredOnTheWorkArea(progress);
  // The window is found as soon as it exists: its range is set right after.
  EXPECT_SOON_EQ(::SendMessageW(On(progress, forms::kFrmProgress, "ProgressBar1"), PBM_GETRANGE, FALSE, 0), 5000);
  const std::optional<DWORD> status = program->Ended(120000);
  ASSERT_TRUE(status.has_value());
  EXPECT_EQ(*status, 0u);
  EXPECT_EQ(Status("TBLBC23HDR", kCar23b), "02");
}

// The CAR, the date and the status are never cut: each column is at least as wide as its widest
// cell; the other cells show whole in the row's tool tip, which the list asks its window for.
TEST_F(Win32Windows, NoCarDateOrStatusIsCut) {
  browser = StartBrowser();
  ASSERT_NE(browser, nullptr);
  Browse(0, 0, "");
  HWND list = Kb("lView1");
  for (int column : {0, 1, 8})
    for (int row = 0; row < test::ListRows(list); ++row) {
      const int needed = test::ListTextWidth(list, test::ListCell(list, row, column));
      EXPECT_GE(test::ListColumnWidth(list, column), needed + 12) << column << " " << row;
    }
  EXPECT_TRUE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_INFOTIP);
  Close();
}

// From its first start the log viewer has the keyboard, without a click: the list of names has
// the focus with the first name selected and shown, and the first Down shows the next file.
TEST_F(Win32Windows, TheLogViewerHasTheKeyboardFromItsStart) {
  LayOutLogs();
  program = Start("log");
  HWND viewer = program->Window("View Log");
  ASSERT_NE(viewer, nullptr);
  HWND files = On(viewer, forms::kFrmViewLog, "File1");
  HWND text = On(viewer, forms::kFrmViewLog, "txtMsg");
  ASSERT_EQ(test::ListBoxEntries(files), (std::vector<std::string>{"tpbcom.log", "TPBQUE.LOG"}));
  EXPECT_EQ(test::FocusOf(viewer), files);
  EXPECT_SOON_EQ(test::ListBoxSelected(files), 0);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("komunikasi selesai\r\n"));
  // Activated again (as a window manager does once it maps the window), it keeps the focus there.
  ::PostMessageW(viewer, WM_ACTIVATE, WA_ACTIVE, 0);
  program->Settle(viewer);
  EXPECT_EQ(test::FocusOf(viewer), files);
  test::PressKey(viewer, VK_DOWN);
  program->Settle(viewer);
  EXPECT_SOON_EQ(test::ListBoxSelected(files), 1);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("antrian dimulai\r\nCAR 05010000020220261201000001\r\n"));
  ::PostMessageW(viewer, WM_CLOSE, 0, 0);
  ASSERT_TRUE(program->Ended(20000).has_value());
}

// The log viewer lists ".log" and ".LOG" files and shows the selected one, by click and by
// keyboard, each replacing the text before.
TEST_F(Win32Windows, TheLogViewerShowsTheSelectedFileByClickAndByKeyboard) {
  LayOutLogs();
  program = Start("log");
  HWND viewer = program->Window("View Log");
  ASSERT_NE(viewer, nullptr);
  HWND files = On(viewer, forms::kFrmViewLog, "File1");
  HWND text = On(viewer, forms::kFrmViewLog, "txtMsg");
  const std::vector<std::string> names = test::ListBoxEntries(files);
  EXPECT_EQ(names, (std::vector<std::string>{"tpbcom.log", "TPBQUE.LOG"}));
  test::ClickListBox(viewer, files, 1);
  program->Settle(viewer);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("antrian dimulai\r\nCAR 05010000020220261201000001\r\n"));
  test::ClickListBox(viewer, files, 0);
  program->Settle(viewer);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("komunikasi selesai\r\n"));
  // A click on the name already selected shows the file as it is now (the list box tells a
  // mouse click as a change of selection even when the selection stays).
  WriteText(kPackage + "\\ipdata\\tpbcom.log", "komunikasi selesai\r\nlagi\r\n");
  test::MouseClickListBox(files, 0);
  program->Settle(viewer);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("komunikasi selesai\r\nlagi\r\n"));
  // By keyboard: the list has the focus; Up selects and shows the first file.
  EXPECT_EQ(test::FocusOf(viewer), files);
  test::PressKey(viewer, VK_DOWN);
  program->Settle(viewer);
  EXPECT_SOON_EQ(test::ListBoxSelected(files), 1);
  EXPECT_SOON_EQ(test::TextOf(text), std::string("antrian dimulai\r\nCAR 05010000020220261201000001\r\n"));
  test::PressKey(viewer, VK_ESCAPE);
  EXPECT_FALSE(program->Ended(300).has_value());
  ::PostMessageW(viewer, WM_CLOSE, 0, 0);  // the close box
  ASSERT_TRUE(program->Ended(20000).has_value());
}

// SEVRIK.exe killed while its translator runs: the next start waits for that translator, stores
// the reference it handed out for its own document, and ends by itself (a wait it announces is
// no box that nobody would see).
TEST_F(Win32Windows, AKilledCreateIsCompletedByTheNextStart) {
  WriteText(kPackage + "\\standin.ctl", "sleep=3000\r\n");
  program = Start("QUE BC23 " + kCar23b);
  ASSERT_TRUE(test::WaitFor([&] { return ReadText(kPackage + "\\calls.log").find("TPBQUE") != std::string::npos; },
                            60000))
      << "the translator was not started";
  program->Kill();
  EXPECT_EQ(Status("TBLBC23HDR", kCar23b), "01");
  program = Start("COM");
  // Communication shows its command line first, once it has the run; then it ends by itself.
  const std::optional<test::Box> box = test::AnswerBox(program->id(), "SEVRIK", "ok", 60000);
  ASSERT_TRUE(box.has_value()) << "the next start never got to its communication run";
  EXPECT_NE(box->text.find("TPBCOM"), std::string::npos) << box->text;
  const std::optional<DWORD> status = program->Ended(60000);
  ASSERT_TRUE(status.has_value()) << "the next start did not end";
  EXPECT_EQ(*status, 0u);
  // The killed run's translator queued the document once; its reference is the document's,
  // and communication sent it.
  const std::string calls = ReadText(kPackage + "\\calls.log");
  EXPECT_NE(calls.find("TPBQUE"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("TPBQUE"), calls.rfind("TPBQUE")) << calls;
  EXPECT_EQ(Status("TBLBC23HDR", kCar23b), "02");
  const std::string reference = Field("TBLBC23HDR", kCar23b, "snrf");
  ASSERT_FALSE(reference.empty());
  EXPECT_NE(::GetFileAttributesA((kPackage + "\\outbox\\" + reference + ".flt").c_str()), INVALID_FILE_ATTRIBUTES)
      << reference;
}

// The shim's route (no ranuvel.exe in the package folder; ZUL.exe finds it beside itself):
// SEVRIK.exe and ZUL.exe killed together while the translator runs. The translator stays in the
// run's job, whose name outlives both, so the next start waits for it and stores its reference.
TEST_F(Win32Windows, AKilledCreateThroughTheShimIsCompletedByTheNextStart) {
  const std::string in_package = kPackage + "\\ranuvel.exe", beside_shim = kProgram + "\\ranuvel.exe";
  ASSERT_TRUE(::MoveFileA(in_package.c_str(), beside_shim.c_str()));
  struct PutBack {
    std::string from, to;
    ~PutBack() { ::MoveFileA(from.c_str(), to.c_str()); }
  } put_back{beside_shim, in_package};
  WriteText(kPackage + "\\standin.ctl", "sleep=3000\r\n");
  program = Start("QUE BC23 " + kCar23b);
  ASSERT_TRUE(test::WaitFor([&] { return ReadText(kPackage + "\\calls.log").find("TPBQUE") != std::string::npos; },
                            60000))
      << "the translator was not started";
  int shims = 0;
  HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (bool more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry)) {
    if (::lstrcmpiA(entry.szExeFile, "ZUL.exe") != 0) continue;
    if (HANDLE shim = ::OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
      shims += ::TerminateProcess(shim, 1) ? 1 : 0;
      ::CloseHandle(shim);
    }
  }
  ::CloseHandle(snapshot);
  program->Kill();
  ASSERT_EQ(shims, 1);
  ::DeleteFileA((kPackage + "\\standin.ctl").c_str());
  program = Start("COM");  // the shim's communication run shows no box
  const std::optional<DWORD> status = program->Ended(60000);
  ASSERT_TRUE(status.has_value()) << "the next start did not end";
  EXPECT_EQ(*status, 0u);
  const std::string calls = ReadText(kPackage + "\\calls.log");
  EXPECT_NE(calls.find("TPBQUE"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("TPBQUE"), calls.rfind("TPBQUE")) << calls;
  EXPECT_EQ(Status("TBLBC23HDR", kCar23b), "02") << calls;
  const std::string reference = Field("TBLBC23HDR", kCar23b, "snrf");
  ASSERT_FALSE(reference.empty());
  EXPECT_TRUE(Exists(kPackage + "\\outbox\\" + reference + ".flt")) << reference;
}

}  // namespace
}  // namespace sevrik
