#include <langinfo.h>
#include <locale.h>

#include <string>

#include "platform/locale.h"

namespace sevrik {

std::optional<LocaleInfo> LoadLocale(const std::string& numeric_name, const std::string& time_name) {
  LocaleInfo info;
  locale_t num = newlocale(LC_NUMERIC_MASK, numeric_name.c_str(), static_cast<locale_t>(nullptr));
  if (!num) return std::nullopt;
  locale_t tim = newlocale(LC_TIME_MASK, time_name.c_str(), static_cast<locale_t>(nullptr));
  if (!tim) {
    freelocale(num);
    return std::nullopt;
  }
  info.decimal_separator = nl_langinfo_l(RADIXCHAR, num);
  if (info.decimal_separator.empty()) info.decimal_separator = ".";
  info.group_separator = nl_langinfo_l(THOUSEP, num);
  for (int m = 0; m < 12; ++m) info.month_abbrev[m] = nl_langinfo_l(ABMON_1 + m, tim);
  const std::string fmt = nl_langinfo_l(D_FMT, tim);
  const size_t d = fmt.find_first_of("de"), m = fmt.find_first_of("mbB"), y = fmt.find_first_of("yYCF");
  if (fmt.find("%F") != std::string::npos || (y < m && y < d)) info.short_date_order = DateOrder::YearMonthDay;
  else if (d < m) info.short_date_order = DateOrder::DayMonthYear;
  else info.short_date_order = DateOrder::MonthDayYear;
  freelocale(num);
  freelocale(tim);
  return info;
}

}  // namespace sevrik
