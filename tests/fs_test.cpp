// The Windows meaning of paths, on real folders.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/fs.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using test::ErrorOf;

using test::TempDir;

class DriveC : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SEVRIK_DRIVE_C", root.path().c_str(), 1);
    ::unsetenv("SEVRIK_DRIVE_Q");
    saved_cwd = CurrentDirectory();
  }
  void TearDown() override {
    ::unsetenv("SEVRIK_DRIVE_C");
    ASSERT_EQ(::chdir(saved_cwd.c_str()), 0);
  }
  TempDir root;
  std::string saved_cwd;
};

TEST_F(DriveC, DriveLettersAndBothSeparatorsMapUnderTheDriveFolder) {
  test::WriteFile(root / "EDI/ipdata/BC25.FLT", "x");
  EXPECT_EQ(HostPath("C:\\EDI\\ipdata\\BC25.FLT"), root / "EDI/ipdata/BC25.FLT");
  EXPECT_EQ(HostPath("c:/EDI/ipdata/BC25.FLT"), root / "EDI/ipdata/BC25.FLT");
  EXPECT_EQ(ReadFileBytes("C:\\EDI/ipdata\\BC25.FLT"), "x");
  EXPECT_EQ(ErrorOf([] { HostPath("Q:\\EDI"); }), 76);
  EXPECT_EQ(ErrorOf([] { ReadFileBytes("Q:\\EDI\\x.txt"); }), 76);
}

TEST_F(DriveC, NamesResolveWithoutRegardToCaseAndNewFilesKeepTheirCase) {
  test::WriteFile(root / "EDI/ipdata/TPBQUE.STA", "0\r\n");
  EXPECT_EQ(ReadFileBytes("C:\\edi\\IPDATA\\tpbque.sta"), "0\r\n");
  WriteFileBytes("C:\\EDI\\IPDATA\\BC23.FLT", "flat");
  EXPECT_TRUE(test::Exists(root / "EDI/ipdata/BC23.FLT"));  // same "ipdata" folder, new name as given
  AppendFileBytes("c:\\edi\\ipdata\\bc23.flt", "+more");
  EXPECT_EQ(test::ReadFile(root / "EDI/ipdata/BC23.FLT"), "flat+more");
}

TEST_F(DriveC, MissingFilesAndFoldersGiveTheirErrors) {
  ::mkdir((root / "EDI").c_str(), 0755);
  EXPECT_EQ(ErrorOf([] { ReadFileBytes("C:\\EDI\\nothing.txt"); }), 53);
  EXPECT_EQ(ErrorOf([] { ReadFileBytes("C:\\EDI\\nofolder\\x.txt"); }), 76);
  EXPECT_EQ(ErrorOf([] { WriteFileBytes("C:\\EDI\\nofolder\\x.txt", "a"); }), 76);
  EXPECT_EQ(ErrorOf([] { ReadFileBytes("C:\\EDI"); }), 75);
  EXPECT_EQ(ErrorOf([] { DeleteFile("C:\\EDI\\nothing.txt"); }), 53);
}

TEST_F(DriveC, WildcardListingsMatchWithoutCaseAndListPlainFilesInOrder) {
  test::WriteFile(root / "EDI/entity0/log/b.IDT", "");
  test::WriteFile(root / "EDI/entity0/log/A.idt", "");
  test::WriteFile(root / "EDI/entity0/log/c.idt.bak", "");
  test::WriteFile(root / "EDI/entity0/log/.hidden.idt", "");
  test::WriteFile(root / "EDI/entity0/log/status.txt", "");
  ::mkdir((root / "EDI/entity0/log/dir.idt").c_str(), 0755);
  EXPECT_EQ(ListFiles("C:\\EDI\\ENTITY0\\LOG\\*.idt"), (std::vector<std::string>{"A.idt", "b.IDT"}));
  EXPECT_EQ(ListFiles("C:\\EDI\\entity0\\log\\?.idt").size(), 2u);
  EXPECT_TRUE(ListFiles("C:\\EDI\\missing\\*.idt").empty());
  EXPECT_EQ(ErrorOf([] { ListFiles("Q:\\EDI\\*.idt"); }), 52);
  test::WriteFile(root / "EDI/entity0/flat/e_error.1", "");
  test::WriteFile(root / "EDI/entity0/flat/E_ERROR.log", "");
  test::WriteFile(root / "EDI/entity0/flat/e_error", "");
  test::WriteFile(root / "EDI/entity0/flat/e-BC23.flt", "");
  EXPECT_EQ(ListFiles("C:\\EDI\\entity0\\flat\\e_error.*"),
            (std::vector<std::string>{"e_error", "e_error.1", "E_ERROR.log"}));
}

TEST(Wildcards, MatchLikeWindows) {
  EXPECT_TRUE(WildcardMatch("*.TXT", "log1.txt"));
  EXPECT_FALSE(WildcardMatch("*.TXT", "log1.txt.old"));
  EXPECT_TRUE(WildcardMatch("*.log", "TPBQUE.LOG"));
  EXPECT_TRUE(WildcardMatch("a*b*c", "aXXbYYc"));
  EXPECT_FALSE(WildcardMatch("a*b*c", "aXXbYY"));
  EXPECT_TRUE(WildcardMatch("*", "anything"));
}

TEST_F(DriveC, MakingDrivesAndFoldersCurrent) {
  ::mkdir((root / "EDI").c_str(), 0755);
  ChangeDrive("C:\\EDI");
  EXPECT_EQ(CurrentDirectory(), root.path());
  ChangeDirectory("c:\\edi");
  EXPECT_EQ(CurrentDirectory(), root / "EDI");
}

TEST_F(DriveC, UnmappedDriveAndMissingFolderCannotBeMadeCurrent) {
  const std::string before = CurrentDirectory();
  EXPECT_EQ(ErrorOf([] { ChangeDrive("Q:\\EDI"); }), 68);
  EXPECT_EQ(ErrorOf([] { ChangeDirectory("C:\\nowhere"); }), 76);
  EXPECT_EQ(CurrentDirectory(), before);
  ChangeDrive("/srv/package");  // a setting without a drive letter does nothing
  ChangeDrive("");
  EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(DriveC, ProgramFilesCountWithOrWithoutExe) {
  test::WriteFile(root / "EDI/Ranuvel", "");
  test::WriteFile(root / "EDI/P_EDI.EXE", "");
  EXPECT_EQ(FindProgramFile("C:\\EDI\\ranuvel.exe"), root / "EDI/Ranuvel");
  EXPECT_EQ(FindProgramFile("C:\\EDI\\p_edi.exe"), root / "EDI/P_EDI.EXE");
  EXPECT_EQ(FindProgramFile("C:\\EDI\\zul.exe"), "");
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutable) {
  const std::string folder = ProgramFolder();
  EXPECT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '/');
  EXPECT_TRUE(DirectoryExists(folder));
}

TEST(ReplaceFile, KeepsTheOldFileWhenTheWriteFails) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "old");
  ReplaceFileBytes(dir / "a.txt", "new");
  EXPECT_EQ(test::ReadFile(dir / "a.txt"), "new");
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "missing/a.txt", "x"); }), 76);
  EXPECT_EQ(test::ReadFile(dir / "a.txt"), "new");
}

}  // namespace
}  // namespace sevrik
