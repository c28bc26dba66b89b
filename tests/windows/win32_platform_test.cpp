// The Win32 platform layer on real folders and drives (under Wine: the test prefix, with
// drive T: mapped to a folder of the build tree by the prefix set-up).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "base/error.h"
#include "base/text.h"
#include "platform/args.h"
#include "platform/file_stream.h"
#include "platform/dialogs_win32.h"
#include "platform/fs.h"
#include "platform/install.h"
#include "platform/locale.h"
#include "platform/process.h"
#include "platform/runlock.h"
#include "platform/win32.h"
#include "tests/testutil.h"
#include "tests/windows/winutil.h"

namespace sevrik {
namespace {

using test::ErrorOf;
using test::ReadFile;
using test::TempDir;
using test::WriteFile;

// Restores the current folder at the end of a test.
class KeepCurrentFolder {
 public:
  KeepCurrentFolder() : folder_(CurrentDirectory()) {}
  ~KeepCurrentFolder() { ::SetCurrentDirectoryA(folder_.c_str()); }

 private:
  std::string folder_;
};

// A drive letter that nothing maps.
std::string UnmappedDrive() {
  const DWORD drives = ::GetLogicalDrives();
  for (char c = 'Q'; c <= 'Y'; ++c)
    if (!(drives & (1u << (c - 'A')))) return std::string(1, c) + ":";
  return "";
}

TEST(Drives, ADriveOfTheSystemBecomesCurrentAndAnUnmappedOneIsADeviceError) {
  KeepCurrentFolder keep;
  TempDir dir;
  ChangeDrive("T:\\EDI");
  EXPECT_EQ(AsciiUpper(CurrentDirectory().substr(0, 2)), "T:");
  ChangeDirectory(dir.path());
  EXPECT_EQ(AsciiLower(CurrentDirectory()), AsciiLower(dir.path()));
  ChangeDrive("EDI");  // no drive letter: nothing changes
  EXPECT_EQ(AsciiLower(CurrentDirectory()), AsciiLower(dir.path()));

  const std::string none = UnmappedDrive();
  ASSERT_FALSE(none.empty());
  EXPECT_EQ(ErrorOf([&] { ChangeDrive(none + "\\EDI"); }), err::kDeviceUnavailable);
  EXPECT_EQ(ErrorOf([&] { ChangeDirectory(none + "\\EDI"); }), err::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { WriteFileBytes(none + "\\EDI\\x.txt", "x"); }), err::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { ListFiles(none + "\\*.txt"); }), err::kBadFileName);
  EXPECT_EQ(ErrorOf([&] { ChangeDirectory(dir / "missing"); }), err::kPathNotFound);
}

TEST(Drives, EnterFolderMakesDriveAndFolderCurrentAsTheRunsDo) {
  KeepCurrentFolder keep;
  TempDir dir;
  ::CreateDirectoryA((dir / "EDI").c_str(), nullptr);
  ChangeDrive("C:\\");
  EnterFolder(dir.path() + "\\EDI");
  EXPECT_EQ(AsciiLower(CurrentDirectory()), AsciiLower(dir.path() + "\\EDI"));
  WriteFileBytes("ipdata.txt", "here");  // a bare name lands in the current folder
  EXPECT_EQ(ReadFile(dir / "EDI/ipdata.txt"), "here");
}

TEST(Folders, ProgramFolderIsTheExecutablesWithoutTrailingSeparator) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(FileExists(folder + "\\win32_platform_test.exe"));
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(FileExists(folder));
}

TEST(Case, NamesInAnyCaseReachTheSameFolderAndNewFilesKeepTheirCase) {
  TempDir dir;
  ::CreateDirectoryA((dir / "ipdata").c_str(), nullptr);
  WriteFileBytes(dir.path() + "\\IPDATA\\BC23.FLT", "23");
  WriteFileBytes(dir.path() + "\\ipdata\\BC25.FLT", "25");
  EXPECT_EQ(ListFiles(dir.path() + "\\ipdata\\*.flt"), (std::vector<std::string>{"BC23.FLT", "BC25.FLT"}));
  EXPECT_EQ(ReadFileBytes(dir.path() + "\\Ipdata\\bc23.flt"), "23");
  EXPECT_TRUE(FileExists(dir.path() + "/IPDATA/bc25.FLT"));
  EXPECT_EQ(FindProgramFile(dir.path() + "\\ipdata\\bc25.flt"), dir.path() + "\\ipdata\\bc25.flt");
}

