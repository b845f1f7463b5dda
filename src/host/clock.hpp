#pragma once
// Every pause and clock reading of the program goes through here, so that
// tests run on virtual time.
#include <cstdint>

namespace pavuto::host {

struct LocalTime {
    int year = 2000, month = 1, day = 1;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
    double SecondsSinceMidnight() const { return hour * 3600.0 + minute * 60.0 + second + millisecond / 1000.0; }
    long DayNumber() const { return (year * 13L + month) * 32L + day; }  // equal for the same date
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual void Pause(int milliseconds) = 0;
    // Milliseconds since the system started, wrapping at 2^32.
    virtual std::uint32_t TickCount() = 0;
    virtual LocalTime Now() = 0;
};

}  // namespace pavuto::host
