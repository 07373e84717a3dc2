// Clock and calendar. The calendar is plain arithmetic so that it needs no time-zone data and no
// library state shared between threads.
#include <ctime>

#include "platform/env.h"

namespace qs {

int32_t NowSeconds() {
  return static_cast<int32_t>(std::time(nullptr));
}

CalendarTime UtcCalendar(int64_t seconds) {
  constexpr int64_t kSecondsPerDay = 86400;
  int64_t days = seconds / kSecondsPerDay;
  int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {  // division truncates toward zero; times before 1970 belong to the earlier day
    rest += kSecondsPerDay;
    --days;
  }

  // Proleptic Gregorian date of a day count, counted in 400-year eras that start on 1 March so
  // that the leap day is the last day of its year.
  days += 719468;  // 0000-03-01 to 1970-01-01
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_from_march = (5 * day_of_year + 2) / 153;
  const int64_t day = day_of_year - (153 * month_from_march + 2) / 5 + 1;
  const int64_t month = month_from_march < 10 ? month_from_march + 3 : month_from_march - 9;
  const int64_t year = year_of_era + era * 400 + (month <= 2 ? 1 : 0);

  CalendarTime t;
  t.year = static_cast<int>(year);
  t.month = static_cast<int>(month);
  t.day = static_cast<int>(day);
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

}  // namespace qs
