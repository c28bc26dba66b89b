// ZUL.exe and "Ranuvel Plug-In.exe" as the customs office runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text.h"
#include "platform/fs.h"
#include "platform/win32.h"
#include "tests/testutil.h"
#include "tests/windows/winutil.h"
#include "updater/program_image.h"

namespace sevrik {
namespace {

using test::ReadFile;
using test::RunProgram;
using test::TempDir;
using test::WriteFile;

const std::string kConsole = "SEVRIK_DIALOGS=console";

// What a program wrote to its error stream, with the text mode's CR before LF taken out.
std::string Console(const test::RunResult& r) { return ReplaceAll(r.err, "\r\n", "\n"); }

// A package folder with ZUL.exe and a recording child in the translator's place.
class Zul : public ::testing::Test {
 protected:
  void SetUp() override {
    test::CopyProgram(test::BuiltProgram("shim/ZUL.exe"), pkg.path() + "\\ZUL.exe");
    test::CopyProgram(test::TestProgram("recorder_win32.exe"), pkg.path() + "\\Ranuvel.exe");
  }
  // The command line that the translator was started with, as the system handed it over.
  std::string Run(const std::string& command_line) {
    std::string line = "zul " + command_line;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const std::string env = test::EnvironmentBlock({"SEVRIK_RECORD=" + record(), kConsole});
    EXPECT_TRUE(::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, const_cast<char*>(env.c_str()),
                                 pkg.path().c_str(), &startup, &info));
    ::WaitForSingleObject(info.hProcess, INFINITE);
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
    if (!FileExists(record())) return "(not started)";
    const std::string got = ReadFile(record());
    ::DeleteFileA(record().c_str());
    const size_t at = got.find("line=");
    return got.substr(at + 5, got.find('\n', at) - at - 5);
  }
  void TearDown() override { ::SetCurrentDirectoryA(ProgramFolder().c_str()); }  // so pkg can go
  std::string record() const { return pkg / "record.txt"; }
  TempDir pkg;
};

// "zul" with a bare word runs ZUL.exe of the current folder, as SEVRIK's runs start it.
TEST_F(Zul, RebuildsTheTranslatorLine) {
  SetCurrentDirectoryA(pkg.path().c_str());
  EXPECT_EQ(Run("TPBCOM.ZUL -p NET1"), "Ranuvel TPBCOM.ZUL NET1");
  EXPECT_EQ(Run("tpbcom.zul -p NET1"), "Ranuvel tpbcom.ext NET1");
  EXPECT_EQ(Run("TPBUNQ.ZUL -p A B C"), "Ranuvel TPBUNQ.ZUL A B C");
  EXPECT_EQ(Run("X Y Z"), "Ranuvel X Z");
  EXPECT_EQ(Run("  a.zul   -p    b.zul.zul  "), "Ranuvel a.ext b.ext.ext");
  EXPECT_EQ(Run(""), "Ranuvel");
}

TEST_F(Zul, AQuotedPartnerNameArrivesAsItsWords) {
  SetCurrentDirectoryA(pkg.path().c_str());
  EXPECT_EQ(Run("TPBUNQ.ZUL -p \"PT Maju  Jaya\" BC23 REF1"), "Ranuvel TPBUNQ.ZUL PT Maju  Jaya BC23 REF1");
}

TEST_F(Zul, MoreTokensThanSlotsIsAnErrorBoxAndNoRun) {
  std::vector<std::string> args{"TPBCOM.ZUL", "-p"};
  for (int i = 0; i < 19; ++i) args.push_back("a" + std::to_string(i));
  const test::RunResult r =
      RunProgram(pkg.path() + "\\ZUL.exe", args, pkg.path(), {"SEVRIK_RECORD=" + record(), kConsole});
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(Console(r).find("== ZUL ==\n9 - "), std::string::npos) << r.err;
  EXPECT_FALSE(FileExists(record()));
}

TEST_F(Zul, TheErrorBoxIsAWindowWithTheProgramsTitle) {
  std::vector<std::string> args;
  for (int i = 0; i < 21; ++i) args.push_back("t" + std::to_string(i));
  test::RunningProgram helper(test::TestProgram("boxanswer.exe"), {"ZUL", "ok"});
  const test::RunResult r = RunProgram(pkg.path() + "\\ZUL.exe", args, pkg.path(), {"SEVRIK_DIALOGS="});
  EXPECT_EQ(r.status, 0);
  const test::RunResult seen = helper.Wait();
  EXPECT_EQ(seen.status, 0);
  EXPECT_EQ(seen.out.substr(0, 18), "title=ZUL\ntext=9 -") << seen.out;
  EXPECT_NE(seen.out.find("buttons=ok \n"), std::string::npos);
}

// The updater installs into the fixed C:\BeaCukai\TPB25 (under Wine: the test prefix's C:).
// The delivered SEVRIK.exe is a real program of this build (the recording child).
class Updater : public ::testing::Test {
 protected:
  static constexpr const char* kTarget = "C:\\BeaCukai\\TPB25";
  void SetUp() override {
    std::error_code ec;
    std::filesystem::remove_all(kTarget, ec);
    test::CopyProgram(test::BuiltProgram("updater/Ranuvel Plug-In.exe"), delivery / "Ranuvel Plug-In.exe");
    WriteFile(delivery / "SEVRIK.exe", new_program);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(kTarget, ec);
  }
  // Runs the updater: its closing message, and its exit status checked against it.
  std::string Update() {
    const test::RunResult r = RunProgram(delivery / "Ranuvel Plug-In.exe", {}, {}, {kConsole});
    const std::string message = Console(r);
    EXPECT_EQ(r.status, message.find("Update Completed") != std::string::npos ? 0 : 1) << message;
    return message;
  }
  static std::string Target() { return std::string(kTarget) + "\\SEVRIK.exe"; }
  const std::string new_program = ReadFile(test::TestProgram("recorder_win32.exe"));
  TempDir delivery;
};

// Where the section table of a PE file starts.
size_t SectionTable(const std::string& pe) {
  const auto u = [&](size_t at, int size) {
    size_t v = 0;
    for (int i = size - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(pe[at + static_cast<size_t>(i)]);
    return v;
  };
  const size_t header = u(0x3C, 4);
  return header + 24 + u(header + 20, 2);
}

// Each program carries its version (2.0.0, a description, its name, the product's maker), its manifest (common
// controls 6, per-monitor DPI awareness, asInvoker) and its icon, and no time stamp in its
// header, so that two builds of one commit give the same bytes.
TEST(ProgramImage, TheProgramsCarryTheirVersionManifestAndIcon) {
  const struct {
    const char* built;
    const char* name;
  } programs[] = {{"programs/SEVRIK.exe", "SEVRIK"}, {"shim/ZUL.exe", "ZUL"},
                  {"updater/Ranuvel Plug-In.exe", "Ranuvel Plug-In"}};
  for (const auto& p : programs) {
    SCOPED_TRACE(p.built);
    const std::string path = test::BuiltProgram(p.built);
    const std::string image = ReadFile(path);
    const auto u32 = [&](size_t at) {
      uint32_t v = 0;
      for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(image[at + static_cast<size_t>(i)]);
      return v;
    };
    EXPECT_EQ(u32(u32(0x3C) + 8), 0u);  // TimeDateStamp of the file header

    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string info(size, '\0');
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    const auto text = [&](const char* key) {
      char* value = nullptr;
      UINT n = 0;
      const std::string at = std::string("\\StringFileInfo\\040904B0\\") + key;
      return ::VerQueryValueA(info.data(), at.c_str(), reinterpret_cast<void**>(&value), &n) && value
                 ? std::string(value)
                 : std::string();
    };
    EXPECT_EQ(text("FileVersion"), "2.0.0");
    EXPECT_EQ(text("ProductVersion"), "2.0.0");
    EXPECT_EQ(text("InternalName"), p.name);
    EXPECT_EQ(text("ProductName"), "SEVRIK");
    EXPECT_EQ(text("CompanyName"), "SEVRIK developers");
    EXPECT_EQ(text("LegalCopyright"), "Copyright (C) SEVRIK developers");
    EXPECT_NE(text("FileDescription").find(p.name), std::string::npos);

    HMODULE module = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC manifest = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const std::string xml(static_cast<const char*>(::LockResource(::LoadResource(module, manifest))),
                          ::SizeofResource(module, manifest));
    EXPECT_NE(xml.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(xml.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(xml.find("true/pm"), std::string::npos);
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos);
    // The icon's group: an image for each size that Explorer asks for, up to 256 (stored as 0).
    HRSRC group = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* icons = static_cast<const unsigned char*>(::LockResource(::LoadResource(module, group)));
    std::vector<int> sizes;
    for (int i = 0; i < (icons[4] | icons[5] << 8); ++i) sizes.push_back(icons[6 + 14 * i] ? icons[6 + 14 * i] : 256);
    EXPECT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 256}));
    // Each image as Windows draws it, at its own size.
    for (const int side : sizes) {
      HICON icon = static_cast<HICON>(::LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, side, side, 0));
      EXPECT_NE(icon, nullptr) << side;
      ICONINFO parts{};
      if (icon && ::GetIconInfo(icon, &parts)) {
        BITMAP bitmap{};
        ::GetObjectA(parts.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, side);
        ::DeleteObject(parts.hbmColor);
        ::DeleteObject(parts.hbmMask);
      }
      if (icon) ::DestroyIcon(icon);
    }
    ::FreeLibrary(module);
  }
}