TEST(Listing, MatchesWithoutCaseListsPlainFilesOnlyInLowerCaseOrder) {
  TempDir dir;
  for (const char* name : {"b.IDT", "A.idt", "c.idtx", ".hidden.idt", "e_error", "e_error.001", "notes.TXT"})
    WriteFile(dir / name, "x");
  ::CreateDirectoryA((dir / "folder.idt").c_str(), nullptr);
  EXPECT_EQ(ListFiles(dir.path() + "\\*.idt"), (std::vector<std::string>{"A.idt", "b.IDT"}));
  EXPECT_EQ(ListFiles(dir.path() + "\\e_error.*"), (std::vector<std::string>{"e_error", "e_error.001"}));
  EXPECT_EQ(ListFiles(dir.path() + "\\*.txt"), (std::vector<std::string>{"notes.TXT"}));
  EXPECT_TRUE(ListFiles(dir.path() + "\\missing\\*.txt").empty());
  KeepCurrentFolder keep;
  ChangeDirectory(dir.path());
  EXPECT_EQ(ListFiles("?.idt"), (std::vector<std::string>{"A.idt", "b.IDT"}));
}

TEST(Files, ReadWriteAppendAndTheirErrors) {
  TempDir dir;
  const std::string f = dir.path() + "\\log.txt";
  AppendFileBytes(f, "one\r\n");
  AppendFileBytes(f, "two\r\n");
  EXPECT_EQ(ReadFileBytes(f), "one\r\ntwo\r\n");
  EXPECT_EQ(ReadFileHead(f, 3), "one");
  WriteFileBytes(f, "new");
  EXPECT_EQ(ReadFileBytes(f), "new");
  {
    OutputFile out(f, OutputFile::Mode::Output);
    out.Write(std::string(200000, 'x'));  // more than one buffer
    out.Close();
  }
  EXPECT_EQ(ReadFileBytes(f).size(), 200000u);

  EXPECT_EQ(ErrorOf([&] { ReadFileBytes(dir / "missing.txt"); }), err::kFileNotFound);
  EXPECT_EQ(ErrorOf([&] { ReadFileBytes(dir / "missing/x.txt"); }), err::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { WriteFileBytes(dir / "missing/x.txt", "x"); }), err::kPathNotFound);
  EXPECT_EQ(ErrorOf([&] { ReadFileBytes(dir.path()); }), err::kPathFileAccess);
  EXPECT_EQ(ErrorOf([&] { RemoveFile(dir / "missing.txt"); }), err::kFileNotFound);

  ::SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ErrorOf([&] { WriteFileBytes(f, "x"); }), err::kPermissionDenied);
  EXPECT_EQ(ReadFileBytes(f).size(), 200000u);
}

TEST(Files, CopyReplacesTheTargetAndDeleteRemoves) {
  TempDir dir;
  WriteFile(dir / "a.flt", "first");
  WriteFile(dir / "b.flt", "older and longer");
  CopyFileTo(dir.path() + "\\a.flt", dir.path() + "\\b.flt");
  EXPECT_EQ(ReadFile(dir / "b.flt"), "first");
  EXPECT_EQ(ErrorOf([&] { CopyFileTo(dir / "none.flt", dir / "c.flt"); }), err::kFileNotFound);
  RemoveFile(dir.path() + "\\A.FLT");
  EXPECT_FALSE(FileExists(dir / "a.flt"));
}

// A file that another program holds open with delete sharing keeps its name after its
// deletion until that program closes it: it is not counted as removed.
TEST(Files, AFileHeldOpenWithDeleteSharingIsNotCountedAsRemoved) {
  TempDir dir;
  WriteFile(dir / "TPBQUE.STA", "0\r\nSUCCESS\r\n");
  const HANDLE held = ::CreateFileA(ToAnsi(dir.path() + "\\TPBQUE.STA").c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ErrorOf([&] { RemoveFile(dir.path() + "\\TPBQUE.STA"); }), err::kPermissionDenied);
  ::CloseHandle(held);
  EXPECT_FALSE(FileExists(dir.path() + "\\TPBQUE.STA"));
}

