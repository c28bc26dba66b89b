// Ranuvel Plug-In in real folders: drive C: mapped into a temporary folder, the program
// delivered beside a new SEVRIK.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "tests/fault_fs.h"
#include "tests/testutil.h"
#include "tools/workspace.h"
#include "updater/program_image.h"
#include "updater/update.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

void Put(std::string& bytes, size_t at, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// The smallest whole ELF program, written by hand: the ELF header, one loadable segment over
// the whole file, the program's 16 bytes ("new program"), a null section and one of 16 bytes.
std::string ElfProgram() {
  std::string b(264, '\0');
  b.replace(0, 7, "\x7F" "ELF\x02\x01\x01");
  Put(b, 16, 2, 2);     // e_type: an executable
  Put(b, 18, 0x3E, 2);  // e_machine
  Put(b, 20, 1, 4);     // e_version
  Put(b, 32, 64, 8);    // e_phoff
  Put(b, 40, 136, 8);   // e_shoff
  Put(b, 52, 64, 2);    // e_ehsize
  Put(b, 54, 56, 2);    // e_phentsize
  Put(b, 56, 1, 2);     // e_phnum
  Put(b, 58, 64, 2);    // e_shentsize
  Put(b, 60, 2, 2);     // e_shnum
  Put(b, 64, 1, 4);     // p_type: PT_LOAD
  Put(b, 64 + 32, 264, 8);  // p_filesz
  b.replace(120, 16, std::string("new program\n\0\0\0\0", 16));
  Put(b, 200 + 4, 1, 4);    // section 1: sh_type PROGBITS
  Put(b, 200 + 24, 120, 8);  // sh_offset
  Put(b, 200 + 32, 16, 8);   // sh_size
  return b;
}

std::string With(std::string b, size_t at, uint64_t value, int size) {
  Put(b, at, value, size);
  return b;
}

// The smallest whole PE program by hand: MZ header, PE header at 0x40, a 32-bit optional
// header of 224 bytes, one section of 0x200 bytes at 0x200.
std::string PeProgram() {
  std::string b(0x400, '\0');
  b.replace(0, 2, "MZ");
  Put(b, 0x3C, 0x40, 4);           // e_lfanew
  b.replace(0x40, 4, std::string("PE\0\0", 4));
  Put(b, 0x44, 0x14C, 2);          // i386
  Put(b, 0x46, 1, 2);              // NumberOfSections
  Put(b, 0x54, 224, 2);            // SizeOfOptionalHeader
  Put(b, 0x56, 0x0102, 2);         // executable, 32-bit
  Put(b, 0x58, 0x10B, 2);          // optional header magic
  Put(b, 0x58 + 68, 2, 2);         // Subsystem: GUI
  const size_t section = 0x58 + 224;
  b.replace(section, 5, ".text");
  Put(b, section + 16, 0x200, 4);  // SizeOfRawData
  Put(b, section + 20, 0x200, 4);  // PointerToRawData
  return b;
}

TEST(ProgramImage, OnlyAWholeProgramOfTheSystemsFormatPasses) {
  using updater::ProgramFormat;
  const std::string elf = ElfProgram(), pe = PeProgram();
  const size_t pe_section = 0x58 + 224;
  struct Case {
    const char* name;
    std::string bytes;
    ProgramFormat format;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {"whole ELF", elf, ProgramFormat::Elf, ""},
      {"whole PE", pe, ProgramFormat::Pe, ""},
      {"empty", "", ProgramFormat::Elf, "the file is empty"},
      {"empty PE", "", ProgramFormat::Pe, "the file is empty"},
      {"text", "new program\n", ProgramFormat::Elf, "no ELF header"},
      {"PE for ELF", pe, ProgramFormat::Elf, "no ELF header"},
      {"ELF for PE", elf, ProgramFormat::Pe, "no MZ header"},
      {"ELF header cut", elf.substr(0, 40), ProgramFormat::Elf, "the ELF header is cut short"},
      {"ELF cut in the segment", elf.substr(0, 130), ProgramFormat::Elf, "segment 0 ends past the end of the file"},
      {"ELF without section headers' end", With(elf, 64 + 32, 200, 8).substr(0, 200), ProgramFormat::Elf,
       "the section headers end past the end of the file"},
      {"ELF section past the end", With(elf, 200 + 32, 1000, 8), ProgramFormat::Elf,
       "section 1 ends past the end of the file"},
      {"ELF offset that overflows", With(elf, 200 + 24, ~0ull, 8), ProgramFormat::Elf,
       "section 1 ends past the end of the file"},
      {"ELF segment past the end", With(elf, 64 + 32, 10000, 8), ProgramFormat::Elf,
       "segment 0 ends past the end of the file"},
      {"ELF without program headers", With(elf, 56, 0, 2), ProgramFormat::Elf, "the ELF file has no program headers"},
      {"ELF object file", With(elf, 16, 1, 2), ProgramFormat::Elf, "the ELF file is no program"},
      {"MZ only", pe.substr(0, 0x40), ProgramFormat::Pe, "the PE header lies past the end of the file"},
      {"e_lfanew past the end", With(pe, 0x3C, 0x7FFFFFF0, 4), ProgramFormat::Pe,
       "the PE header lies past the end of the file"},
      {"no PE signature", With(pe, 0x40, 0, 4), ProgramFormat::Pe, "no PE header"},
      {"PE cut in the section table", pe.substr(0, pe_section + 20), ProgramFormat::Pe,
       "the section table ends past the end of the file"},
      {"PE cut in the section", pe.substr(0, 0x300), ProgramFormat::Pe, "section 1 ends past the end of the file"},
      {"PE section past the end", With(pe, pe_section + 16, 0x10000, 4), ProgramFormat::Pe,
       "section 1 ends past the end of the file"},
      {"PE without sections", With(pe, 0x46, 0, 2), ProgramFormat::Pe, "the PE file has no sections"},
      {"a DLL", With(pe, 0x56, 0x2102, 2), ProgramFormat::Pe, "the PE file is a DLL, no program"},
      {"a console program", With(pe, 0x58 + 68, 3, 2), ProgramFormat::Pe, ""},
      {"a driver", With(pe, 0x58 + 68, 1, 2), ProgramFormat::Pe,
       "the PE program is of subsystem 1, neither GUI nor console"},
      {"an optional header without a subsystem", With(pe, 0x54, 60, 2), ProgramFormat::Pe,
       "the optional header is cut short"},
      {"a position-independent program", With(With(elf, 16, 3, 2), 64, 3, 4), ProgramFormat::Elf, ""},
      {"a shared library", With(elf, 16, 3, 2), ProgramFormat::Elf,
       "the ELF file is a shared library, no program (no program interpreter)"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(updater::ProgramImageProblem(c.bytes, c.format), c.problem) << c.name;
  // The programs of this build pass.
  for (const char* built : {"programs/SEVRIK", "shim/ZUL", "updater/Ranuvel Plug-In"})
    EXPECT_EQ(updater::ProgramImageProblem(test::ReadFile(test::BuiltProgram(built)), ProgramFormat::Elf), "")
        << built;
  // The system's shared libraries do not.
  for (const char* library : {"/lib/x86_64-linux-gnu/libz.so.1", "programs/libsevrik-qt.so"}) {
    const std::string path = library[0] == '/' ? library : test::BuiltProgram(library);
    if (!test::Exists(path)) continue;
    EXPECT_EQ(updater::ProgramImageProblem(test::ReadFile(path), ProgramFormat::Elf),
              "the ELF file is a shared library, no program (no program interpreter)")
        << library;
  }
}

class Updater : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::InstallProgram(test::BuiltProgram("updater/Ranuvel Plug-In"), delivery);
    test::WriteFile(delivery + "/SEVRIK", new_program);
    fs::permissions(delivery + "/SEVRIK", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    fs::create_directories(target_folder);
  }
  // Runs the updater and gives its message.
  std::string Run() {
    const auto r = test::RunProgram(delivery + "/Ranuvel Plug-In", {}, dir.path(),
                                    {"SEVRIK_DIALOGS=console", "SEVRIK_DRIVE_C=" + drive});
    const std::string head = "== Ranuvel Plug-In ==\n";
    EXPECT_EQ(r.err.substr(0, head.size()), head);
    const std::string message = r.err.substr(std::min(head.size(), r.err.size()));
    EXPECT_EQ(r.status, message.starts_with("Update Completed") ? 0 : 1) << message;
    return message;
  }
  // The names in the target folder, the hidden ones included, and what the program holds.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(target_folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  const std::string new_program = ElfProgram();
  test::TempDir dir;
  std::string delivery = dir / "paket";
  std::string drive = dir / "c";
  std::string target_folder = drive + "/BeaCukai/TPB25";
};

TEST_F(Updater, ReplacesTheProgramKeepingItsNameAndMakesIpdataOnce) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
  EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), new_program);
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

