#include "platform/clock.h"

#include <cstdio>

namespace velkaro {
namespace {

std::tm LocalTime(std::time_t moment) {
  std::tm parts{};
  localtime_r(&moment, &parts);
  return parts;
}

}  // namespace

std::string TimeOfDayText(std::time_t moment) {
  std::tm t = LocalTime(moment);
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
  return text;
}

uint32_t DosDateTime(std::time_t moment) {
  std::tm t = LocalTime(moment);
  int year = t.tm_year + 1900;
  if (year < 1980) return (1u << 21) | (1u << 16);  // 1980-01-01 00:00, the earliest DOS date
  if (year > 2107) year = 2107;
  uint32_t date = static_cast<uint32_t>((year - 1980) << 9 | (t.tm_mon + 1) << 5 | t.tm_mday);
  uint32_t time = static_cast<uint32_t>(t.tm_hour << 11 | t.tm_min << 5 | t.tm_sec / 2);
  return date << 16 | time;
}

}  // namespace velkaro
