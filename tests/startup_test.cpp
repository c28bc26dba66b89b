// Start-up, dispatch and the lookups, on real SQLite files and with the real program.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "base/error.h"
#include "base/text.h"
#include "core/lookups/document_types.h"
#include "core/lookups/lookups.h"
#include "core/startup.h"
#include "db/connect.h"
#include "platform/runlock.h"
#include "tests/testutil.h"
#include "tools/package/package.h"

namespace sevrik {
namespace {

using test::ErrorOf;

using test::TestWorkspace;

// Both mains show a build's progress for the same command lines: a BC 2.3 queueing of a CAR.
TEST(DocumentTypes, OnlyABc23QueueingShowsItsProgress) {
  const std::pair<const char*, bool> lines[] = {{"QUE BC23 X", true}, {"QUE BC25 X", false}, {"QUE BC23", false},
                                                {"que BC23 X", false}, {"UNQ BC23 X", false}, {"QUE BC230 X", false}};
  for (const auto& [line, shows] : lines) EXPECT_EQ(ShowsBuildProgress(line), shows) << line;
  EXPECT_EQ(FindDocumentType("bc23"), nullptr);  // tokens are exact, as the customs application writes them
}

TEST(DecodeEdiNumber, ShiftsByPositionAndLength) {
  EXPECT_EQ(DecodeEdiNumber(""), "");
  EXPECT_EQ(DecodeEdiNumber("   "), "");
  EXPECT_EQ(DecodeEdiNumber("AAA"), "IJK");  // shifts 8, 9, 10
  // Length 10: the first character moves up by 1, the last by 10.
  EXPECT_EQ(DecodeEdiNumber("0000000000"), "123456789:");
  // Only the count comes from the trimmed text: a leading blank is shifted, the tail is left out.
  EXPECT_EQ(DecodeEdiNumber(" AB "), ")K");
  EXPECT_EQ(DecodeEdiNumber("AB  "), "JL");
}

TEST(DecodeEdiNumber, RefusesCodesOutsideTheByteRange) {
  EXPECT_EQ(ErrorOf([] { DecodeEdiNumber("\xC3\xBF"); }), err::kInvalidArgument);  // ÿ (255) + 10
  EXPECT_EQ(ErrorOf([] { DecodeEdiNumber(std::string(1, '\x01') + std::string(19, 'A')); }),
            err::kInvalidArgument);  // 1 + 10 + 1 - 20 < 0
  EXPECT_EQ(DecodeEdiNumber(tools::EncodeEdiNumber("TPBSVK0000123456")), "TPBSVK0000123456");
}

class Lookups : public ::testing::Test {
 protected:
  TestWorkspace ws;
  std::unique_ptr<Database> db = ws.Connect();
};

TEST_F(Lookups, OwnNumberIsDecodedFromTheFirstRow) {
  EXPECT_EQ(GetOwnEdiNumber(*db), tools::kDemoOwnEdiNumber);
  ws.OpenSqlite()->Exec("delete from tblData");
  EXPECT_EQ(GetOwnEdiNumber(*db), "");
  ws.OpenSqlite()->Exec("insert into tblData (edinum) values (null)");
  EXPECT_EQ(ErrorOf([&] { GetOwnEdiNumber(*db); }), err::kInvalidUseOfNull);
}

TEST_F(Lookups, PartnersAreFoundByTrimmedCodeAndNumber) {
  EXPECT_EQ(GetPartnerEdiNumber(*db, "  050100 "), "KPBC050100");
  EXPECT_EQ(GetPartnerEdiNumber(*db, "999999"), "");
  EXPECT_EQ(GetPartnerNameByEdi(*db, " KPBC040300"), "KPPBC_SOEKARNO_HATTA");
  EXPECT_EQ(GetPartnerNameByEdi(*db, ""), "");
  // A quote in a value is data: it finds no row instead of breaking the statement.
  EXPECT_EQ(GetPartnerEdiNumber(*db, "05'0100"), "");
  EXPECT_EQ(GetPartnerNameByEdi(*db, "x' OR '1'='1"), "");
  ws.OpenSqlite()->Exec("insert into tblPartner values ('07''01', 'QUOTED', 'KANTOR O''NEIL')");
  EXPECT_EQ(GetPartnerEdiNumber(*db, "07'01"), "QUOTED");
  EXPECT_EQ(GetPartnerNameByEdi(*db, "QUOTED"), "KANTOR O'NEIL");
}

TEST_F(Lookups, TheFirstOfSeveralRowsWinsAndNullIsAnError) {
  ws.OpenSqlite()->Exec("insert into tblPartner values ('050100', 'SECOND', 'KEDUA')");
  EXPECT_EQ(GetPartnerEdiNumber(*db, "050100"), "KPBC050100");
  ws.OpenSqlite()->Exec("insert into tblPartner values ('111111', null, null)");
  EXPECT_EQ(ErrorOf([&] { GetPartnerEdiNumber(*db, "111111"); }), err::kInvalidUseOfNull);
}

TEST(AnyFileMatches, AnswersAndReportsABadPathItself) {
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  test::WriteFile(dir / "log/a.IDT", "");
  EXPECT_TRUE(AnyFileMatches(dir.path() + "\\LOG\\*.idt", dialogs));
  EXPECT_FALSE(AnyFileMatches(dir.path() + "\\log\\*.txt", dialogs));
  EXPECT_FALSE(AnyFileMatches(dir.path() + "\\log", dialogs));  // a folder is no file
  EXPECT_TRUE(dialogs.boxes.empty());
  ::unsetenv("SEVRIK_DRIVE_Q");
  EXPECT_FALSE(AnyFileMatches("Q:\\EDI\\entity0\\log\\*.idt", dialogs));
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Error : Bad file name or number");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(dialogs.boxes[0].title, "");
}

// Main in the process, with the real database and scripted message boxes.
class MainRun : public ::testing::Test {
 protected:
  int Run(const std::string& args) {
    MainEnvironment env{ws.program, dialogs, ConnectDatabase, {}, nullptr, {}, {}};
    return RunMain(args, env);
  }
  TestWorkspace ws;
  test::ScriptedDialogs dialogs;
};

TEST_F(MainRun, AnEmptyCommandLineShowsTheVersionAndTouchesNothing) {
  std::remove((ws.db_path()).c_str());
  EXPECT_EQ(Run(""), 0);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "SEVRIK Ver. 2.0.0\r\nHarus dijalankan dari aplikasi TPB");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::None);
  EXPECT_FALSE(test::Exists(ws.program + "/SEVRIK.LOG"));
}

