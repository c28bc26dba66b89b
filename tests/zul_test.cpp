// The translator shim: its argument rules, and the program between real processes.
#include <unistd.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "base/error.h"
#include "base/text.h"
#include "platform/fs.h"
#include "platform/process.h"
#include "shim/zul_args.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

std::string Line(const std::string& text) { return zul::TranslatorCommandLine(zul::SplitArguments(text)); }

TEST(ZulArguments, TokensFillSlotsFromOne) {
  const auto a = zul::SplitArguments("  TPBCOM.ZUL   -p  NET1 ");
  EXPECT_EQ(a[0], "");
  EXPECT_EQ(a[1], "TPBCOM.ZUL");
  EXPECT_EQ(a[2], "-p");
  EXPECT_EQ(a[3], "NET1");
  EXPECT_EQ(a[4], "");
  const auto q = zul::SplitArguments("TPBQUE -p \"Dokumen BC23\" BC23");
  EXPECT_EQ(q[3], "Dokumen BC23");
  EXPECT_EQ(q[4], "BC23");
  const auto last = zul::SplitArguments("A -p \"quoted\"");
  EXPECT_EQ(last[3], "\"quoted\"");  // a last token without a blank keeps its quotes
  const auto open = zul::SplitArguments("A -p \"no close here");
  EXPECT_EQ(open[3], "no close here");
  const auto inner = zul::SplitArguments("A -p ab\"c d");
  EXPECT_EQ(inner[3], "ab\"c");  // a quote inside a token is ordinary
  EXPECT_EQ(inner[4], "d");
}

TEST(ZulArguments, RebuildTheTranslatorLine) {
  EXPECT_EQ(Line(""), "Ranuvel");
  EXPECT_EQ(Line("TPBCOM.ZUL -p NET1"), "Ranuvel TPBCOM.ZUL NET1");
  EXPECT_EQ(Line("tpbcom.zul -p NET1"), "Ranuvel tpbcom.ext NET1");
  EXPECT_EQ(Line("TPBUNQ.ZUL -p A B C"), "Ranuvel TPBUNQ.ZUL A B C");
  EXPECT_EQ(Line("X Y Z"), "Ranuvel X Z");
  EXPECT_EQ(Line("   a    -p    b   c  "), "Ranuvel a b c");
  EXPECT_EQ(Line("TPBQUE -p C:\\EDI\\IPDATA\\BC23.FLT \"Dokumen BC23\" BC23"),
            "Ranuvel TPBQUE C:\\EDI\\IPDATA\\BC23.FLT Dokumen BC23 BC23");
  EXPECT_EQ(Line("a.zul -p b.zul.zul c.ZUL"), "Ranuvel a.ext b.ext.ext c.ZUL");
  EXPECT_EQ(Line("a -p \"x y\""), "Ranuvel a x y");
}

TEST(ZulArguments, MoreThanTwentyTokensAreRefused) {
  std::string twenty, twenty_one;
  for (int i = 1; i <= 20; ++i) twenty += "t" + std::to_string(i) + " ";
  twenty_one = twenty + "t21";
  EXPECT_EQ(zul::SplitArguments(twenty)[20], "t20");
  EXPECT_EQ(zul::SplitArguments(twenty.substr(0, twenty.size() - 4) + "\"t 20\"")[20], "t 20");  // no 21st slot used
  try {
    zul::SplitArguments(twenty_one);
    FAIL();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kSubscriptOutOfRange);
    EXPECT_NE(e.description().find("20"), std::string::npos);
  }
  std::string hundreds;
  for (int i = 0; i < 500; ++i) hundreds += "\"a b\" ";
  EXPECT_THROW(zul::SplitArguments(hundreds), Error);
}

