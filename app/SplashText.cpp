#include "app/SplashText.h"

#include <array>
#include <cstdio>

#include "platform/os/ProjectDir.h"

std::string FormatBuildDate(const CalendarDate& date, int language) {
  static constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                          "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
  char text[48];
  if (language == 0) {
    const int month = date.month >= 1 && date.month <= 12 ? date.month - 1 : 0;
    std::snprintf(text, sizeof text, "%02d %s %d", date.day, kMonths[static_cast<std::size_t>(month)], date.year);
  } else {
    std::snprintf(text, sizeof text, "%02d-%02d-%d", date.day, date.month, date.year);
  }
  return text;
}

CalendarDate ExecutableDate() {
  CalendarDate date;
  FileModificationDate(GetExecutableDir() + "/" + kProgramName, date);
  return date;
}