TEST_F(MainRun, UnknownActionsDoNothingVisibleButEmptyTheLog) {
  test::WriteFile(ws.program + "/SEVRIK.LOG", " 5 \r\nold\r\n");
  for (const char* args : {"lsit", "que BC25 X", "QUE  BC25", "QUE BC99"}) {
    EXPECT_EQ(Run(args), 0) << args;
    EXPECT_EQ(test::ReadFile(ws.program + "/SEVRIK.LOG"), "") << args;
  }
  EXPECT_TRUE(dialogs.boxes.empty());
}

TEST_F(MainRun, TooFewTokensAreSubscriptOutOfRange) {
  for (const char* args : {"QUE", "QUE BC23", "QUE BC25", "UNQ", "UNQ BC23"}) {
    dialogs.boxes.clear();
    EXPECT_EQ(Run(args), 1) << args;
    ASSERT_EQ(dialogs.boxes.size(), 1u);
    EXPECT_EQ(dialogs.boxes[0].text, "Run-time error '9':\r\n\r\nSubscript out of range") << args;
  }
}

TEST_F(MainRun, StartUpFailuresEndTheRunBeforeAnyAction) {
  auto f = ws.OpenSqlite();
  f->Exec("update tblSetting set NETWORKNUVAR = null");
  EXPECT_EQ(Run("lsit"), 1);
  EXPECT_EQ(dialogs.boxes.back().text, "Run-time error '94':\r\n\r\nInvalid use of Null");
  f->Exec("drop table tblSetting");
  f->Exec("create table tblSetting (FOLDERNUVAR TEXT)");
  f->Exec("insert into tblSetting values ('C:\\EDI')");
  EXPECT_EQ(Run("QUE"), 1);  // the settings fail first, not the tokens
  EXPECT_EQ(dialogs.boxes.back().text.substr(0, 23), "Run-time error '3265':\r");
  f->Exec("drop table tblSetting");
  EXPECT_EQ(Run("COM"), 1);
  EXPECT_NE(dialogs.boxes.back().text.find("tblSetting"), std::string::npos);
}

