#include "playback/timer.hpp"

#include <algorithm>

#include "program.hpp"

namespace pavuto {

namespace {
int NowMinute(Program& p) {
    auto t = p.host.clock.Now();
    return 60 * t.hour + t.minute;
}
}  // namespace

void ArmTimer(Program& p) {
    auto& t = p.timer;
    t.nowMinute = NowMinute(p);
    int minutes = std::clamp(ValInt(t.minutesText), 1, 360);
    t.EndMinute = t.nowMinute + minutes;
    t.minutesLeft = minutes;
}

}  // namespace pavuto
