// Ranuvel Plug-In in real folders: drive C: mapped into a temporary folder, the program
// delivered beside a new SEVRIK.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "tests/fault_fs.h"
#include "tests/mounts.h"
#include "tests/testutil.h"
#include "tools/workspace.h"
#include "updater/update.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

class Updater : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::InstallProgram(test::BuiltProgram("updater/Ranuvel Plug-In"), delivery);
    test::WriteFile(delivery + "/SEVRIK", "new program\n");
    fs::permissions(delivery + "/SEVRIK", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::create_directories(target_folder);
  }
  // Runs the updater and gives its message.
  std::string Run() {
    const auto r = test::RunProgram(delivery + "/Ranuvel Plug-In", {}, dir.path(),
                                    {"SEVRIK_DIALOGS=console", "SEVRIK_DRIVE_C=" + drive});
    EXPECT_EQ(r.status, 0);
    const std::string head = "== Ranuvel Plug-In ==\n";
    EXPECT_EQ(r.err.substr(0, head.size()), head);
    return r.err.substr(std::min(head.size(), r.err.size()));
  }
  // The names in the target folder, the hidden ones included, and what the program holds.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(target_folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  test::TempDir dir;
  std::string delivery = dir / "paket";
  std::string drive = dir / "c";
  std::string target_folder = drive + "/BeaCukai/TPB25";
};

TEST_F(Updater, ReplacesTheProgramKeepingItsNameAndMakesIpdataOnce) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
  EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "new program\n");
  EXPECT_EQ(fs::status(target_folder + "/SEVRIK.exe").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
  ASSERT_TRUE(fs::is_directory(delivery + "/IPDATA"));

  test::WriteFile(delivery + "/IPDATA/keep", "x");
  fs::rename(target_folder + "/SEVRIK.exe", target_folder + "/sevrik");
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"sevrik"});
  EXPECT_TRUE(test::Exists(delivery + "/IPDATA/keep"));
}

TEST_F(Updater, AFirstInstallTakesTheSourcesName) {
  fs::rename(delivery + "/SEVRIK", delivery + "/SEVRIK.exe");
  fs::create_directories(delivery + "/ipdata");  // an existing data folder in another case
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
  EXPECT_FALSE(test::Exists(delivery + "/IPDATA"));
}

TEST_F(Updater, FailuresNameTheirCauseAndLeaveTheOldProgramAlone) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  const auto untouched = [&] {
    EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
    EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "old program\n");
  };
  fs::rename(delivery + "/SEVRIK", delivery + "/SEVRIK.old");
  EXPECT_EQ(Run(), "Update FailedFile not found\n");
  untouched();
  fs::rename(delivery + "/SEVRIK.old", delivery + "/SEVRIK");

  fs::permissions(target_folder + "/SEVRIK.exe", fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(Run(), "Update FailedPermission denied\n");
  untouched();
  fs::permissions(target_folder + "/SEVRIK.exe", fs::perms::owner_read | fs::perms::owner_write);

  fs::remove_all(delivery + "/IPDATA");
  test::WriteFile(delivery + "/IPDATA", "a file where the folder goes");
  EXPECT_EQ(Run().substr(0, 35), "Update FailedPath/File access error");
  untouched();
}

// A folder that cannot be written, a program in use, a disk too small for the new program:
// the steps in the process, through the fault-injecting file system.
TEST_F(Updater, FailuresOfTheTargetFolderLeaveTheOldProgramAlone) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  test::WriteFile(delivery + "/SEVRIK", std::string(256 * 1024, 'x'));
  const struct {
    const char* name;
    std::function<void(test::FaultFileSystem&)> fault;
    const char* message;
  } cases[] = {
      {"a read-only folder", [&](auto& f) { f.MakeReadOnly(target_folder); }, "Update FailedPermission denied"},
      {"a program in use", [&](auto& f) { f.FailRemoval(target_folder + "/SEVRIK.exe"); },
       "Update FailedPermission denied"},
      {"a full disk", [&](auto& f) { f.FillDiskAfter(drive, 64 * 1024); }, "Update FailedDisk full"},
  };
  ::setenv("SEVRIK_DRIVE_C", drive.c_str(), 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::FaultFileSystem faults;
    c.fault(faults);
    EXPECT_EQ(updater::RunUpdate(delivery), c.message);
    EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
    EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "old program\n");
  }
  ::unsetenv("SEVRIK_DRIVE_C");
}

// The system's own full disk, once: the copy stops part way and its temporary file goes.
TEST_F(Updater, AFullDiskLeavesTheOldProgramAndNoTemporaryFile) {
  const test::Mount disk = test::Mount::SmallDisk(target_folder, "64k");
  if (!disk.ok()) GTEST_SKIP() << "needs root for a tmpfs mount: " << disk.error();
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  test::WriteFile(delivery + "/SEVRIK", std::string(256 * 1024, 'x'));
  EXPECT_EQ(Run(), "Update FailedPath/File access error (No space left on device)\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
  EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "old program\n");
}

TEST_F(Updater, AMissingTargetFolderOrDriveIsAPathError) {
  fs::remove_all(target_folder);
  EXPECT_EQ(Run(), "Update FailedPath not found\n");
  EXPECT_FALSE(test::Exists(target_folder));
  fs::remove_all(drive);
  EXPECT_EQ(Run(), "Update FailedPath not found\n");
}

}  // namespace
}  // namespace sevrik
