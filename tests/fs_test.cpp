// The Windows meaning of paths, on real folders.
#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "base/error.h"
#include "platform/file_stream.h"
#include "platform/file_system.h"
#include "platform/fs.h"
#include "platform/install.h"
#include "platform/runlog.h"
#include "platform/unique_file.h"
#include "tests/fault_fs.h"
#include "tests/mounts.h"
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

// ".." stops at the root of a drive, as on Windows: no path on a drive leads out of its
// folder, whatever folders it names and whether they exist.
TEST_F(DriveC, DotDotNeverClimbsAboveTheDrivesFolder) {
  test::WriteFile(root / "EDI/ipdata/BC23.FLT", "x");
  const struct {
    const char* path;
    std::string host;
  } cases[] = {
      {"C:\\EDI\\..\\..\\..\\outside", root / "outside"},
      {"C:\\..", root.path()},
      {"c:/../../EDI/./ipdata/../ipdata/BC23.FLT", root / "EDI/ipdata/BC23.FLT"},
      {"C:\\nothing\\..\\edi\\IPDATA", root / "EDI/ipdata"},
      {"C:\\EDI\\ipdata\\..\\..\\..\\EDI\\ipdata\\bc23.flt", root / "EDI/ipdata/BC23.FLT"},
      {"\\..\\..\\tmp", "/tmp"},
      {"a\\..\\..\\b", "../b"},  // a relative path climbs from the current folder, as on Windows
  };
  for (const auto& c : cases) EXPECT_EQ(HostPath(c.path), c.host) << c.path;

  WriteFileBytes("C:\\EDI\\..\\..\\..\\escape.txt", "in");
  EXPECT_EQ(test::ReadFile(root / "escape.txt"), "in");
  EXPECT_EQ(ListFiles("C:\\..\\..\\*.txt"), std::vector<std::string>{"escape.txt"});
  ChangeDirectory("C:\\EDI\\..\\..\\..");
  EXPECT_EQ(CurrentDirectory(), root.path());
}

// A folder setting without a drive lies on the program folder's drive and never climbs out of
// it; with the program folder on no mapped drive, never out of the program folder.
TEST_F(DriveC, AFolderSettingWithoutADriveStaysOnTheProgramsDrive) {
  std::filesystem::create_directories(root / "BeaCukai/TPB25");
  const std::string program = root / "BeaCukai/TPB25";
  TempDir elsewhere;  // on no mapped drive
  const struct {
    const char* setting;
    std::string program;
    std::string host;
  } cases[] = {
      {"..\\..\\..\\..\\tmp\\x", program, root / "tmp/x"},
      {"EDI", program, root / "BeaCukai/TPB25/EDI"},
      {"..\\EDI", program, root / "BeaCukai/EDI"},
      {"\\EDI", program, root / "EDI"},
      {"/EDI/../../..", program, root.path()},
      {"C:\\EDI", program, root / "EDI"},
      {"..\\..\\x", elsewhere.path(), elsewhere / "x"},
      {"EDI\\.\\ipdata", elsewhere.path(), elsewhere / "EDI/ipdata"},
  };
  for (const auto& c : cases) EXPECT_EQ(HostPath(FolderSettingPath(c.setting, c.program)), c.host) << c.setting;
  // A setting with a drive, or on no mapped drive from the root, keeps its text.
  EXPECT_EQ(FolderSettingPath("Q:\\EDI", program), "Q:\\EDI");
  EXPECT_EQ(FolderSettingPath("/srv/edi", elsewhere.path()), "/srv/edi");
}

