#ifndef TRAMO_PLATFORM_SYSTEM_H_
#define TRAMO_PLATFORM_SYSTEM_H_

#include <cstdint>
#include <string>

// Clock and process facts. Now() and TickCount() go through the installed
// clock so that tests drive time themselves.
namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date-time: days since 30.12.1899, time of day as the fraction.
  virtual double Now() = 0;
  // Milliseconds since some fixed point, wrapping at 2^32.
  virtual uint32_t TickCount() = 0;
};

// Installs a clock (not owned); nullptr restores the system clock.
void SetClock(Clock* clock);
double Now();
uint32_t TickCount();

// The real clock, one implementation per OS.
double SystemNow();
uint32_t SystemTickCount();

// Full path of the running executable.
std::string ExecutablePath();
// Working-set size of this process in bytes; 0 when unknown.
uint32_t WorkingSetSize();
// A shell folder (CSIDL number) without its trailing backslash; empty when
// the shell cannot resolve it (and always outside Windows).
std::string SpecialFolderPath(int csidl);

// The time of day in the user's regional long time format (Windows), or
// HH:mm:ss elsewhere.
std::string UserLongTimeText(double date_time);

}  // namespace platform

#endif  // TRAMO_PLATFORM_SYSTEM_H_