TEST(Replace, TheNewBytesTakeThePlaceOfTheOldAndNoTemporaryFileStays) {
  TempDir dir;
  const std::string f = dir.path() + "\\SEVRIK.PND";
  ReplaceFileBytes(f, "first");
  ReplaceFileBytes(f, "second");
  EXPECT_EQ(ReadFileBytes(f), "second");
  // The temporary file would start with "." and so be left out of a listing: count all.
  WIN32_FIND_DATAA entry;
  int entries = 0;
  HANDLE find = ::FindFirstFileA((dir.path() + "\\*").c_str(), &entry);
  do
    if (entry.cFileName[0] != '.' || entry.cFileName[1] > '.') ++entries;
  while (::FindNextFileA(find, &entry));
  ::FindClose(find);
  EXPECT_EQ(entries, 1);

  ::SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(f, "third"); }), err::kPermissionDenied);
  EXPECT_EQ(ReadFileBytes(f), "second");
  EXPECT_EQ(ErrorOf([&] { ReplaceFileBytes(dir / "missing/x", "x"); }), err::kPathNotFound);
}

// The streamed changes that SEVRIK.PND takes: a replacement that lands whole or not at all, an
// append that goes after a cut line and is cut back unless committed, a reader of long lines.
TEST(Streams, ChangeAFileWholeOrNotAtAll) {
  TempDir dir;
  const std::string f = dir.path() + "\\SEVRIK.PND";
  WriteFile(f, "A|1\r\nB|cut");
  {
    LineAppender lines(f);
    lines.Write("C|3\r\n");
  }  // no commit: cut back
  EXPECT_EQ(ReadFileBytes(f), "A|1\r\nB|cut");
  {
    LineAppender lines(f);
    lines.Write("C|3\r\n");
    lines.Commit();
  }
  EXPECT_EQ(ReadFileBytes(f), "A|1\r\nB|cut\r\nC|3\r\n");

  std::vector<std::string> pieces;
  {
    LineReader reader(f, Links::Refuse);
    std::string line;
    for (LineReader::Piece p; (p = reader.Next(line, 3)) != LineReader::Piece::End;)
      pieces.push_back(line + (p == LineReader::Piece::Part ? "+" : ""));
  }
  EXPECT_EQ(pieces, (std::vector<std::string>{"A|1+", "\r", "B|c+", "ut\r", "C|3+", "\r"}));

  {
    FileReplacement dropped(f);
    dropped.Write("lost");
  }  // no commit: the old file stays, no temporary file
  EXPECT_EQ(ReadFileBytes(f), "A|1\r\nB|cut\r\nC|3\r\n");
  FileReplacement rest(f);
  rest.Write(std::string(kStreamChunk + 3, 'x'));
  rest.Commit();
  EXPECT_EQ(ReadFileBytes(f), std::string(kStreamChunk + 3, 'x'));
  FileReplacement(f).CommitAsRemoval();
  EXPECT_FALSE(FileExists(f));
  EXPECT_EQ(RemoveLeftoverReplacements(f), 0u);  // no temporary file stayed
  EXPECT_EQ(ErrorOf([&] { FileReplacement(dir / "missing/x"); }), err::kPathNotFound);
}

TEST(Text, PathsWithCharactersOfTheCodePage) {
  TempDir dir;
  const std::string name = dir.path() + "\\Penerimaan \xC3\xA9t\xC3\xA9.txt";  // "été" in UTF-8
  WriteFileBytes(name, "x");
  EXPECT_EQ(ListFiles(dir.path() + "\\*.txt"), (std::vector<std::string>{"Penerimaan \xC3\xA9t\xC3\xA9.txt"}));
  EXPECT_EQ(ToAnsi("\xC3\xA9"), "\xE9");
  EXPECT_EQ(FromAnsi("\xE9"), "\xC3\xA9");
}

TEST(Locale, TheSystemsRegionalSettings) {
  const auto de = LoadLocale("de-DE", "de-DE");
  ASSERT_TRUE(de);
  EXPECT_EQ(de->decimal_separator, ",");
  EXPECT_EQ(de->group_separator, ".");
  EXPECT_EQ(de->short_date_order, DateOrder::DayMonthYear);
  EXPECT_EQ(NumberToText(1234.5, *de), "1234,5");

  const auto us = LoadLocale("en-US", "en-US");
  ASSERT_TRUE(us);
  EXPECT_EQ(us->decimal_separator, ".");
  EXPECT_EQ(us->month_abbrev[0], "Jan");
  EXPECT_EQ(us->month_abbrev[11], "Dec");
  EXPECT_EQ(us->short_date_order, DateOrder::MonthDayYear);

  const auto iso = LoadLocale("sv-SE", "sv-SE");
  ASSERT_TRUE(iso);
  EXPECT_EQ(iso->short_date_order, DateOrder::YearMonthDay);

  EXPECT_FALSE(LoadLocale("xx-NOPE", ""));
  EXPECT_FALSE(UserLocale().decimal_separator.empty());
}

