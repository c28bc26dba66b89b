#include <gtest/gtest.h>

#include "base/error.h"
#include "core/flat/fields.h"
#include "core/flat/flat_record.h"
#include "tests/testutil.h"

namespace sevrik {
namespace {

using test::ErrorOf;

struct NumberCase {
  Variant value;
  int16_t digits, decimals;
  const char* expected;
};

TEST(FormatNumberField, ScalesPadsAndRounds) {
  const LocaleInfo c = LocaleInfo::Classic();
  const NumberCase cases[] = {
      {Variant(""), 8, 0, "00000000"},
      {Variant::Null(), 8, 0, "00000000"},
      {Variant(), 3, 2, "00000"},
      {Variant(0.0), 3, 2, "00000"},
      {Variant(-7.5), 3, 2, "00750"},             // the sign is dropped
      {Variant(12.5), 6, 2, "00001250"},
      {Variant(1234.5), 14, 4, "000000000012345000"},
      {Variant(7.5), 8, 2, "0000000750"},
      {Variant(1.15), 3, 2, "00115"},             // 1.15 * 100 is 114.999...: its text is 115
      {Variant(12.345), 6, 2, "00001235"},        // rounded half away from zero
      {Variant(-12.345), 6, 2, "00001235"},
      {Variant(12.344), 6, 2, "00001234"},
      {Variant(1.5), 1, 0, "2"},
      {Variant(0.4), 1, 0, "0"},
      {Variant(0.005), 1, 2, "001"},
      {Variant(int64_t{12}), 8, 0, "00000012"},
      {Variant("12.25"), 3, 2, "01225"},          // text is read as a number
      {Variant(" 3 "), 2, 0, "03"},
      {Variant(123456789012345.0), 15, 0, "123456789012345"},
      {Variant(1e17), 18, 0, "100000000000000000"},
  };
  for (const NumberCase& k : cases) {
    EXPECT_EQ(FormatNumberField(k.value, k.digits, k.decimals, c), k.expected)
        << NumberToText(k.value.is_number() ? ToDouble(k.value, c) : 0, c) << " " << k.digits << "," << k.decimals;
  }
}

TEST(FormatNumberField, RefusesWhatDoesNotFit) {
  const LocaleInfo c = LocaleInfo::Classic();
  EXPECT_EQ(ErrorOf([&] { FormatNumberField(Variant(123456.0), 2, 2, c); }), err::kOverflow);
  EXPECT_EQ(ErrorOf([&] { FormatNumberField(Variant(99.995), 2, 2, c); }), err::kOverflow);  // rounds to 100.00
  EXPECT_EQ(ErrorOf([&] { FormatNumberField(Variant(1e19), 18, 0, c); }), err::kOverflow);
  EXPECT_EQ(FormatNumberField(Variant(99.994), 2, 2, c), "9999");
  EXPECT_EQ(ErrorOf([&] { FormatNumberField(Variant("12a"), 8, 0, c); }), err::kTypeMismatch);
  EXPECT_EQ(ErrorOf([&] { FormatNumberField(Variant(DateTime{2026, 1, 1}), 8, 0, c); }), err::kTypeMismatch);
}

TEST(FormatNumberField, ReadsTextInTheUsersLocale) {
  LocaleInfo de = LocaleInfo::Classic();
  de.decimal_separator = ",";
  de.group_separator = ".";
  EXPECT_EQ(FormatNumberField(Variant("1.234,5"), 14, 4, de), "000000000012345000");
  EXPECT_EQ(FormatNumberField(Variant(1234.5), 14, 4, de), "000000000012345000");  // never a separator
}

TEST(SpaceIfEmpty, OnlyEmptyValuesBecomeOneBlank) {
  EXPECT_EQ(SpaceIfEmpty(Variant("")), Variant(" "));
  EXPECT_EQ(SpaceIfEmpty(Variant::Null()), Variant(" "));
  EXPECT_EQ(SpaceIfEmpty(Variant()), Variant(" "));
  EXPECT_EQ(SpaceIfEmpty(Variant(" ")), Variant(" "));
  EXPECT_EQ(SpaceIfEmpty(Variant("ABC ")), Variant("ABC "));
  EXPECT_EQ(SpaceIfEmpty(Variant(0.0)), Variant(0.0));
}

TEST(ConvertTranslatorDate, FollowsTheLocalesDateOrder) {
  LocaleInfo gb = LocaleInfo::Classic();
  gb.short_date_order = DateOrder::DayMonthYear;
  const LocaleInfo us = LocaleInfo::Classic();
  EXPECT_EQ(ConvertTranslatorDate(Variant(DateTime{2009, 3, 3}), gb), "03Mar09");
  EXPECT_EQ(ConvertTranslatorDate(Variant(DateTime{2009, 3, 4}), us), "Mar0409");
  EXPECT_EQ(ConvertTranslatorDate(Variant("2026-12-08"), gb), "08Dec26");
  EXPECT_EQ(ConvertTranslatorDate(Variant("04/03/2009"), gb), "04Mar09");
  LocaleInfo id = gb;
  id.month_abbrev[7] = "Agu";
  EXPECT_EQ(ConvertTranslatorDate(Variant("2026-08-17"), id), "17Agu26");
  EXPECT_EQ(ConvertTranslatorDate(Variant("bukan tanggal"), gb), "bukan tanggal");
  EXPECT_EQ(ConvertTranslatorDate(Variant::Null(), gb), "");
}

TEST(CodeTables, TranslateLevyAndFacilityKinds) {
  const char* levies[] = {"XXX", "BM", "PPN", "PPNBM", "PPH", "CTEM", "CMEA", "CEA", "PNBP", "XXX"};
  for (int16_t k = 0; k <= 9; ++k) EXPECT_EQ(TaxTypeCode(k), levies[k]) << k;
  EXPECT_EQ(TaxTypeCode(-1), "XXX");
  const char* facilities[] = {"BY", "DP", "TG", "BY", "BB", "XXX"};
  for (int16_t k = 0; k <= 5; ++k) EXPECT_EQ(FacilityCode(k), facilities[k]) << k;
  EXPECT_EQ(FacilityCode(-1), "XXX");
}

TEST(FlatRecord, FieldKinds) {
  const LocaleInfo c = LocaleInfo::Classic();
  FlatRecord r("TAG00001", c);
  r.Lit("1  ").Pad(Variant("ab"), 4).PadB(Variant::Null(), 2).Num(Variant(7.5), 3, 1).DatePad(Variant("x"), 8)
      .Right(Variant("12345678"), 6).TrailB(Variant(""));
  EXPECT_EQ(r.bytes(), "TAG000011  ab    0075        345678 ");
  EXPECT_EQ(ErrorOf([&] { FlatRecord("T", c).Pad(Variant("abc"), 2); }), err::kInvalidArgument);
  EXPECT_EQ(ErrorOf([&] { FlatRecord("T", c).Pad(Variant::Null(), 2); }), err::kInvalidUseOfNull);
  // Widths count Windows-1252 characters: "é" is one.
  EXPECT_EQ(FlatRecord("T", c).Pad(Variant("caf\xC3\xA9"), 5).bytes(), "Tcaf\xE9 ");
  EXPECT_EQ(FlatRecord("T", c).Right(Variant("12"), 6).bytes(), "T    12");
}

TEST(FlatRecord, LongRecordsKeepEveryByteAndSurviveAMove) {
  const LocaleInfo c = LocaleInfo::Classic();
  const std::string a(300, 'a'), b(200, 'b');
  // Across the length kept in place: by a field, by blanks, and in a record moved after it.
  EXPECT_EQ(FlatRecord("T", c).Pad(Variant(a), 300).Pad(Variant(b), 250).bytes(), "T" + a + b + std::string(50, ' '));
  EXPECT_EQ(FlatRecord("T", c).Lit(a).Blanks(100).Lit("z").bytes(), "T" + a + std::string(100, ' ') + "z");
  FlatRecord moved = FlatRecord("T", c).Lit(a);
  moved.Lit(b);
  FlatRecord copy = moved;
  EXPECT_EQ(copy.bytes(), "T" + a + b);
  EXPECT_EQ(FlatRecord("T", c).Lit("\xC3\xA9").Lit(std::string(383, 'x')).bytes(), "T\xE9" + std::string(383, 'x'));
}

}  // namespace
}  // namespace sevrik

#include "core/flat/flat_common.h"

namespace sevrik {
namespace {

TEST(EqualsNumber, ComparesTextAndNumbersAsValues) {
  const LocaleInfo c = LocaleInfo::Classic();
  EXPECT_TRUE(EqualsNumber(Variant("5"), 5, c));
  EXPECT_TRUE(EqualsNumber(Variant(int64_t{7}), 7, c));
  EXPECT_TRUE(EqualsNumber(Variant(" 7 "), 7, c));
  EXPECT_FALSE(EqualsNumber(Variant("3"), 5, c));
  EXPECT_FALSE(EqualsNumber(Variant::Null(), 5, c));
  EXPECT_EQ(ErrorOf([&] { EqualsNumber(Variant("lima"), 5, c); }), err::kTypeMismatch);
}

}  // namespace
}  // namespace sevrik