TEST(ProgramImage, TheProgramsOfThisBuildAreWholePrograms) {
  for (const char* built : {"programs/SEVRIK.exe", "shim/ZUL.exe", "updater/Ranuvel Plug-In.exe"})
    EXPECT_EQ(updater::ProgramImageProblem(ReadFile(test::BuiltProgram(built)), updater::ProgramFormat::Pe), "")
        << built;
}

TEST_F(Updater, ReplacesTheInstalledProgramAndMakesIpdata) {
  std::filesystem::create_directories(kTarget);
  WriteFile(Target(), "the old SEVRIK");
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate Completed\n");
  EXPECT_EQ(ReadFile(Target()), new_program);
  EXPECT_TRUE(DirectoryExists(delivery / "IPDATA"));
  WriteFile(delivery / "IPDATA/keep.txt", "kept");
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate Completed\n");
  EXPECT_EQ(ReadFile(delivery / "IPDATA/keep.txt"), "kept");
}

TEST_F(Updater, InstallsWhereNoProgramWasYet) {
  std::filesystem::create_directories(kTarget);
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate Completed\n");
  EXPECT_EQ(ReadFile(Target()), new_program);
}

TEST_F(Updater, AMissingTargetFolderIsAPathError) {
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate FailedPath not found\n");
  EXPECT_FALSE(DirectoryExists(kTarget));
}