TEST(CommandLine, TheArgumentTextIsWhatFollowsTheProgramName) {
  EXPECT_EQ(ArgumentTextOf("\"C:\\Program Files\\SEVRIK.exe\" QUE  BC25 X "), "QUE  BC25 X ");
  EXPECT_EQ(ArgumentTextOf("SEVRIK.exe\tCOM"), "COM");
  EXPECT_EQ(ArgumentTextOf("SEVRIK.exe"), "");
  EXPECT_EQ(ArgumentTextOf("\"SEVRIK.exe"), "");
}

TEST(Process, StartsTheLineInTheCurrentFolderAndWaits) {
  KeepCurrentFolder keep;
  TempDir dir;
  test::CopyProgram(test::TestProgram("recorder_win32.exe"), dir / "Ranuvel.exe");
  const std::string record = dir / "record.txt";
  ::SetEnvironmentVariableA("SEVRIK_RECORD", record.c_str());
  ::SetEnvironmentVariableA("SEVRIK_RECORD_SLEEP_MS", "300");
  ChangeDirectory(dir.path());
  const DWORD start = ::GetTickCount();
  RunAndWait("ranuvel TPBQUE \"C:\\My Folder\\x.flt\" a\\\\\"b\"");
  EXPECT_GE(::GetTickCount() - start, 250u);  // it waited for the child
  ::SetEnvironmentVariableA("SEVRIK_RECORD_SLEEP_MS", nullptr);
  const std::string got = ReadFile(record);
  EXPECT_NE(got.find("line=ranuvel TPBQUE \"C:\\My Folder\\x.flt\" a\\\\\"b\"\n"), std::string::npos) << got;
  EXPECT_NE(got.find("arg=TPBQUE\narg=C:\\My Folder\\x.flt\narg=a\\b\nend"), std::string::npos) << got;
  EXPECT_NE(AsciiLower(got).find("cwd=" + AsciiLower(dir.path()) + "\n"), std::string::npos) << got;
  EXPECT_EQ(AsciiLower(FindProgram("ranuvel")), AsciiLower(dir.path() + "\\Ranuvel.exe"));

  const DWORD before = ::GetTickCount();
  RunAndWait("no-such-program TPBQUE");  // quietly, at once
  RunAndWait("");
  EXPECT_LT(::GetTickCount() - before, 5000u);
  EXPECT_EQ(FindProgram("no-such-program"), "");
  ::SetEnvironmentVariableA("SEVRIK_RECORD", nullptr);
}

// A program started as a run's group: the job of the run's name holds it and what it starts,
// and the wait lasts until the last of them ends (here a program that cmd leaves running).
TEST(Process, AGroupIsWaitedForWithEverythingItStarted) {
  KeepCurrentFolder keep;
  TempDir dir;
  test::CopyProgram(test::TestProgram("recorder_win32.exe"), dir / "Ranuvel.exe");
  const std::string record = dir / "record.txt";
  ::SetEnvironmentVariableA("SEVRIK_RECORD", record.c_str());
  ::SetEnvironmentVariableA("SEVRIK_RECORD_SLEEP_MS", "500");
  ChangeDirectory(dir.path());
  ProcessIdentity seen;
  bool runs_meanwhile = false;
  ASSERT_TRUE(RunAndWait("cmd /c start /b Ranuvel.exe left", "run-7", [&](const ProcessIdentity& p) {
    seen = p;
    runs_meanwhile = RunGroupRuns("run-7");
  }));
  ::SetEnvironmentVariableA("SEVRIK_RECORD_SLEEP_MS", nullptr);
  ::SetEnvironmentVariableA("SEVRIK_RECORD", nullptr);
  EXPECT_EQ(seen.group, "Local\\SEVRIK-run-run-7");
  EXPECT_TRUE(runs_meanwhile);
  EXPECT_NE(ReadFile(record).find("arg=left\nend"), std::string::npos);
  EXPECT_FALSE(RunGroupRuns("run-7"));
  EXPECT_FALSE(ProcessGroupRuns(seen));
}

