#include <gtest/gtest.h>

#include <sstream>

#include "base/error.h"
#include "base/text.h"
#include "platform/args.h"
#include "platform/dialogs.h"
#include "platform/locale.h"

namespace sevrik {
namespace {

TEST(Cp1252, ConvertsBothWaysAndMarksWhatHasNoByte) {
  EXPECT_EQ(ToCp1252("ABC"), "ABC");
  EXPECT_EQ(ToCp1252("\xE2\x82\xAC"), "\x80");            // euro sign
  EXPECT_EQ(ToCp1252("caf\xC3\xA9"), "caf\xE9");          // é
  EXPECT_EQ(ToCp1252("\xE4\xB8\xAD" "x"), "?x");          // a CJK character has no byte
  EXPECT_EQ(ToCp1252("\xF0\x9F\x98\x80"), "?");           // nor has an emoji
  EXPECT_EQ(ToCp1252("\xC3"), "?");                       // a broken sequence
  EXPECT_EQ(FromCp1252("\x80\xE9\x81"), "\xE2\x82\xAC\xC3\xA9\xC2\x81");
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(ToCp1252(FromCp1252(one)), one) << b;
  }
  EXPECT_EQ(Cp1252Length("caf\xC3\xA9\xE2\x82\xAC"), 5u);
}

TEST(Cp1252, EverySequenceThatIsNoCharacterBecomesOneQuestionMark) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      // Overlong forms of "/" and of NUL never decode to them.
      {"\xC0\xAF", "?"},
      {"\xE0\x80\xAF", "?"},
      {"\xF0\x80\x80\xAF", "?"},
      {"\xC1\xBF", "?"},
      {"\xC0\x80", "?"},
      {"a\xE0\x9F\xBF" "b", "a?b"},               // the largest overlong three-byte form
      {"\xF0\x8F\xBF\xBF", "?"},
      // Surrogates, alone or as a pair.
      {"\xED\xA0\x80", "?"},
      {"\xED\xBF\xBF", "?"},
      {"\xED\xA0\xBD\xED\xB8\x80", "??"},
      {"\xED\x9F\xBF", "?"},                       // U+D7FF is a character, just not in 1252
      // Beyond U+10FFFF.
      {"\xF4\x90\x80\x80", "?"},
      {"\xF7\xBF\xBF\xBF", "?"},
      {"\xF8\x88\x80\x80\x80", "?????"},
      // Cut short: at the end, or before a byte that continues nothing.
      {"\xE2\x82", "?"},
      {"x\xF0\x9F\x98", "x?"},
      {"\xE2\x82" "A", "?A"},
      {"\xC3\xC3\xA9", "?\xE9"},
      // Continuation bytes without a lead, and bytes that lead nothing.
      {"\x80", "?"},
      {"\xBF\xBF", "??"},
      {"\xFE\xFF", "??"},
      // Well-formed neighbours stay what they are.
      {"\xC2\x81", "\x81"},                        // U+0081 keeps its undefined byte
      {"\xC2\xA0", "\xA0"},
      {"\xEF\xBF\xBF", "?"},                       // U+FFFF: a character without a byte
      {"\xF4\x8F\xBF\xBF", "?"},
      {"\xE2\x80\x9C" "A" "\xE2\x80\x9D", "\x93" "A" "\x94"},
  };
  for (const auto& [utf8, cp1252] : cases) {
    EXPECT_EQ(ToCp1252(utf8), cp1252) << testing::PrintToString(utf8);
    EXPECT_EQ(Cp1252Length(utf8), cp1252.size()) << testing::PrintToString(utf8);
  }
}

TEST(Text, TrimSplitReplace) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Split("QUE  BC25", " "), (std::vector<std::string>{"QUE", "", "BC25"}));
  EXPECT_EQ(Split("", " "), (std::vector<std::string>{""}));
  EXPECT_EQ(ReplaceAll("a.zul.zul.ZUL", ".zul", ".ext"), "a.ext.ext.ZUL");
}

