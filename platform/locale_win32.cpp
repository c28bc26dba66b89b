// The user's regional settings from the system (Control Panel's "Region").
#include <string>

#include "platform/locale.h"
#include "platform/win32.h"

namespace sevrik {
namespace {

// One item of a locale as UTF-8; empty when the system has none.
std::string Item(const wchar_t* locale, LCTYPE type) {
  wchar_t buffer[128];
  const int n = ::GetLocaleInfoEx(locale, type, buffer, 128);
  if (n <= 1) return {};
  std::wstring wide(buffer, static_cast<size_t>(n - 1));
  const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring WideName(const std::string& name) {
  return std::wstring(name.begin(), name.end());  // locale names are ASCII ("id-ID")
}

}  // namespace

// Names are the system's locale names ("id-ID", "en-US"); the empty name is the user's own.
std::optional<LocaleInfo> LoadLocale(const std::string& numeric_name, const std::string& time_name) {
  const std::wstring num_name = WideName(numeric_name), time_name_w = WideName(time_name);
  const wchar_t* num = numeric_name.empty() ? LOCALE_NAME_USER_DEFAULT : num_name.c_str();
  const wchar_t* tim = time_name.empty() ? LOCALE_NAME_USER_DEFAULT : time_name_w.c_str();
  if ((num && !::IsValidLocaleName(num)) || (tim && !::IsValidLocaleName(tim))) return std::nullopt;
  LocaleInfo info;
  info.decimal_separator = Item(num, LOCALE_SDECIMAL);
  if (info.decimal_separator.empty()) info.decimal_separator = ".";
  // A grouping of "0" groups nothing.
  const std::string grouping = Item(num, LOCALE_SGROUPING);
  info.group_separator = grouping.empty() || grouping[0] == '0' ? std::string() : Item(num, LOCALE_STHOUSAND);
  for (int m = 0; m < 12; ++m) {
    const std::string name = Item(tim, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + m));
    if (!name.empty()) info.month_abbrev[m] = name;
  }
  // "dd/MM/yyyy", "M/d/yyyy", "yyyy-MM-dd": the order of the first letters.
  const std::string format = Item(tim, LOCALE_SSHORTDATE);
  const size_t d = format.find('d'), m = format.find('M'), y = format.find('y');
  if (y < m && y < d) info.short_date_order = DateOrder::YearMonthDay;
  else if (d < m) info.short_date_order = DateOrder::DayMonthYear;
  else info.short_date_order = DateOrder::MonthDayYear;
  return info;
}

}  // namespace sevrik