// A folder that cannot be written, a program in use, a disk too small for the new program, a
// disk that keeps a damaged copy:
// the steps in the process, through the fault-injecting file system.
TEST_F(Updater, FailuresOfTheTargetFolderLeaveTheOldProgramAlone) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  test::WriteFile(delivery + "/SEVRIK", ElfProgram() + std::string(256 * 1024, 'x'));  // whole, and too big
  const struct {
    const char* name;
    std::function<void(test::FaultFileSystem&)> fault;
    const char* message;
  } cases[] = {
      {"a read-only folder", [&](auto& f) { f.MakeReadOnly(target_folder); }, "Update FailedPermission denied"},
      {"a program in use", [&](auto& f) { f.FailRemoval(target_folder + "/SEVRIK.exe"); },
       "Update FailedPermission denied"},
      {"a full disk", [&](auto& f) { f.FillDiskAfter(drive, 64 * 1024); }, "Update FailedDisk full"},
      // The disk reports the copy written, and keeps less, or other bytes: the read-back finds it.
      {"a short copy", [&](auto& f) { f.DamageInstalledCopy([](std::string_view b) { return std::string(b.substr(0, 4096)); }); },
       "Update FailedPath/File access error (the copy has 4096 of 262408 bytes)"},
      {"a corrupt copy", [&](auto& f) {
         f.DamageInstalledCopy([](std::string_view b) {
           std::string damaged(b);
           damaged[200000] ^= 0x20;
           return damaged;
         });
       }, "Update FailedPath/File access error (the copy differs from the new program)"},
  };
  ::setenv("SEVRIK_DRIVE_C", drive.c_str(), 1);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::FaultFileSystem faults;
    c.fault(faults);
    const updater::UpdateOutcome outcome = updater::RunUpdate(delivery, updater::ProgramFormat::Elf);
    EXPECT_EQ(outcome.message, c.message);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
    EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "old program\n");
  }
  ::unsetenv("SEVRIK_DRIVE_C");
}