TEST(ArgumentText, JoinsWithBlanksAndQuotesArgumentsWithBlanks) {
  const char* argv[] = {"SEVRIK", "QUE", "BC25", "", "Dokumen BC23", "x"};
  EXPECT_EQ(ArgumentText(6, argv), "QUE BC25  \"Dokumen BC23\" x");
  const char* none[] = {"SEVRIK"};
  EXPECT_EQ(ArgumentText(1, none), "");
  // A quoted argument's own backslashes and quotes are escaped, so the text cuts back into
  // the arguments it was made of.
  const char* tricky[] = {"ZUL", "C:\\E D\\", "a\tb", "X\" \"y", "p\\q"};
  const std::string text = ArgumentText(5, tricky);
  EXPECT_EQ(text, R"("C:\E D\\" )" "\"a\tb\" " R"("X\" \"y" p\q)");
  EXPECT_EQ(SplitCommandLine(text), (std::vector<std::string>(tricky + 1, tricky + 5)));
}

TEST(QuoteArgument, EveryValueComesBackAsExactlyOneArgument) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", R"("")"},
      {"plain", R"("plain")"},
      {R"(X" "--evil=1" "y)", R"("X\" \"--evil=1\" \"y")"},
      {R"(C:\EDI\)", R"("C:\EDI\\")"},
      {R"(C:\E D\TPBQUE.ext)", R"("C:\E D\TPBQUE.ext")"},
      {R"(a\\)", R"("a\\\\")"},
      {R"(a\")", R"("a\\\"")"},
      {R"(\\")", R"("\\\\\"")"},
      {R"(")", R"("\"")"},
      {R"("""")", R"("\"\"\"\"")"},
      {"tab\tand  blanks ", "\"tab\tand  blanks \""},
  };
  for (const auto& [value, quoted] : cases) {
    EXPECT_EQ(QuoteArgument(value), quoted) << value;
    EXPECT_EQ(SplitCommandLine(QuoteArgument(value)), std::vector<std::string>{value}) << value;
    // Beside other arguments it still stays one.
    EXPECT_EQ(SplitCommandLine("ranuvel " + QuoteArgument(value) + " BC23"),
              (std::vector<std::string>{"ranuvel", value, "BC23"}))
        << value;
  }
}

TEST(SplitCommandLine, FollowsTheWindowsRuntimeRules) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("ranuvel \"C:\\E D\\TPBQUE.ext\" \"\" BC23"),
            (V{"ranuvel", "C:\\E D\\TPBQUE.ext", "", "BC23"}));
  EXPECT_EQ(SplitCommandLine("  a   b  "), (V{"a", "b"}));
  EXPECT_EQ(SplitCommandLine(R"(a\\\"b c\\"d e" f)"), (V{"a\\\"b", "c\\d e", "f"}));
  EXPECT_EQ(SplitCommandLine(R"(x\y\ "q\\")"), (V{"x\\y\\", "q\\"}));
  EXPECT_EQ(SplitCommandLine("\"unclosed rest"), (V{"unclosed rest"}));
  EXPECT_EQ(SplitCommandLine(""), V{});
}

TEST(NumberText, GeneralConversionInTheLocale) {
  const LocaleInfo c = LocaleInfo::Classic();
  EXPECT_EQ(NumberToText(0, c), "0");
  EXPECT_EQ(NumberToText(12.5, c), "12.5");
  EXPECT_EQ(NumberToText(-7.5, c), "-7.5");
  EXPECT_EQ(NumberToText(114.99999999999999, c), "115");
  EXPECT_EQ(NumberToText(123456789012345.0, c), "123456789012345");
  EXPECT_EQ(NumberToText(1e15, c), "1E+15");
  EXPECT_EQ(NumberToText(0.0001, c), "0.0001");
  EXPECT_EQ(NumberToText(0.00001, c), "1E-05");
  LocaleInfo de = c;
  de.decimal_separator = ",";
  de.group_separator = ".";
  EXPECT_EQ(NumberToText(1234.5, de), "1234,5");
  EXPECT_EQ(ParseNumber("1.234,5", de), 1234.5);
  EXPECT_EQ(ParseNumber(" 12,25 ", de), 12.25);
  EXPECT_EQ(ParseNumber("12.25", c), 12.25);
  EXPECT_EQ(ParseNumber("-3e2", c), -300);
  EXPECT_FALSE(ParseNumber("12a", c));
  EXPECT_FALSE(ParseNumber("", c));
  EXPECT_FALSE(ParseNumber(".", c));
  EXPECT_FALSE(ParseNumber("1e", c));
}

TEST(Dates, ReadInTheLocaleOrder) {
  LocaleInfo us = LocaleInfo::Classic();
  LocaleInfo gb = us;
  gb.short_date_order = DateOrder::DayMonthYear;
  EXPECT_EQ(ParseDate("03/04/2009", us), (DateTime{2009, 3, 4}));
  EXPECT_EQ(ParseDate("03/04/2009", gb), (DateTime{2009, 4, 3}));
  EXPECT_FALSE(ParseDate("15/10/2004", us));
  EXPECT_EQ(ParseDate("15/10/2004", gb)->day, 15);
  EXPECT_EQ(ParseDate("2026-12-08 13:45:10", us), (DateTime{2026, 12, 8, 13, 45, 10}));
  EXPECT_FALSE(ParseDate("2026-02-30", us));
  EXPECT_FALSE(ParseDate("tomorrow", us));
}

TEST(ConsoleDialogs, WriteToTheErrorStreamAndReadYesOrNo) {
  std::istringstream in("y\nYES\n no\n");
  std::ostringstream err;
  ConsoleDialogs dialogs("SEVRIK", in, err);
  EXPECT_EQ(dialogs.ShowMessage("Baris satu\r\nBaris dua", MsgButtons::Ok, MsgIcon::None), MsgAnswer::Ok);
  EXPECT_EQ(err.str(), "== SEVRIK ==\nBaris satu\nBaris dua\n");
  EXPECT_EQ(dialogs.ShowMessage("Hapus?", MsgButtons::YesNo, MsgIcon::Question, "Perhatian"), MsgAnswer::Yes);
  EXPECT_NE(err.str().find("== Perhatian ==\n[?] Hapus?\n(y/n) "), std::string::npos);
  EXPECT_EQ(dialogs.ShowMessage("Hapus?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::Yes);
  EXPECT_EQ(dialogs.ShowMessage("Hapus?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);
  EXPECT_EQ(dialogs.ShowMessage("Hapus?", MsgButtons::YesNo, MsgIcon::Question), MsgAnswer::No);  // end of input
}

// The numbers the tests name by their constants are the ones users know, each with its text.
TEST(Errors, EachNumberAndItsStandardText) {
  const struct {
    int constant, number;
    const char* text;
  } cases[] = {
      {err::kInvalidArgument, 5, "Invalid procedure call or argument"},
      {err::kOverflow, 6, "Overflow"},
      {err::kSubscriptOutOfRange, 9, "Subscript out of range"},
      {err::kTypeMismatch, 13, "Type mismatch"},
      {err::kBadFileName, 52, "Bad file name or number"},
      {err::kFileNotFound, 53, "File not found"},
      {err::kDiskFull, 61, "Disk full"},
      {err::kInputPastEnd, 62, "Input past end of file"},
      {err::kDeviceUnavailable, 68, "Device unavailable"},
      {err::kPermissionDenied, 70, "Permission denied"},
      {err::kPathFileAccess, 75, "Path/File access error"},
      {err::kPathNotFound, 76, "Path not found"},
      {err::kInvalidUseOfNull, 94, "Invalid use of Null"},
      {err::kActionNotSupported, 445, "Object doesn't support this action"},
      {err::kNoCurrentRecord, 3021,
       "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current "
       "record."},
      {err::kItemNotFound, 3265,
       "Item cannot be found in the collection corresponding to the requested name or ordinal."},
      {err::kObjectClosed, 3704, "Operation is not allowed when the object is closed."},
      {err::kDatabase, -2147467259, "Unspecified database error"},
      {51, 51, "Application-defined or object-defined error"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.constant, c.number) << c.text;
    EXPECT_EQ(Error(c.number).description(), c.text) << c.number;
  }
}

TEST(Errors, CarryNumberAndStandardText) {
  const Error e(err::kSubscriptOutOfRange);
  EXPECT_EQ(e.description(), "Subscript out of range");
  EXPECT_EQ(RunTimeErrorText(e), "Run-time error '9':\r\n\r\nSubscript out of range");
  EXPECT_EQ(Error(err::kDatabase, "no such table: tblSetting").description(), "no such table: tblSetting");
  EXPECT_EQ(OsError(ENOENT).number(), 53);
  EXPECT_EQ(OsError(ENOENT, true).number(), 76);
  EXPECT_EQ(OsError(EACCES).number(), 70);
}

}  // namespace
}  // namespace sevrik