TEST_F(Updater, ARunningTargetIsRefusedAndStaysWhole) {
  std::filesystem::create_directories(kTarget);
  test::CopyProgram(test::TestProgram("recorder_win32.exe"), Target());
  const std::string old = ReadFile(Target());
  test::RunningProgram running(Target(), {}, {},
                               {"SEVRIK_RECORD_SLEEP_MS=30000", "SEVRIK_RECORD=" + (delivery / "r")});
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate FailedPermission denied\n");
  EXPECT_EQ(ReadFile(Target()), old);
}

TEST_F(Updater, AMissingSourceLeavesTheInstalledProgram) {
  std::filesystem::create_directories(kTarget);
  WriteFile(Target(), "the old SEVRIK");
  ::DeleteFileA((delivery / "SEVRIK.exe").c_str());
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate FailedFile not found\n");
  EXPECT_EQ(ReadFile(Target()), "the old SEVRIK");
}

TEST_F(Updater, ADeliveredProgramThatIsNotWholeIsNotInstalled) {
  std::filesystem::create_directories(kTarget);
  WriteFile(Target(), "the old SEVRIK");
  std::string past_the_end = new_program;
  past_the_end[SectionTable(new_program) + 16 + 3] = '\x7F';  // the first section's SizeOfRawData
  struct Case {
    const char* name;
    std::string bytes;
    std::string cause;
  };
  const std::vector<Case> cases = {
      {"empty", "", "the file is empty"},
      {"truncated", new_program.substr(0, new_program.size() / 2), "ends past the end of the file"},
      {"wrong format", "the new SEVRIK", "no MZ header"},
      {"a section past the end", past_the_end, "section 1 ends past the end of the file"},
  };
  for (const Case& c : cases) {
    WriteFile(delivery / "SEVRIK.exe", c.bytes);
    const std::string message = Update();
    const std::string head =
        "== Ranuvel Plug-In ==\nUpdate FailedPath/File access error (the new program is not a whole program: ";
    EXPECT_EQ(message.substr(0, head.size()), head) << c.name;
    EXPECT_NE(message.find(c.cause + ")\n"), std::string::npos) << c.name << ": " << message;
    EXPECT_EQ(ReadFile(Target()), "the old SEVRIK") << c.name;
  }
}