TEST_F(MainRun, AnEmptySettingsTableLeavesTheFoldersEmpty) {
  ws.OpenSqlite()->Exec("delete from tblSetting");
  EXPECT_EQ(Run("nothing"), 0);
  // The folders as the session hands them to a window.
  MainEnvironment env{ws.program, dialogs, ConnectDatabase, {}, nullptr, {}, {}};
  std::string package = "unset", profile = "unset";
  env.show_window = [&](Session& session, const std::string&) {
    package = session.package_folder;
    profile = session.network_profile;
  };
  EXPECT_EQ(RunMain("list", env), 0);
  EXPECT_EQ(package, "");
  EXPECT_EQ(profile, "");
}

// The program itself, copied into a workspace's program folder.
class Program : public ::testing::Test {
 protected:
  void SetUp() override { tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), ws.program); }
  test::RunResult Run(const std::vector<std::string>& args) {
    // A display that answers without a server, for the window module.
    return test::RunProgram(ws.program + "/SEVRIK", args, ws.dir.path(),
                            {"SEVRIK_DIALOGS=console", "QT_QPA_PLATFORM=offscreen"});
  }
  TestWorkspace ws;
};

TEST_F(Program, ShowsItsVersionWithoutArguments) {
  const auto r = Run({});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("SEVRIK Ver. 2.0.0\nHarus dijalankan dari aplikasi TPB"), std::string::npos) << r.err;
  EXPECT_FALSE(test::Exists(ws.program + "/SEVRIK.LOG"));
}