// ZUL started as the interface starts it, with a recording "Ranuvel" beside it.
class ZulProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::InstallProgram(test::BuiltProgram("shim/ZUL"), dir.path());
    tools::InstallProgram(std::string(SEVRIK_TESTS_DIR) + "/recorder", dir.path(), "Ranuvel.exe");
    ::setenv("SEVRIK_RECORD", (dir / "record.txt").c_str(), 1);
    saved = CurrentDirectory();
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
  }
  void TearDown() override {
    ::unsetenv("SEVRIK_RECORD");
    ASSERT_EQ(::chdir(saved.c_str()), 0);
  }
  std::string Recorded() const { return test::Exists(dir / "record.txt") ? test::ReadFile(dir / "record.txt") : ""; }
  test::TempDir dir;
  std::string saved;
};

TEST_F(ZulProgram, RunsTheTranslatorWithTheRebuiltLine) {
  RunAndWait("zul TPBQUE -p C:\\EDI\\IPDATA\\BC23.FLT \"Dokumen BC23\" BC23");
  EXPECT_EQ(Recorded(), "cwd=" + dir.path() + "\narg=TPBQUE\narg=C:\\EDI\\IPDATA\\BC23.FLT\narg=Dokumen\narg=BC23\narg=BC23\nend\n");
}

TEST_F(ZulProgram, TurnsDotZulIntoDotExt) {
  RunAndWait("zul tpbunq.zul -p KPPBC_A BC23 Q1");
  EXPECT_EQ(Recorded(), "cwd=" + dir.path() + "\narg=tpbunq.ext\narg=KPPBC_A\narg=BC23\narg=Q1\nend\n");
}

TEST_F(ZulProgram, FollowsItsRulesBetweenRealProcesses) {
  const std::pair<const char*, const char*> cases[] = {
      {"zul", "cwd=@\nend\n"},
      {"zul TPBUNQ.ZUL -p A B C", "cwd=@\narg=TPBUNQ.ZUL\narg=A\narg=B\narg=C\nend\n"},
      {"zul X Y Z", "cwd=@\narg=X\narg=Z\nend\n"},
      {"zul   a    -p   b  ", "cwd=@\narg=a\narg=b\nend\n"},
      {"zul a -p \"x y\" z", "cwd=@\narg=a\narg=x\narg=y\narg=z\nend\n"},
      {"zul a.zul -p b.zul.zul c.ZUL", "cwd=@\narg=a.ext\narg=b.ext.ext\narg=c.ZUL\nend\n"},
  };
  for (const auto& [line, expected] : cases) {
    std::remove((dir / "record.txt").c_str());
    RunAndWait(line);
    EXPECT_EQ(Recorded(), ReplaceAll(expected, "@", dir.path())) << line;
  }
}

TEST_F(ZulProgram, TooManyArgumentsShowTheErrorBoxAndRunNothing) {
  std::vector<std::string> args;
  for (int i = 0; i < 25; ++i) args.push_back("x" + std::to_string(i));
  const auto r = test::RunProgram(dir / "ZUL", args, dir.path(), {"SEVRIK_DIALOGS=console"});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("9 - Terlalu banyak argumen"), std::string::npos) << r.err;
  EXPECT_EQ(Recorded(), "");
}

TEST_F(ZulProgram, ADisplayThatDoesNotAnswerGetsTheErrorOnTheConsole) {
  const std::vector<std::string> env = {"SEVRIK_DIALOGS=", "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "DISPLAY=:99"};
  auto r = test::RunProgram(dir / "ZUL", std::vector<std::string>(25, "x"), dir.path(), env);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("9 - Terlalu banyak argumen"), std::string::npos) << r.err;
  r = test::RunProgram(dir / "ZUL", {"TPBQUE", "-p", "A.FLT"}, dir.path(), env);  // nothing to show
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(Recorded(), "cwd=" + dir.path() + "\narg=TPBQUE\narg=A.FLT\nend\n");
}

TEST_F(ZulProgram, AMissingTranslatorEndsQuietly) {
  std::remove((dir / "Ranuvel.exe").c_str());
  const auto r = test::RunProgram(dir / "ZUL", {"TPBCOM.ZUL", "-p", "NET1"}, dir.path(), {"SEVRIK_DIALOGS=console"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace sevrik