TEST_F(Updater, AMissingTargetFolderOrDriveIsAPathError) {
  fs::remove_all(target_folder);
  EXPECT_EQ(Run(), "Update FailedPath not found\n");
  EXPECT_FALSE(test::Exists(target_folder));
  fs::remove_all(drive);
  EXPECT_EQ(Run(), "Update FailedPath not found\n");
}

TEST_F(Updater, ADeliveredProgramThatIsNotWholeIsNotInstalled) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  struct Case {
    const char* name;
    std::string bytes;
    std::string cause;
  };
  const std::vector<Case> cases = {
      {"empty", "", "the file is empty"},
      {"truncated", new_program.substr(0, 150), "segment 0 ends past the end of the file"},
      {"wrong format", PeProgram(), "no ELF header"},
      {"a section past the end", With(new_program, 200 + 32, 4096, 8), "section 1 ends past the end of the file"},
      {"a shared library", test::ReadFile(test::BuiltProgram("programs/libsevrik-qt.so")),
       "the ELF file is a shared library, no program (no program interpreter)"},
  };
  for (const Case& c : cases) {
    test::WriteFile(delivery + "/SEVRIK", c.bytes);
    EXPECT_EQ(Run(), "Update FailedPath/File access error (the new program is not a whole program: " + c.cause + ")\n")
        << c.name;
    EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"}) << c.name;
    EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), "old program\n") << c.name;
  }
  // A real program of this build is whole.
  tools::InstallProgram(test::BuiltProgram("shim/ZUL"), delivery, "SEVRIK");
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), test::ReadFile(test::BuiltProgram("shim/ZUL")));
}

TEST_F(Updater, ATargetThatIsASymbolicLinkIsNotReplaced) {
  test::WriteFile(dir / "elsewhere", "old program\n");
  fs::create_symlink(dir / "elsewhere", target_folder + "/SEVRIK.exe");
  EXPECT_EQ(Run(), "Update FailedPath/File access error (the target is a symbolic link)\n");
  EXPECT_TRUE(fs::is_symlink(target_folder + "/SEVRIK.exe"));
  EXPECT_EQ(test::ReadFile(dir / "elsewhere"), "old program\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"SEVRIK.exe"});
}

TEST_F(Updater, TheTemporaryFilesOfAKilledUpdateAreRemovedByTheNext) {
  test::WriteFile(target_folder + "/SEVRIK.exe", "old program\n");
  const std::vector<std::string> leftovers = {".SEVRIK.exe.tmp-abcdefghi0", ".sevrik.tmp-0123456789",
                                              ".SEVRIK.exe.Ab12Cd"};
  const std::vector<std::string> others = {".SEVRIK.exe.tmp-short", ".keep", "SEVRIK.exe.tmp-abcdefghi0"};
  for (const auto& name : leftovers) test::WriteFile(target_folder + "/" + name, "half a program");
  for (const auto& name : others) test::WriteFile(target_folder + "/" + name, "not ours");
  fs::create_directory(target_folder + "/.SEVRIK.exe.tmp-folder0000");
  EXPECT_EQ(Run(), "Update Completed\n");
  EXPECT_EQ(Entries(), (std::vector<std::string>{".SEVRIK.exe.tmp-folder0000", ".SEVRIK.exe.tmp-short", ".keep",
                                                 "SEVRIK.exe", "SEVRIK.exe.tmp-abcdefghi0"}));
  EXPECT_EQ(test::ReadFile(target_folder + "/SEVRIK.exe"), new_program);
}

}  // namespace
}  // namespace sevrik
