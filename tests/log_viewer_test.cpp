// The log viewer's logic without a window: its folder, the listing, the reading and decoding
// of a file, and the boxes it shows, on a real workspace with scripted message boxes.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/forms/log_viewer.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {
namespace fs = std::filesystem;

class LogViewerTest : public ::testing::Test, protected test::WorkspaceSession {
 protected:
  void Write(const std::string& name, const std::string& bytes) { test::WriteFile(ws.package + "/ipdata/" + name, bytes); }
  LogViewer viewer{*session};
};

TEST_F(LogViewerTest, ListsTheLogFilesOfIpdataInAnyCase) {
  Write("TPBQUE.LOG", "BC23\r\nREF-1\r\n");
  Write("run.log", "x");
  Write("empty.log", "");
  Write("BC23.FLT", "x");
  Write(".hidden.log", "x");
  fs::create_directory(ws.package + "/ipdata/folder.log");
  EXPECT_EQ(viewer.Folder(), ws.package + "\\ipdata");
  const LogListing listing = viewer.List();
  EXPECT_FALSE(listing.error);
  EXPECT_EQ(listing.names, (std::vector<std::string>{"empty.log", "run.log", "TPBQUE.LOG"}));
  EXPECT_TRUE(dialogs.boxes.empty());  // told only when the view asks
}

TEST_F(LogViewerTest, AMissingFolderIsErrorSeventySixInTheBox) {
  fs::remove_all(ws.package + "/ipdata");
  const LogListing listing = viewer.List();
  EXPECT_TRUE(listing.names.empty());
  ASSERT_TRUE(listing.error);
  EXPECT_EQ(listing.error->number(), err::kPathNotFound);
  EXPECT_EQ(listing.error->description(), "Path not found: " + ws.package + "\\ipdata");
  viewer.Report(*listing.error);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_EQ(dialogs.boxes[0].text, "Run-time error '76':\r\n\r\nPath not found: " + ws.package + "\\ipdata");
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_EQ(dialogs.boxes[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
}

TEST_F(LogViewerTest, ReadsAFileWholeDecodedForTheView) {
  Write("run.log", "baris \xE9\r\nkedua\r\n");
  Write("empty.log", "");
  EXPECT_EQ(viewer.Read("run.log", "\n"), "baris \xC3\xA9\nkedua\n");
  EXPECT_EQ(viewer.Read("RUN.LOG", "\r\n"), "baris \xC3\xA9\r\nkedua\r\n");  // names in any case
  EXPECT_EQ(viewer.Read("empty.log", "\n"), "");
  EXPECT_TRUE(dialogs.boxes.empty());
  // A file gone since it was listed: the box, and nothing for the view to show.
  EXPECT_EQ(viewer.Read("gone.log", "\n"), std::nullopt);
  ASSERT_EQ(dialogs.boxes.size(), 1u);
  EXPECT_TRUE(dialogs.boxes[0].text.starts_with("Run-time error '53':\r\n\r\n")) << dialogs.boxes[0].text;
  EXPECT_EQ(dialogs.boxes[0].title, "Perhatian");
  EXPECT_EQ(dialogs.boxes[0].icon, MsgIcon::Exclamation);
}

TEST(LogText, DecodedFromWindows1252WithTheViewsLineEnds) {
  const struct {
    std::string bytes, lf, crlf;
  } cases[] = {
      {"", "", ""},
      {"a\r\nb", "a\nb", "a\r\nb"},
      {"a\rb\n", "a\rb\n", "a\rb\n"},  // only CR LF is a line end of the file
      {"\r\r\n\r\n", "\r\n\n", "\r\r\n\r\n"},
      {"\x80 \xE9\xFF", "\xE2\x82\xAC \xC3\xA9\xC3\xBF", "\xE2\x82\xAC \xC3\xA9\xC3\xBF"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DecodeLogText(c.bytes, "\n"), c.lf) << c.bytes;
    EXPECT_EQ(DecodeLogText(c.bytes, "\r\n"), c.crlf) << c.bytes;
  }
}

}  // namespace
}  // namespace sevrik
