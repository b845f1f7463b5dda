#pragma once
// The machine's clock: the one place where the program really sleeps.
#include "host/clock.hpp"

namespace pavuto::host::posix {

class PosixClock : public Clock {
public:
    // Sleeps the whole time, also when a signal interrupts the sleep.
    void Pause(int milliseconds) override;
    // Milliseconds of the monotonic clock, wrapping at 2^32 like the tick
    // count of the system.
    std::uint32_t TickCount() override;
    // The local date and time with milliseconds.
    LocalTime Now() override;
};

}  // namespace pavuto::host::posix