TEST(RunLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
  TempDir dir;
  const std::string path = dir.path() + "\\SEVRIK.LCK";
  auto first = std::make_unique<RunLock>(path, [] { FAIL() << "the first holder never waits"; });
  std::atomic<bool> waited{false}, locked{false};
  std::thread second([&] {
    RunLock lock(path, [&] { waited = true; });
    locked = true;
  });
  ASSERT_TRUE(test::WaitFor([&] { return waited.load(); }));
  ::Sleep(200);
  EXPECT_FALSE(locked);
  EXPECT_EQ(RunLock::TryLock(path), nullptr);
  first.reset();
  second.join();
  EXPECT_TRUE(locked);
  EXPECT_NE(RunLock::TryLock(path), nullptr);
  EXPECT_EQ(ErrorOf([&] { RunLock(dir / "missing/SEVRIK.LCK", {}); }), err::kPathNotFound);
}

TEST(Install, ReplacesTheTargetWithAWholeCopy) {
  TempDir dir;
  WriteFile(dir / "new.exe", std::string(300000, 'n'));
  WriteFile(dir / "target/SEVRIK.exe", "old");
  InstallFileCopy(dir / "new.exe", dir.path() + "\\target\\SEVRIK.exe");
  EXPECT_EQ(ReadFile(dir / "target/SEVRIK.exe"), std::string(300000, 'n'));
  EXPECT_EQ(ListFiles(dir.path() + "\\target\\*"), (std::vector<std::string>{"SEVRIK.exe"}));

  EXPECT_EQ(ErrorOf([&] { InstallFileCopy(dir / "none.exe", dir / "target/SEVRIK.exe"); }), err::kFileNotFound);
  EXPECT_EQ(ErrorOf([&] { InstallFileCopy(dir / "new.exe", dir / "nofolder/SEVRIK.exe"); }), err::kPathNotFound);
  ::SetFileAttributesA((dir / "target/SEVRIK.exe").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(ErrorOf([&] { InstallFileCopy(dir / "new.exe", dir / "target/SEVRIK.exe"); }), err::kPermissionDenied);

  MakeDirectory(dir / "IPDATA");
  EXPECT_TRUE(DirectoryExists(dir.path() + "\\ipdata"));
  EXPECT_EQ(ErrorOf([&] { MakeDirectory(dir / "IPDATA"); }), err::kPathFileAccess);
  EXPECT_EQ(ErrorOf([&] { MakeDirectory(dir / "a/b"); }), err::kPathNotFound);
}

TEST(Install, ARunningProgramIsNotReplacedAndStaysWhole) {
  TempDir dir;
  test::CopyProgram(test::TestProgram("recorder_win32.exe"), dir / "SEVRIK.exe");
  const std::string old = ReadFile(dir / "SEVRIK.exe");
  WriteFile(dir / "new.exe", "new");
  test::RunningProgram running(dir / "SEVRIK.exe", {}, {}, {"SEVRIK_RECORD_SLEEP_MS=20000", "SEVRIK_RECORD=" + (dir / "r")});
  EXPECT_EQ(ErrorOf([&] { InstallFileCopy(dir / "new.exe", dir / "SEVRIK.exe"); }), err::kPermissionDenied);
  EXPECT_EQ(ReadFile(dir / "SEVRIK.exe"), old);
}

TEST(Dialogs, AMessageBoxShowsTextTitleAndButtonsAndReturnsThePressedOne) {
  if (!DialogsOnDisplay()) GTEST_SKIP() << "SEVRIK_DIALOGS=console";
  Win32Dialogs dialogs("SEVRIK");
  test::RunningProgram helper(test::TestProgram("boxanswer.exe"), {"Perhatian", "yes"});
  EXPECT_EQ(dialogs.ShowMessage("Yakin?\r\nBaris dua", MsgButtons::YesNo, MsgIcon::Question, "Perhatian"),
            MsgAnswer::Yes);
  const test::RunResult seen = helper.Wait();
  EXPECT_EQ(seen.status, 0);
  EXPECT_EQ(seen.out, "title=Perhatian\ntext=Yakin?\r\nBaris dua\nbuttons=yes no \n");

  test::RunningProgram untitled(test::TestProgram("boxanswer.exe"), {"SEVRIK", "ok"});
  EXPECT_EQ(dialogs.ShowMessage("Versi", MsgButtons::Ok, MsgIcon::None), MsgAnswer::Ok);
  EXPECT_EQ(untitled.Wait().out, "title=SEVRIK\ntext=Versi\nbuttons=ok \n");
}

}  // namespace
}  // namespace sevrik
