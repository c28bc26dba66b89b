// The user's regional settings as the system reads numbers and dates with them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace sevrik {

struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  friend bool operator==(const DateTime&, const DateTime&) = default;
};

// True for a real calendar date (and a valid time of day).
bool IsValidDateTime(const DateTime& d);

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

struct LocaleInfo {
  std::string decimal_separator = ".";
  std::string group_separator;  // empty: no grouping
  std::array<std::string, 12> month_abbrev = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  DateOrder short_date_order = DateOrder::MonthDayYear;

  // The C locale: ".", no grouping, English month abbreviations, month first.
  static LocaleInfo Classic() { return {}; }
};

// The user's numeric and time locale (LC_ALL / LC_NUMERIC / LC_TIME / LANG), read once.
const LocaleInfo& UserLocale();
// Reads a locale by name ("de_DE.UTF-8"); nullopt when the machine lacks it.
std::optional<LocaleInfo> LoadLocale(const std::string& numeric_name, const std::string& time_name);

// A double as the general number-to-text conversion writes it: at most 15 significant
// digits, no grouping, the locale's decimal separator, exponent form ("1E+15", "1E-05")
// outside 1E-04 .. 1E+15.
std::string NumberToText(double value, const LocaleInfo& locale);

// Reads a number the way the user would type it: blanks around it, a sign, digits with the
// locale's group separator between them, the locale's decimal separator, an exponent.
std::optional<double> ParseNumber(std::string_view text, const LocaleInfo& locale);

// Reads a date: "YYYY-MM-DD[ HH:MM[:SS]]", or three numbers separated by "/", "-" or "."
// in the locale's short-date order (a two-digit year counts from 1930).
std::optional<DateTime> ParseDate(std::string_view text, const LocaleInfo& locale);

// A date as the short-date text of the locale (day, month, four-digit year in its order).
std::string ShortDateText(const DateTime& d, const LocaleInfo& locale);

}  // namespace sevrik
