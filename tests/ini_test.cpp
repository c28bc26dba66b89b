#include <gtest/gtest.h>

#include "platform/ini.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

std::string Get(const std::string& ini, const char* section, const char* key, const char* def = "9") {
  return ProfileString(ini, section, key, def, 255);
}

TEST(ProfileString, MatchesLikeTheWindowsProfileReader) {
  const std::string ini =
      "; TPB settings\r\n"
      "[Database]\r\nBC23=1\r\n"
      "  [ status ]  \r\n"
      "  bc23   =   4   \r\n"
      "BC23=7\r\n"
      "Quoted=\"  a b \"\r\n"
      "Single='x'\r\n"
      "Half=\"open\r\n"
      "  ;BC25=5\r\n"
      "Empty=\r\n"
      "[Status]\r\nBC25=6\r\n";
  EXPECT_EQ(Get(ini, "Status", "BC23"), "4");     // case, blanks, first key wins
  EXPECT_EQ(Get(ini, "STATUS", "quoted"), "  a b ");
  EXPECT_EQ(Get(ini, "Status", "Single"), "x");
  EXPECT_EQ(Get(ini, "Status", "Half"), "\"open");
  EXPECT_EQ(Get(ini, "Status", "BC25"), "9");     // commented out; the second [Status] is not read
  EXPECT_EQ(Get(ini, "Status", "Empty"), "");
  EXPECT_EQ(Get(ini, "Status", "Missing"), "9");
  EXPECT_EQ(Get(ini, "Nothing", "BC23"), "9");
  EXPECT_EQ(Get("[Status]\nBC23=2", "Status", "BC23"), "2");  // LF only, no final line end
}

TEST(ProfileString, CutsValuesToTheBuffer) {
  const std::string long_value(300, 'v');
  EXPECT_EQ(Get("[S]\r\nK=" + long_value + "\r\n", "S", "K").size(), 254u);
  EXPECT_EQ(Get("[S]\r\nK=" + std::string(254, 'v') + "\r\n", "S", "K").size(), 254u);
  EXPECT_EQ(ProfileString("", "S", "K", long_value, 255).size(), 254u);
}

TEST(ReadIniString, ReadsTheFileOrGivesTheDefault) {
  test::TempDir dir;
  EXPECT_EQ(ReadIniString(dir / "TPB.ini", "Status", "BC23", "9"), "9");
  test::WriteFile(dir / "TPB.ini", "[Status]\r\nBC23=4\r\nName=Caf\xE9\r\n");
  EXPECT_EQ(ReadIniString(dir.path() + "\\tpb.INI", "Status", "BC23", "9"), "4");
  EXPECT_EQ(ReadIniString(dir / "TPB.ini", "Status", "Name", ""), "Caf\xC3\xA9");
  test::WriteFile(dir / "dir.ini/x", "");
  EXPECT_EQ(ReadIniString(dir / "dir.ini", "Status", "BC23", "9"), "9");  // unreadable: a folder
}

}  // namespace
}  // namespace sevrik