// What a run writes in place (the run log, the flat files, copies) is never written through a
// symlink planted in its place, and a replaced file (the status files) replaces the link.
TEST(OutputFiles, NeverFollowASymlinkInTheirPlace) {
  const struct {
    const char* name;
    std::function<void(const std::string&)> write;
    int error;
    const char* left;  // what the path holds after, or "" for the link itself
  } cases[] = {
      {"a run log emptied", [](const std::string& p) { ResetRunLog(p); }, 75, ""},
      {"a run log appended", [](const std::string& p) { AppendToRunLog(p, Error(70)); }, 0, ""},
      {"a flat file", [](const std::string& p) { WriteFileBytes(p, "ENV00101"); }, 75, ""},
      {"a flat file appended", [](const std::string& p) { AppendFileBytes(p, "UNZ00101"); }, 75, ""},
      {"an output file", [](const std::string& p) { OutputFile f(p, OutputFile::Mode::Output); }, 75, ""},
      {"a copy", [](const std::string& p) { CopyFileTo(p + ".src", p); }, 75, ""},
      {"a status file", [](const std::string& p) { ReplaceFileBytes(p, "0\r\n"); }, 0, "0\r\n"},
      {"lines appended", [](const std::string& p) { LineAppender(p).Write("x\r\n"); }, 75, ""},
      // The files the system keeps for itself are not even read through a link.
      {"a kept file read whole", [](const std::string& p) { ReadFileBytesRefusingLinks(p); }, 75, ""},
      {"a kept file read by lines", [](const std::string& p) { LineReader(p, Links::Refuse); }, 75, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    test::WriteFile(dir / "victim", "secret");
    test::WriteFile(dir / "TPBQUE.STA.src", "copied");
    ASSERT_EQ(::symlink((dir / "victim").c_str(), (dir / "TPBQUE.STA").c_str()), 0);
    EXPECT_EQ(ErrorOf([&] { c.write(dir / "TPBQUE.STA"); }), c.error);
    EXPECT_EQ(test::ReadFile(dir / "victim"), "secret");
    struct stat st;
    ASSERT_EQ(::lstat((dir / "TPBQUE.STA").c_str(), &st), 0);
    if (*c.left) EXPECT_EQ(test::ReadFile(dir / "TPBQUE.STA"), c.left);
    else EXPECT_TRUE(S_ISLNK(st.st_mode));
  }
  // A plain file is read whole, past one chunk of the stream.
  TempDir dir;
  const std::string big = std::string(kStreamChunk + 5, 'j') + "\r\nB|end\r\n";
  test::WriteFile(dir / "SEVRIK.JNL", big);
  EXPECT_EQ(ReadFileBytesRefusingLinks(dir / "SEVRIK.JNL"), big);
  EXPECT_EQ(ErrorOf([&] { ReadFileBytesRefusingLinks(dir / "none"); }), 53);
}

// The fault-injecting file system that the runs' failure tests use: each fault where it was
// asked for, and only there, in every call of fs.h that it concerns.
TEST(FaultFileSystem, FailsWhereAskedAndOnlyThere) {
  TempDir dir;
  const std::string ro = dir / "ro", full = dir / "full", other = dir / "other";
  const struct {
    const char* name;
    std::function<void(test::FaultFileSystem&)> fault;
    std::function<void()> call;
    int error;
    std::vector<std::string> after;  // ro/a, full/a, other/a
  } cases[] = {
      {"a write in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { WriteFileBytes(ro + "\\a", "new"); }, 70, {"old", "old", "old"}},
      {"an append in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { AppendFileBytes(ro + "/A", "new"); }, 70, {"old", "old", "old"}},
      {"a replacement in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { ReplaceFileBytes(ro + "/a", "new"); }, 70, {"old", "old", "old"}},
      {"a removal in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); }, [&] { RemoveFile(ro + "/a"); },
       70, {"old", "old", "old"}},
      {"a copy into a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { CopyFileTo(other + "/a", ro + "/b"); }, 70, {"old", "old", "old"}},
      {"a folder made in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { MakeDirectory(ro + "/new"); }, 70, {"old", "old", "old"}},
      {"the folder beside a read-only one", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { WriteFileBytes(other + "/a", "new"); }, 0, {"old", "old", "new"}},
      {"a removal that fails", [&](auto& f) { f.FailRemoval(ro + "/a"); }, [&] { RemoveFile(ro + "/a"); }, 70,
       {"old", "old", "old"}},
      {"a replacement of a file that cannot be removed", [&](auto& f) { f.FailRemoval(ro + "/a"); },
       [&] { ReplaceFileBytes(ro + "/a", "new"); }, 70, {"old", "old", "old"}},
      {"a write into a file that cannot be removed", [&](auto& f) { f.FailRemoval(ro + "/a"); },
       [&] { WriteFileBytes(ro + "/a", "new"); }, 0, {"new", "old", "old"}},
      {"a name that stays after its removal", [&](auto& f) { f.KeepAfterRemoval(ro + "/a"); },
       [&] { RemoveFile(ro + "\\A"); }, 70, {"old", "old", "old"}},
      {"another file beside one that stays", [&](auto& f) { f.KeepAfterRemoval(ro + "/a"); },
       [&] { RemoveFile(other + "/a"); }, 0, {"old", "old", ""}},
      {"a write that fills the disk", [&](auto& f) { f.FillDiskAfter(full, 5); },
       [&] { WriteFileBytes(full + "/a", "new bytes"); }, 61, {"old", "new b", "old"}},
      {"writes that fill the disk in turn", [&](auto& f) { f.FillDiskAfter(full, 5); },
       [&] {
         AppendFileBytes(full + "/a", "+");
         AppendFileBytes(full + "/a", "1234");
         AppendFileBytes(full + "/a", "x");
       }, 61, {"old", "old+1234", "old"}},
      {"a replacement that does not fit", [&](auto& f) { f.FillDiskAfter(full, 5); },
       [&] { ReplaceFileBytes(full + "/a", "new bytes"); }, 61, {"old", "old", "old"}},
      {"a copy that does not fit", [&](auto& f) { f.FillDiskAfter(full, 2); },
       [&] { CopyFileTo(other + "/a", full + "/a"); }, 61, {"old", "ol", "old"}},
      {"lines appended in a read-only folder", [&](auto& f) { f.MakeReadOnly(ro); },
       [&] { LineAppender(ro + "/a").Write("new\r\n"); }, 70, {"old", "old", "old"}},
      {"lines that do not fit, cut back whole", [&](auto& f) { f.FillDiskAfter(full, 5); },
       [&] {
         LineAppender lines(full + "/a");
         lines.Write("new bytes\r\n");
         lines.Commit();
       }, 61, {"old", "old", "old"}},
      {"a streamed removal of a file that cannot be removed", [&](auto& f) { f.FailRemoval(ro + "/a"); },
       [&] { FileReplacement(ro + "/a").CommitAsRemoval(); }, 70, {"old", "old", "old"}},
      {"a write beside the full disk", [&](auto& f) { f.FillDiskAfter(full, 0); },
       [&] { ReplaceFileBytes(other + "/a", "new bytes"); }, 0, {"old", "old", "new bytes"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& folder : {ro, full, other}) test::WriteFile(folder + "/a", "old");
    std::filesystem::remove_all(ro + "/new");
    {
      test::FaultFileSystem faults;
      c.fault(faults);
      EXPECT_EQ(ErrorOf(c.call), c.error);
      // Reading and listing are never refused.
      EXPECT_EQ(ReadFileBytes(ro + "/a"), c.after[0]);
      EXPECT_EQ(ListFiles(ro + "/*").front(), "a");
    }
    EXPECT_EQ(&CurrentFileSystem(), &HostFileSystem());
    EXPECT_FALSE(test::Exists(ro + "/b"));
    EXPECT_FALSE(test::Exists(ro + "/new"));
    const std::vector<std::string> after = {test::ReadFile(ro + "/a"), test::ReadFile(full + "/a"),
                                            test::Exists(other + "/a") ? test::ReadFile(other + "/a") : ""};
    EXPECT_EQ(after, c.after);
  }
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
    ASSERT_TRUE(folders);
    if (!mount.ok()) SEVRIK_CANNOT_RUN_HERE("cannot mount read-only here: " + mount.error());
    test::WriteFile(dir / "rw/TPBQUE.STA", "0\r\nSUCCESS\r\n");
  }
  TempDir dir;
  const bool folders = ::mkdir((dir / "rw").c_str(), 0755) == 0 && ::mkdir((dir / "ro").c_str(), 0755) == 0;
  const test::Mount mount = test::Mount::ReadOnly(dir / "rw", dir / "ro");
};

TEST_F(ReadOnlyFolder, ReplacingFailsAndLeavesTheOldFileAndNoTemporaryFile) {
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "ro/TPBQUE.STA", "1\r\n"); }), 70);
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "ro/TPBQUE.LOG", "x"); }), 70);
  EXPECT_EQ(test::ReadFile(dir / "ro/TPBQUE.STA"), "0\r\nSUCCESS\r\n");
  EXPECT_EQ(Entries(dir / "rw"), std::vector<std::string>{"TPBQUE.STA"});
}

}  // namespace
}  // namespace sevrik
