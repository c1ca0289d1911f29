#ifndef VELKARO_PLATFORM_CLOCK_H_
#define VELKARO_PLATFORM_CLOCK_H_

#include <cstdint>
#include <ctime>
#include <string>

namespace velkaro {

// "HH:MM:SS" in local time.
std::string TimeOfDayText(std::time_t moment);

// The DOS form of a local time: date in the high 16 bits, time in the low.
uint32_t DosDateTime(std::time_t moment);

}  // namespace velkaro

#endif  // VELKARO_PLATFORM_CLOCK_H_