TEST_F(Updater, TheTemporaryFilesOfAKilledUpdateAreRemovedByTheNext) {
  std::filesystem::create_directories(kTarget);
  WriteFile(Target(), "the old SEVRIK");
  const std::string kept = std::string(kTarget) + "\\.SEVRIK.exe.tmp-short";
  const std::string leftover = std::string(kTarget) + "\\.SEVRIK.exe.tmp-abcdefghi0";
  WriteFile(leftover, "half a program");
  WriteFile(kept, "not ours");
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate Completed\n");
  EXPECT_EQ(::GetFileAttributesA(leftover.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(ReadFile(kept), "not ours");
  EXPECT_EQ(ReadFile(Target()), new_program);
}

TEST_F(Updater, ATargetThatIsASymbolicLinkIsNotReplaced) {
  std::filesystem::create_directories(kTarget);
  WriteFile(delivery / "elsewhere.exe", "the old SEVRIK");
  // Wine 8 answers CreateSymbolicLinkA with success and makes nothing.
  ::CreateSymbolicLinkA(Target().c_str(), (delivery / "elsewhere.exe").c_str(), 0);
  const DWORD attributes = ::GetFileAttributesA(Target().c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
    GTEST_SKIP() << "no symbolic links here";
  EXPECT_EQ(Update(), "== Ranuvel Plug-In ==\nUpdate FailedPath/File access error (the target is a symbolic link)\n");
  EXPECT_EQ(ReadFile(delivery / "elsewhere.exe"), "the old SEVRIK");
}

TEST_F(Updater, TheClosingMessageIsABoxWithTheUpdatersTitle) {
  std::filesystem::create_directories(kTarget);
  test::RunningProgram helper(test::TestProgram("boxanswer.exe"), {"Ranuvel Plug-In", "ok"});
  const test::RunResult r = RunProgram(delivery / "Ranuvel Plug-In.exe", {}, {}, {"SEVRIK_DIALOGS="});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(helper.Wait().out, "title=Ranuvel Plug-In\ntext=Update Completed\nbuttons=ok \n");
  // A failure ends with status 1 after its box.
  ::DeleteFileA((delivery / "SEVRIK.exe").c_str());
  test::RunningProgram failed(test::TestProgram("boxanswer.exe"), {"Ranuvel Plug-In", "ok"});
  EXPECT_EQ(RunProgram(delivery / "Ranuvel Plug-In.exe", {}, {}, {"SEVRIK_DIALOGS="}).status, 1);
  EXPECT_EQ(failed.Wait().out, "title=Ranuvel Plug-In\ntext=Update FailedFile not found\nbuttons=ok \n");
}

}  // namespace
}  // namespace sevrik