// Started outside its folder (the current folder is the workspace's), as the customs
// application starts it: the message names the database by its host path, one separator.
TEST_F(Program, EndsWithTheRunTimeErrorWhenTheDatabaseIsMissingOrBroken) {
  std::remove(ws.db_path().c_str());
  auto r = Run({"COM"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Run-time error '-2147467259':"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Could not find file '" + ws.db_path() + "'."), std::string::npos) << r.err;
  EXPECT_TRUE(test::Exists(ws.program + "/SEVRIK.LOG"));
  EXPECT_FALSE(test::Exists(ws.db_path()));
  test::WriteFile(ws.db_path(), "Standard text, no database");
  r = Run({"list"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("'" + ws.db_path() + "' is no SQLite database"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ODBC driver 'Microsoft Access Driver (*.mdb)' is not installed"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find('\\'), std::string::npos) << r.err;
}

TEST_F(Program, DispatchesEveryTokenOfTheTable) {
  // Without a display the windows cannot be shown: a run-time error says so.
  for (const char* action : {"log", "list"}) {
    const auto r = test::RunProgram(ws.program + "/SEVRIK", {action}, ws.dir.path(),
                                    {"SEVRIK_DIALOGS=console", "QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(r.status, 1) << action;
    EXPECT_NE(r.err.find("Run-time error '68':"), std::string::npos) << action << r.err;
    EXPECT_NE(r.err.find("tidak dapat ditampilkan: tidak ada tampilan"), std::string::npos) << action << r.err;
  }
  // Each action does its own part, seen in what it tells and in the run journal; a word not in
  // the table (or in another case) does nothing.
  const std::string car = tools::kDemoBC23Car;
  const struct {
    std::string action;
    int status;
    const char* told;          // on the console; "": nothing
    std::string journal;       // in the records it adds to the journal; "": none
  } actions[] = {
      {"unknown", 0, "", ""},
      {"Que BC25 X", 0, "", ""},
      {"QUE BC40 X", 0, "", ""},  // a type without a builder
      {"UNQ BC23 NO-SUCH-CAR", 0, "", ""},  // no document: nothing is started
      {"QUE BC25 NO-SUCH-CAR", 0, "", "|QUE|BC25|tblBC25Hdr|NO-SUCH-CAR|command line|"},
      {"COM", 0, "", "|COM||||zul|command line\r\n"},
      {"logdel", 0, "Anda yakin ingin menghapus semua log komunikasi?", ""},
      {"UNQ BC23 " + car, 1, "Run-time error '53':", "|UNQ|BC23|tblBC23Hdr|" + car + "|zul|command line\r\n"},
  };
  const std::string jnl = ws.program + "/SEVRIK.JNL";
  const auto journal = [&] { return test::Exists(jnl) ? test::ReadFile(jnl) : std::string(); };
  for (const auto& a : actions) {
    SCOPED_TRACE(a.action);
    const std::string before = journal();
    const auto r = Run(Split(a.action, " "));
    EXPECT_EQ(r.status, a.status) << r.err;
    if (*a.told) {
      EXPECT_NE(r.err.find(a.told), std::string::npos) << r.err;
    } else {
      EXPECT_EQ(r.err, "");
    }
    const std::string after = journal();
    ASSERT_TRUE(after.starts_with(before));
    const std::string added = after.substr(before.size());
    if (a.journal.empty()) {
      EXPECT_EQ(added, "");
    } else {
      EXPECT_NE(added.find(a.journal), std::string::npos) << added;
    }
  }
  // No translator in the package folder: nothing answers for the document, and the run says so.
  const auto r = Run({"QUE", "BC23", "NO-SUCH-CAR"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("Translator tidak meninggalkan status"), std::string::npos) << r.err;
}

// A display that is set but does not answer: the console actions run, message boxes go to the
// console, and the windows end with the run-time error instead of failing in the window system.
TEST_F(Program, ADisplayThatDoesNotAnswerIsNoDisplay) {
  test::TempDir runtime;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);  // what a compositor that has gone leaves
  sockaddr_un a{};
  a.sun_family = AF_UNIX;
  std::strncpy(a.sun_path, (runtime / "wayland-0").c_str(), sizeof a.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
  ::close(fd);
  const std::vector<std::vector<std::string>> displays = {
      {"DISPLAY=:99", "WAYLAND_DISPLAY="},
      {"DISPLAY=", "WAYLAND_DISPLAY=wayland-0", "XDG_RUNTIME_DIR=" + runtime.path()}};
  for (const auto& display : displays) {
    std::vector<std::string> env = display;
    env.insert(env.end(), {"QT_QPA_PLATFORM=", "SEVRIK_DIALOGS="});
    const auto run = [&](const std::vector<std::string>& args) {
      return test::RunProgram(ws.program + "/SEVRIK", args, ws.dir.path(), env);
    };
    auto r = run({"QUE", "BC25", tools::kDemoBC25Car});
    EXPECT_EQ(r.status, 0) << display[0] << r.err;
    EXPECT_TRUE(test::Exists(ws.package + "/ipdata/BC25.FLT"));
    r = run({});
    EXPECT_EQ(r.status, 0) << display[0] << r.err;
    EXPECT_NE(r.err.find("Harus dijalankan dari aplikasi TPB"), std::string::npos) << r.err;
    for (const char* window : {"list", "log"}) {
      r = run({window});
      EXPECT_EQ(r.status, 1) << window << r.err;
      EXPECT_NE(r.err.find("Run-time error '68':"), std::string::npos) << window << r.err;
      EXPECT_NE(r.err.find("tidak dapat ditampilkan"), std::string::npos) << window << r.err;
    }
  }
}

// Which libraries the dynamic loader maps, from its own report.
bool LoadsQt(const test::RunResult& r) { return r.err.find("libQt6Widgets") != std::string::npos; }

TEST_F(Program, LoadsQtOnlyToShowAWindow) {
  const std::vector<std::string> env = {"LD_DEBUG=libs", "QT_QPA_PLATFORM=offscreen", "SEVRIK_DIALOGS=console"};
  auto r = test::RunProgram(ws.program + "/SEVRIK", {"QUE", "BC25", tools::kDemoBC25Car}, ws.dir.path(), env);
  EXPECT_EQ(r.status, 0);
  EXPECT_FALSE(LoadsQt(r));
  // A BC 2.3 build on a display shows its progress window: the module is loaded for it.
  tools::LayOutPackage(ws.package, test::BuiltProgram("tools/package"));
  r = test::RunProgram(ws.program + "/SEVRIK", {"QUE", "BC23", tools::kDemoBC23Car}, ws.dir.path(),
                       {"LD_DEBUG=libs", "QT_QPA_PLATFORM=offscreen", "SEVRIK_DIALOGS="});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(LoadsQt(r));
}

// The dynamic symbols of a built file of ours, demangled ("nm -DC"), one a line.
std::vector<std::string> DynamicSymbols(const std::string& file, const char* which) {
  const test::RunResult r = test::RunProgram("/usr/bin/nm", {"-DC", "--format=just-symbols", which, file});
  EXPECT_EQ(r.status, 0) << r.err;
  return Split(r.out, "\n");
}

// The program carries the one copy of the core: the window module defines none of it, and
// every symbol of ours that it needs, the program exports.
TEST(WindowModule, DrivesTheProgramsOwnCore) {
  const std::string module = test::BuiltProgram("programs/libsevrik-qt.so");
  const std::vector<std::string> needed = DynamicSymbols(module, "--undefined-only");
  const std::vector<std::string> own = DynamicSymbols(module, "--defined-only");
  const std::vector<std::string> exported = DynamicSymbols(test::BuiltProgram("programs/SEVRIK"), "--defined-only");
  const auto has = [](const std::vector<std::string>& symbols, const std::string& name) {
    return std::find(symbols.begin(), symbols.end(), name) != symbols.end();
  };
  size_t ours = 0;
  for (const std::string& symbol : needed) {
    if (!symbol.starts_with("sevrik::")) continue;
    ++ours;
    EXPECT_TRUE(has(exported, symbol)) << symbol;
  }
  EXPECT_GT(ours, 5u);
  for (const char* core : {"sevrik::SetPendingEventsHandler(std::function<void ()>)", "sevrik::ShellAndWait(std::basic_string_view<char, std::char_traits<char> >)",
                           "sevrik::DocumentBrowser::Browse(sevrik::BrowseSearch const&)", "sevrik::LogViewer::List() const"}) {
    EXPECT_FALSE(has(own, core)) << core;
    EXPECT_TRUE(has(exported, core)) << core;
  }
}

TEST_F(Program, AWrongSevrikDatabaseEndsTheRunWithTheDriversText) {
  const auto r = test::RunProgram(ws.program + "/SEVRIK", {"QUE", "BC25", tools::kDemoBC25Car}, ws.dir.path(),
                                  {"SEVRIK_DIALOGS=console", "SEVRIK_DATABASE=Driver=/no/such/driver.so;Database=x"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Run-time error '-2147467259':"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("ODBC driver '/no/such/driver.so'"), std::string::npos) << r.err;
  EXPECT_FALSE(test::Exists(ws.package + "/ipdata/BC25.FLT"));
}

// QUE BC25 leaves no status file: a flat file it could not write whole ends the run with the
// run-time error, and nothing outside the package folder is written.
TEST_F(Program, QueBc25ThatCannotWriteItsFlatFileEndsWithTheError) {
  const struct {
    const char* name;
    std::function<void(TestWorkspace&)> arrange;
  } cases[] = {
      {"a symbolic link planted as the flat file", [](TestWorkspace& w) {
         test::WriteFile(w.dir / "outside.txt", "outside");
         ASSERT_EQ(::symlink((w.dir / "outside.txt").c_str(), (w.package + "/ipdata/BC25.FLT").c_str()), 0);
       }},
      {"an ipdata that is no folder", [](TestWorkspace& w) {
         std::filesystem::remove_all(w.package + "/ipdata");
         test::WriteFile(w.package + "/ipdata", "");
       }},
      {"a value too long for its field", [](TestWorkspace& w) {
         w.OpenSqlite()->Exec("update TBLBC25HDR set jnbarang = '123'");
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestWorkspace w;
    tools::InstallProgram(test::BuiltProgram("programs/SEVRIK"), w.program);
    c.arrange(w);
    const auto r = test::RunProgram(w.program + "/SEVRIK", {"QUE", "BC25", tools::kDemoBC25Car}, w.dir.path(),
                                    {"SEVRIK_DIALOGS=console"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("Flat file BC25 tidak dapat ditulis dengan lengkap"), std::string::npos) << r.err;
    if (test::Exists(w.dir / "outside.txt")) {
      EXPECT_EQ(test::ReadFile(w.dir / "outside.txt"), "outside");
    }
  }
}

// What killed rewrites of the journal and the pending file left is removed by the next start
// that holds the run lock, and only that: never while another run holds it, nothing else.
TEST_F(Program, TheTemporaryFilesOfAKilledRewriteGoAtTheNextStartUnderTheLock) {
  const std::vector<std::string> leftovers = {".SEVRIK.JNL.tmp-abcdefghi0", ".sevrik.pnd.tmp-0123456789"};
  const std::vector<std::string> others = {".SEVRIK.JNL.tmp-short", ".SEVRIK.LOG.tmp-abcdefghi0",
                                           "SEVRIK.PND.tmp-abcdefghi0", ".SEVRIK.PND.tmp-ABCDEFGHI0"};
  for (const auto& name : leftovers) test::WriteFile(ws.program + "/" + name, "half");
  for (const auto& name : others) test::WriteFile(ws.program + "/" + name, "not ours");
  std::filesystem::create_directory(ws.program + "/.SEVRIK.JNL.tmp-folder0000");
  test::WriteFile(ws.program + "/SEVRIK.JNL", "");
  const auto names = [&] {
    std::vector<std::string> found;
    for (const auto& e : std::filesystem::directory_iterator(ws.program))
      if (e.path().filename().string().find(".tmp-") != std::string::npos) found.push_back(e.path().filename());
    std::sort(found.begin(), found.end());
    return found;
  };
  const std::vector<std::string> all = names();
  {
    const RunLock other(ws.program + "/SEVRIK.LCK", {});
    EXPECT_EQ(Run({"nothing"}).status, 0);
    EXPECT_EQ(names(), all);
  }
  EXPECT_EQ(Run({"nothing"}).status, 0);
  EXPECT_EQ(names(), (std::vector<std::string>{".SEVRIK.JNL.tmp-folder0000", ".SEVRIK.JNL.tmp-short",
                                               ".SEVRIK.LOG.tmp-abcdefghi0", ".SEVRIK.PND.tmp-ABCDEFGHI0",
                                               "SEVRIK.PND.tmp-abcdefghi0"}));
}

TEST_F(Program, CutsItsArgumentsAtSingleBlanks) {
  // "QUE" "" "BC25": the second token is empty, nothing is done.
  auto r = Run({"QUE", "", "BC25"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(test::Exists(ws.package + "/ipdata/BC25.FLT"));
  r = Run({"QUE"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Run-time error '9':\n\nSubscript out of range"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace sevrik
