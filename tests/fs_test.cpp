// The Windows meaning of paths, on real folders.
#include <dirent.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/unique_file.h"
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
  EXPECT_EQ(ErrorOf([] { RemoveFile("C:\\EDI\\nothing.txt"); }), 53);
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

// Every entry of a folder, "." and ".." left out, in byte order.
std::vector<std::string> Entries(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return names;
  while (dirent* e = ::readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  ::closedir(d);
  std::sort(names.begin(), names.end());
  return names;
}

unsigned ModeOf(const std::string& host) {
  struct stat st;
  return ::stat(host.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(ReplaceFile, KeepsTheOldFileWhenTheWriteFails) {
  TempDir dir;
  test::WriteFile(dir / "a.txt", "old");
  ReplaceFileBytes(dir / "a.txt", "new");
  EXPECT_EQ(test::ReadFile(dir / "a.txt"), "new");
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "missing/a.txt", "x"); }), 76);
  EXPECT_EQ(test::ReadFile(dir / "a.txt"), "new");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"a.txt"});
}

TEST(ReplaceFile, LeavesNoTemporaryFileAndKeepsThePermissionBits) {
  TempDir dir;
  test::WriteFile(dir / "TPBQUE.STA", "old");
  ASSERT_EQ(::chmod((dir / "TPBQUE.STA").c_str(), 0640), 0);
  ReplaceFileBytes(dir / "TPBQUE.STA", "0\r\nSUCCESS\r\n");
  ReplaceFileBytes(dir / "new.txt", "");
  EXPECT_EQ(test::ReadFile(dir / "TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(ModeOf(dir / "TPBQUE.STA"), 0640u);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(dir / "new.txt"), 0666u & ~mask);
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"TPBQUE.STA", "new.txt"}));
}

TEST(ReplaceFile, NeverWritesThroughASymlinkPlantedForItsTemporaryFile) {
  TempDir dir;
  test::WriteFile(dir / "victim", "secret");
  test::WriteFile(dir / "BC23.FLT", "old");
  ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "BC23.FLT.tmp~").c_str()), 0);  // the old fixed name
  ReplaceFileBytes(dir / "BC23.FLT", "new");
  EXPECT_EQ(test::ReadFile(dir / "BC23.FLT"), "new");
  EXPECT_EQ(test::ReadFile(dir / "victim"), "secret");
  EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"BC23.FLT", "BC23.FLT.tmp~", "victim"}));

  // Whatever name comes up, an entry already there is passed over untouched: a symlink to a
  // file, a dangling one (which would otherwise create its target), a file, a folder.
  ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / ".BC23.FLT.tmp-a").c_str()), 0);
  ASSERT_EQ(::symlink((dir / "created").c_str(), (dir / ".BC23.FLT.tmp-b").c_str()), 0);
  test::WriteFile(dir / ".BC23.FLT.tmp-c", "other");
  ASSERT_EQ(::mkdir((dir / ".BC23.FLT.tmp-d").c_str(), 0755), 0);
  std::vector<std::string> suffixes{"a", "b", "c", "d", "e"};
  size_t next = 0;
  const NewFile file = CreateUniqueFile(dir.path(), "BC23.FLT", 0600, [&] { return suffixes.at(next++); });
  ASSERT_GE(file.fd, 0);
  ::close(file.fd);
  EXPECT_EQ(file.path, dir / ".BC23.FLT.tmp-e");
  EXPECT_EQ(test::ReadFile(dir / "victim"), "secret");
  EXPECT_EQ(test::ReadFile(dir / ".BC23.FLT.tmp-c"), "other");
  EXPECT_FALSE(test::Exists(dir / "created"));

  // A name source that never finds a free name ends in an error, not a loop.
  EXPECT_EQ(ErrorOf([&] { CreateUniqueFile(dir.path(), "BC23.FLT", 0600, [] { return "a"; }); }), 75);
}

TEST(ReplaceFile, RemovesItsTemporaryFileWhenTheWriteFails) {
  // Fault injection: a file-size limit makes the write into the temporary file fail part way.
  TempDir dir;
  test::WriteFile(dir / "TPBQUE.LOG", "old");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const int error = ErrorOf([&] { ReplaceFileBytes(dir / "TPBQUE.LOG", std::string(100000, 'x')); });
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(error, 75);
  EXPECT_EQ(test::ReadFile(dir / "TPBQUE.LOG"), "old");
  EXPECT_EQ(Entries(dir.path()), std::vector<std::string>{"TPBQUE.LOG"});
}

// A folder mounted read-only over a writable one; root ignores permission bits, a mount not.
class ReadOnlyFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkdir((dir / "rw").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((dir / "ro").c_str(), 0755), 0);
    test::WriteFile(dir / "rw/TPBQUE.STA", "0\r\nSUCCESS\r\n");
    if (::mount((dir / "rw").c_str(), (dir / "ro").c_str(), nullptr, MS_BIND, nullptr) != 0)
      GTEST_SKIP() << "cannot bind-mount here: " << std::strerror(errno);
    mounted = true;
    if (::mount(nullptr, (dir / "ro").c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0)
      GTEST_SKIP() << "cannot make the mount read-only: " << std::strerror(errno);
  }
  void TearDown() override {
    if (mounted) ::umount2((dir / "ro").c_str(), MNT_DETACH);
  }
  TempDir dir;
  bool mounted = false;
};

TEST_F(ReadOnlyFolder, ReplacingFailsAndLeavesTheOldFileAndNoTemporaryFile) {
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "ro/TPBQUE.STA", "1\r\n"); }), 70);
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "ro/TPBQUE.LOG", "x"); }), 70);
  EXPECT_EQ(test::ReadFile(dir / "ro/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(Entries(dir / "rw"), std::vector<std::string>{"TPBQUE.STA"});
}

}  // namespace
}  // namespace sevrik
