#pragma once
#include <array>

#include "common/text.hpp"

namespace pavuto {

struct PlayerState {
    int Volume = 400;
    // Work copy names: previous, current and next slot.
    std::array<Text, 3> workNames{"0vorher.mp3", "0jetzt.mp3", "0gleich.mp3"};
    Text previousName, currentName, nextName, shownName;
    int startCounter = 0;
};

struct TimerState {
    int TimerMode = 0;  // 0 off, 1 shut down, 2 hibernate
    int EndMinute = 0;
    int nowMinute = 0;
    int minutesLeft = 0;
    int menuArmed = 0;
    Text minutesText;  // the text after /down or /downh, or "35" from the menu
};

}  // namespace pavuto
