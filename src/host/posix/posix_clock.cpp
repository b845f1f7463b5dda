#include "host/posix/posix_clock.hpp"

#include "host/posix/posix_console.hpp"

#include <cerrno>
#include <ctime>

namespace pavuto::host::posix {

void PosixClock::Pause(int milliseconds) {
    // What the program printed before a pause is on the screen during it.
    PosixConsole::FlushActive();
    if (milliseconds <= 0) return;
    timespec rest{milliseconds / 1000, static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
    }
}

std::uint32_t PosixClock::TickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1000000);
    return static_cast<std::uint32_t>(ms);  // wraps at 2^32
}

LocalTime PosixClock::Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    time_t seconds = ts.tv_sec;
    localtime_r(&seconds, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second counts as the last one
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return t;
}

}  // namespace pavuto::host::posix
